#pragma once
// Text for the pages people look at (SVG sheets, the HTML index): escaped
// for markup, and measured well enough to keep labels apart.
#include <string>
#include <string_view>

namespace zelkan {

// &, <, >, " and ' as character references.
std::string XmlEscaped(std::string_view utf8);

// The width of a line of text in ems, taken generously so that the box a
// renderer draws stays inside it: a wide (East Asian) character one em,
// any other 0.62 em (the widest digits and Latin letters of the usual
// Japanese gothic fonts).
double TextWidthEm(std::string_view utf8);

// A value printed by the one exact formatter, trimmed: the coordinates and
// sizes on the pages, in millimetres to the hundredth.
std::string PageNumber(double value);

}  // namespace zelkan
