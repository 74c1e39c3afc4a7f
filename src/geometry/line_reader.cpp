#include "geometry/line_reader.h"

#include "geometry/errors.h"
#include "geometry/file_io.h"

namespace zelkan {

LineReader::LineReader(const std::string& fileName, Units units, size_t skip, size_t bufferSize)
    : fileName_(fileName), in_(OpenForReading(fileName)), units_(units), buffer_(bufferSize < 2 ? 2 : bufferSize) {
    for (size_t n = 0; n < skip; ++n) {
        if (pos_ == end_ && !Fill()) break;
        ++pos_;
    }
}

bool LineReader::Fill() {
    in_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    if (in_.bad()) throw InputOutputError(fileName_, "ファイルを読み込めません");
    pos_ = 0;
    end_ = static_cast<size_t>(in_.gcount());
    return end_ > 0;
}

// The next byte or UTF-16 unit; its bytes are appended to line unless it
// ends the line.
bool LineReader::NextUnit(uint32_t& unit, std::string& line) {
    if (units_ == Units::Bytes) {
        if (pos_ == end_ && !Fill()) return false;
        unit = static_cast<unsigned char>(buffer_[pos_++]);
        if (unit != '\n' && unit != '\r') line += static_cast<char>(unit);
        return true;
    }
    char bytes[2];
    for (char& b : bytes) {
        if (pos_ == end_ && !Fill()) return false;  // an odd last byte is dropped
        b = buffer_[pos_++];
    }
    const auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
    unit = units_ == Units::Utf16Le ? (static_cast<uint32_t>(b1) << 8) | b0 : (static_cast<uint32_t>(b0) << 8) | b1;
    if (unit != '\n' && unit != '\r') line.append(bytes, 2);
    return true;
}

bool LineReader::Next(std::string& line) {
    line.clear();
    uint32_t unit = 0;
    bool any = false;
    while (NextUnit(unit, line)) {
        if (skipLineFeed_) {
            skipLineFeed_ = false;
            if (unit == '\n') continue;
        }
        any = true;
        if (unit == '\r') {
            skipLineFeed_ = true;
            break;
        }
        if (unit == '\n') break;
    }
    if (!any) return false;
    ++lineNumber_;
    return true;
}

std::string FileStart(const std::string& fileName, size_t count) {
    std::ifstream in = OpenForReading(fileName);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

}  // namespace zelkan

namespace zelkan {

LineReader OpenTextPastByteOrderMark(const std::string& fileName) {
    return LineReader(fileName, LineReader::Units::Bytes, FileStart(fileName, 3).rfind("\xEF\xBB\xBF", 0) == 0 ? 3 : 0);
}

}  // namespace zelkan
