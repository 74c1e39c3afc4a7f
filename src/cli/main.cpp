// zelkan-cli: the measurement of a parcel from the command line.
#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/measurement_run.h"
#include "app/registration_run.h"
#include "boundary/coordinate_files.h"
#include "boundary/drawing_number_scan.h"
#include "boundary/registry_map.h"
#include "cli/cli_options.h"
#include "cli/parcel_file_run.h"
#include "cli/parcel_sheets.h"
#include "cli/registration_report.h"
#include "cli/run_common.h"
#include "cli/summary.h"
#include "engine/boundary_shape.h"
#include "geometry/errors.h"
#include "geometry/exact_format.h"
#include "geometry/file_io.h"
#include "geometry/text_helpers.h"
#include "geometry/wide_text.h"
#include "records/evaluation_log.h"
#include "records/work_folder.h"
#include "registration/registration_settings.h"
#include "settings/ini_file.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#include <shellapi.h>
#define ZELKAN_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define ZELKAN_ISATTY(fd) isatty(fd)
#endif

namespace zelkan::cli {
namespace {

constexpr const char* kVersion = "zelkan-cli 0.1.0";

// Ctrl+C stops the search; a progress line on a terminal after half a second.
class TerminalControl : public SearchControl {
public:
    TerminalControl(MillisecondClock& clock, bool showProgress)
        : clock_(clock), start_(clock.NowMs()), showProgress_(showProgress) {}
    ~TerminalControl() override {
        if (shown_) std::fputs("\n", stderr);
    }

    void Pump(const SearchState& s) override {
        if (!showProgress_ || ++calls_ % 4096 != 0) return;
        const uint32_t elapsed = clock_.NowMs() - start_;
        if (elapsed < 500 || elapsed - lastShown_ < 200) return;
        lastShown_ = elapsed;
        shown_ = true;
        std::fprintf(stderr, "\r深さ %d  位置 %d  最初 %d  分割 %d  %.1f 秒   ", s.hhh, s.curpos - 1, s.curstart,
                     divisions_, elapsed / 1000.0);
        std::fflush(stderr);
    }
    bool StopRequested() override { return interrupts > 0; }
    void DivisionRecorded(int32_t trisetnum) override { divisions_ = trisetnum; }

private:
    MillisecondClock& clock_;
    uint32_t start_;
    bool showProgress_;
    bool shown_ = false;
    uint64_t calls_ = 0;
    uint32_t lastShown_ = 0;
    int32_t divisions_ = 0;
};

// The file name of a path without its folder and extension.
std::string StemOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    const std::string name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    return name.substr(0, name.find_last_of('.'));
}

// Where the sheet of a single parcel goes: --svg, or its name in --svg-dir.
std::string SheetOfOneParcel(const MeasureOptions& o) {
    if (!o.svg.empty() || o.svgDir.empty()) return o.svg;
    ForceDirectories(o.svgDir);
    return WithSeparator(o.svgDir) + StemOf(o.parcel) + ".svg";
}

// The settings file's values with the command line's over them.
SanshaSettings SettingsOfRun(const MeasureOptions& o, const std::string& workFolder) {
    SanshaSettings settings;
    LoadSettings(IniFile(o.ini.empty() ? workFolder + kSettingsFileName : o.ini), settings);
    if (o.heron) settings.useHeron = *o.heron;
    if (o.timeLimit) settings.calcTimeLimit = *o.timeLimit;
    if (o.records) settings.saveRecords = true;
    if (o.rowBound) settings.rowBoundFactor = *o.rowBound;
    return settings;
}

// What a drawn division adds to the result drawing: the area table; and the
// logs asked for, of every division recorded.
void WriteRunExtras(const MeasureOptions& o, MeasurementState& state, const SanshaSettings& settings,
                    const RunRequest& request, RunResult& result, AreaTableValues& table) {
    if (result.outcome == RunOutcome::Drawn) {
        table = LastRunTableValues(state, settings);
        result.filesWritten.push_back(WriteLastRunAreaTable(state, settings, request.runScript));
    }
    if (o.saveLogs.empty()) return;
    if (state.tables.trisets.trisetnum() == 0) {
        Fail("分割が記録されていないため、ログは保存しません: " + o.saveLogs);
        return;
    }
    // As the settings dialog's ログ保存 does.
    const LogPaths saved =
        SaveLogsAs(state.tables, o.saveLogs, RunMeasure{state.rounding, settings.measureScaleDenom, state.tables.menkei});
    for (const std::string* name :
         {&saved.xyFile, &saved.canFile, &saved.memFile, &saved.triFile, &saved.trwFile, &saved.trsFile})
        result.filesWritten.push_back(*name);
}

// The summary on standard output, what went wrong on standard error; the exit code.
int Report(const MeasureOptions& o, SearchMode searchMode, const SanshaSettings& settings, const RunResult& result,
           const AreaTableValues& table, const RegistrationFigures* registration) {
    if (result.droppedVertices > 0) Fail(RepeatedVerticesNote(result.droppedVertices));
    // The coordinate-method table after the 三斜 table, then the 地積 and the tolerance.
    const auto registrationText = [&] {
        if (registration == nullptr) return std::string();
        std::string text(1, '\n');
        text += FormatCoordinateTable(*registration);
        text += '\n';
        text += FormatRegistration(*registration, searchMode);
        return text;
    };
    const auto summary = [&](const AreaTableValues* printed) {
        std::fputs((FormatSummary(o.parcel, searchMode, result, printed) + registrationText()).c_str(), stdout);
    };
    if (result.outcome == RunOutcome::NoBoundary) {
        Fail(std::string(kNoBoundaryMessage) + ": " + o.parcel);
        return kExitInput;
    }
    if (result.outcome != RunOutcome::Drawn) {
        summary(nullptr);
        Fail(OutcomeText(result));
        if (result.outcome == RunOutcome::NotFound) {
            if (const std::string note = SmallestTotalNote(result, settings.useHeron); !note.empty()) Fail(note);
        }
        return ExitCodeOf(result.outcome);
    }
    std::string text = FormatSummary(o.parcel, searchMode, result, &table) + registrationText();
    text += "\n";
    for (const std::string& name : result.filesWritten) text += name + "\n";
    std::fputs(text.c_str(), stdout);
    return kExitOk;
}

// Removes the files of a run of one parcel when it ends in an error (the
// error itself is reported where the command line's errors are caught).
class RunFilesOnFailure {
public:
    RunFilesOnFailure(const std::string& runScript, const std::string& svg) : runScript_(runScript), svg_(svg) {}
    ~RunFilesOnFailure() {
        if (!kept_) RemoveRunFiles(runScript_, svg_);
    }
    RunFilesOnFailure(const RunFilesOnFailure&) = delete;
    RunFilesOnFailure& operator=(const RunFilesOnFailure&) = delete;
    void Keep() { kept_ = true; }

private:
    const std::string& runScript_;
    const std::string& svg_;
    bool kept_ = false;
};

int Measure(const MeasureOptions& o) {
    const std::string workFolder = o.ini.empty() || o.out.empty() ? SetUpWorkFolder() : std::string();
    const SanshaSettings settings = SettingsOfRun(o, workFolder);
    const SearchMode searchMode = o.mode ? SearchModeOf(*o.mode) : settings.searchMode;
    const std::string out = WithSeparator(o.out.empty() ? workFolder : o.out);
    if (out.empty()) {
        Fail("no folder for the files: give --out");
        return kExitInput;
    }
    ForceDirectories(out);
    std::error_code ec;
    if (std::filesystem::is_regular_file(PathFromUtf8(o.parcel), ec)) {
        const bool registryMap = IsRegistryMapFile(o.parcel);
        const ParcelFileKind kind = registryMap ? ParcelFileKind::BoundaryDxf : KindOfParcelFile(o.parcel);
        if (registryMap || kind != ParcelFileKind::BoundaryDxf || NeedsPolylineReader(o.parcel, o.layer)) {
            // What a run of one parcel writes has no name per parcel yet.
            for (const auto& [option, value] : {std::pair{"--svg", &o.svg}, {"--save-logs", &o.saveLogs}}) {
                if (value->empty()) continue;
                Fail(std::string(option) + " は一つの筆の計測にだけ使えます（多数の筆のファイルには使えません）: " +
                     o.parcel);
                std::fputs("Try 'zelkan-cli --help'.\n", stderr);
                return kExitUsage;
            }
            interruptsHandled = 2;
            std::signal(SIGINT, OnInterrupt);
            const CoordinateFile file = registryMap                              ? ReadRegistryMap(o.parcel)
                                        : kind == ParcelFileKind::Sima             ? ReadSimaFile(o.parcel)
                                        : kind == ParcelFileKind::CoordinateList ? ReadCoordinateList(o.parcel)
                                                                                 : ReadDxfPolylines(o.parcel, o.layer);
            const int code = MeasureParcels(o, settings, searchMode, out, file);
            std::signal(SIGINT, SIG_DFL);
            return code;
        }
    }
    SystemLocalClock localClock;
    RunRequest request;
    request.boundaryDxf = o.parcel;
    request.runScript = MakeRunScript(out, localClock);
    request.searchMode = searchMode;
    request.noStart = o.startNo ? *o.startNo : 1;
    // Without viewers the divisions beside the chosen one serve only the records.
    request.gather = o.divisions || settings.saveRecords || !o.saveLogs.empty();
    DeleteRunDrawings(request.runScript);

    auto state = std::make_unique<MeasurementState>();
    if (o.memoryLimit) state->tables.trisets.SetBudget(*o.memoryLimit);
    SteadyMillisecondClock clock;
    RunResult result;
    AreaTableValues table;
    std::optional<RegistrationFigures> registration;
    // A run that ends in an error leaves none of its files.
    RunFilesOnFailure cleanup(request.runScript, o.svg);
    {
        TerminalControl control(clock, ZELKAN_ISATTY(2) != 0);
        std::signal(SIGINT, OnInterrupt);
        result = MeasureParcel(*state, settings, request, control, clock);
        std::signal(SIGINT, SIG_DFL);
        if (result.memoryFull) Fail(kMemoryFullMessage);
        WriteRunExtras(o, *state, settings, request, result, table);
        if (result.outcome != RunOutcome::NoBoundary)
            registration = WriteRegistration(RegistrationInputOfRun(o, settings), settings,
                                             CornersOfTables(state->tables, settings.measureScaleDenom),
                                             request.runScript,
                                             result.outcome == RunOutcome::Drawn ? table.resultText : std::string(),
                                             result.filesWritten);
        // The sheet shows the registration figures beside the area table.
        if (const std::string sheet = SheetOfOneParcel(o); !sheet.empty() && result.outcome == RunOutcome::Drawn) {
            WriteParcelSheet(sheet, StartSheets("", request.searchMode, settings), *state, settings, table,
                             StemOf(o.parcel), nullptr, registration ? &*registration : nullptr);
            result.filesWritten.push_back(sheet);
        }
    }
    cleanup.Keep();
    return Report(o, searchMode, settings, result, table, registration ? &*registration : nullptr);
}

int Scan(const ScanOptions& o) {
    std::string layer = o.layer;
    if (layer.empty()) {
        SanshaSettings settings;
        LoadSettings(IniFile(o.ini.empty() ? SetUpWorkFolder() + kSettingsFileName : o.ini), settings);
        layer = settings.layerText;
    }
    std::error_code ec;
    if (!std::filesystem::is_regular_file(PathFromUtf8(o.drawing), ec)) {
        Fail("ファイルを開けません: " + o.drawing);
        return kExitInput;
    }
    DrawingNumberScan scan;
    int32_t drawingMaxNo = 1;
    ScanDrawingNumbers(scan, o.drawing, layer, drawingMaxNo);
    std::printf("%d\n", drawingMaxNo + 1);
    return kExitOk;
}

int Run(const std::vector<std::string>& args) {
    CommandLine cl;
    try {
        cl = ParseCommandLine(args);
    } catch (const UsageError& e) {
        Fail(e.message);
        std::fputs("Try 'zelkan-cli --help'.\n", stderr);
        return kExitUsage;
    }
    switch (cl.action) {
        case CommandLine::Action::Help: std::fputs(UsageText().c_str(), stdout); return kExitOk;
        case CommandLine::Action::Version: std::printf("%s\n", kVersion); return kExitOk;
        case CommandLine::Action::Measure: break;
        case CommandLine::Action::Scan: break;
    }
    try {
        return cl.action == CommandLine::Action::Scan ? Scan(cl.scan) : Measure(cl.measure);
    } catch (const RunError& e) {
        Fail(e.what());
        return e.exitCode();
    }
}

std::vector<std::string> Arguments(int argc, char** argv) {
#ifdef _WIN32
    // The ANSI argv cannot hold every file name; take the wide command line.
    (void)argc;
    (void)argv;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int n = 1; n < count; ++n) args.push_back(WideToUtf8(wide[n]));
    LocalFree(wide);
    if (_isatty(1)) SetConsoleOutputCP(CP_UTF8);
    if (_isatty(2)) SetConsoleOutputCP(CP_UTF8);
    return args;
#else
    return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

}  // namespace
}  // namespace zelkan::cli

int main(int argc, char** argv) {
    try {
        return zelkan::cli::Run(zelkan::cli::Arguments(argc, argv));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zelkan-cli: %s\n", e.what());
        return zelkan::kExitInput;
    }
}
