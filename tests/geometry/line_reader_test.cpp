#include "geometry/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geometry/errors.h"
#include "support/test_files.h"

namespace zelkan {
namespace {

using Lines = std::vector<std::string>;

Lines ReadAll(const std::string& file, size_t bufferSize, LineReader::Units units = LineReader::Units::Bytes,
              size_t skip = 0) {
    LineReader reader(file, units, skip, bufferSize);
    Lines lines;
    std::string line;
    while (reader.Next(line)) {
        lines.push_back(line);
        EXPECT_EQ(reader.lineNumber(), static_cast<int64_t>(lines.size()));
    }
    return lines;
}

TEST(LineReader, EveryLineEndAtEveryBufferSize) {
    const std::string longLine(70000, 'x');  // longer than the largest buffer below
    const struct {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}},
        {"a\r", {"a"}},
        {"\r\n\r\n", {"", ""}},
        {"\n\r", {"", ""}},
        {"\r\r\n\n", {"", "", ""}},
        {"  0\r\nSECTION\r\n", {"  0", "SECTION"}},
        {longLine + "\r\n" + longLine, {longLine, longLine}},
        {"\x8C\x76\r\n\x8E\x5A", {"\x8C\x76", "\x8E\x5A"}},  // Shift-JIS: no byte of a character ends a line
    };
    test::ScratchFolder folder;
    for (const auto& c : cases) {
        const std::string file = folder.Write("lines.txt", c.bytes);
        for (size_t buffer : {1u, 2u, 3u, 7u, 65536u}) {
            SCOPED_TRACE(std::to_string(c.bytes.size()) + " bytes, buffer " + std::to_string(buffer));
            EXPECT_EQ(ReadAll(file, buffer), c.lines);
        }
    }
}

TEST(LineReader, Utf16UnitsAfterTheByteOrderMark) {
    test::ScratchFolder folder;
    // "A\r\nB\rC" in UTF-16; the character U+0A0D has the bytes of both line ends.
    const std::string little("\xFF\xFE" "A\0\r\0\n\0B\0\r\0\x0D\x0A" "C\0", 16);
    const std::string big("\xFE\xFF" "\0A\0\r\0\n\0B\0\r\x0A\x0D" "\0C", 16);
    for (size_t buffer : {1u, 3u, 65536u}) {
        EXPECT_EQ(ReadAll(folder.Write("le.txt", little), buffer, LineReader::Units::Utf16Le, 2),
                  (Lines{std::string("A\0", 2), std::string("B\0", 2), std::string("\x0D\x0A" "C\0", 4)}));
        EXPECT_EQ(ReadAll(folder.Write("be.txt", big), buffer, LineReader::Units::Utf16Be, 2),
                  (Lines{std::string("\0A", 2), std::string("\0B", 2), std::string("\x0A\x0D\0C", 4)}));
    }
}

TEST(LineReader, AMissingFileOrAFolderIsAnInputError) {
    test::ScratchFolder folder;
    EXPECT_THROW(LineReader(folder.File("missing.txt")), InputOutputError);
    EXPECT_THROW(LineReader(folder.File("")), InputOutputError);
}

}  // namespace
}  // namespace zelkan
