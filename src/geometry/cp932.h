#pragma once
// Conversion between UTF-8 (all text in memory) and Shift-JIS, code page 932
// (the scripts, DXF files, logs and settings file the CAD and the user see).
// Both builds give the same bytes: a character that code page 932 cannot hold
// becomes "?", a byte sequence that is not code page 932 becomes U+FFFD.
#include <string>
#include <string_view>

namespace zelkan {

std::string Utf8ToCp932(std::string_view utf8);
std::string Cp932ToUtf8(std::string_view cp932);

}  // namespace zelkan
