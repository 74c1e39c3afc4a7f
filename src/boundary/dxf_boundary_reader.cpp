#include "boundary/dxf_boundary_reader.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

#include "geometry/errors.h"
#include "geometry/line_reader.h"
#include "geometry/text_helpers.h"

namespace zelkan {

namespace {

// Walks the group-code / value pairs of a DXF file, line by line. Only
// ASCII keywords and numbers are compared, and no Shift-JIS byte can be a
// line end, so the bytes need no decoding.
class PairReader {
public:
    explicit PairReader(const std::string& fileName) : lines_(fileName), fileName_(fileName) {}

    // The next pair, or false at the end of the file (trailing blank lines
    // included). Blank lines before a group code are passed over; the code is
    // the first word of its line; the value is the whole next line.
    bool Next(int& code, std::string& value) {
        std::string line;
        size_t first = std::string::npos;
        while (first == std::string::npos) {
            if (!lines_.Next(line)) return false;
            first = line.find_first_not_of(" \t");
        }
        code = ParseCode(std::string_view(line).substr(first));
        if (!lines_.Next(value)) value.clear();
        return true;
    }

private:
    int ParseCode(std::string_view rest) const {
        const std::string_view token = rest.substr(0, rest.find_first_of(" \t"));
        int code = 0;
        const char* first = token.data();
        const char* last = token.data() + token.size();
        if (!token.empty() && token.front() == '+') ++first;
        const auto [ptr, ec] = std::from_chars(first, last, code);
        if (ec != std::errc() || ptr != last || first == last)
            throw InputOutputError(fileName_, "DXF の" + std::to_string(lines_.lineNumber()) +
                                                  "行目のグループコードが整数ではありません");
        return code;
    }

    LineReader lines_;
    const std::string& fileName_;
};

// A vertex as the file supplies it: either coordinate may be missing.
struct ReadVertex {
    std::optional<double> x;
    std::optional<double> y;
};

}  // namespace

bool ReadBoundaryDxf(const std::string& fileName, EngineTables& t) {
    PairReader reader(fileName);

    // Collected first and committed at the end, so that a failure leaves the
    // table as it was.
    std::vector<ReadVertex> vertices;
    bool inEntities = false;
    int polylines = 0;  // never reset: every VERTEX after the first polyline counts

    int code = 0;
    std::string value;
    while (reader.Next(code, value)) {
        if (code == 0 && value == "SECTION") inEntities = false;
        if (code == 0 && value == "POLYLINE" && inEntities) ++polylines;
        if (code == 0 && value == "VERTEX" && polylines > 0) {
            if (static_cast<int32_t>(vertices.size()) >= kMaxVertices) throw CapacityError(kXynumOverflow);
            vertices.emplace_back();
        }
        if (code == 2 && value == "ENTITIES" && !inEntities) inEntities = true;
        if (polylines > 0 && !vertices.empty() && !value.empty()) {
            if (code == 10) vertices.back().x = StrToReal(value);
            if (code == 20) vertices.back().y = StrToReal(value);
        }
    }

    t.xynum = static_cast<int32_t>(vertices.size());
    for (int32_t n = 1; n <= t.xynum; ++n) {
        const ReadVertex& v = vertices[static_cast<size_t>(n) - 1];
        TAcadPoint& p = t.xy[static_cast<size_t>(n)];
        if (v.x) p.x = *v.x;
        if (v.y) p.y = *v.y;
    }
    return true;
}

}  // namespace zelkan
