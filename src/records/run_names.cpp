#include "records/run_names.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "geometry/file_io.h"

namespace zelkan {

namespace {

// Runs are started by hand: a day of names taken ahead is more than any
// loop over parcels can use up.
constexpr int kMaxLaterSeconds = 86400;

bool EndsFolderPart(char c) {
#ifdef _WIN32
    return c == '\\' || c == ':';
#else
    return c == '\\' || c == ':' || c == '/';
#endif
}

}  // namespace

std::string DeriveName(std::string_view path, std::string_view suffix) {
    size_t fileStart = path.size();
    while (fileStart > 0 && !EndsFolderPart(path[fileStart - 1])) --fileStart;
    const size_t dot = path.rfind('.');
    const bool dotInFileName = dot != std::string_view::npos && dot >= fileStart;
    std::string result(dotInFileName ? path.substr(0, dot) : path);
    result += suffix;
    return result;
}

std::tm SystemLocalClock::Now() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return local;
}

std::string FormatRunStamp(const std::tm& local) {
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02d%02d%02d%02d%02d%02d", (local.tm_year + 1900) % 100, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return stamp;
}

bool RunNameTaken(const std::string& runScript) {
    // The script, the export, the drawings, the coordinate table's CSV and the six logs.
    const LogPaths logs = DeriveLogPaths(runScript);
    const std::string files[] = {runScript,
                                 DeriveName(runScript, ".dxf"),
                                 DeriveName(runScript, "res.dxf"),
                                 DeriveName(runScript, "seki.dxf"),
                                 DeriveName(runScript, "zahyo.dxf"),
                                 DeriveName(runScript, "zahyo.csv"),
                                 logs.xyFile,
                                 logs.canFile,
                                 logs.memFile,
                                 logs.triFile,
                                 logs.trwFile,
                                 logs.trsFile};
    std::error_code ec;
    for (const std::string& file : files)
        if (std::filesystem::exists(PathFromUtf8(file), ec)) return true;
    return false;
}

std::string MakeRunScript(const std::string& workFolder, LocalClock& clock) {
    std::tm stamp = clock.Now();
    std::string name = workFolder + FormatRunStamp(stamp) + ".scr";
    // A run started within the second of an earlier one takes the next free
    // second, so that the earlier run's files stay as they are.
    for (int later = 0; later < kMaxLaterSeconds && RunNameTaken(name); ++later) {
        ++stamp.tm_sec;
        stamp.tm_isdst = -1;
        std::mktime(&stamp);  // carries into minutes, hours, days
        name = workFolder + FormatRunStamp(stamp) + ".scr";
    }
    return name;
}

LogPaths DeriveLogPaths(const std::string& name) {
    return LogPaths{DeriveName(name, ".xy"),  DeriveName(name, ".can"), DeriveName(name, ".mem"),
                    DeriveName(name, ".tri"), DeriveName(name, ".trw"), DeriveName(name, ".trs")};
}

void DeleteRunDrawings(const std::string& runScript) {
    for (const char* suffix : {".dxf", "seki.dxf", "res.dxf", "zahyo.dxf", "zahyo.csv"})
        DeleteFileQuietly(DeriveName(runScript, suffix));
}

}  // namespace zelkan
