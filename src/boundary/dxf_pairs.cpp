#include "boundary/dxf_pairs.h"

#include <charconv>

#include "geometry/errors.h"

namespace zelkan {

std::optional<int32_t> DxfInteger(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") + 1 - first);
    // from_chars takes a minus but no plus.
    if (text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() == '+' || text.front() == '-') return std::nullopt;
    }
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string ArcAtVertexMessage(size_t vertex) {
    return "頂点 " + std::to_string(vertex) +
           " に円弧があります（筆界は点の間を直線で結びます。CAD で円弧を点に分けてください）";
}

bool DxfPairReader::Next(int32_t& code, std::string& value) {
    std::string line;
    size_t first = std::string::npos;
    while (first == std::string::npos) {
        if (!lines_.Next(line)) return false;
        first = line.find_first_not_of(" \t");
    }
    // The code is the first word; what follows it on its line is passed over.
    const std::string_view rest = std::string_view(line).substr(first);
    const std::optional<int32_t> parsed = DxfInteger(rest.substr(0, rest.find_first_of(" \t")));
    if (!parsed)
        throw InputOutputError(fileName_,
                               "DXF の" + std::to_string(lines_.lineNumber()) + "行目のグループコードが整数ではありません");
    code = *parsed;
    if (!lines_.Next(value)) value.clear();
    valueLine_ = lines_.lineNumber();
    return true;
}

}  // namespace zelkan
