#include "cli/parcel_file_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "cli/parcel_file_names.h"
#include "cli/parcel_sheets.h"
#include "cli/registration_report.h"
#include "cli/run_common.h"
#include "cli/summary.h"
#include "engine/boundary_shape.h"
#include "geometry/errors.h"
#include "geometry/exact_format.h"
#include "geometry/file_io.h"
#include "geometry/text_helpers.h"
#include "registration/parcel_corners.h"

namespace zelkan::cli {
namespace {

// The parcels of a file: the second Ctrl+C stops the searches in hand.
class FileParcelControl : public SilentSearchControl {
public:
    bool StopRequested() override { return interrupts >= 2; }
};

// What one parcel of a file gave: its line of summary.csv, its exit code,
// and the triangles drawn; for index.html, whether rows of its table stray
// beyond their bound and where its sheet is.
struct ParcelOutcome {
    SummaryRow row;
    int code = kExitOk;
    int32_t triangles = 0;
    bool rowsBeyond = false;
    std::string sheet;
};

// The coordinate system of a parcel: its own where the files of an archive
// each name theirs, else the file's.
const std::string& ZoneOf(const ParcelRecord& parcel, const std::string& fileZone) {
    return parcel.zone.empty() ? fileZone : parcel.zone;
}

// The row of a parcel as far as its file tells it: no figures, of the
// registration columns only the 精度区分 its file gives.
SummaryRow FileRow(const ParcelRecord& parcel, SearchMode searchMode, const std::string& zone) {
    SummaryRow row;
    row.number = parcel.number;
    row.name = parcel.name;
    row.corners = std::to_string(parcel.corners.size() + parcel.unknownCorners);
    row.mode = searchMode;
    row.zone = ZoneOf(parcel, zone);
    row.precisionClass = parcel.precisionClass;
    return row;
}

// The row of a parcel not measured, and why.
SummaryRow UnmeasuredRow(const ParcelRecord& parcel, SearchMode searchMode, const std::string& zone,
                         const std::string& why) {
    SummaryRow row = FileRow(parcel, searchMode, zone);
    row.outcome = why;
    return row;
}

// Its line of index.html.
IndexRow IndexRowOfOutcome(const ParcelOutcome& outcome) {
    IndexRow index = IndexRowOf(outcome.row);
    index.rowsBeyond = outcome.rowsBeyond;
    index.sheet = outcome.sheet;
    return index;
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
    if (!parcel.problem.empty()) {
        outcome.row = UnmeasuredRow(parcel, searchMode, zone, parcel.problem);
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
    // A failure keeps none of the run's figures, its files removed.
    const auto failed = [&](const std::string& what) {
        RemoveRunFiles(request.runScript, "");
        outcome = ParcelOutcome{};
        outcome.row = UnmeasuredRow(parcel, searchMode, zone, what);
        outcome.row.corners = std::to_string(parcel.corners.size());
    };
    try {
        const RunResult result = MeasureParcel(state, settings, request, control, clock);
        if (result.stopped && !result.exactSelection) {
            // Chosen from a search cut short: no measurement of the parcel.
            RemoveRunFiles(request.runScript, "");
            outcome.row = UnmeasuredRow(parcel, searchMode, zone, kNotMeasuredForCtrlC);
            outcome.code = kExitInterrupted;
            return outcome;
        }
        SummaryRow& row = outcome.row;
        row = FileRow(parcel, searchMode, zone);
        row.corners = std::to_string(result.xynum);
        row.coordinateArea = Trimmed(FormatFixedWidth(0, 3, result.menkei));
        row.exact = result.exactSelection;
        std::vector<std::string> registrationFiles;
        const auto registration = [&](const std::string& sanshaAreaText) {
            row.registration = WriteRegistration(RegistrationInputOfRun(o, settings, &parcel), settings,
                                                 CornersOf(parcel.corners, parcel.cornerNames, settings.measureScaleDenom),
                                                 request.runScript, sanshaAreaText, registrationFiles);
        };
        if (result.outcome != RunOutcome::Drawn) {
            if (result.outcome != RunOutcome::NoBoundary) registration("");
            const std::string note = SmallestTotalNote(result, settings.useHeron);
            row.outcome = OutcomeText(result) + (note.empty() ? "" : "。" + note);
            outcome.code = ExitCodeOf(result.outcome);
            return outcome;
        }
        const AreaTableValues table = LastRunTableValues(state, settings);
        WriteLastRunAreaTable(state, settings, request.runScript);
        const long double difference = static_cast<long double>(result.menkei) - StrToReal(table.resultText);
        row.rowError = RowErrorText(table);
        registration(table.resultText);
        row.tableTotal = Trimmed(table.totalText);
        row.area = Trimmed(table.resultText);
        row.difference = Trimmed(FormatFixedWidth(0, 3, difference));
        row.outcome = OutcomeText(result) +
                      (result.droppedVertices > 0 ? "（" + RepeatedVerticesNote(result.droppedVertices) + "）" : "");
        row.drawings = fileName;
        outcome.triangles = result.trinum;
        outcome.rowsBeyond = SummarizeRowErrors(table).rowsBeyond > 0;
        if (sheets != nullptr)
            outcome.sheet = WriteSheetOfFile(*sheets, out, fileName, state, settings, table, parcel,
                                             row.registration ? &*row.registration : nullptr);
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
    std::string csv = "\xEF\xBB\xBF" + SummaryCsvHeading() + "\r\n";
    for (size_t k = 0; k < wanted.size(); ++k)
        csv += SummaryCsvLine(outcomes[k] ? outcomes[k]->row
                                          : UnmeasuredRow(file.parcels[wanted[k]], searchMode, file.zone,
                                                          kNotMeasuredForCtrlC));
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

}  // namespace

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
            if (outcome) rows.push_back(IndexRowOfOutcome(*outcome));
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

}  // namespace zelkan::cli
