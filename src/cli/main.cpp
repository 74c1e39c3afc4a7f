// zelkan-cli: the measurement of a parcel from the command line.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "app/measurement_run.h"
#include "app/registration_run.h"
#include "boundary/coordinate_files.h"
#include "boundary/drawing_number_scan.h"
#include "boundary/registry_map.h"
#include "cli/cli_options.h"
#include "cli/parcel_file_names.h"
#include "cli/registration_report.h"
#include "cli/summary.h"
#include "cli/parcel_sheets.h"
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

// Ctrl+C: how often it was pressed, and how many presses end the work in
// steps; the next one ends the program at once. One parcel: the first stops
// the search. A file: the first ends it after the parcels in hand, the
// second stops their searches; both keep what was measured.
std::atomic<int> interrupts{0};
std::atomic<int> interruptsHandled{1};

extern "C" void OnInterrupt(int) {
    // Windows resets the handler before it calls it.
    std::signal(SIGINT, ++interrupts < interruptsHandled ? OnInterrupt : SIG_DFL);
}

// The parcels of a file: the second Ctrl+C stops the searches in hand.
class FileParcelControl : public SilentSearchControl {
public:
    bool StopRequested() override { return interrupts >= 2; }
};

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

std::string WithSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != '/' && folder.back() != '\\') {
#ifdef _WIN32
        folder += '\\';
#else
        folder += '/';
#endif
    }
    return folder;
}

void Fail(const std::string& message) { std::fprintf(stderr, "zelkan-cli: %s\n", message.c_str()); }

// Removes what a failed run may have written under its base name.
void RemoveRunFiles(const std::string& runScript, const std::string& svg) {
    DeleteRunDrawings(runScript);
    const LogPaths logs = DeriveLogPaths(runScript);
    for (const std::string* name : {&logs.xyFile, &logs.canFile, &logs.memFile, &logs.triFile, &logs.trwFile})
        DeleteFileQuietly(*name);
    if (!svg.empty()) DeleteFileQuietly(svg);
}

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

// The 地目 class and the 精度区分 of the settings, what the parcel's file
// says over them, and the command line's over both.
RegistrationInput RegistrationInputOfRun(const MeasureOptions& o, const SanshaSettings& settings,
                                         const ParcelRecord* parcel = nullptr) {
    RegistrationInput input = parcel != nullptr
                                  ? ParcelRegistrationInput(settings, parcel->precisionClass, parcel->registeredArea)
                                  : RegistrationInputOf(settings);
    if (o.precision) input.precision = PrecisionClassOf(*o.precision);
    if (o.registered) input.registeredArea = ParseDecimalText(*o.registered);
    return input;
}

// The registration figures of a parcel measured as far as its boundary,
// their drawing and CSV written and listed with the run's files.
RegistrationFigures WriteRegistration(const RegistrationInput& input, const SanshaSettings& settings,
                                      const std::vector<CoordinateCorner>& corners, const std::string& runScript,
                                      const std::string& sanshaAreaText, std::vector<std::string>& filesWritten) {
    const RegistrationFigures f = ParcelRegistration(corners, settings, sanshaAreaText, input);
    for (std::string& name : WriteRegistrationFiles(f, settings, runScript)) filesWritten.push_back(std::move(name));
    return f;
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

// The exit code and the text of a run that ended without a drawing (or with one).
int ExitCodeOf(RunOutcome outcome) {
    switch (outcome) {
        case RunOutcome::Drawn: return kExitOk;
        case RunOutcome::NoBoundary: return kExitInput;
        case RunOutcome::NotFound:
        case RunOutcome::NotPlaced:
        case RunOutcome::NotCovered: break;
    }
    return kExitNothing;
}

std::string OutcomeText(const RunResult& result) {
    switch (result.outcome) {
        case RunOutcome::Drawn: return "計測しました";
        case RunOutcome::NoBoundary: return kNoBoundaryMessage;
        case RunOutcome::NotFound: return result.calcFailed ? kCalcFailedMessage : kNotFoundMessage;
        case RunOutcome::NotPlaced: return "三角形を置けませんでした";
        case RunOutcome::NotCovered: return NotCoveredMessage(result.cover);
    }
    return {};
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

// A field of summary.csv, quoted where it holds a comma or a quote.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// What one parcel of a file gave: its line of summary.csv, its exit code,
// and the triangles drawn.
struct ParcelOutcome {
    std::string row;
    IndexRow index;  // the same, for index.html
    int code = kExitOk;
    int32_t triangles = 0;
};

// The coordinate system of a parcel: its own where the files of an archive
// each name theirs, else the file's.
const std::string& ZoneOf(const ParcelRecord& parcel, const std::string& fileZone) {
    return parcel.zone.empty() ? fileZone : parcel.zone;
}

// The registration columns of a parcel without figures: of them only the
// 精度区分 its file gives.
std::string UnregisteredColumns(const ParcelRecord& parcel) {
    return ",,,,," + CsvField(parcel.precisionClass) + ",,";
}

// The line of summary.csv of a parcel not measured, and why.
std::string UnmeasuredRow(const ParcelRecord& parcel, SearchMode searchMode, const std::string& zone,
                          const std::string& why) {
    return CsvField(parcel.number) + "," + CsvField(parcel.name) + "," +
           std::to_string(parcel.corners.size() + parcel.unknownCorners) + ",,,,," +
           std::to_string(ModeNumber(searchMode)) + ",," + CsvField(why) + "," + CsvField(ZoneOf(parcel, zone)) +
           ",," + UnregisteredColumns(parcel) + "\r\n";  // no drawings, no rows
}

// Its line of index.html.
IndexRow UnmeasuredIndexRow(const ParcelRecord& parcel, const std::string& why) {
    IndexRow row = IndexRowOf(parcel, std::to_string(parcel.corners.size() + parcel.unknownCorners), "", "", "", "",
                              "", why, false);
    row.extra = IndexExtras("", nullptr);
    return row;
}

constexpr const char* kNotMeasuredForCtrlC = "未計測（Ctrl+C で中断）";

// One parcel of a file measured on its own, its triangles numbered from
// noStart, its drawings named fileName, in tables that each run sets anew
// (they are large: made once a thread).
ParcelOutcome MeasureOneParcel(const MeasureOptions& o, const SanshaSettings& settings, SearchMode searchMode,
                               const std::string& out, const std::string& zone, const ParcelRecord& parcel,
                               const std::string& fileName, int32_t noStart, MeasurementState& state,
                               const SheetRun* sheets) {
    ParcelOutcome outcome;
    // The columns after the zone: the name the parcel's drawings begin with,
    // how far its rows stray from their triangles, for a table drawn, and the
    // registration figures; a failure keeps none of them, its files removed.
    std::string rowError;
    std::string registrationColumns = UnregisteredColumns(parcel);
    std::optional<RegistrationFigures> figures;
    const auto row = [&](const std::string& corners, const std::string& area, const std::string& total,
                         const std::string& printed, const std::string& difference, const std::string& exact,
                         const std::string& what, const std::string& drawings = "") {
        outcome.row = CsvField(parcel.number) + "," + CsvField(parcel.name) + "," + corners + "," + area + "," + total +
                      "," + printed + "," + difference + "," + std::to_string(ModeNumber(searchMode)) + "," + exact +
                      "," + CsvField(what) + "," + CsvField(ZoneOf(parcel, zone)) + "," + CsvField(drawings) + "," +
                      CsvField(rowError) + registrationColumns + "\r\n";
        outcome.index = IndexRowOf(parcel, corners, area, total, printed, difference, exact, what, !total.empty());
        outcome.index.extra = IndexExtras(rowError, figures ? &*figures : nullptr);
    };
    if (!parcel.problem.empty()) {
        outcome.row = UnmeasuredRow(parcel, searchMode, zone, parcel.problem);
        outcome.index = UnmeasuredIndexRow(parcel, parcel.problem);
        outcome.code = kExitInput;
        return outcome;
    }
    RunRequest request;
    request.corners = parcel.corners;
    request.runScript = out + fileName + ".scr";
    request.searchMode = searchMode;
    request.noStart = noStart;
    request.gather = o.divisions || settings.saveRecords;
    DeleteRunDrawings(request.runScript);
    if (o.memoryLimit) state.tables.trisets.SetBudget(*o.memoryLimit);
    SteadyMillisecondClock clock;
    // Ctrl+C ends the file after the parcels in hand, each measured whole;
    // a second one stops their searches.
    FileParcelControl control;
    const auto failed = [&](const std::string& what) {
        RemoveRunFiles(request.runScript, "");
        rowError.clear();
        registrationColumns = UnregisteredColumns(parcel);
        figures.reset();
        outcome.triangles = 0;
        row(std::to_string(parcel.corners.size()), "", "", "", "", "", what);
    };
    try {
        const RunResult result = MeasureParcel(state, settings, request, control, clock);
        const std::string area = Trimmed(FormatFixedWidth(0, 3, result.menkei));
        const std::string exact = result.exactSelection ? "はい" : "いいえ";
        if (result.stopped && !result.exactSelection) {
            // Chosen from a search cut short: no measurement of the parcel.
            RemoveRunFiles(request.runScript, "");
            outcome.row = UnmeasuredRow(parcel, searchMode, zone, kNotMeasuredForCtrlC);
            outcome.index = UnmeasuredIndexRow(parcel, kNotMeasuredForCtrlC);
            outcome.code = kExitInterrupted;
            return outcome;
        }
        std::vector<std::string> registrationFiles;
        const auto registration = [&](const std::string& sanshaAreaText) {
            const RegistrationFigures f =
                WriteRegistration(RegistrationInputOfRun(o, settings, &parcel), settings,
                                  CornersOf(parcel.corners, parcel.cornerNames, settings.measureScaleDenom),
                                  request.runScript, sanshaAreaText, registrationFiles);
            registrationColumns = RegistrationCsvColumns(&f);
            figures = f;
        };
        if (result.outcome != RunOutcome::Drawn) {
            if (result.outcome != RunOutcome::NoBoundary) registration("");
            const std::string note = SmallestTotalNote(result, settings.useHeron);
            row(std::to_string(result.xynum), area, "", "", "", exact,
                OutcomeText(result) + (note.empty() ? "" : "。" + note));
            outcome.code = ExitCodeOf(result.outcome);
            return outcome;
        }
        const AreaTableValues table = LastRunTableValues(state, settings);
        WriteLastRunAreaTable(state, settings, request.runScript);
        const long double difference = static_cast<long double>(result.menkei) - StrToReal(table.resultText);
        rowError = RowErrorText(table);
        registration(table.resultText);
        row(std::to_string(result.xynum), area, Trimmed(table.totalText), Trimmed(table.resultText),
            Trimmed(FormatFixedWidth(0, 3, difference)), exact,
            OutcomeText(result) +
                (result.droppedVertices > 0 ? "（" + RepeatedVerticesNote(result.droppedVertices) + "）" : ""),
            fileName);
        outcome.triangles = result.trinum;
        outcome.index.rowsBeyond = SummarizeRowErrors(table).rowsBeyond > 0;
        if (sheets != nullptr)
            outcome.index.sheet = WriteSheetOfFile(*sheets, out, fileName, state, settings, table, parcel,
                                                   figures ? &*figures : nullptr);
    } catch (const RunError& e) {
        failed(e.what());
        outcome.code = e.exitCode();
    } catch (const std::exception& e) {
        // Measured on a thread of its own: whatever else fails is this parcel's.
        failed(e.what());
        outcome.code = kExitInput;
    }
    return outcome;
}

// The parcels --only asks for (all without it), in file order; what it
// names that no parcel of the file is, said on standard error.
std::vector<size_t> WantedParcels(const MeasureOptions& o, const CoordinateFile& file, bool& allFound) {
    const auto asked = [&o](const ParcelRecord& parcel) {
        return o.only.empty() || std::find(o.only.begin(), o.only.end(), parcel.number) != o.only.end() ||
               std::find(o.only.begin(), o.only.end(), parcel.name) != o.only.end();
    };
    std::vector<size_t> wanted;
    for (size_t n = 0; n < file.parcels.size(); ++n)
        if (asked(file.parcels[n])) wanted.push_back(n);
    allFound = true;
    for (const std::string& only : o.only) {
        const auto named = [&only](const ParcelRecord& p) { return p.number == only || p.name == only; };
        if (std::none_of(file.parcels.begin(), file.parcels.end(), named)) {
            Fail("--only " + only + ": その番号・名前の画地はファイルにありません: " + o.parcel);
            allFound = false;
        }
    }
    return wanted;
}

// summary.csv of the parcels asked for: the rows of those measured, and a
// row saying so for each that Ctrl+C left unmeasured.
std::string SummaryText(const CoordinateFile& file, const std::vector<size_t>& wanted,
                        const std::vector<std::optional<ParcelOutcome>>& outcomes, SearchMode searchMode) {
    // The last columns: the plane-rectangular zone a SIMA file names (a
    // registry map's 座標系), the name the parcel's drawings begin with, how
    // far its rows stray, and the registration figures.
    std::string csv = std::string("\xEF\xBB\xBF番号,名前,構成点,座標面積,表の合計,面積,差,モード,厳密,結果,系,図面,行誤差") +
                      kRegistrationCsvHeadings + "\r\n";
    for (size_t k = 0; k < wanted.size(); ++k)
        csv += outcomes[k] ? outcomes[k]->row
                           : UnmeasuredRow(file.parcels[wanted[k]], searchMode, file.zone, kNotMeasuredForCtrlC);
    return csv;
}

// What Ctrl+C left undone, on standard error.
void ReportInterruption(const CoordinateFile& file, const std::vector<size_t>& wanted,
                        const std::vector<std::optional<ParcelOutcome>>& outcomes, const std::string& summary) {
    std::string left;
    size_t measured = 0, listed = 0;
    for (size_t k = 0; k < wanted.size(); ++k) {
        if (outcomes[k] && outcomes[k]->code != kExitInterrupted) {
            ++measured;
        } else if (++listed <= 20) {
            left += " " + file.parcels[wanted[k]].number;
        }
    }
    if (listed > 20) left += " ほか " + std::to_string(listed - 20) + " 個";
    Fail("Ctrl+C で中断しました: 画地 " + std::to_string(wanted.size()) + " 個のうち " + std::to_string(measured) +
         " 個まで。未計測:" + left + "（" + summary + " に記載）");
}

// Every parcel of a file (those --only names), each on its own; one line
// each in summary.csv, in file order (UTF-8 with a byte order mark, as a
// Japanese spreadsheet opens it). The parcels are measured on every core,
// each run independent of the others, unless their numbers run on from one
// to the next. Ctrl+C ends after the parcels in hand, a second one stops
// their searches; from the first on, summary.csv on disk lists what was
// measured and what was not, and the exit code says the file was not done.
// Otherwise the exit code is the worst of the parcels'.
int MeasureParcels(const MeasureOptions& o, const SanshaSettings& settings, SearchMode searchMode,
                   const std::string& out, const CoordinateFile& file) {
    bool allFound = true;
    const std::vector<size_t> wanted = WantedParcels(o, file, allFound);
    if (wanted.empty()) return kExitInput;
    const std::vector<std::string> fileNames = ParcelFileNames(file.parcels);
    std::vector<std::optional<ParcelOutcome>> outcomes(wanted.size());
    std::mutex guard;  // outcomes and workersDone
    std::condition_variable changed;
    size_t workersDone = 0;
    const int32_t firstNo = o.startNo ? *o.startNo : 1;
    const std::optional<SheetRun> sheets =
        o.svgDir.empty() ? std::nullopt : std::optional(StartSheets(o.svgDir, searchMode, settings));
    std::atomic<size_t> next{0}, started{0};
    const auto measure = [&](size_t k, int32_t noStart, MeasurementState& state) {
        const ParcelRecord& parcel = file.parcels[wanted[k]];
        std::fprintf(stderr, "画地 %zu / %zu: %s %s\n", ++started, wanted.size(), parcel.number.c_str(),
                     parcel.name.c_str());
        ParcelOutcome outcome =
            MeasureOneParcel(o, settings, searchMode, out, file.zone, parcel, fileNames[wanted[k]], noStart, state,
                             sheets ? &*sheets : nullptr);
        const int32_t triangles = outcome.triangles;
        std::lock_guard<std::mutex> lock(guard);
        outcomes[k] = std::move(outcome);
        changed.notify_all();
        return triangles;
    };
    const auto finished = [&] {
        std::lock_guard<std::mutex> lock(guard);
        ++workersDone;
        changed.notify_all();
    };
    const auto work = [&] {
        const auto state = std::make_unique<MeasurementState>();
        if (o.continueNumbering) {
            int32_t noStart = firstNo;
            for (size_t k = 0; k < wanted.size() && interrupts == 0; ++k)
                noStart = std::min(noStart + measure(k, noStart, *state), kMaxFirstNumber);
        } else {
            for (size_t k; interrupts == 0 && (k = next++) < wanted.size();) measure(k, firstNo, *state);
        }
        finished();
    };
    const size_t cores = std::max<size_t>(1, std::thread::hardware_concurrency());
    const size_t workerCount = o.continueNumbering ? 1 : std::min(cores, wanted.size());
    std::vector<std::thread> workers;
    for (size_t n = 0; n < workerCount; ++n) workers.emplace_back(work);
    const std::string summary = out + "summary.csv";
    {
        // Once Ctrl+C is pressed, summary.csv is kept up to date with every
        // parcel that ends, so that whichever press ends the program what
        // was measured is listed.
        std::unique_lock<std::mutex> lock(guard);
        size_t written = 0;  // parcels ended at the last writing, plus one
        while (workersDone < workerCount) {
            changed.wait_for(lock, std::chrono::milliseconds(100));
            if (interrupts == 0) continue;
            const size_t ended = 1 + static_cast<size_t>(std::count_if(
                                         outcomes.begin(), outcomes.end(), [](const auto& x) { return x.has_value(); }));
            if (ended == written) continue;
            written = ended;
            WriteFileAtomically(summary, SummaryText(file, wanted, outcomes, searchMode));
        }
    }
    for (std::thread& worker : workers) worker.join();
    WriteFileAtomically(summary, SummaryText(file, wanted, outcomes, searchMode));
    std::printf("%s\n", summary.c_str());
    if (sheets) {
        std::vector<IndexRow> rows;
        for (const std::optional<ParcelOutcome>& outcome : outcomes)
            if (outcome) rows.push_back(outcome->index);
        std::printf("%s\n", WriteParcelIndex(out, o.parcel, rows).c_str());
    }
    int worst = allFound ? kExitOk : kExitInput;
    bool cut = false;
    for (const std::optional<ParcelOutcome>& outcome : outcomes) {
        cut = cut || !outcome || outcome->code == kExitInterrupted;
        if (outcome) worst = std::max(worst, outcome->code);
    }
    if (!cut) return worst;
    ReportInterruption(file, wanted, outcomes, summary);
    return kExitInterrupted;
}

int Measure(const MeasureOptions& o) {
    const std::string workFolder = o.ini.empty() || o.out.empty() ? SetUpWorkFolder() : std::string();
    const SanshaSettings settings = SettingsOfRun(o, workFolder);
    const SearchMode searchMode = SearchModeOf(o.mode ? *o.mode : settings.searchMode);
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
    try {
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
    } catch (const RunError& e) {
        RemoveRunFiles(request.runScript, o.svg);
        Fail(e.what());
        return e.exitCode();
    }
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
    try {
        ScanDrawingNumbers(scan, o.drawing, layer, drawingMaxNo);
    } catch (const InputOutputError& e) {
        Fail(e.what());
        return kExitInput;
    }
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
        case CommandLine::Action::Help: std::fputs(kUsage, stdout); return kExitOk;
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
