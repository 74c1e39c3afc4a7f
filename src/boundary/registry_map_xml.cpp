// The 地図XML of one file. Every place the reader finds wrong, and every
// place the parser stops, is a line of the text as the user has it. It
// reads one element of the map at a time (a point, a curve, a 筆: the
// children of 空間属性 and 主題属性) from a copy of its own, whose contents
// are kept in small tables, and then the rest of the file without those
// elements: a tree of the whole file would take twice the file's size
// again. The text itself is only read, so that a file can be mapped into
// memory as it is instead of copied.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <memory_resource>
#include <unordered_map>

#include "boundary/registry_map.h"
#include "boundary/registry_map_xml.h"
#include "boundary/xml_text.h"
#include "geometry/errors.h"
#include "geometry/large_buffer.h"
#include "geometry/text_helpers.h"
#include "geometry/unicode_text.h"

namespace zelkan {

namespace {

using xml::Attribute;
using xml::Child;
using xml::Descendant;
using xml::Descendants;
using xml::Lines;
using xml::LocalName;
using xml::Node;
using xml::TextOf;

// A 筆 that cannot be measured: the reason, said where the file is wrong.
struct ParcelProblem {
    std::string reason;
};

struct Corner {
    long double north = 0, east = 0;
    std::string pointId;  // empty for a position written in the curve
    bool operator==(const Corner& o) const { return north == o.north && east == o.east; }
};

// A place in the text that a reason names: the line, or a reason already
// made (a coordinate that is no number).
struct Position {
    Corner corner;
    std::string problem;
};

struct CurveEntry {
    explicit CurveEntry(std::pmr::memory_resource* arena) : columns(arena), columnPlaces(arena) {}
    std::pmr::vector<Position> columns;  // a position written in the curve, or a point id to look up
    std::pmr::vector<size_t> columnPlaces;
    bool reversed = false;
    size_t place = 0;
};

struct Reference {
    std::string id;
    size_t place = 0;
};

struct SurfaceEntry {
    explicit SurfaceEntry(std::pmr::memory_resource* arena) : generators(arena) {}
    std::pmr::vector<Reference> generators;  // of the outer ring
    size_t outerRings = 0, innerRings = 0;
    size_t place = 0, ringPlace = 0, innerPlace = 0;
};

struct FudeEntry {
    std::string number, accuracy, district, notAParcel;
    bool hasShape = false;
    Reference shape;
    size_t place = 0;
};

// An element's text, trimmed, as UTF-8: a file in code page 932 is read too.
std::string ChildText(const Node& n, std::string_view local) { return TextOf(Child(n, local)); }

// Why a 筆 is no parcel to measure, before its shape is looked at; empty
// for one with a 地番.
std::string NotAParcel(const Node& fude, const std::string& number) {
    if (Child(fude, "筆界未定構成筆")) {
        std::string members;
        for (const Node* c = fude.first_node(); c; c = c->next_sibling()) {
            if (c->type() != rapidxml::node_element || LocalName(*c) != "筆界未定構成筆") continue;
            const Node* numbered = Descendant(*c, "地番");
            const std::string member = numbered ? TextOf(numbered) : TextOf(c);
            if (!member.empty()) members += (members.empty() ? "" : "、") + member;
        }
        return "筆界未定の筆です" + (members.empty() ? std::string() : "（構成筆 " + members + "）");
    }
    bool digit = number.find_first_of("0123456789") != std::string::npos;
    for (char32_t c = U'０'; !digit && c <= U'９'; ++c) {
        std::string wide;
        AppendUtf8(wide, c);
        digit = number.find(wide) != std::string::npos;
    }
    if (!digit) return "地番のない筆です" + (number.empty() ? std::string() : "（" + number + "）");
    return {};
}

// The file's points, curves and surfaces by their ids, the names of its
// boundary points and its 筆, taken from the elements one at a time; then
// the parcels built from them.
class MapTables {
public:
    // pieces: how many elements the map has, an upper bound of each table's size.
    MapTables(std::string_view text, Lines& lines, size_t pieces) : text_(text), lines_(lines) {
        points_.reserve(pieces / 2);
        curves_.reserve(pieces / 2);
        pointNames_.reserve(pieces / 2);
    }

    // n parsed from a copy of the text from pieceStart on, at pieceText.
    void Take(const Node& n, size_t pieceStart, const char* pieceText) {
        pieceStart_ = pieceStart;
        pieceText_ = pieceText;
        const std::string_view kind = LocalName(n);
        if (kind == "GM_Point") TakePoint(n);
        else if (kind == "GM_Curve") TakeCurve(n);
        else if (kind == "GM_Surface") TakeSurface(n);
        else if (kind == "筆界点") TakePointName(n);
        else if (kind == "筆") TakeFude(n);
    }

    void AppendParcels(const std::string& zone, std::vector<ParcelRecord>& parcels, std::vector<std::string>& districts) {
        for (const FudeEntry& fude : fude_) {
            parcels.push_back(ParcelOf(fude, zone));
            districts.push_back(fude.district);
        }
    }

private:
    size_t PlaceOf(const char* p) const { return pieceStart_ + static_cast<size_t>(p - pieceText_); }
    std::string Where(size_t place) { return lines_.Of(text_.data() + place); }

    Position PositionIn(const Node& n) {
        const Node* x = Descendant(n, "X");
        const Node* y = Descendant(n, "Y");
        if (!x || !y) return {{}, Where(PlaceOf(n.name())) + ": 点に座標（X, Y）がありません"};
        Position p;
        for (const auto& [node, value] : {std::pair{x, &p.corner.north}, std::pair{y, &p.corner.east}}) {
            const std::string number = TextOf(node);
            if (!IsDecimalNumber(number)) {
                p.problem = Where(PlaceOf(node->value())) + ": 座標「" + number + "」が数ではありません";
                return p;
            }
            *value = static_cast<long double>(StrToReal(number));
        }
        return p;
    }

    void TakePoint(const Node& n) { points_.emplace(std::string(Attribute(n, "id")), PositionIn(n)); }

    void TakeCurve(const Node& n) {
        CurveEntry curve(&arena_);
        curve.place = PlaceOf(n.name());
        std::vector<const Node*> columns;
        Descendants(n, "GM_PointArray.column", columns);
        curve.columns.reserve(columns.size());
        curve.columnPlaces.reserve(columns.size());
        for (const Node* column : columns) {
            if (const Node* ref = Descendant(*column, "GM_PointRef.point")) {
                Position p;
                p.corner.pointId = std::string(Attribute(*ref, "idref"));
                // Without its id the reference would read as a point at 0, 0.
                if (p.corner.pointId.empty()) p.problem = Where(PlaceOf(ref->name())) + ": 点の参照（idref）がありません";
                curve.columns.push_back(std::move(p));
                curve.columnPlaces.push_back(PlaceOf(ref->name()));
            } else {
                curve.columns.push_back(PositionIn(*column));
                curve.columnPlaces.push_back(PlaceOf(column->name()));
            }
        }
        curve.reversed = TextOf(Descendant(n, "GM_OrientablePrimitive.orientation")) == "-";
        curves_.emplace(std::string(Attribute(n, "id")), std::move(curve));
    }

    void TakeSurface(const Node& n) {
        SurfaceEntry surface(&arena_);
        surface.place = PlaceOf(n.name());
        std::vector<const Node*> outer, inner, generators;
        Descendants(n, "GM_SurfaceBoundary.exterior", outer);
        Descendants(n, "GM_SurfaceBoundary.interior", inner);
        surface.outerRings = outer.size();
        surface.innerRings = inner.size();
        if (!inner.empty()) surface.innerPlace = PlaceOf(inner.front()->name());
        if (outer.size() == 1) {
            surface.ringPlace = PlaceOf(outer.front()->name());
            Descendants(*outer.front(), "GM_CompositeCurve.generator", generators);
            for (const Node* g : generators)
                surface.generators.push_back({std::string(Attribute(*g, "idref")), PlaceOf(g->name())});
        }
        surfaces_.emplace(std::string(Attribute(n, "id")), std::move(surface));
    }

    void TakePointName(const Node& n) {
        const Node* shape = Child(n, "形状");
        std::string name = ChildText(n, "点番名");
        if (shape && !name.empty()) pointNames_.emplace(std::string(Attribute(*shape, "idref")), std::move(name));
    }

    void TakeFude(const Node& n) {
        FudeEntry fude;
        fude.place = PlaceOf(n.name());
        fude.number = ChildText(n, "地番");
        fude.accuracy = ChildText(n, "精度区分");
        fude.district = ChildText(n, "大字名") + ChildText(n, "丁目名");
        fude.notAParcel = NotAParcel(n, fude.number);
        if (const Node* shape = Child(n, "形状")) {
            fude.hasShape = true;
            fude.shape = {std::string(Attribute(*shape, "idref")), PlaceOf(shape->name())};
        }
        fude_.push_back(std::move(fude));
    }

    ParcelRecord ParcelOf(const FudeEntry& fude, const std::string& zone) {
        ParcelRecord parcel;
        parcel.number = fude.number;
        parcel.precisionClass = fude.accuracy;
        parcel.zone = zone;
        parcel.problem = fude.notAParcel;
        if (!parcel.problem.empty()) return parcel;
        if (!fude.hasShape) {
            parcel.problem = "形状（面）がありません（" + Where(fude.place) + "）";
            return parcel;
        }
        try {
            const std::vector<Corner> ring = Outline(fude.shape);
            bool named = false;
            for (const Corner& c : ring) {
                parcel.corners.push_back(TAcadPoint{c.east, c.north, 0});  // X north is the drawing's y
                const auto name = pointNames_.find(c.pointId);
                parcel.cornerNames.push_back(name == pointNames_.end() || c.pointId.empty() ? std::string() : name->second);
                named = named || !parcel.cornerNames.back().empty();
            }
            if (!named) parcel.cornerNames.clear();
            if (parcel.corners.size() < 3)
                parcel.problem = "構成点が " + std::to_string(parcel.corners.size()) + " 点しかありません（3 点以上が必要です）";
        } catch (const ParcelProblem& p) {
            parcel.problem = p.reason;
            parcel.corners.clear();
            parcel.cornerNames.clear();
        }
        return parcel;
    }

    // The corners of a surface's one outer ring: its curves chained end to
    // end, each turned where it runs the other way; closed, with its last
    // corner (the first again) left out.
    std::vector<Corner> Outline(const Reference& shape) {
        const auto found = surfaces_.find(shape.id);
        if (shape.id.empty() || found == surfaces_.end())
            throw ParcelProblem{Where(shape.place) + "の面 " + shape.id + " がありません"};
        const SurfaceEntry& surface = found->second;
        if (surface.innerRings > 0)
            throw ParcelProblem{"穴（内側の境界）が " + std::to_string(surface.innerRings) +
                                " つあります。穴のある筆は三斜に分けられません（" + Where(surface.innerPlace) + "）"};
        if (surface.outerRings != 1)
            throw ParcelProblem{"面 " + shape.id + " の外側の境界が " + std::to_string(surface.outerRings) + " つあります（" +
                                Where(surface.place) + "）"};
        if (surface.generators.empty()) throw ParcelProblem{Where(surface.ringPlace) + ": 境界に曲線がありません"};
        std::vector<Corner> ring;
        for (size_t k = 0; k < surface.generators.size(); ++k) {
            std::vector<Corner> curve = Curve(surface.generators[k]);
            if (k == 0) {
                ring = std::move(curve);
                continue;
            }
            if (k == 1 && !(ring.back() == curve.front() || ring.back() == curve.back()) &&
                (ring.front() == curve.front() || ring.front() == curve.back()))
                std::reverse(ring.begin(), ring.end());  // the first curve runs the other way
            if (ring.back() == curve.back()) std::reverse(curve.begin(), curve.end());
            if (!(ring.back() == curve.front()))
                throw ParcelProblem{Where(surface.generators[k].place) + ": 曲線 " + surface.generators[k].id +
                                    " が前の曲線につながりません"};
            ring.insert(ring.end(), std::make_move_iterator(curve.begin() + 1), std::make_move_iterator(curve.end()));
        }
        if (ring.size() < 2 || !(ring.front() == ring.back()))
            throw ParcelProblem{"境界が閉じていません（" + Where(surface.ringPlace) + "）"};
        ring.pop_back();
        return ring;
    }

    std::vector<Corner> Curve(const Reference& generator) {
        const auto found = curves_.find(generator.id);
        if (generator.id.empty() || found == curves_.end())
            throw ParcelProblem{Where(generator.place) + "の曲線 " + generator.id + " がありません"};
        const CurveEntry& curve = found->second;
        if (curve.columns.size() < 2)
            throw ParcelProblem{Where(curve.place) + ": 曲線 " + generator.id + " の点が 2 つありません"};
        std::vector<Corner> corners;
        for (size_t k = 0; k < curve.columns.size(); ++k) {
            const Position* p = &curve.columns[k];
            if (!p->corner.pointId.empty()) {
                const auto point = points_.find(p->corner.pointId);
                if (point == points_.end())
                    throw ParcelProblem{Where(curve.columnPlaces[k]) + "の点 " + p->corner.pointId + " がありません"};
                p = &point->second;
            }
            if (!p->problem.empty()) throw ParcelProblem{p->problem};
            corners.push_back(p->corner);
            corners.back().pointId = curve.columns[k].corner.pointId;
        }
        if (curve.reversed) std::reverse(corners.begin(), corners.end());
        return corners;
    }

    std::string_view text_;
    Lines& lines_;
    size_t pieceStart_ = 0;
    const char* pieceText_ = nullptr;
    // Every table lives until the file's parcels are made, and goes at once.
    LargeBufferResource buffers_;
    std::pmr::monotonic_buffer_resource arena_{size_t{1} << 20, &buffers_};
    std::pmr::unordered_map<std::string, Position> points_{&arena_};
    std::pmr::unordered_map<std::string, CurveEntry> curves_{&arena_};
    std::pmr::unordered_map<std::string, SurfaceEntry> surfaces_{&arena_};
    std::pmr::unordered_map<std::string, std::string> pointNames_{&arena_};
    std::vector<FudeEntry> fude_;
};

}  // namespace

void AppendRegistryMapParcels(std::string_view fileText, const std::string& label, std::vector<ParcelRecord>& parcels,
                              std::vector<std::string>& districts) {
    std::string converted;
    const std::string_view text = xml::Utf8Of(fileText, label, converted);
    Lines lines(text);
    const xml::Outline outline = xml::OutlineOf(text, {"空間属性", "主題属性"}, label, lines);
    if (!outline.rootName.empty() && outline.rootName != "地図")
        throw InputOutputError(label, "地図XML ではありません（最上位の要素が「" + outline.rootName + "」です）");
    const auto document = std::make_unique<rapidxml::xml_document<char>>();
    MapTables tables(text, lines, outline.pieces.size());
    std::string scratch;
    for (const xml::Piece& piece : outline.pieces) {
        xml::ParsePart(*document, scratch, text, piece.start, piece.end, label, lines);
        const Node* element = document->first_node();
        if (!element || element->next_sibling())
            throw InputOutputError(label, lines.Of(text.data() + piece.start) + ": XML の誤りです（要素が閉じていません）");
        tables.Take(*element, piece.start, scratch.data());
    }
    // The rest of the file, without the map's elements (their lines kept).
    const std::string rest = xml::TextBeside(text, outline.pieces);
    Lines restLines(rest);
    xml::ParsePart(*document, scratch, rest, 0, rest.size(), label, restLines);
    const Node* root = document->first_node();
    while (root && root->type() != rapidxml::node_element) root = root->next_sibling();
    if (!root || LocalName(*root) != "地図")
        throw InputOutputError(label, "地図XML ではありません（最上位の要素が「" +
                                          (root ? std::string(root->name(), root->name_size()) : std::string()) + "」です）");
    tables.AppendParcels(ChildText(*root, "座標系"), parcels, districts);
}

void NameRegistryMapParcels(std::vector<ParcelRecord>& parcels, const std::vector<std::string>& districts) {
    std::map<std::string, int> numbers;
    for (const ParcelRecord& p : parcels) ++numbers[p.number];
    std::map<std::string, int> names;
    for (size_t k = 0; k < parcels.size(); ++k) {
        ParcelRecord& p = parcels[k];
        if (!p.name.empty()) continue;  // named by the archive reader (a file it could not read)
        p.name = numbers[p.number] > 1 && k < districts.size() ? districts[k] + p.number : p.number;
    }
    for (ParcelRecord& p : parcels) {
        if (const int seen = ++names[p.name]; seen > 1) p.name += "（" + std::to_string(seen) + "）";
    }
}

CoordinateFile ReadRegistryMapXml(std::string_view text, const std::string& label) {
    CoordinateFile file;
    std::vector<std::string> districts;
    AppendRegistryMapParcels(text, label, file.parcels, districts);
    NameRegistryMapParcels(file.parcels, districts);
    if (!file.parcels.empty()) file.zone = file.parcels.front().zone;
    return file;
}

}  // namespace zelkan