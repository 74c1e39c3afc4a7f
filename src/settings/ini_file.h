#pragma once
// A Windows profile (INI) file: "[section]" lines followed by "key=value"
// lines, in code page 932 with CR LF (a file an editor saved as UTF-16 or
// UTF-8 is read as such and written back in its own encoding, every line
// the program did not change keeping its bytes), read and written the way the platform's
// profile functions do it: section and key names match without regard to
// ASCII letter case, values come back with surrounding blanks and one pair
// of enclosing quotes removed, a write replaces the key's line in place or
// appends it to its section (the section at the end of the file when new).
#include <string>
#include <string_view>
#include <vector>

namespace zelkan {

class IniFile {
public:
    // Loads the file when it exists; a missing file is an empty one. An
    // unreadable file raises InputOutputError.
    explicit IniFile(std::string fileName);

    const std::string& fileName() const { return fileName_; }

    // The value, or fallback when the section or key is missing.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;

    // Sets the value in memory; Save writes the whole file.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);

    // Writes the file whole (temporary file, then rename); InputOutputError
    // naming the file when it cannot be written.
    void Save() const;

private:
    // Index of the "[section]" line, or npos.
    size_t FindSection(std::string_view section) const;
    // Index of the key's line within the section starting at sectionLine, or npos.
    size_t FindKey(size_t sectionLine, std::string_view key) const;
    // Index one past the section's last line.
    size_t SectionEnd(size_t sectionLine) const;

    enum class Encoding { Cp932, Utf8, Utf16Le, Utf16Be };
    struct Line {
        std::string text;   // UTF-8, without the line end
        std::string bytes;  // as read, line end included; empty for a line WriteString set
    };
    std::string Decode(std::string_view bytes) const;
    std::string Encode(std::string_view text) const;

    std::string fileName_;
    Encoding encoding_ = Encoding::Cp932;
    std::string byteOrderMark_;
    std::string trailingByte_;  // an odd last byte of a UTF-16 file, written back last
    std::vector<Line> lines_;
};

}  // namespace zelkan
