#include "boundary/dxf_boundary_reader.h"

#include <charconv>
#include <cmath>
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
        valueLine_ = lines_.lineNumber();
        return true;
    }

    // The line of the last value read.
    int64_t valueLine() const { return valueLine_; }

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
    int64_t valueLine_ = 0;
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
    // The boundary is the first polyline of the ENTITIES section, from its
    // POLYLINE to its SEQEND: what comes after it (a second polyline, texts,
    // lines) never moves its corners.
    enum class Polyline { NotYet, Open, Ended } polyline = Polyline::NotYet;
    bool inVertex = false;  // the entity being read is a VERTEX of the boundary

    int code = 0;
    std::string value;
    while (reader.Next(code, value)) {
        if (code == 0 && value == "SECTION") inEntities = false;
        if (code == 0) inVertex = false;
        if (code == 0 && value == "POLYLINE" && inEntities && polyline == Polyline::NotYet) polyline = Polyline::Open;
        if (code == 0 && value == "SEQEND" && polyline == Polyline::Open) polyline = Polyline::Ended;
        if (code == 0 && value == "VERTEX" && polyline == Polyline::Open) {
            if (static_cast<int32_t>(vertices.size()) >= kMaxVertices) throw CapacityError(kXynumOverflow);
            vertices.emplace_back();
            inVertex = true;
        }
        if (code == 2 && value == "ENTITIES" && !inEntities) inEntities = true;
        if (inVertex && (code == 10 || code == 20) && !value.empty()) {
            const std::string_view number = TrimSpaceNul(value);
            // A blank value reads as 0; anything else must be a number.
            if (!number.empty() && !IsDecimalNumber(number))
                throw InputOutputError(fileName, "DXF の" + std::to_string(reader.valueLine()) +
                                                     "行目の座標が数ではありません");
            // Beyond every double StrToReal gives 0: keep it beyond, for the
            // boundary check to refuse.
            double coordinate = StrToReal(value);
            if (DecimalBeyondDouble(number)) coordinate = number.front() == '-' ? -HUGE_VAL : HUGE_VAL;
            (code == 10 ? vertices.back().x : vertices.back().y) = coordinate;
        }
    }
    if (polyline == Polyline::Open)
        throw InputOutputError(fileName, "DXF がポリラインの途中で終わっています（SEQEND がありません）");

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
