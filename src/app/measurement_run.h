#pragma once
// The measurement of one parcel from the CAD's boundary export to the result
// drawing: the one pipeline that every front end runs. It talks to the
// outside only through what it is given: the settings, a search control and
// a clock; it writes files only under the run's base name.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/acad_point.h"
#include "engine/best_divisions.h"
#include "engine/division_cover.h"
#include "engine/evaluation.h"
#include "engine/exact_selection.h"
#include "engine/memory_budget.h"
#include "engine/row_bound.h"
#include "engine/search_control.h"
#include "engine/tables.h"
#include "output/area_table.h"
#include "records/run_names.h"
#include "settings/sansha_settings.h"

namespace zelkan {

inline constexpr const char* kNoBoundaryMessage = "面の取得ができませんでした";
inline constexpr const char* kNotFoundMessage = "見つかりませんでした。設定[座標面計値を超えない]を確認してください";

// When the selection is known without the full search, the search only
// gathers divisions for the viewers and the records: it ends after this long
// (unless the settings set a time limit) or this much stored, whichever
// comes first.
inline constexpr uint32_t kGatherBudgetMs = 200;
inline constexpr uint64_t kGatherBudgetBytes = 16ull << 20;
// When the selection is beyond its limits the search chooses from what it
// stores within these bounds, and says that the choice is not exact. The
// bound is the search's work (the candidates it reads and the levels it
// enters), never the clock, so that the same parcel gives the same table on
// every run and every machine.
inline constexpr uint64_t kFallbackBudgetWork = 3'000'000;
inline constexpr uint64_t kFallbackBudgetBytes = 256ull << 20;
// Beyond this many candidates the search's own tables, which its budget does
// not count, take seconds: the fallback then chooses among the best
// divisions by shape and the one the selection found with the total it
// prefers.
inline constexpr int32_t kFallbackSearchCandidates = 2000;
// Where the search could not store every division and the selection is
// known, the viewers get this many of the best by shape instead.
inline constexpr size_t kViewerDivisions = 300;

// The state a program keeps from run to run: the tables (the viewers, the
// area-table press and the log commands read the last run's), the
// evaluation's winners and ranges, and the rounding rules, whose mode stays
// when all four flags of a rule are off.
struct MeasurementState {
    EngineTables tables;
    EvaluationState evaluation;
    RunRounding rounding;
    int32_t noStart = 1;  // first triangle number of the last run
    SelectionLimits selectionLimits;  // how far the area modes' exact selection may go
    DivisionSource divisionSource = DivisionSource::AllDivisions;  // how the stored divisions were found
};

struct RunRequest {
    std::string boundaryDxf;  // the CAD's export of the parcel boundary
    // The boundary's corners where they come from a coordinate file instead.
    std::optional<std::vector<TAcadPoint>> corners;
    std::string runScript;    // workFolder + stamp + ".scr": every file is named from it
    TAcadPoint ucsOrigin{0, 0, 0};
    TAcadPoint ucsXAxis{1, 0, 0};
    TAcadPoint ucsYAxis{0, 1, 0};
    SearchMode searchMode = SearchMode::Shape;
    int32_t noStart = 1;
    // Whether divisions are gathered beside a selection known without them:
    // the viewers and the records need them, a run that only prints does not.
    bool gather = true;
    // The viewers' divisions: the best by shape where the search cannot
    // store them all (the window program's runs).
    bool bestForViewers = false;
};

enum class RunOutcome {
    Drawn,       // a division was chosen and its result drawing written
    NoBoundary,  // fewer than 3 vertices: kNoBoundaryMessage
    NotFound,    // modes 0-2 stored or selected nothing: kNotFoundMessage
    NotPlaced,   // mode 3 placed no triangle
    NotCovered,  // the chosen division leaves part of the parcel out or overlaps itself: nothing drawn
};

struct RunResult {
    RunOutcome outcome = RunOutcome::NoBoundary;
    double menkei = 0;
    int32_t xynum = 0;
    int32_t droppedVertices = 0;  // repeated corners left out of the boundary (RepeatedVerticesNote)
    int32_t tritempnum = 0;
    int32_t trisetnum = 0;
    int32_t dupnum = 0;
    double evalDiff = 0;      // modes 0-2
    bool calcFailed = false;  // mode 0 found nothing to compute
    bool stopped = false;     // the search was asked to stop
    bool memoryFull = false;  // the search ended at the store's memory budget (kMemoryFullMessage)
    // Modes 0-2: every division was stored; the selection is the one the
    // full search would give (always so when every division was stored).
    bool searchComplete = false;
    bool exactSelection = false;
    bool gathered = true;  // false: the selection was known and no division was gathered beside it
    bool gatherRequested = true;  // the request's gather
    // Beyond the selection's limits with too many candidates for the search:
    // the choice was made among divisions found from the parts of the polygon.
    bool searchSkipped = false;
    DivisionSource divisionSource = DivisionSource::AllDivisions;
    int32_t trinum = 0;       // triangles of the chosen division
    DivisionCover cover;      // the chosen division checked against the parcel (NotCovered says why)
    // Mode 2 with every total above the coordinate area: the smallest, and
    // the coordinate area, exactly (SmallestTotalNote).
    std::optional<DecimalText> leastTotal;
    std::optional<DecimalText> menkeiDecimal;
    int32_t nextNoStart = 1;  // the first triangle number for the next run
    // What the row bound took out of the candidates (tritempnum counts them
    // all), and whether a division within it exists.
    RowBoundChoice rowBound;
    LogPaths logs;
    std::vector<std::string> filesWritten;
};

// What a front end shows while a run computes; each is called once, in
// this order, where the run has come that far.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void AreaComputed(double /*menkei*/) {}
    virtual void SearchStarting(int32_t /*tritempnum*/) {}  // modes 0-2
    virtual void SearchEnded(const RunResult& /*result*/) {}  // trisetnum, stopped, memoryFull, searchComplete set
    // A division was selected (trinum and evalDiff set); its drawing follows.
    virtual void Evaluated(const RunResult& /*result*/) {}
};

// The rounding rules of a run from the settings, kept in state; settings
// that cannot give a table are refused (InvalidInputError) and change nothing.
void TakeRunRules(MeasurementState& state, const SanshaSettings& settings);

// The first half of a run: the rules, the tables reset, the export read and
// its repeated corners dropped. False, with the outcome NoBoundary, when
// fewer than 3 vertices remain. result starts anew.
bool ReadRunBoundary(MeasurementState& state, const SanshaSettings& settings, const RunRequest& request,
                     RunResult& result);

// The second half, after the CAD has erased the boundary it traced: the
// boundary checked, the coordinate area, the candidates, the search (or the
// fast mode), the evaluation, the records and the result drawing.
void ComputeRun(MeasurementState& state, const SanshaSettings& settings, const RunRequest& request,
                SearchControl& control, MillisecondClock& clock, RunResult& result, RunObserver* observer = nullptr);

// Both halves. The front end has formed runScript and removed the
// old drawings of that name before the boundary was exported. Throws
// InputOutputError when the export cannot be read or a file cannot be
// written, CapacityError when a table overflows, InvalidInputError for
// settings that cannot give a table (a scale below 1, a rounding rule with
// no mode, a row bound's factor that is no number of 0 or more) or a boundary that crosses or touches itself.
RunResult MeasureParcel(MeasurementState& state, const SanshaSettings& settings, const RunRequest& request,
                        SearchControl& control, MillisecondClock& clock);

// Where mode 2 found nothing below the coordinate area: the smallest total
// there is and how far above the area it lies; empty when not known.
std::string SmallestTotalNote(const RunResult& result, bool useHeron);

// The values of the last run's area table (useHeron chooses the layout).
AreaTableValues LastRunTableValues(const MeasurementState& state, const SanshaSettings& settings);

// Writes the result drawing of the current division (the one the viewers
// confirmed) as runScript + "res.dxf", numbered from the last run's first
// number, and returns that name.
std::string WriteCurrentResultDrawing(MeasurementState& state, const SanshaSettings& settings,
                                      const std::string& runScript);

// Writes the area table of the last run's division as runScript + "seki.dxf"
// and returns that name.
std::string WriteLastRunAreaTable(const MeasurementState& state, const SanshaSettings& settings,
                                  const std::string& runScript);

}  // namespace zelkan
