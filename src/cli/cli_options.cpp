#include "cli/cli_options.h"

#include <charconv>
#include <cmath>

#include "engine/decimal_units.h"
#include "engine/search_mode.h"
#include "registration/area_tolerance.h"

namespace zelkan::cli {

namespace {

// Every mode by its number, two to a line.
std::string ModeLines() {
    std::string lines = "  --mode N          search mode: ";
    for (int32_t n = 0; n < kSearchModeCount; ++n) {
        if (n > 0) lines += n % 2 == 0 ? ",\n                    " : ", ";
        lines += std::to_string(n) + " " + SearchModeName(SearchModeOf(n));
    }
    return lines + "\n";
}

const char* const kUsageHead =
    "Usage: zelkan-cli measure PARCEL.dxf [options]\n"
    "       zelkan-cli scan DRAWING.dxf [--layer NAME] [--ini FILE]\n"
    "       zelkan-cli --help | --version\n"
    "\n"
    "Measures a parcel by the 三斜 method from a DXF R12 export of its boundary:\n"
    "divides it into triangles, rounds every value by the surveyor's rules,\n"
    "writes the result drawing (res.dxf), the area table (seki.dxf) and the\n"
    "coordinate-method table (zahyo.dxf; zahyo.csv when the settings ask), and\n"
    "prints both tables, the 地積 as registered and the tolerance of the 精度区分.\n"
    "\n"
    "Options of measure (they override the settings file for this run):\n";

const char* const kUsageTail =
    "  --heron           Heron's formula (a, b, c)\n"
    "  --sansha          base and height (底辺, 高さ)\n"
    "  --start-no N      number of the first triangle\n"
    "  --time-limit MS   search time per first triangle in milliseconds, 0 for none\n"
    "  --records         write the measurement records (.xy .can .mem .tri .trw)\n"
    "  --divisions       also gather divisions beside the chosen one, as the viewers\n"
    "                    of the window program do (the records and --save-logs do)\n"
    "  --ini FILE        settings file (default: zelkan.Ini in the work folder)\n"
    "  --out DIR         folder for the files (default: the work folder)\n"
    "  --svg FILE        also write the parcel's sheet (求積図) as SVG: the division\n"
    "                    with its lengths at a round scale, the area table, a title\n"
    "                    block; A4 or B4 landscape\n"
    "  --save-logs NAME  also save the run's logs under NAME (its extension replaced):\n"
    "                    .xy .can .mem .tri .trw and the evaluation log .trs\n"
    "  --row-bound F     rows of the area table may stray from their triangle's exact\n"
    "                    area by F times what rounding the lengths can explain\n"
    "                    (default 4; 0: no bound); the modes avoid triangles beyond it\n"
    "  --memory-limit SIZE  memory for the divisions found, in bytes or with K, M, G\n"
    "                    (default: a quarter of the memory, at most 4G); the search\n"
    "                    ends there and the divisions found are evaluated\n"
    "  --precision CLASS 精度区分 of the area tolerance: 甲一 甲二 甲三 乙一 乙二 乙三\n"
    "                    or なし (default: [座標求積] 精度区分 of the settings)\n"
    "  --registered AREA the 地積 on the register in m², to compare with the\n"
    "                    coordinate area within the tolerance\n"
    "\n"
    "PARCEL may also be a SIMA file (.sim: every 画地 is measured) or a coordinate\n"
    "list (\"点名,X,Y\" a line, X north): each parcel gets its own drawings, named\n"
    "after it, and summary.csv lists them all:\n"
    "  zelkan-cli measure lots.sim --out results\n"
    "A DXF drawing of any version with closed LWPOLYLINEs, or several closed\n"
    "polylines, is measured the same way, each polyline a parcel:\n"
    "  --layer NAME      only the closed polylines on this layer\n"
    "  --only NAME       measure only this parcel (its number or name; repeatable)\n"
    "  --svg-dir DIR     a sheet (求積図, SVG) of each parcel measured in DIR, and\n"
    "                    index.html beside summary.csv: every parcel, linked to its sheet\n"
    "  --continue-numbering  triangle numbers run on from one parcel to the next\n"
    "A registry map (地図XML, a zip of them, or a town's zip of zips) is measured\n"
    "so too, each 筆 with a 地番 a parcel named by it, in the map's own plane\n"
    "coordinates; summary.csv adds its 座標系 and 精度区分:\n"
    "  zelkan-cli measure town.zip --only 194-1 --out results\n"
    "\n"
    "scan prints the next triangle number: one more than the largest number on the\n"
    "label layer (--layer, default from the settings) of a DXF R12 drawing.\n"
    "\n"
    "Ctrl+C during the search keeps what was found so far; a second one ends the program.\n"
    "With a file of many parcels, Ctrl+C ends it after the parcels in hand, summary.csv\n"
    "listing those not measured.\n"
    "Exit codes: 0 measured, 1 nothing found or a capacity limit, 2 usage, 3 input or output error,\n"
    "130 a file of many parcels cut short by Ctrl+C.\n";

}  // namespace

std::string UsageText() { return kUsageHead + ModeLines() + kUsageTail; }

namespace {

int32_t ParseInteger(const std::string& option, const std::string& text, int32_t low, int32_t high) {
    int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
        throw UsageError{option + " needs an integer from " + std::to_string(low) + " to " + std::to_string(high) +
                         ", not '" + text + "'"};
    return value;
}

uint64_t ParseSize(const std::string& option, const std::string& text) {
    uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [rest, ec] = std::from_chars(text.data(), end, value);
    uint64_t unit = 1;
    if (rest != end && rest + 1 == end) {
        switch (*rest) {
            case 'K': case 'k': unit = uint64_t{1} << 10; break;
            case 'M': case 'm': unit = uint64_t{1} << 20; break;
            case 'G': case 'g': unit = uint64_t{1} << 30; break;
            default: unit = 0; break;
        }
    } else if (rest != end) {
        unit = 0;
    }
    if (ec != std::errc() || rest == text.data() || unit == 0 || value == 0 || value > (uint64_t{1} << 40) / unit)
        throw UsageError{option + " needs a size such as 512M, not '" + text + "'"};
    return value * unit;
}

// A factor of 0 or more, kept as the text the settings file would hold.
std::string ParseFactor(const std::string& option, const std::string& text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !(value >= 0) || !std::isfinite(value) ||
        text.find_first_not_of("0123456789.") != std::string::npos)
        throw UsageError{option + " needs a number of 0 or more, not '" + text + "'"};
    return text;
}

CommandLine ParseScan(const std::vector<std::string>& args) {
    CommandLine cl;
    cl.action = CommandLine::Action::Scan;
    std::vector<std::string> positional;
    for (size_t n = 1; n < args.size(); ++n) {
        const std::string& arg = args[n];
        const auto value = [&]() -> const std::string& {
            if (n + 1 >= args.size()) throw UsageError{arg + " needs a value"};
            return args[++n];
        };
        if (arg == "--layer") {
            cl.scan.layer = value();
            if (cl.scan.layer.empty()) throw UsageError{"--layer needs a layer name"};
        } else if (arg == "--ini") {
            cl.scan.ini = value();
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"unknown option '" + arg + "'"};
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 1) throw UsageError{"scan needs exactly one drawing file"};
    cl.scan.drawing = positional[0];
    return cl;
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    CommandLine cl;
    if (args.empty()) throw UsageError{"a command is needed"};
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") return cl;
    }
    if (args[0] == "--version") {
        cl.action = CommandLine::Action::Version;
        return cl;
    }
    if (args[0] == "scan") return ParseScan(args);
    if (args[0] != "measure") throw UsageError{"unknown command '" + args[0] + "'"};
    cl.action = CommandLine::Action::Measure;
    MeasureOptions& m = cl.measure;

    std::vector<std::string> positional;
    for (size_t n = 1; n < args.size(); ++n) {
        std::string arg = args[n];
        std::string value;
        bool inlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            const size_t eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                inlineValue = true;
            }
        }
        const auto needValue = [&]() -> const std::string& {
            if (inlineValue) return value;
            if (n + 1 >= args.size()) throw UsageError{arg + " needs a value"};
            value = args[++n];
            return value;
        };
        const auto noValue = [&] {
            if (inlineValue) throw UsageError{arg + " takes no value"};
        };
        if (arg == "--mode") {
            m.mode = ParseInteger(arg, needValue(), 0, kSearchModeCount - 1);
        } else if (arg == "--heron") {
            noValue();
            m.heron = true;
        } else if (arg == "--sansha") {
            noValue();
            m.heron = false;
        } else if (arg == "--start-no") {
            m.startNo = ParseInteger(arg, needValue(), 1, 1000000000);
        } else if (arg == "--time-limit") {
            m.timeLimit = ParseInteger(arg, needValue(), 0, 2147483647);
        } else if (arg == "--records") {
            noValue();
            m.records = true;
        } else if (arg == "--divisions") {
            noValue();
            m.divisions = true;
        } else if (arg == "--ini") {
            m.ini = needValue();
        } else if (arg == "--out") {
            m.out = needValue();
        } else if (arg == "--svg") {
            m.svg = needValue();
        } else if (arg == "--svg-dir") {
            m.svgDir = needValue();
        } else if (arg == "--save-logs") {
            m.saveLogs = needValue();
        } else if (arg == "--memory-limit") {
            m.memoryLimit = ParseSize(arg, needValue());
        } else if (arg == "--layer") {
            m.layer = needValue();
        } else if (arg == "--row-bound") {
            m.rowBound = ParseFactor(arg, needValue());
        } else if (arg == "--only") {
            m.only.push_back(needValue());
        } else if (arg == "--precision") {
            const std::optional<PrecisionClass> c = PrecisionClassOfName(needValue());
            if (!c) throw UsageError{"--precision needs 甲一, 甲二, 甲三, 乙一, 乙二, 乙三 or なし, not '" + value + "'"};
            m.precision = PrecisionClassNumber(*c);
        } else if (arg == "--registered") {
            const std::optional<DecimalText> area = ParseDecimalText(needValue());
            if (!area || area->units < 0) throw UsageError{"--registered needs an area in m², not '" + value + "'"};
            m.registered = value;
        } else if (arg == "--continue-numbering") {
            noValue();
            m.continueNumbering = true;
        } else if (arg == "--") {
            positional.insert(positional.end(), args.begin() + static_cast<std::ptrdiff_t>(n) + 1, args.end());
            break;
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError{"unknown option '" + arg + "'"};
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 1) throw UsageError{"measure needs exactly one parcel file"};
    m.parcel = positional[0];
    return cl;
}

}  // namespace zelkan::cli
