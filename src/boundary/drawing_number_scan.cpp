#include "boundary/drawing_number_scan.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>
#include <vector>

#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "geometry/file_io.h"

namespace zelkan {

namespace {

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

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    for (size_t n = 0; n + 1 < bytes.size(); n += 2) {
        const auto unit = [&](size_t at) {
            const auto a = static_cast<unsigned char>(bytes[at]), b = static_cast<unsigned char>(bytes[at + 1]);
            return static_cast<char32_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
        };
        char32_t c = unit(n);
        if (c >= 0xD800 && c < 0xDC00 && n + 3 < bytes.size()) {
            const char32_t low = unit(n + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                n += 2;
            }
        }
        AppendUtf8(out, c);
    }
    return out;
}

// The file as text: code page 932, unless a byte-order mark names UTF-8 or UTF-16.
std::string DecodeDrawing(const std::string& bytes) {
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return bytes.substr(3);
    if (bytes.rfind("\xFF\xFE", 0) == 0) return Utf16ToUtf8(std::string_view(bytes).substr(2), false);
    if (bytes.rfind("\xFE\xFF", 0) == 0) return Utf16ToUtf8(std::string_view(bytes).substr(2), true);
    return Cp932ToUtf8(bytes);
}

// Lines end at CR LF, LF or CR.
std::vector<std::string_view> Lines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}

bool ParseInteger(std::string_view text, int32_t& value) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

int32_t TextNumberOrZero(std::string_view text) {
    int32_t value = 0;
    return ParseInteger(text, value) ? value : 0;
}

void ScanDrawingNumbers(DrawingNumberScan& scan, const std::string& fileName, std::string_view layerText,
                        int32_t& drawingMaxNo) {
    std::error_code ec;
    if (!std::filesystem::exists(PathFromUtf8(fileName), ec)) return;
    const std::string text = DecodeDrawing(ReadFileBytes(fileName));
    const std::vector<std::string_view> lines = Lines(text);

    bool inStyle = false, inEntities = false, inText = false;
    const auto count = [&](std::string_view value) {
        if (scan.currentTextLayer == layerText && value.find('.') == std::string_view::npos)
            drawingMaxNo = std::max(drawingMaxNo, TextNumberOrZero(value));
    };
    // Inside a text entity: its layer and its text; the next entity ends it.
    const auto inTextEntity = [&](int32_t code, std::string_view value) {
        if (code == 0) inText = false;
        if (code == 8) scan.currentTextLayer = value;
        if (code == 1) count(value);
    };
    for (size_t n = 0; n + 1 < lines.size(); n += 2) {
        int32_t code = 0;
        if (!ParseInteger(lines[n], code))
            throw InputOutputError(fileName, "DXF の" + std::to_string(n + 1) + "行目のグループコードが整数ではありません");
        const std::string_view value = lines[n + 1];
        if (inEntities && code == 0 && value == "ENDSEC") break;
        if (inStyle) {
            if (inText) inTextEntity(code, value);
            if (code == 0 && value == "TEXT") inText = true;
        }
        if (inEntities) {
            if (inText) inTextEntity(code, value);
            if (code == 0 && (value == "TEXT" || value == "MTEXT")) inText = true;
        }
        if (code == 2 && value == "ENTITIES") {
            inEntities = true;
            inStyle = false;
        }
        if (code == 2 && value == "STYLE") inStyle = true;
    }
}

}  // namespace zelkan
