#pragma once
// The two failures that end a run: a table capacity overflow and an
// input/output failure. Both carry the text the user is shown; front ends
// turn them into a message box or an exit code and end the run cleanly.
#include <stdexcept>
#include <string>

namespace zelkan {

// A fixed-capacity table would overflow; the message is the exact text shown.
class CapacityError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file could not be opened, read, written or parsed. what() is the full
// message, naming the file; fileName() is the file alone.
class InputOutputError : public std::runtime_error {
public:
    InputOutputError(std::string fileName, const std::string& reason)
        : std::runtime_error(reason + ": " + fileName), fileName_(std::move(fileName)) {}
    const std::string& fileName() const noexcept { return fileName_; }

private:
    std::string fileName_;
};

}  // namespace zelkan
