#pragma once
// The failures that end a run: a table capacity overflow, an input/output
// failure, and input that cannot be measured. Each carries the text the
// user is shown and the command-line tool's exit code; front ends catch
// their common base once, show the text (or print it and exit with the
// code) and end the run cleanly.
#include <stdexcept>
#include <string>

namespace zelkan {

// Exit codes of the command-line tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNothing = 1;  // nothing found, or a capacity limit
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInput = 3;    // input or output error
inline constexpr int kExitInterrupted = 130;  // Ctrl+C ended the work before it was done

// A failure that ends a run; what() is the exact text the user is shown.
class RunError : public std::runtime_error {
public:
    RunError(const std::string& message, int exitCode) : std::runtime_error(message), exitCode_(exitCode) {}
    int exitCode() const noexcept { return exitCode_; }

private:
    int exitCode_;
};

// A fixed-capacity table would overflow; the message is the exact text shown.
class CapacityError : public RunError {
public:
    explicit CapacityError(const std::string& message) : RunError(message, kExitNothing) {}
};

// A file could not be opened, read, written or parsed. what() is the full
// message, naming the file; fileName() is the file alone.
class InputOutputError : public RunError {
public:
    InputOutputError(std::string fileName, const std::string& reason)
        : RunError(reason + ": " + fileName, kExitInput), fileName_(std::move(fileName)) {}
    const std::string& fileName() const noexcept { return fileName_; }

private:
    std::string fileName_;
};

// The input cannot be measured soundly (a boundary that crosses itself, a
// setting that would print a table of zeros); what() says what and where.
class InvalidInputError : public RunError {
public:
    explicit InvalidInputError(const std::string& message) : RunError(message, kExitInput) {}
};

}  // namespace zelkan
