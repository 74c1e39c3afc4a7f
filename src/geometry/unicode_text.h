#pragma once
// UTF-8 (all text in memory) to and from UTF-16 held as bytes, for files
// an editor or a CAD saved as UTF-16; portable, unlike the W functions.
#include <string>
#include <string_view>

namespace zelkan {

void AppendUtf8(std::string& out, char32_t c);

// The code point starting at s[n] and its length in bytes; false when no
// well-formed UTF-8 sequence starts there.
bool DecodeUtf8(std::string_view s, size_t n, char32_t& c, size_t& length);

// UTF-16 code units (two bytes each, in the given order) to UTF-8; an
// unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);
// UTF-8 to UTF-16 code units; a byte that is not UTF-8 becomes U+FFFD.
std::string Utf8ToUtf16(std::string_view text, bool bigEndian);

}  // namespace zelkan
