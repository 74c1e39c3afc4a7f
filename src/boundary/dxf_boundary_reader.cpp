#include "boundary/dxf_boundary_reader.h"

#include <charconv>
#include <optional>
#include <string_view>
#include <vector>

#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "geometry/text_helpers.h"

namespace zelkan {

namespace {

// Walks the group-code / value pairs of a DXF text. Only ASCII keywords and
// numbers are compared, and no Shift-JIS byte can be a line break, so the
// bytes need no decoding.
class PairReader {
public:
    PairReader(std::string_view text, const std::string& fileName) : text_(text), fileName_(fileName) {}

    // The next pair, or false at the end of the file (trailing blank lines
    // included).
    bool Next(int& code, std::string_view& value) {
        SkipBlanks();
        if (pos_ >= text_.size()) return false;
        code = ReadCode();
        SkipRestOfLine();
        value = ReadLine();
        return true;
    }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    void SkipBlanks() {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) {
            if (text_[pos_] == '\n') ++line_;
            ++pos_;
        }
    }

    int ReadCode() {
        size_t end = pos_;
        while (end < text_.size() && !IsBlank(text_[end])) ++end;
        const std::string_view token = text_.substr(pos_, end - pos_);
        int code = 0;
        const char* first = token.data();
        if (!token.empty() && token.front() == '+') ++first;
        const auto [ptr, ec] = std::from_chars(first, token.data() + token.size(), code);
        if (ec != std::errc() || ptr != token.data() + token.size() || first == token.data() + token.size())
            throw InputOutputError(fileName_, "DXF の" + std::to_string(line_) + "行目のグループコードが整数ではありません");
        pos_ = end;
        return code;
    }

    void SkipRestOfLine() {
        while (pos_ < text_.size() && text_[pos_] != '\n') ++pos_;
        if (pos_ < text_.size()) {
            ++pos_;
            ++line_;
        }
    }

    // The whole next line without its line end (LF or CR LF), untrimmed.
    std::string_view ReadLine() {
        const size_t start = pos_;
        SkipRestOfLine();
        std::string_view line = text_.substr(start, pos_ - start);
        if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return line;
    }

    std::string_view text_;
    const std::string& fileName_;
    size_t pos_ = 0;
    int line_ = 1;
};

// A vertex as the file supplies it: either coordinate may be missing.
struct ReadVertex {
    std::optional<double> x;
    std::optional<double> y;
};

}  // namespace

bool ReadBoundaryDxf(const std::string& fileName, EngineTables& t) {
    const std::string bytes = ReadFileBytes(fileName);
    PairReader reader(bytes, fileName);

    // Collected first and committed at the end, so that a failure leaves the
    // table as it was.
    std::vector<ReadVertex> vertices;
    bool inEntities = false;
    int polylines = 0;  // never reset: every VERTEX after the first polyline counts

    int code = 0;
    std::string_view value;
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
