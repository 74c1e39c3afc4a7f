#include "geometry/unicode_text.h"

namespace zelkan {

namespace {

char32_t Utf16Unit(std::string_view bytes, size_t n, bool bigEndian) {
    const auto b0 = static_cast<unsigned char>(bytes[n]), b1 = static_cast<unsigned char>(bytes[n + 1]);
    return bigEndian ? static_cast<char32_t>((b0 << 8) | b1) : static_cast<char32_t>((b1 << 8) | b0);
}

}  // namespace

// Appends the UTF-8 form of code point c.
void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point starting at s[n] and its length in bytes; false when no
// well-formed UTF-8 sequence starts there.
bool DecodeUtf8(std::string_view s, size_t n, char32_t& c, size_t& length) {
    const auto lead = static_cast<unsigned char>(s[n]);
    if (lead < 0x80) {
        c = lead;
        length = 1;
        return true;
    }
    if (lead >= 0xC2 && lead < 0xE0) {
        c = lead & 0x1F, length = 2;
    } else if (lead >= 0xE0 && lead < 0xF0) {
        c = lead & 0x0F, length = 3;
    } else if (lead >= 0xF0 && lead < 0xF5) {
        c = lead & 0x07, length = 4;
    } else {
        return false;
    }
    if (n + length > s.size()) return false;
    for (size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(s[n + k]);
        if ((b & 0xC0) != 0x80) return false;
        c = (c << 6) | (b & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    return c >= kLeast[length] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
}

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    for (size_t n = 0; n + 1 < bytes.size(); n += 2) {
        char32_t c = Utf16Unit(bytes, n, bigEndian);
        if (c >= 0xD800 && c < 0xDC00 && n + 3 < bytes.size()) {
            const char32_t low = Utf16Unit(bytes, n + 2, bigEndian);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                n += 2;
            }
        }
        AppendUtf8(out, c >= 0xD800 && c < 0xE000 ? char32_t{0xFFFD} : c);
    }
    return out;
}

std::string Utf8ToUtf16(std::string_view text, bool bigEndian) {
    std::string out;
    const auto put = [&out, bigEndian](char32_t unit) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    for (size_t n = 0; n < text.size();) {
        char32_t c = 0;
        size_t length = 0;
        if (!DecodeUtf8(text, n, c, length)) c = 0xFFFD, length = 1;
        if (c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
        n += length;
    }
    return out;
}

}  // namespace zelkan
