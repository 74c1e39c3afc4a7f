// The 地図XML of one file: rapidxml builds the element tree over the text,
// read in place and left unchanged (non-destructive), so that every place
// the reader finds wrong, and every place the parser stops, is a line of the
// text as the user has it.
#include <rapidxml.hpp>

#include <algorithm>
#include <map>
#include <unordered_map>

#include "boundary/registry_map.h"
#include "boundary/registry_map_xml.h"
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

// Stops the parser's recursion from running off the stack: the depth of the
// elements, counted past comments, CDATA, declarations and quoted
// attribute values, as the parser will see them.
void CheckDepth(const std::string& text, const std::string& label, Lines& lines) {
    int depth = 0;
    size_t n = 0;
    const auto skipPast = [&](std::string_view end) {
        const size_t at = text.find(end, n);
        n = at == std::string::npos ? text.size() : at + end.size();
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
            --depth;
            skipPast(">");
        } else {
            const size_t start = n++;
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
            if (n >= text.size() || text[n - 1] != '/') ++depth;
            ++n;
            if (depth > kMaxXmlDepth)
                throw InputOutputError(label, lines.Of(text.data() + start) + ": 要素の入れ子が深すぎます（" +
                                                  std::to_string(kMaxXmlDepth) + " 段まで）");
        }
    }
}

struct Corner {
    long double north = 0, east = 0;
    std::string_view pointId;  // empty for a position written in the curve
    bool operator==(const Corner& o) const { return north == o.north && east == o.east; }
};

// The file's points, curves and surfaces by their ids, and the names of
// its boundary points; the 筆 are built from them one at a time.
class MapFile {
public:
    MapFile(const Node& root, Lines& lines) : lines_(lines) {
        if (const Node* spatial = Child(root, "空間属性")) {
            for (const Node* c = spatial->first_node(); c; c = c->next_sibling()) {
                if (c->type() != rapidxml::node_element) continue;
                const std::string_view kind = LocalName(*c), id = Attribute(*c, "id");
                if (kind == "GM_Point") points_.emplace(id, c);
                else if (kind == "GM_Curve") curves_.emplace(id, c);
                else if (kind == "GM_Surface") surfaces_.emplace(id, c);
            }
        }
        if (const Node* thematic = Child(root, "主題属性")) {
            for (const Node* c = thematic->first_node(); c; c = c->next_sibling()) {
                if (c->type() != rapidxml::node_element || LocalName(*c) != "筆界点") continue;
                const Node* shape = Child(*c, "形状");
                const std::string name = TextOf(Child(*c, "点番名"));
                if (shape && !name.empty()) pointNames_.emplace(Attribute(*shape, "idref"), name);
            }
        }
    }

    // The corners of a surface's one outer ring, in ring order.
    std::vector<Corner> Outline(const Node& parcelShape) {
        const std::string_view id = Attribute(parcelShape, "idref");
        const auto surface = surfaces_.find(id);
        if (id.empty() || surface == surfaces_.end())
            throw ParcelProblem{Where(parcelShape) + "の面 " + std::string(id) + " がありません"};
        std::vector<const Node*> outer, inner;
        Descendants(*surface->second, "GM_SurfaceBoundary.exterior", outer);
        Descendants(*surface->second, "GM_SurfaceBoundary.interior", inner);
        if (!inner.empty())
            throw ParcelProblem{"穴（内側の境界）が " + std::to_string(inner.size()) +
                                " つあります。穴のある筆は三斜に分けられません（" + Where(*inner.front()) + "）"};
        if (outer.size() != 1)
            throw ParcelProblem{"面 " + std::string(id) + " の外側の境界が " + std::to_string(outer.size()) +
                                " つあります（" + Where(*surface->second) + "）"};
        return Ring(*outer.front());
    }

    std::string NameOf(std::string_view pointId) const {
        const auto name = pointNames_.find(pointId);
        return name == pointNames_.end() ? std::string() : name->second;
    }

    std::string Where(const Node& n) { return lines_.Of(n.name()); }

private:
    // The ring's curves chained end to end, each turned where it runs the
    // other way; closed, with its last corner (the first again) left out.
    std::vector<Corner> Ring(const Node& boundary) {
        std::vector<const Node*> generators;
        Descendants(boundary, "GM_CompositeCurve.generator", generators);
        if (generators.empty()) throw ParcelProblem{Where(boundary) + ": 境界に曲線がありません"};
        std::vector<Corner> ring;
        for (size_t k = 0; k < generators.size(); ++k) {
            std::vector<Corner> curve = Curve(*generators[k]);
            if (k == 0) {
                ring = std::move(curve);
                continue;
            }
            if (k == 1 && !(ring.back() == curve.front() || ring.back() == curve.back()) &&
                (ring.front() == curve.front() || ring.front() == curve.back()))
                std::reverse(ring.begin(), ring.end());  // the first curve runs the other way
            if (ring.back() == curve.back()) std::reverse(curve.begin(), curve.end());
            if (!(ring.back() == curve.front()))
                throw ParcelProblem{Where(*generators[k]) + ": 曲線 " + std::string(Attribute(*generators[k], "idref")) +
                                    " が前の曲線につながりません"};
            ring.insert(ring.end(), curve.begin() + 1, curve.end());
        }
        if (ring.size() < 2 || !(ring.front() == ring.back()))
            throw ParcelProblem{"境界が閉じていません（" + Where(boundary) + "）"};
        ring.pop_back();
        return ring;
    }

    std::vector<Corner> Curve(const Node& generator) {
        const std::string_view id = Attribute(generator, "idref");
        const auto curve = curves_.find(id);
        if (id.empty() || curve == curves_.end())
            throw ParcelProblem{Where(generator) + "の曲線 " + std::string(id) + " がありません"};
        std::vector<const Node*> columns;
        Descendants(*curve->second, "GM_PointArray.column", columns);
        if (columns.size() < 2) throw ParcelProblem{Where(*curve->second) + ": 曲線 " + std::string(id) + " の点が 2 つありません"};
        std::vector<Corner> corners;
        for (const Node* column : columns) {
            if (const Node* ref = Descendant(*column, "GM_PointRef.point")) {
                const std::string_view pointId = Attribute(*ref, "idref");
                const auto point = points_.find(pointId);
                if (pointId.empty() || point == points_.end())
                    throw ParcelProblem{Where(*ref) + "の点 " + std::string(pointId) + " がありません"};
                corners.push_back(Position(*point->second));
                corners.back().pointId = pointId;
            } else {
                corners.push_back(Position(*column));
            }
        }
        if (TextOf(Descendant(*curve->second, "GM_OrientablePrimitive.orientation")) == "-")
            std::reverse(corners.begin(), corners.end());
        return corners;
    }

    Corner Position(const Node& n) {
        const Node* x = Descendant(n, "X");
        const Node* y = Descendant(n, "Y");
        if (!x || !y) throw ParcelProblem{Where(n) + ": 点に座標（X, Y）がありません"};
        return Corner{Coordinate(*x), Coordinate(*y), {}};
    }

    long double Coordinate(const Node& n) {
        const std::string text = TextOf(&n);
        if (!IsDecimalNumber(text)) throw ParcelProblem{lines_.Of(n.value()) + ": 座標「" + text + "」が数ではありません"};
        return static_cast<long double>(StrToReal(text));
    }

    Lines& lines_;
    std::unordered_map<std::string_view, const Node*> points_, curves_, surfaces_;
    std::unordered_map<std::string_view, std::string> pointNames_;
};

// Why a 筆 is no parcel to measure, before its shape is looked at; empty
// for one with a 地番.
std::string NotAParcel(const Node& fude, const std::string& number) {
    if (const Node* undetermined = Child(fude, "筆界未定構成筆")) {
        std::string members;
        for (const Node* c = undetermined; c; c = c->next_sibling()) {
            if (c->type() != rapidxml::node_element || LocalName(*c) != "筆界未定構成筆") continue;
            std::vector<const Node*> numbers;
            Descendants(*c, "地番", numbers);
            const std::string member = numbers.empty() ? TextOf(c) : TextOf(numbers.front());
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

ParcelRecord ParcelOf(const Node& fude, MapFile& map, const std::string& zone) {
    ParcelRecord parcel;
    parcel.number = TextOf(Child(fude, "地番"));
    parcel.accuracy = TextOf(Child(fude, "精度区分"));
    parcel.zone = zone;
    parcel.problem = NotAParcel(fude, parcel.number);
    if (!parcel.problem.empty()) return parcel;
    const Node* shape = Child(fude, "形状");
    if (!shape) {
        parcel.problem = "形状（面）がありません（" + map.Where(fude) + "）";
        return parcel;
    }
    try {
        const std::vector<Corner> ring = map.Outline(*shape);
        bool named = false;
        for (const Corner& c : ring) {
            parcel.corners.push_back(TAcadPoint{c.east, c.north, 0});  // X north is the drawing's y
            parcel.cornerNames.push_back(map.NameOf(c.pointId));
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

}  // namespace

void AppendRegistryMapParcels(std::string& text, const std::string& label, std::vector<ParcelRecord>& parcels,
                              std::vector<std::string>& districts) {
    Lines lines(text);
    CheckDepth(text, label, lines);
    text.push_back('\0');
    rapidxml::xml_document<char> document;
    try {
        document.parse<kParseFlags>(text.data());
    } catch (const rapidxml::parse_error& e) {
        const char* place = e.where<char>();
        throw InputOutputError(label, (place ? lines.Of(place) : std::string("?")) + ": XML の誤りです（" + e.what() + "）");
    }
    const Node* root = document.first_node();
    while (root && root->type() != rapidxml::node_element) root = root->next_sibling();
    if (!root || LocalName(*root) != "地図")
        throw InputOutputError(label, "地図XML ではありません（最上位の要素が「" +
                                          (root ? std::string(root->name(), root->name_size()) : std::string()) + "」です）");
    const std::string zone = TextOf(Child(*root, "座標系"));
    MapFile map(*root, lines);
    const Node* thematic = Child(*root, "主題属性");
    if (!thematic) return;
    for (const Node* c = thematic->first_node(); c; c = c->next_sibling()) {
        if (c->type() != rapidxml::node_element || LocalName(*c) != "筆") continue;
        parcels.push_back(ParcelOf(*c, map, zone));
        districts.push_back(TextOf(Child(*c, "大字名")) + TextOf(Child(*c, "丁目名")));
    }
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
