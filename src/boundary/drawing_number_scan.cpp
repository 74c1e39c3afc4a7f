#include "boundary/drawing_number_scan.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <system_error>

#include "engine/tables.h"
#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "geometry/line_reader.h"
#include "geometry/unicode_text.h"

namespace zelkan {

namespace {

// How the file's text is stored, told by its byte-order mark: code page
// 932 without one.
struct DrawingEncoding {
    LineReader::Units units = LineReader::Units::Bytes;
    size_t markBytes = 0;
    bool utf8 = false;
};

DrawingEncoding EncodingOf(const std::string& fileName) {
    const std::string start = FileStart(fileName, 3);
    if (start.rfind("\xEF\xBB\xBF", 0) == 0) return {LineReader::Units::Bytes, 3, true};
    if (start.rfind("\xFF\xFE", 0) == 0) return {LineReader::Units::Utf16Le, 2, false};
    if (start.rfind("\xFE\xFF", 0) == 0) return {LineReader::Units::Utf16Be, 2, false};
    return {};
}

// One line as UTF-8 text.
std::string Decoded(const DrawingEncoding& e, std::string line) {
    switch (e.units) {
        case LineReader::Units::Utf16Le: return Utf16ToUtf8(line, false);
        case LineReader::Units::Utf16Be: return Utf16ToUtf8(line, true);
        case LineReader::Units::Bytes: break;
    }
    return e.utf8 ? std::move(line) : Cp932ToUtf8(line);
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
    const DrawingEncoding encoding = EncodingOf(fileName);
    // Read as a stream: an export of a whole district can be hundreds of
    // megabytes. Group codes and keywords are ASCII, so in code page 932
    // only the layer names need decoding.
    LineReader lines(fileName, encoding.units, encoding.markBytes);
    const bool wholeLinesDecoded = encoding.units != LineReader::Units::Bytes;
    const auto layerName = [&](const std::string& value) {
        return wholeLinesDecoded ? value : Decoded(encoding, value);
    };

    bool inStyle = false, inEntities = false, inText = false;
    const auto count = [&](std::string_view value) {
        if (scan.currentTextLayer == layerText && value.find('.') == std::string_view::npos)
            // The next number must still be a first number a run can draw from.
            drawingMaxNo = std::max(drawingMaxNo, std::min(TextNumberOrZero(value), kMaxFirstNumber - 1));
    };
    // Inside a text entity: its layer and its text; the next entity ends it.
    const auto inTextEntity = [&](int32_t code, const std::string& value) {
        if (code == 0) inText = false;
        if (code == 8) scan.currentTextLayer = layerName(value);
        if (code == 1) count(value);
    };
    std::string codeLine, value;
    while (lines.Next(codeLine)) {
        const int64_t codeLineNumber = lines.lineNumber();
        if (!lines.Next(value)) break;  // a last group code without its value
        if (wholeLinesDecoded) {
            codeLine = Decoded(encoding, std::move(codeLine));
            value = Decoded(encoding, std::move(value));
        }
        int32_t code = 0;
        if (!ParseInteger(codeLine, code))
            throw InputOutputError(fileName, "DXF の" + std::to_string(codeLineNumber) + "行目のグループコードが整数ではありません");
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
