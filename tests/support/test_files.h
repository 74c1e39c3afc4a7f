#pragma once
// Fixtures and scratch files for tests.
#include <string>
#include <string_view>

namespace zelkan::test {

// Absolute name of a file under tests/fixtures.
std::string FixturePath(std::string_view relative);

// A fresh, empty folder for one test, removed with the object.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // UTF-8 name of a file in the folder.
    std::string File(std::string_view name) const;
    // Writes the bytes as they are and returns the file's name.
    std::string Write(std::string_view name, std::string_view bytes) const;

private:
    std::string folder_;
};

// The same text with its CR LF line ends as LF, as CR, or left as they are.
std::string WithLineEnds(const std::string& crlf, const char* end);

}  // namespace zelkan::test
