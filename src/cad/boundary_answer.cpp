#include "cad/boundary_answer.h"

#include <string>
#include <vector>

#include "geometry/text_helpers.h"

namespace zelkan {

namespace {

std::string UpperAscii(std::string_view s) {
    std::string upper(s);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::vector<std::string_view> LinesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The command's own echo names it with its dash; its answer without.
bool IsCommandEcho(std::string_view line) { return UpperAscii(line).find("-BOUNDARY") != std::string::npos; }

std::optional<int> CountInAnswer(std::string_view line) {
    const std::string upper = UpperAscii(Trimmed(line));
    if (upper.rfind("BOUNDARY", 0) != 0) return std::nullopt;
    size_t digit = upper.find_first_of("0123456789");
    if (digit == std::string::npos) return std::nullopt;
    int count = 0;
    for (; digit < upper.size() && upper[digit] >= '0' && upper[digit] <= '9'; ++digit) {
        if (count > 100000) return std::nullopt;
        count = count * 10 + (upper[digit] - '0');
    }
    return count;
}

}  // namespace

std::optional<int> BoundaryPolylinesMade(std::string_view history) {
    const std::vector<std::string_view> lines = LinesOf(history);
    size_t echo = lines.size();
    for (size_t n = lines.size(); n-- > 0;) {
        if (IsCommandEcho(lines[n])) {
            echo = n;
            break;
        }
    }
    if (echo == lines.size()) return std::nullopt;
    for (size_t n = echo + 1; n < lines.size(); ++n) {
        if (const std::optional<int> count = CountInAnswer(lines[n])) return count;
    }
    return std::nullopt;
}

}  // namespace zelkan
