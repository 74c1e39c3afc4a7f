#pragma once
// The failures that end a run: a table capacity overflow, an input/output
// failure, and input that cannot be measured. Each carries the text the user is shown; front ends
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

// The input cannot be measured soundly (a boundary that crosses itself, a
// setting that would print a table of zeros); what() says what and where.
class InvalidInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace zelkan
