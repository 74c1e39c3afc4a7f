#pragma once
// The command line of zelkan-cli.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zelkan::cli {

struct MeasureOptions {
    std::string parcel;
    std::optional<int32_t> mode;
    std::optional<bool> heron;
    std::optional<int32_t> startNo;
    std::optional<int32_t> timeLimit;
    bool records = false;
    bool divisions = false;  // gather the divisions found beside the selection
    std::string ini;
    std::string out;
    std::string svg;
    std::string svgDir;  // files of many parcels: a sheet each there, and index.html beside summary.csv
    std::string saveLogs;  // the name the logs of the run are saved under, as the settings dialog does
    std::optional<uint64_t> memoryLimit;  // bytes
    // Files of many parcels (SIMA, coordinate lists): the parcels measured,
    // by number or name (all when empty), and whether the triangle numbers
    // run on from one parcel to the next.
    std::vector<std::string> only;
    bool continueNumbering = false;
    std::string layer;  // DXF drawings: only the closed polylines on this layer
    std::optional<std::string> rowBound;  // the row bound's factor, as the settings file holds it
    // The 精度区分 of the tolerance (its number; the settings' otherwise) and
    // the 地積 on the register, as written.
    std::optional<int32_t> precision;
    std::optional<std::string> registered;
};

struct ScanOptions {
    std::string drawing;
    std::string layer;  // default: the label layer of the settings
    std::string ini;
};

struct CommandLine {
    enum class Action { Help, Version, Measure, Scan } action = Action::Help;
    MeasureOptions measure;
    ScanOptions scan;
};

// Thrown for a command line that cannot be understood; what() says why.
struct UsageError {
    std::string message;
};

CommandLine ParseCommandLine(const std::vector<std::string>& args);

// What --help prints.
std::string UsageText();

}  // namespace zelkan::cli
