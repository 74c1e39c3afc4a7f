#include "output/markup_text.h"

#include "geometry/exact_format.h"
#include "geometry/text_helpers.h"
#include "geometry/unicode_text.h"

namespace zelkan {

std::string XmlEscaped(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

namespace {

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x2460 && c <= 0x24FF) || (c >= 0x25A0 && c <= 0x27BF);
}

}  // namespace

double TextWidthEm(std::string_view utf8) {
    double width = 0;
    for (size_t n = 0; n < utf8.size();) {
        char32_t c = 0;
        size_t length = 0;
        if (!DecodeUtf8(utf8, n, c, length)) {
            c = 0xFFFD;
            length = 1;
        }
        width += IsWide(c) ? 1.0 : 0.62;
        n += length;
    }
    return width;
}

std::string PageNumber(double value) { return Trimmed(FormatFixed(2, value)); }

}  // namespace zelkan
