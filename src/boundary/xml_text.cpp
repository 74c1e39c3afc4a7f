#include "boundary/xml_text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "boundary/coordinate_files.h"
#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "geometry/text_helpers.h"
#include "geometry/unicode_text.h"

namespace zelkan::xml {

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

namespace {

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

}  // namespace

std::string TextOf(const Node* n) {
    if (!n) return {};
    return TextOfLine(Trimmed(Decoded(std::string_view(n->value(), n->value_size()))));
}

namespace {

// Where a tag's name from n ends (find_first_of would search its set of
// six characters once for every character of the name).
size_t NameEnd(std::string_view text, size_t n) {
    for (; n < text.size(); ++n) {
        const char c = text[n];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>') break;
    }
    return n;
}

std::string_view LocalPart(std::string_view name) {
    const size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

}  // namespace

Outline OutlineOf(std::string_view text, const std::vector<std::string_view>& partNames, const std::string& label,
                  Lines& lines) {
    Outline outline;
    std::vector<std::string_view> open;  // names of the open elements, to depth 2
    int depth = 0;
    size_t n = 0, pieceStart = 0;
    const auto skipPast = [&](std::string_view end) {
        const size_t at = text.find(end, n);
        n = at == std::string::npos ? text.size() : at + end.size();
    };
    const auto inMapPart = [&] {
        return depth == 2 && open.size() == 2 &&
               std::find(partNames.begin(), partNames.end(), LocalPart(open[1])) != partNames.end();
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
            const size_t nameEnd = NameEnd(text, n);
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
            if (++depth > kMaxDepth)
                throw InputOutputError(label, lines.Of(text.data() + start) + ": 要素の入れ子が深すぎます（" +
                                                  std::to_string(kMaxDepth) + " 段まで）");
        }
    }
    return outline;
}

namespace {

// Where the run of ASCII bytes from n ends, taken eight bytes at a time: a
// map is almost all ASCII.
size_t AsciiRunEnd(std::string_view text, size_t n) {
    for (uint64_t word = 0; n + sizeof word <= text.size(); n += sizeof word) {
        std::memcpy(&word, text.data() + n, sizeof word);
        if ((word & 0x8080808080808080u) != 0) break;
    }
    while (n < text.size() && static_cast<unsigned char>(text[n]) < 0x80) ++n;
    return n;
}

}  // namespace

std::string_view Utf8Of(std::string_view text, const std::string& label, std::string& converted) {
    std::string encoding = "utf-8";
    const size_t start = text.rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0;
    if (text.compare(start, 5, "<?xml") == 0) {
        const size_t end = text.find("?>", start);
        const size_t name = text.find("encoding", start);
        if (name != std::string_view::npos && name < end) {
            const size_t open = text.find_first_of("\"'", name);
            const size_t close = open < end ? text.find(text[open], open + 1) : std::string_view::npos;
            if (close != std::string_view::npos && close < end) {
                encoding = std::string(text.substr(open + 1, close - open - 1));
                for (char& c : encoding) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            }
        }
    }
    if (encoding == "shift_jis" || encoding == "cp932" || encoding == "windows-31j" || encoding == "ms932") {
        converted = Cp932ToUtf8(text);
        return converted;
    }
    if (encoding != "utf-8" && encoding != "utf8")
        throw InputOutputError(label, "文字コード「" + encoding + "」の地図XML は読めません（UTF-8 か Shift_JIS のみ）");
    for (size_t n = AsciiRunEnd(text, 0); n < text.size(); n = AsciiRunEnd(text, n)) {
        char32_t c = 0;
        size_t length = 0;
        if (!DecodeUtf8(text, n, c, length)) {
            Lines lines(text);
            throw InputOutputError(label, lines.Of(text.data() + n) + ": XML の誤りです（UTF-8 ではないバイトがあります）");
        }
        n += length;
    }
    return text;
}

namespace {

// place: where the parser stopped, in the text lines counts.
[[noreturn]] void XmlError(const rapidxml::parse_error& e, const std::string& label, Lines& lines, const char* place) {
    throw InputOutputError(label, (place ? lines.Of(place) : std::string("?")) + ": XML の誤りです（" + e.what() + "）");
}

// Closing tags are checked against their opening ones; no text is changed,
// and element texts are taken from the elements themselves.
constexpr int kParseFlags =
    rapidxml::parse_non_destructive | rapidxml::parse_no_data_nodes | rapidxml::parse_validate_closing_tags;

}  // namespace

void ParsePart(rapidxml::xml_document<char>& document, std::string& scratch, std::string_view text, size_t start,
               size_t end, const std::string& label, Lines& lines) {
    scratch.assign(text.substr(start, end - start));
    document.clear();
    try {
        document.parse<kParseFlags>(scratch.data());
    } catch (const rapidxml::parse_error& e) {
        const char* place = e.where<char>();
        if (place == nullptr) XmlError(e, label, lines, nullptr);
        XmlError(e, label, lines, text.data() + start + (place - scratch.data()));
    }
}

std::string TextBeside(std::string_view text, const std::vector<Piece>& pieces) {
    std::string rest;
    size_t from = 0;
    for (const Piece& piece : pieces) {
        rest.append(text.substr(from, piece.start - from));
        rest.append(static_cast<size_t>(std::count(text.begin() + piece.start, text.begin() + piece.end, '\n')), '\n');
        from = piece.end;
    }
    rest.append(text.substr(from));
    return rest;
}

}  // namespace zelkan::xml
