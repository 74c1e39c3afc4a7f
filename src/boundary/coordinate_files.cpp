#include "boundary/coordinate_files.h"

#include <map>
#include <optional>

#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "geometry/line_reader.h"
#include "geometry/text_helpers.h"
#include "geometry/unicode_text.h"

namespace zelkan {

namespace {

bool IsUtf8(std::string_view s) {
    for (size_t n = 0; n < s.size();) {
        char32_t c = 0;
        size_t length = 0;
        if (!DecodeUtf8(s, n, c, length)) return false;
        n += length;
    }
    return true;
}

// The comma-separated fields of a line, each trimmed of blanks.
std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        const size_t comma = line.find(',', start);
        const std::string_view field = std::string_view(line).substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        fields.push_back(Trimmed(field));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return fields;
}

std::optional<long double> Coordinate(const std::string& text) {
    if (!IsDecimalNumber(text)) return std::nullopt;
    return static_cast<long double>(StrToReal(text));
}

void Finish(ParcelRecord& parcel) {
    auto& c = parcel.corners;
    if (c.size() >= 2 && c.front().x == c.back().x && c.front().y == c.back().y) {
        c.pop_back();
        if (parcel.cornerNames.size() > c.size()) parcel.cornerNames.resize(c.size());
    }
    if (parcel.problem.empty() && c.size() < 3)
        parcel.problem = "構成点が " + std::to_string(c.size()) + " 点しかありません（3 点以上が必要です）";
}

// The file's lines, past a UTF-8 byte order mark.
LineReader OpenText(const std::string& path) {
    return LineReader(path, LineReader::Units::Bytes, FileStart(path, 3).rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0);
}

[[noreturn]] void BadLine(const std::string& path, int64_t line, const std::string& what) {
    throw InputOutputError(path, std::to_string(line) + " 行目: " + what);
}

}  // namespace

std::string TextOfLine(const std::string& line) { return IsUtf8(line) ? line : Cp932ToUtf8(line); }

ParcelFileKind KindOfParcelFile(const std::string& path) {
    LineReader reader = OpenText(path);
    std::string line;
    for (int checked = 0; checked < 20 && reader.Next(line); ++checked) {
        const std::string text(TrimSpaceNul(line));
        if (text.empty()) continue;
        if (text.rfind("G00,", 0) == 0 || text.rfind("Z00,", 0) == 0 || text.rfind("A00,", 0) == 0 ||
            text.rfind("A01,", 0) == 0)
            return ParcelFileKind::Sima;
        if (text == "0" || text.find(',') == std::string::npos) return ParcelFileKind::BoundaryDxf;
        return ParcelFileKind::CoordinateList;
    }
    return ParcelFileKind::BoundaryDxf;
}

CoordinateFile ReadSimaFile(const std::string& path) {
    LineReader reader = OpenText(path);
    CoordinateFile file;
    std::map<std::string, TAcadPoint> byNumber, byName;
    std::map<std::string, std::string> nameOfNumber;  // a point's name, else its number
    std::optional<ParcelRecord> parcel;
    std::string raw;
    while (reader.Next(raw)) {
        const std::vector<std::string> f = Fields(TextOfLine(raw));
        const std::string& record = f[0];
        const auto field = [&f](size_t n) { return n < f.size() ? f[n] : std::string(); };
        if (record == "Z01") {
            file.zone = field(1);
        } else if (record == "A01") {
            const std::optional<long double> x = Coordinate(field(3)), y = Coordinate(field(4));
            if (!x || !y) BadLine(path, reader.lineNumber(), "点の座標（X, Y）が数ではありません");
            const TAcadPoint p{*y, *x, 0};  // X north is the drawing's y
            if (!field(1).empty()) byNumber[field(1)] = p;
            if (!field(1).empty()) nameOfNumber[field(1)] = field(2).empty() ? field(1) : field(2);
            if (!field(2).empty()) byName[field(2)] = p;
        } else if (record == "D00") {
            if (parcel) {
                Finish(*parcel);
                file.parcels.push_back(std::move(*parcel));
            }
            parcel = ParcelRecord{field(1), field(2), {}, {}, {}};
        } else if (record == "B01" && parcel) {
            const auto number = byNumber.find(field(1));
            const auto name = byName.find(field(2));
            if (!field(1).empty() && number != byNumber.end()) {
                parcel->corners.push_back(number->second);
                parcel->cornerNames.push_back(nameOfNumber[field(1)]);
            } else if (!field(2).empty() && name != byName.end()) {
                parcel->corners.push_back(name->second);
                parcel->cornerNames.push_back(field(2));
            } else if (parcel->problem.empty()) {
                parcel->problem = std::to_string(reader.lineNumber()) + " 行目の点 " + field(1) + " " + field(2) +
                                  " が座標にありません";
            }
        } else if (record == "D99" && parcel) {
            Finish(*parcel);
            file.parcels.push_back(std::move(*parcel));
            parcel.reset();
        }
    }
    if (parcel) {  // a file may end without its last D99
        Finish(*parcel);
        file.parcels.push_back(std::move(*parcel));
    }
    return file;
}

CoordinateFile ReadCoordinateList(const std::string& path) {
    LineReader reader = OpenText(path);
    CoordinateFile file;
    ParcelRecord parcel;
    std::string raw;
    bool first = true;
    while (reader.Next(raw)) {
        const std::string text = TextOfLine(raw);
        if (TrimSpaceNul(text).empty()) continue;
        const std::vector<std::string> f = Fields(text);
        const std::optional<long double> x = f.size() >= 3 ? Coordinate(f[1]) : std::nullopt;
        const std::optional<long double> y = f.size() >= 3 ? Coordinate(f[2]) : std::nullopt;
        if (!x || !y) {
            if (first) {  // a header line
                first = false;
                continue;
            }
            BadLine(path, reader.lineNumber(), "「点名,X,Y」の行ではありません");
        }
        first = false;
        parcel.corners.push_back(TAcadPoint{*y, *x, 0});
        parcel.cornerNames.push_back(Trimmed(f[0]));
    }
    parcel.number.assign(1, '1');  // the file holds one parcel
    const size_t slash = path.find_last_of("\\/");
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    parcel.name = name.substr(0, name.find_last_of('.'));
    Finish(parcel);
    file.parcels.push_back(std::move(parcel));
    return file;
}

namespace {

// A DXF text with its "\U+XXXX" escapes (drawings of R2000 to R2004 write
// other characters so) turned into the characters.
std::string WithoutUnicodeEscapes(const std::string& text) {
    std::string out;
    for (size_t n = 0; n < text.size(); ++n) {
        if (text.compare(n, 3, "\\U+") == 0 && n + 7 <= text.size() &&
            text.find_first_not_of("0123456789abcdefABCDEF", n + 3) >= n + 7) {
            AppendUtf8(out, static_cast<char32_t>(std::stoul(text.substr(n + 3, 4), nullptr, 16)));
            n += 6;
        } else {
            out += text[n];
        }
    }
    return out;
}

// Walks the closed polylines of the ENTITIES section; found(layer, corners,
// bulgeVertex) for each (bulgeVertex 0 for none).
template <typename Found>
void ForEachClosedPolyline(const std::string& path, Found found) {
    LineReader reader = OpenText(path);
    enum class Kind { None, Light, Heavy, Vertex };
    Kind kind = Kind::None;
    bool inEntities = false, sectionNamed = false, closed = false, inHeavy = false;
    std::string layer;
    std::vector<TAcadPoint> corners;
    size_t bulgeVertex = 0;
    const auto finish = [&] {
        if (closed) found(layer, corners, bulgeVertex);
        corners.clear();
        closed = false;
        bulgeVertex = 0;
        layer.clear();
    };
    std::string codeLine, value;
    while (reader.Next(codeLine) && reader.Next(value)) {
        int code = 0;
        const std::string codeText(TrimSpaceNul(codeLine));
        if (codeText.empty() || !IsDecimalNumber(codeText)) BadLine(path, reader.lineNumber() - 1, "グループコードが整数ではありません");
        code = static_cast<int>(StrToReal(codeText));
        const std::string text(TrimSpaceNul(value));
        if (code == 0) {
            if (kind == Kind::Light) finish();
            if (text == "SECTION") {
                sectionNamed = true;
                kind = Kind::None;
                continue;
            }
            sectionNamed = false;
            if (text == "ENDSEC") {
                if (inHeavy) finish();
                inHeavy = false;
                inEntities = false;
                kind = Kind::None;
            } else if (!inEntities) {
                kind = Kind::None;
            } else if (text == "LWPOLYLINE") {
                kind = Kind::Light;
            } else if (text == "POLYLINE") {
                kind = Kind::Heavy;
                inHeavy = true;
            } else if (text == "VERTEX" && inHeavy) {
                kind = Kind::Vertex;
            } else if (text == "SEQEND" && inHeavy) {
                finish();
                inHeavy = false;
                kind = Kind::None;
            } else {
                kind = Kind::None;
            }
            continue;
        }
        if (sectionNamed && code == 2) {
            inEntities = text == "ENTITIES";
            sectionNamed = false;
            continue;
        }
        if (kind == Kind::None) continue;
        const auto number = [&] {
            if (!IsDecimalNumber(text)) BadLine(path, reader.lineNumber(), "座標が数ではありません");
            return static_cast<long double>(StrToReal(text));
        };
        if ((kind == Kind::Light || kind == Kind::Heavy) && code == 8) layer = WithoutUnicodeEscapes(TextOfLine(text));
        if ((kind == Kind::Light || kind == Kind::Heavy) && code == 70)
            closed = (static_cast<int>(StrToReal(text)) & 1) != 0;
        const bool vertexGroup = kind == Kind::Light || kind == Kind::Vertex;
        if (vertexGroup && code == 10) corners.push_back(TAcadPoint{number(), 0, 0});
        if (vertexGroup && code == 20 && !corners.empty()) corners.back().y = number();
        if (vertexGroup && code == 42 && number() != 0 && bulgeVertex == 0) bulgeVertex = std::max<size_t>(corners.size(), 1);
    }
    if (kind == Kind::Light || inHeavy) finish();
}

}  // namespace

CoordinateFile ReadDxfPolylines(const std::string& path, const std::string& layer) {
    CoordinateFile file;
    int32_t number = 0;
    ForEachClosedPolyline(path, [&](const std::string& on, const std::vector<TAcadPoint>& corners, size_t bulge) {
        if (!layer.empty() && on != layer) return;
        ParcelRecord parcel;
        parcel.number = std::to_string(++number);
        parcel.name = parcel.number;
        parcel.corners = corners;
        if (bulge != 0)
            parcel.problem = "頂点 " + std::to_string(bulge) +
                             " に円弧があります（筆界は点の間を直線で結びます。CAD で円弧を点に分けてください）";
        Finish(parcel);
        file.parcels.push_back(std::move(parcel));
    });
    return file;
}

bool NeedsPolylineReader(const std::string& path, const std::string& layer) {
    if (!layer.empty()) return true;
    // Only the drawing's own objects count, not the polylines of block
    // definitions; the answer is known at the first LWPOLYLINE or second
    // POLYLINE.
    int polylines = 0;
    bool inEntities = false, sectionNamed = false;
    LineReader reader = OpenText(path);
    std::string codeLine, value;
    while (reader.Next(codeLine) && reader.Next(value)) {
        const std::string_view code = TrimSpaceNul(codeLine), text = TrimSpaceNul(value);
        if (code == "2" && sectionNamed) inEntities = text == "ENTITIES";
        sectionNamed = code == "0" && text == "SECTION";
        if (code != "0" || !inEntities) continue;
        if (text == "ENDSEC") break;
        if (text == "LWPOLYLINE" || (text == "POLYLINE" && ++polylines > 1)) return true;
    }
    return false;
}

}  // namespace zelkan
