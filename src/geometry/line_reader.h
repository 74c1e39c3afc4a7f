#pragma once
// Reads a text file line by line through a fixed buffer, so that the memory
// it needs is the buffer and the longest line, whatever the file's size.
// Lines end at CR LF, LF or CR; the last line needs no line end.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace zelkan {

class LineReader {
public:
    // How the file's text is stored: bytes (code page 932, UTF-8), or
    // UTF-16 code units, whose line ends are the units 0x000A and 0x000D.
    enum class Units { Bytes, Utf16Le, Utf16Be };

    // Opens the file and passes over its first `skip` bytes (a byte-order
    // mark). Throws InputOutputError naming the file when it cannot be opened.
    explicit LineReader(const std::string& fileName, Units units = Units::Bytes, size_t skip = 0,
                        size_t bufferSize = size_t{1} << 16);

    // The next line without its line end (in UTF-16 files, its code units as
    // bytes), or false at the end of the file. InputOutputError when the file
    // cannot be read.
    bool Next(std::string& line);

    // The number of the line Next gave last, from 1.
    int64_t lineNumber() const { return lineNumber_; }

private:
    bool Fill();
    bool NextUnit(uint32_t& unit, std::string& line);

    std::string fileName_;
    std::ifstream in_;
    Units units_;
    std::vector<char> buffer_;
    size_t pos_ = 0;
    size_t end_ = 0;
    bool skipLineFeed_ = false;  // a CR ended the last line: a LF right after it belongs to it
    int64_t lineNumber_ = 0;
};

// The lines of a text file past its UTF-8 byte order mark, if it has one.
LineReader OpenTextPastByteOrderMark(const std::string& fileName);

// The first bytes of a file, for telling its encoding by a byte-order mark
// (fewer when the file is shorter). InputOutputError when it cannot be opened.
std::string FileStart(const std::string& fileName, size_t count);

}  // namespace zelkan
