#include "boundary/drawing_number_scan.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <optional>
#include <filesystem>
#include <system_error>

#include "engine/tables.h"
#include "geometry/cp932.h"
#include "geometry/errors.h"
#include "geometry/file_io.h"
#include "geometry/line_reader.h"
#include "geometry/text_helpers.h"
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

// The numbers of the texts met, twice: every whole number on the label
// layer, and only those that stand in a circle on the label layer drawn
// just before them, as the result drawing draws its triangle numbers. A
// drawing with circled numbers is counted by them alone, so that lengths
// printed without decimals do not count; one without any by every number.
class NumberTally {
public:
    NumberTally(DrawingNumberScan& scan, std::string_view layerText) : scan_(scan), layerText_(layerText) {}

    // Only the layers of texts and circles matter (and need decoding).
    bool WantsLayer() const { return entity_ != Entity::Other; }

    void Layer(std::string layer) {
        if (entity_ == Entity::Circle) circleOnLabelLayer_ = layer == layerText_;
        if (entity_ == Entity::Text) scan_.currentTextLayer = std::move(layer);
    }

    void Group(int32_t code, const std::string& value, bool inEntities) {
        if (code == 0) {
            EndEntity();
            if (value == "TEXT" || (inEntities && value == "MTEXT")) entity_ = Entity::Text;
            if (value == "CIRCLE") entity_ = Entity::Circle;
            return;
        }
        if (entity_ == Entity::Circle) {
            if (code == 10) circle_.x = StrToReal(value);
            if (code == 20) circle_.y = StrToReal(value);
            if (code == 40) circle_.r = StrToReal(value);
        }
        if (entity_ == Entity::Text) {
            if (code == 1) Count(value);
            if (code == 10) text_.x = StrToReal(value);
            if (code == 20) text_.y = StrToReal(value);
            if (code == 11) aligned_.x = StrToReal(value), alignedGiven_ = true;
            if (code == 21) aligned_.y = StrToReal(value);
        }
    }

    void RaiseTo(int32_t& drawingMaxNo) {
        EndEntity();
        drawingMaxNo = std::max(drawingMaxNo, circledFound_ ? circled_ : any_);
    }

private:
    enum class Entity { Other, Text, Circle };
    struct Mark {
        long double x = 0, y = 0, r = 0;
    };

    void Count(std::string_view value) {
        if (scan_.currentTextLayer != layerText_ || value.find('.') != std::string_view::npos) return;
        // The next number must still be a first number a run can draw from.
        const int32_t number = std::min(TextNumberOrZero(value), kMaxFirstNumber - 1);
        any_ = std::max(any_, number);
        textNumber_ = std::max(textNumber_.value_or(number), number);
    }

    void EndEntity() {
        const bool circleBefore = previousWasCircle_;
        previousWasCircle_ = false;
        if (entity_ == Entity::Circle) {
            previousWasCircle_ = circleOnLabelLayer_;
            previousCircle_ = circle_;
        }
        if (entity_ == Entity::Text && textNumber_ && circleBefore) {
            const Mark& at = alignedGiven_ ? aligned_ : text_;
            if (std::hypot(at.x - previousCircle_.x, at.y - previousCircle_.y) <= previousCircle_.r) {
                circled_ = std::max(circled_, *textNumber_);
                circledFound_ = true;
            }
        }
        entity_ = Entity::Other;
        circle_ = text_ = aligned_ = Mark{};
        circleOnLabelLayer_ = alignedGiven_ = false;
        textNumber_.reset();
    }

    DrawingNumberScan& scan_;
    std::string_view layerText_;
    Entity entity_ = Entity::Other;
    Mark circle_, text_, aligned_, previousCircle_;
    bool circleOnLabelLayer_ = false, alignedGiven_ = false, previousWasCircle_ = false;
    std::optional<int32_t> textNumber_;
    int32_t any_ = INT32_MIN, circled_ = INT32_MIN;
    bool circledFound_ = false;
};

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

    NumberTally tally(scan, layerText);
    bool inStyle = false, inEntities = false;
    std::string codeLine, value;
    try {
        while (lines.Next(codeLine)) {
            const int64_t codeLineNumber = lines.lineNumber();
            if (!lines.Next(value)) break;  // a last group code without its value
            if (wholeLinesDecoded) {
                codeLine = Decoded(encoding, std::move(codeLine));
                value = Decoded(encoding, std::move(value));
            }
            int32_t code = 0;
            if (!ParseInteger(codeLine, code))
                throw InputOutputError(fileName,
                                       "DXF の" + std::to_string(codeLineNumber) + "行目のグループコードが整数ではありません");
            if (inEntities && code == 0 && value == "ENDSEC") break;
            if (inStyle || inEntities) {
                if (code == 8) {
                    if (tally.WantsLayer()) tally.Layer(layerName(value));
                } else {
                    tally.Group(code, value, inEntities);
                }
            }
            if (code == 2 && value == "ENTITIES") {
                inEntities = true;
                inStyle = false;
            }
            if (code == 2 && value == "STYLE") inStyle = true;
        }
    } catch (const InputOutputError&) {
        tally.RaiseTo(drawingMaxNo);  // what was reached stays
        throw;
    }
    tally.RaiseTo(drawingMaxNo);
}

}  // namespace zelkan
