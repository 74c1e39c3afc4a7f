#pragma once
// The time-stamped base name of each command and the names of its files.
#include <ctime>
#include <string>
#include <string_view>

namespace zelkan {

// The path up to the last "." of its file-name part (the part after the
// last backslash or drive colon, and on systems other than Windows also
// slash), followed by suffix; without a dot there, path + suffix.
std::string DeriveName(std::string_view path, std::string_view suffix);

// Local date and time, injectable for tests.
class LocalClock {
public:
    virtual ~LocalClock() = default;
    virtual std::tm Now() = 0;
};

class SystemLocalClock : public LocalClock {
public:
    std::tm Now() override;
};

// "yymmddhhnnss", every field zero-padded.
std::string FormatRunStamp(const std::tm& local);

// workFolder + stamp + ".scr": the name every file of one command is derived
// from. When a file of that name exists already (a run in the same second),
// the stamp of the next second whose name is free.
std::string MakeRunScript(const std::string& workFolder, LocalClock& clock);

// Whether a file of the run named runScript exists.
bool RunNameTaken(const std::string& runScript);

// The six measurement log paths.
struct LogPaths {
    std::string xyFile, canFile, memFile, triFile, trwFile, trsFile;
};

LogPaths DeriveLogPaths(const std::string& name);

// Removes the exported drawing, area table, result drawing and the
// coordinate-method table (drawing and CSV) of a new base name, should they exist.
void DeleteRunDrawings(const std::string& runScript);

// The progress-trace hook of the workflow and the engine: it has no effect.
inline void TraceLine(std::string_view) {}

}  // namespace zelkan
