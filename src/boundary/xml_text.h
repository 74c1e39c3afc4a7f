#pragma once
// Reading XML text through rapidxml in place, for the registry-map reader:
// line numbers of places in the text, its encoding, the outline of its
// elements (so that a large file is parsed one element at a time), lookups
// of elements by their local names, and texts with their entities decoded.
#include <rapidxml.hpp>

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zelkan::xml {

using Node = rapidxml::xml_node<char>;

// Line numbers of places in the text, counted once the first is asked for.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}

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
    std::string_view text_;
    std::vector<size_t> newlines_;
};

// The local name of an element, past its namespace prefix.
std::string_view LocalName(const Node& n);
// The first child element of that local name, or none.
const Node* Child(const Node& n, std::string_view local);
// Elements of that name below n, in file order (the nesting is bounded).
void Descendants(const Node& n, std::string_view local, std::vector<const Node*>& found);
// The first of them, or none.
const Node* Descendant(const Node& n, std::string_view local);
// An attribute's value as written (an id has no entities), empty for none.
std::string_view Attribute(const Node& n, std::string_view local);
// An element's text as UTF-8, its entities decoded, trimmed; empty for no element.
std::string TextOf(const Node* n);

// How deep elements may nest: the 地図XML goes eleven deep; the parser
// recurses, and a file nesting far deeper could exhaust the stack.
inline constexpr int kMaxDepth = 64;

// An element of the text, from its "<" to past its ">".
struct Piece {
    size_t start = 0, end = 0;
};

struct Outline {
    std::string rootName;       // the root element's local name
    std::vector<Piece> pieces;  // the children of the root's children named in partNames
};

// The elements, found by their tags (comments, CDATA, declarations and
// quoted attribute values passed over as the parser does). Throws
// InputOutputError naming label and the line where elements nest deeper
// than kMaxDepth.
Outline OutlineOf(std::string_view text, const std::vector<std::string_view>& partNames, const std::string& label,
                  Lines& lines);

// The text's encoding as its declaration names it: UTF-8 (also where it
// names none) is checked byte by byte, as the parser does not, and is the
// text itself; code page 932 is turned into UTF-8 in converted (its line
// ends stay where they were); any other is refused. Throws InputOutputError
// naming label (and the line).
std::string_view Utf8Of(std::string_view text, const std::string& label, std::string& converted);

// Parses the text from start up to end into document, from a copy in
// scratch (the parser needs a zero after it; the text itself, perhaps a
// file mapped read-only, is never written). Throws InputOutputError naming
// label and the line where the parser stops.
void ParsePart(rapidxml::xml_document<char>& document, std::string& scratch, std::string_view text, size_t start,
               size_t end, const std::string& label, Lines& lines);

// The text without the pieces, each of them reduced to its line ends: what
// is left to parse once they are read, with every line where it was.
std::string TextBeside(std::string_view text, const std::vector<Piece>& pieces);

}  // namespace zelkan::xml
