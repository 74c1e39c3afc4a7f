#include "boundary/coordinate_files.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>

#include "boundary/dxf_pairs.h"

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

std::optional<long double> Coordinate(std::string_view text) {
    const std::optional<double> value = CoordinateOfText(text);
    if (!value) return std::nullopt;
    return static_cast<long double>(*value);
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

LineReader OpenText(const std::string& path) { return OpenTextPastByteOrderMark(path); }

[[noreturn]] void BadLine(const std::string& path, int64_t line, const std::string& what) {
    throw InputOutputError(path, std::to_string(line) + " 行目: " + what);
}

}  // namespace

std::string TextOfLine(const std::string& line) { return IsUtf8(line) ? line : Cp932ToUtf8(line); }

namespace {

// The codes of the SIMA records a file of parcels holds. Point names of
// the same shape (P22, K01) are common in lists; only these tell.
bool IsSimaRecordCode(std::string_view field) {
    for (const char* code : {"G00", "Z00", "Z01", "A00", "A01", "A99", "D00", "B01", "D99"})
        if (field == code) return true;
    return false;
}

// "点名,X,Y", perhaps with a height: what a coordinate list's corner looks
// like, whatever its name.
bool IsListCorner(const std::vector<std::string>& f) {
    return (f.size() == 3 || f.size() == 4) && IsDecimalNumber(f[1]) && IsDecimalNumber(f[2]) &&
           (f.size() == 3 || f[3].empty() || IsDecimalNumber(f[3]));
}

}  // namespace

ParcelFileKind KindOfParcelFile(const std::string& path) {
    LineReader reader = OpenText(path);
    std::string line;
    bool listed = false;
    // A corner named like a SIMA record (A01, Z00) is still a corner: the
    // file is SIMA once a line begins with a record code and reads as no
    // corner ("A00,", "G00,04,分譲地,", "A01,1,P1,-11990.000,-33990.000,,").
    for (int checked = 0; checked < 50 && reader.Next(line);) {
        const std::string text(TrimSpaceNul(TextOfLine(line)));
        if (text.empty()) continue;
        ++checked;
        if (!listed && (text == "0" || text.find(',') == std::string::npos)) return ParcelFileKind::BoundaryDxf;
        listed = true;
        const std::vector<std::string> f = Fields(text);
        if (IsSimaRecordCode(f[0]) && !IsListCorner(f)) return ParcelFileKind::Sima;
    }
    return listed ? ParcelFileKind::CoordinateList : ParcelFileKind::BoundaryDxf;
}

namespace {

// A point of a SIMA file as its A01 records define it: where first, and
// where a second record gives it other coordinates.
struct PointDefinition {
    TAcadPoint point;
    std::string name;  // the point's name, else its number
    int64_t line = 0;
    int64_t otherLine = 0;  // 0: never defined otherwise
};

using PointTable = std::map<std::string, PointDefinition>;

void Define(PointTable& table, const std::string& key, const TAcadPoint& p, const std::string& name, int64_t line) {
    if (key.empty()) return;
    const auto [at, added] = table.try_emplace(key, PointDefinition{p, name, line, 0});
    // The same coordinates twice are one point; other ones make every
    // corner that names the point ambiguous.
    if (!added && at->second.otherLine == 0 && (at->second.point.x != p.x || at->second.point.y != p.y))
        at->second.otherLine = line;
}

// A B01 record: the point it names by number and by name, and its line.
struct CornerReference {
    std::string number;
    std::string name;
    int64_t line = 0;
};

struct SimaParcel {
    ParcelRecord record;
    std::vector<CornerReference> corners;
};

// The parcel's corners from the file's points, all read: by number, by
// name where the number is missing or unknown. The first corner that names
// no point, or a point defined twice, is the parcel's problem.
ParcelRecord Resolve(SimaParcel parcel, const PointTable& byNumber, const PointTable& byName) {
    ParcelRecord& record = parcel.record;
    for (const CornerReference& c : parcel.corners) {
        const auto number = c.number.empty() ? byNumber.end() : byNumber.find(c.number);
        const auto name = c.name.empty() ? byName.end() : byName.find(c.name);
        const PointDefinition* found = number != byNumber.end() ? &number->second
                                       : name != byName.end()   ? &name->second
                                                                : nullptr;
        if (found != nullptr && found->otherLine == 0) {
            record.corners.push_back(found->point);
            record.cornerNames.push_back(found->name);
            continue;
        }
        ++record.unknownCorners;
        if (!record.problem.empty()) continue;
        const std::string point = c.number + " " + c.name;
        record.problem = found == nullptr
                             ? std::to_string(c.line) + " 行目の点 " + point + " が座標にありません"
                             : std::to_string(c.line) + " 行目の点 " + point + " の座標が " + std::to_string(found->line) +
                                   " 行目と " + std::to_string(found->otherLine) + " 行目で異なります";
    }
    Finish(record);
    return std::move(record);
}

}  // namespace

CoordinateFile ReadSimaFile(const std::string& path) {
    LineReader reader = OpenText(path);
    CoordinateFile file;
    PointTable byNumber, byName;
    std::vector<SimaParcel> parcels;
    bool open = false;  // a D00 without its D99 yet: a file may end so
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
            const std::string name = field(2).empty() ? field(1) : field(2);
            Define(byNumber, field(1), p, name, reader.lineNumber());
            Define(byName, field(2), p, name, reader.lineNumber());
        } else if (record == "D00") {
            parcels.emplace_back();
            parcels.back().record.number = field(1);
            parcels.back().record.name = field(2);
            open = true;
        } else if (record == "B01" && open) {
            parcels.back().corners.push_back(CornerReference{field(1), field(2), reader.lineNumber()});
        } else if (record == "D99") {
            open = false;
        }
    }
    if (parcels.empty()) throw InputOutputError(path, "画地（D00）がありません");
    for (SimaParcel& parcel : parcels) file.parcels.push_back(Resolve(std::move(parcel), byNumber, byName));
    return file;
}

namespace {

// A header names the columns: no field of it is a number. A line with a
// number in it is a corner, broken or not.
bool IsHeader(const std::vector<std::string>& fields) {
    return std::none_of(fields.begin(), fields.end(), [](const std::string& f) { return IsDecimalNumber(f); });
}

}  // namespace

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
        const bool header = first && IsHeader(f);
        first = false;
        if (header) continue;
        const std::optional<long double> x = f.size() >= 3 ? Coordinate(f[1]) : std::nullopt;
        const std::optional<long double> y = f.size() >= 3 ? Coordinate(f[2]) : std::nullopt;
        if (!x || !y) BadLine(path, reader.lineNumber(), "「点名,X,Y」の行ではありません");
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

// A polyline of the ENTITIES section as the file gives it.
struct DrawnPolyline {
    std::string layer;
    std::vector<TAcadPoint> corners;
    bool closed = false;    // group 70 bit 1
    size_t arcVertex = 0;   // the first vertex with a bulge, from 1; 0 for none
};

// What a drawing holds beside its polylines, for saying why none is a parcel.
struct DrawingContents {
    std::set<std::string> layers;  // of every object of the ENTITIES section
    size_t openPolylines = 0;      // on the layer asked for (or on any)
};

// Walks the polylines (LWPOLYLINE, and POLYLINE with its VERTEXes) of the
// ENTITIES section; found(polyline) for each.
template <typename Found>
void ForEachPolyline(const std::string& path, DrawingContents& contents, Found found) {
    DxfPairReader reader(OpenText(path), path);
    enum class Kind { None, Light, Heavy, Vertex, Other };
    Kind kind = Kind::None;
    bool inEntities = false, sectionNamed = false, inHeavy = false;
    DrawnPolyline polyline;
    const auto finish = [&] {
        found(polyline);
        polyline = DrawnPolyline{};
    };
    int32_t code = 0;
    std::string value;
    while (reader.Next(code, value)) {
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
                if (inHeavy) finish();  // a POLYLINE without its SEQEND
                kind = Kind::Heavy;
                inHeavy = true;
            } else if (text == "VERTEX" && inHeavy) {
                kind = Kind::Vertex;
            } else if (text == "SEQEND" && inHeavy) {
                finish();
                inHeavy = false;
                kind = Kind::None;
            } else {
                kind = Kind::Other;
            }
            continue;
        }
        if (sectionNamed && code == 2) {
            inEntities = text == "ENTITIES";
            sectionNamed = false;
            continue;
        }
        if (!inEntities) continue;
        if (code == 8 && kind != Kind::Vertex) {
            const std::string layer = WithoutUnicodeEscapes(TextOfLine(text));
            contents.layers.insert(layer);
            if (kind == Kind::Light || kind == Kind::Heavy) polyline.layer = layer;
        }
        if (kind == Kind::None || kind == Kind::Other) continue;
        const auto number = [&] {
            const std::optional<long double> n = Coordinate(text);
            if (!n) BadLine(path, reader.valueLine(), "座標が数ではありません");
            return *n;
        };
        if ((kind == Kind::Light || kind == Kind::Heavy) && code == 70) {
            const std::optional<int32_t> flags = DxfInteger(text);
            if (!flags) BadLine(path, reader.valueLine(), "ポリラインのフラグ（グループ 70）が整数ではありません");
            polyline.closed = (*flags & 1) != 0;
        }
        const bool vertexGroup = kind == Kind::Light || kind == Kind::Vertex;
        if (vertexGroup && code == 10) polyline.corners.push_back(TAcadPoint{number(), 0, 0});
        if (vertexGroup && code == 20 && !polyline.corners.empty()) polyline.corners.back().y = number();
        if (vertexGroup && code == 42 && number() != 0 && polyline.arcVertex == 0)
            polyline.arcVertex = std::max<size_t>(polyline.corners.size(), 1);
    }
    if (kind == Kind::Light || inHeavy) finish();
}

// Closed by its flag, or by a last vertex on its first: the same boundary.
bool IsClosed(const DrawnPolyline& p) {
    const auto& c = p.corners;
    return p.closed || (c.size() >= 4 && c.front().x == c.back().x && c.front().y == c.back().y);
}

// Why a drawing gave no parcel.
std::string NoParcelMessage(const DrawingContents& contents, const std::string& layer) {
    if (!layer.empty() && contents.layers.count(layer) == 0) return "画層「" + layer + "」の図形がありません";
    const std::string where = layer.empty() ? "" : "画層「" + layer + "」に";
    return where + "閉じたポリラインがありません" +
           (contents.openPolylines > 0
                ? "（開いたポリライン " + std::to_string(contents.openPolylines) + " 本は筆として読みません）"
                : "");
}

}  // namespace

CoordinateFile ReadDxfPolylines(const std::string& path, const std::string& layer) {
    CoordinateFile file;
    DrawingContents contents;
    int32_t number = 0;
    ForEachPolyline(path, contents, [&](const DrawnPolyline& polyline) {
        if (!layer.empty() && polyline.layer != layer) return;
        if (!IsClosed(polyline)) {
            ++contents.openPolylines;
            return;
        }
        ParcelRecord parcel;
        parcel.number = std::to_string(++number);
        parcel.name = parcel.number;
        parcel.corners = polyline.corners;
        if (polyline.arcVertex != 0) parcel.problem = ArcAtVertexMessage(polyline.arcVertex);
        Finish(parcel);
        file.parcels.push_back(std::move(parcel));
    });
    if (file.parcels.empty()) throw InputOutputError(path, NoParcelMessage(contents, layer));
    return file;
}

bool NeedsPolylineReader(const std::string& path, const std::string& layer) {
    if (!layer.empty()) return true;
    // Only the drawing's own objects count, not the polylines of block
    // definitions; the answer is known at the first LWPOLYLINE or second
    // POLYLINE.
    int polylines = 0;
    bool inEntities = false, sectionNamed = false;
    DxfPairReader reader(OpenText(path), path);
    int32_t code = 0;
    std::string value;
    while (reader.Next(code, value)) {
        const std::string_view text = TrimSpaceNul(value);
        if (code == 2 && sectionNamed) inEntities = text == "ENTITIES";
        sectionNamed = code == 0 && text == "SECTION";
        if (code != 0 || !inEntities) continue;
        if (text == "ENDSEC") break;
        if (text == "LWPOLYLINE" || (text == "POLYLINE" && ++polylines > 1)) return true;
    }
    return false;
}

}  // namespace zelkan
