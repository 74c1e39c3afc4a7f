// The 地図XML of one file. rapidxml reads the text in place and leaves it as
// it is (non-destructive), so that every place the reader finds wrong, and
// every place the parser stops, is a line of the text as the user has it.
// It reads one element of the map at a time (a point, a curve, a 筆: the
// children of 空間属性 and 主題属性), whose contents are kept in small
// tables, and then the rest of the file with those elements blanked out: a
// tree of the whole file would take twice the file's size again.
#include <rapidxml.hpp>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>

#include "boundary/registry_map.h"
#include "boundary/registry_map_xml.h"
#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "geometry/text_helpers.h"
#include "geometry/unicode_text.h"

namespace zelkan {

namespace {

using Node = rapidxml::xml_node<char>;

// Closing tags are checked against their opening ones; no text is changed,
// and element texts are taken from the elements themselves.
constexpr int kParseFlags =
    rapidxml::parse_non_destructive | rapidxml::parse_no_data_nodes | rapidxml::parse_validate_closing_tags;

// Line numbers of places in the text, counted once the first is asked for.
class Lines {
public:
    explicit Lines(const std::string& text) : text_(text) {}

    std::string Of(const char* place) {
        if (newlines_.empty()) {
            newlines_.push_back(0);
            for (size_t n = 0; n < text_.size(); ++n)
                if (text_[n] == '\n') newlines_.push_back(n + 1);
        }
        const size_t offset = static_cast<size_t>(std::clamp<std::ptrdiff_t>(place - text_.data(), 0, static_cast<std::ptrdiff_t>(text_.size())));
        const auto line = std::upper_bound(newlines_.begin(), newlines_.end(), offset) - newlines_.begin();
        return std::to_string(line) + " 行目";
    }

private:
    const std::string& text_;
    std::vector<size_t> newlines_;
};

// A 筆 that cannot be measured: the reason, said where the file is wrong.
struct ParcelProblem {
    std::string reason;
};

std::string_view LocalName(const Node& n) {
    const std::string_view name(n.name(), n.name_size());
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

const Node* Child(const Node& n, std::string_view local) {
    for (const Node* c = n.first_node(); c; c = c->next_sibling())
        if (c->type() == rapidxml::node_element && LocalName(*c) == local) return c;
    return nullptr;
}

// Elements of that name below n, in file order (the nesting is bounded).
void Descendants(const Node& n, std::string_view local, std::vector<const Node*>& found) {
    for (const Node* c = n.first_node(); c; c = c->next_sibling()) {
        if (c->type() != rapidxml::node_element) continue;
        if (LocalName(*c) == local) found.push_back(c);
        Descendants(*c, local, found);
    }
}

const Node* Descendant(const Node& n, std::string_view local) {
    for (const Node* c = n.first_node(); c; c = c->next_sibling()) {
        if (c->type() != rapidxml::node_element) continue;
        if (LocalName(*c) == local) return c;
        if (const Node* d = Descendant(*c, local)) return d;
    }
    return nullptr;
}

std::string_view Attribute(const Node& n, std::string_view local) {
    for (const auto* a = n.first_attribute(); a; a = a->next_attribute()) {
        std::string_view name(a->name(), a->name_size());
        if (const size_t colon = name.find(':'); colon != std::string_view::npos) name.remove_prefix(colon + 1);
        if (name == local) return std::string_view(a->value(), a->value_size());
    }
    return {};
}

// The five named entities and character references; anything else stays
// as written.
std::string Decoded(std::string_view raw) {
    if (raw.find('&') == std::string_view::npos) return std::string(raw);
    static const std::pair<std::string_view, char> named[] = {
        {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (size_t n = 0; n < raw.size();) {
        const std::string_view rest = raw.substr(n);
        bool done = false;
        for (const auto& [entity, c] : named) {
            if (rest.rfind(entity, 0) == 0) {
                out += c;
                n += entity.size();
                done = true;
                break;
            }
        }
        if (!done && rest.rfind("&#", 0) == 0) {
            const size_t semicolon = rest.find(';');
            const bool hex = rest.size() > 2 && (rest[2] == 'x' || rest[2] == 'X');
            const std::string_view digits =
                semicolon == std::string_view::npos ? std::string_view() : rest.substr(hex ? 3 : 2, semicolon - (hex ? 3 : 2));
            if (!digits.empty() && digits.size() <= 6 &&
                digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") == std::string_view::npos) {
                const unsigned long code = std::stoul(std::string(digits), nullptr, hex ? 16 : 10);
                if (code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF)) {
                    AppendUtf8(out, static_cast<char32_t>(code));
                    n += semicolon + 1;
                    done = true;
                }
            }
        }
        if (!done) out += raw[n++];
    }
    return out;
}

// An element's text as UTF-8, trimmed; empty for no element.
std::string TextOf(const Node* n) {
    if (!n) return {};
    return TextOfLine(Trimmed(Decoded(std::string_view(n->value(), n->value_size()))));
}

// The elements the map is made of, found by their tags (comments, CDATA,
// declarations and quoted attribute values passed over as the parser does),
// and the depth of the file's elements checked on the way: the parser
// recurses, and a file nesting far deeper could exhaust the stack.
struct Piece {
    size_t start = 0, end = 0;  // from its "<" to past its ">"
};

struct FileOutline {
    std::string rootName;
    std::vector<Piece> pieces;
};

std::string_view LocalPart(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

FileOutline OutlineOf(const std::string& text, const std::string& label, Lines& lines) {
    FileOutline outline;
    std::vector<std::string_view> open;  // names of the open elements, to depth 2
    int depth = 0;
    size_t n = 0, pieceStart = 0;
    const auto skipPast = [&](std::string_view end) {
        const size_t at = text.find(end, n);
        n = at == std::string::npos ? text.size() : at + end.size();
    };
    const auto inMapPart = [&] {
        return depth == 2 && open.size() == 2 && (LocalPart(open[1]) == "空間属性" || LocalPart(open[1]) == "主題属性");
    };
    while ((n = text.find('<', n)) != std::string::npos) {
        const std::string_view rest = std::string_view(text).substr(n);
        if (rest.rfind("<!--", 0) == 0) {
            skipPast("-->");
        } else if (rest.rfind("<![CDATA[", 0) == 0) {
            skipPast("]]>");
        } else if (rest.rfind("<?", 0) == 0) {
            skipPast("?>");
        } else if (rest.rfind("<!", 0) == 0) {
            skipPast(">");
        } else if (rest.rfind("</", 0) == 0) {
            skipPast(">");
            if (depth > 0) --depth;
            if (open.size() > static_cast<size_t>(depth)) open.resize(depth);
            if (inMapPart() && pieceStart != std::string::npos) outline.pieces.push_back({pieceStart, n});
        } else {
            const size_t start = n++;
            const size_t nameEnd = std::min(text.find_first_of(" \t\r\n/>", n), text.size());
            const std::string_view name = std::string_view(text).substr(n, nameEnd - n);
            char quote = 0;
            for (; n < text.size(); ++n) {
                const char c = text[n];
                if (quote) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            const bool empty = n < text.size() && text[n - 1] == '/';
            n = std::min(n + 1, text.size());
            if (depth == 0 && outline.rootName.empty()) outline.rootName = std::string(LocalPart(name));
            if (inMapPart()) pieceStart = start;
            if (empty) {
                if (inMapPart()) outline.pieces.push_back({start, n});
                continue;
            }
            if (open.size() < 2) open.push_back(name);
            if (++depth > kMaxXmlDepth)
                throw InputOutputError(label, lines.Of(text.data() + start) + ": 要素の入れ子が深すぎます（" +
                                                  std::to_string(kMaxXmlDepth) + " 段まで）");
        }
    }
    return outline;
}

// The text's encoding as its declaration names it: UTF-8 (also where it
// names none) is checked byte by byte, as the parser does not; code page 932
// is turned into UTF-8 (its line ends stay where they were); any other is
// refused.
void ToUtf8(std::string& text, const std::string& label, Lines& lines) {
    std::string encoding = "utf-8";
    const size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    if (text.compare(start, 5, "<?xml") == 0) {
        const size_t end = text.find("?>", start);
        const size_t name = text.find("encoding", start);
        if (name != std::string::npos && name < end) {
            const size_t open = text.find_first_of("\"'", name);
            const size_t close = open < end ? text.find(text[open], open + 1) : std::string::npos;
            if (close != std::string::npos && close < end) {
                encoding = text.substr(open + 1, close - open - 1);
                for (char& c : encoding) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            }
        }
    }
    if (encoding == "shift_jis" || encoding == "cp932" || encoding == "windows-31j" || encoding == "ms932") {
        text = Cp932ToUtf8(text);
        return;
    }
    if (encoding != "utf-8" && encoding != "utf8")
        throw InputOutputError(label, "文字コード「" + encoding + "」の地図XML は読めません（UTF-8 か Shift_JIS のみ）");
    for (size_t n = 0; n < text.size();) {
        if (static_cast<unsigned char>(text[n]) < 0x80) {
            ++n;
            continue;
        }
        char32_t c = 0;
        size_t length = 0;
        if (!DecodeUtf8(text, n, c, length))
            throw InputOutputError(label, lines.Of(text.data() + n) + ": XML の誤りです（UTF-8 ではないバイトがあります）");
        n += length;
    }
}

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
    std::vector<Position> columns;  // a position written in the curve, or a point id to look up
    std::vector<size_t> columnPlaces;
    bool reversed = false;
    size_t place = 0;
};

struct Reference {
    std::string id;
    size_t place = 0;
};

struct SurfaceEntry {
    std::vector<Reference> generators;  // of the outer ring
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
    MapTables(const std::string& text, Lines& lines, size_t pieces) : text_(text), lines_(lines) {
        points_.reserve(pieces / 2);
        curves_.reserve(pieces / 2);
    }

    void Take(const Node& n) {
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
    size_t PlaceOf(const char* p) const { return static_cast<size_t>(p - text_.data()); }
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
        CurveEntry curve;
        curve.place = PlaceOf(n.name());
        std::vector<const Node*> columns;
        Descendants(n, "GM_PointArray.column", columns);
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
        SurfaceEntry surface;
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
        parcel.accuracy = fude.accuracy;
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

    const std::string& text_;
    Lines& lines_;
    std::unordered_map<std::string, Position> points_;
    std::unordered_map<std::string, CurveEntry> curves_;
    std::unordered_map<std::string, SurfaceEntry> surfaces_;
    std::unordered_map<std::string, std::string> pointNames_;
    std::vector<FudeEntry> fude_;
};

[[noreturn]] void XmlError(const rapidxml::parse_error& e, const std::string& label, Lines& lines) {
    const char* place = e.where<char>();
    throw InputOutputError(label, (place ? lines.Of(place) : std::string("?")) + ": XML の誤りです（" + e.what() + "）");
}

// Parses the text from start up to end (a zero put there for the parser
// and taken away again; at the text's end the string's own).
void ParsePart(rapidxml::xml_document<char>& document, std::string& text, size_t start, size_t end,
               const std::string& label, Lines& lines) {
    const char kept = text[end];
    text[end] = '\0';
    document.clear();
    try {
        document.parse<kParseFlags>(text.data() + start);
    } catch (const rapidxml::parse_error& e) {
        text[end] = kept;
        XmlError(e, label, lines);
    }
    text[end] = kept;
}

}  // namespace

void AppendRegistryMapParcels(std::string& text, const std::string& label, std::vector<ParcelRecord>& parcels,
                              std::vector<std::string>& districts) {
    Lines lines(text);
    ToUtf8(text, label, lines);
    const FileOutline outline = OutlineOf(text, label, lines);
    if (!outline.rootName.empty() && outline.rootName != "地図")
        throw InputOutputError(label, "地図XML ではありません（最上位の要素が「" + outline.rootName + "」です）");
    const auto document = std::make_unique<rapidxml::xml_document<char>>();
    MapTables tables(text, lines, outline.pieces.size());
    for (const Piece& piece : outline.pieces) {
        ParsePart(*document, text, piece.start, piece.end, label, lines);
        const Node* element = document->first_node();
        if (!element || element->next_sibling())
            throw InputOutputError(label, lines.Of(text.data() + piece.start) + ": XML の誤りです（要素が閉じていません）");
        tables.Take(*element);
    }
    // The rest of the file, the map's elements blanked (their lines kept).
    for (const Piece& piece : outline.pieces) {
        for (size_t n = piece.start; n < piece.end;) {
            const char* newline = static_cast<const char*>(std::memchr(text.data() + n, '\n', piece.end - n));
            const size_t stop = newline ? static_cast<size_t>(newline - text.data()) : piece.end;
            std::memset(text.data() + n, ' ', stop - n);
            n = stop + 1;
        }
    }
    ParsePart(*document, text, 0, text.size(), label, lines);
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

CoordinateFile ReadRegistryMapXml(std::string& text, const std::string& label) {
    CoordinateFile file;
    std::vector<std::string> districts;
    AppendRegistryMapParcels(text, label, file.parcels, districts);
    NameRegistryMapParcels(file.parcels, districts);
    if (!file.parcels.empty()) file.zone = file.parcels.front().zone;
    return file;
}

}  // namespace zelkan
