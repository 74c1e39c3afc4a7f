#include "app/measurement_run.h"

#include <algorithm>
#include <climits>

#include "boundary/dxf_boundary_reader.h"
#include "engine/boundary_shape.h"
#include "engine/candidates.h"
#include "engine/closest_divisions.h"
#include "engine/coordinate_area.h"
#include "engine/division_cover.h"
#include "engine/exact_selection.h"
#include "engine/fast_search.h"
#include "engine/search.h"
#include "geometry/errors.h"
#include "geometry/text_helpers.h"
#include "output/result_drawing.h"
#include "records/measurement_logs.h"

namespace zelkan {

namespace {

DrawingStyle DrawingStyleOf(const SanshaSettings& s, const RunRounding& r) {
    DrawingStyle style;
    style.layerHen = s.layerHen;
    style.layerTakasa = s.layerTakasa;
    style.layerText = s.layerText;
    style.labelHeight = StrToReal(s.mojiDaka) * s.scaleDenom;
    style.numberHeight = StrToReal(s.bTextHi) * s.scaleDenom;
    style.numberRadius = StrToReal(s.bCirR) * s.scaleDenom;
    style.lengthMode = r.lengthMode;
    style.lengthDigits = r.lengthDigits;
    style.measureScaleDenom = s.measureScaleDenom;
    return style;
}

TableStyle TableStyleOf(const SanshaSettings& s, const RunRounding& r) {
    TableStyle style;
    style.layer = s.kyuLayer;
    style.textHeight = StrToReal(s.kyuMojiDaka) * s.scaleDenom;
    style.rowHeight = StrToReal(s.kyuGyoDaka) * s.scaleDenom;
    style.rounding = r;
    style.measureScaleDenom = s.measureScaleDenom;
    style.rowBoundFactor = RowBoundFactorOf(s).value_or(0);
    return style;
}

int32_t NextNoStart(const SanshaSettings& s, int32_t noStart, int32_t trinum) {
    int64_t next = noStart;
    switch (s.noMode) {
        case NumberingMode::AfterLast: next += trinum; break;
        case NumberingMode::Step: next += s.noStep; break;
        case NumberingMode::Fixed: break;
    }
    return static_cast<int32_t>(std::clamp<int64_t>(next, INT32_MIN, kMaxFirstNumber));
}

// Settings that would print a table of zeros or negative lengths are
// refused before anything is read or written.
void CheckRunSettings(const SanshaSettings& s, const RunRounding& r) {
    if (s.measureScaleDenom <= 0) throw InvalidInputError("設定 [計測縮尺] 分母 は 1 以上にしてください");
    if (s.scaleDenom <= 0) throw InvalidInputError("設定 [縮尺] 分母 は 1 以上にしてください");
    const auto needMode = [](KetaMode mode, const char* section) {
        if (mode < KetaMode::Cut || mode > KetaMode::Even)
            throw InvalidInputError(std::string("設定 [") + section +
                                    "] の切り捨て・四捨五入・切り上げ・五捨五入のどれかを 1 にしてください");
    };
    needMode(r.lengthMode, "長さ");
    needMode(r.areaMode, "面積");
    needMode(r.resultMode, "結果");
    if (!RowBoundFactorOf(s)) throw InvalidInputError("設定 [行誤差] 倍率 は 0 以上の数にしてください");
}

// A triangular parcel is its own division; the search stores only divisions
// of two or more triangles.
void StoreWholeTriangle(EngineTables& t) { StoreDivision(t, {1}); }

// The run's hold on the search: a stop request from outside, and the
// run's budget of time or of work (the candidates read and the levels
// entered; 0: none), each remembered for the result.
class RunSearchControl : public SearchControl {
public:
    RunSearchControl(SearchControl& inner, MillisecondClock& clock, uint32_t budgetMs, uint64_t budgetWork)
        : inner_(inner), clock_(clock), budgetMs_(budgetMs), budgetWork_(budgetWork), start_(clock.NowMs()) {}
    // The searches pump for every candidate they read: the work they do.
    void Pump(const SearchState& s) override {
        ++work_;
        inner_.Pump(s);
    }
    bool StopRequested() override {
        stopped = stopped || inner_.StopRequested();
        if (stopped) return true;
        ++requests_;
        if (budgetWork_ > 0 && requests_ + work_ > budgetWork_) budgetReached = true;
        // The clock is read every so many requests.
        if (budgetMs_ > 0 && !budgetReached && requests_ % 64 == 0)
            budgetReached = static_cast<uint32_t>(clock_.NowMs() - start_) > budgetMs_;
        return budgetReached;
    }
    void DivisionRecorded(int32_t n) override { inner_.DivisionRecorded(n); }
    bool stopped = false;
    bool budgetReached = false;

private:
    SearchControl& inner_;
    MillisecondClock& clock_;
    uint32_t budgetMs_;
    uint64_t budgetWork_;
    uint32_t start_;
    uint64_t requests_ = 0;
    uint64_t work_ = 0;
};

// The store's budget for one run, put back afterwards.
class RunStoreBudget {
public:
    RunStoreBudget(TriSetStore& store, uint64_t bytes) : store_(store), kept_(store.budget()) {
        store_.SetBudget(std::min(kept_, bytes));
    }
    ~RunStoreBudget() { store_.SetBudget(kept_); }
    RunStoreBudget(const RunStoreBudget&) = delete;
    RunStoreBudget& operator=(const RunStoreBudget&) = delete;

private:
    TriSetStore& store_;
    uint64_t kept_;
};

bool Known(const ExactSelection& s) {
    return s.status == SelectionStatus::Selected || s.status == SelectionStatus::NothingQualifies;
}

// The current division checked before it becomes the result: true when it
// measures the whole parcel; otherwise the outcome says it does not.
bool CoversParcel(const EngineTables& t, int32_t measureScaleDenom, RunResult& result) {
    result.cover = CheckDivisionCover(t, measureScaleDenom);
    if (!result.cover.covers) result.outcome = RunOutcome::NotCovered;
    return result.cover.covers;
}

}  // namespace

void TakeRunRules(MeasurementState& state, const SanshaSettings& settings) {
    RunRounding rounding = state.rounding;
    TakeRoundingRules(settings, rounding);
    CheckRunSettings(settings, rounding);
    state.rounding = rounding;
}

bool ReadRunBoundary(MeasurementState& state, const SanshaSettings& settings, const RunRequest& request,
                     RunResult& result) {
    EngineTables& t = state.tables;
    result = RunResult{};
    TakeRunRules(state, settings);
    result.logs = DeriveLogPaths(request.runScript);
    result.nextNoStart = request.noStart;
    ResetForRun(t);
    if (request.corners) {
        if (request.corners->size() > static_cast<size_t>(kMaxVertices)) throw CapacityError(kXynumOverflow);
        t.xynum = static_cast<int32_t>(request.corners->size());
        for (int32_t v = 1; v <= t.xynum; ++v) t.xy[static_cast<size_t>(v)] = (*request.corners)[static_cast<size_t>(v - 1)];
    } else {
        ReadBoundaryDxf(request.boundaryDxf, t);
    }
    result.droppedVertices = DropRepeatedVertices(t);
    result.xynum = t.xynum;
    if (t.xynum < 3) {
        result.outcome = RunOutcome::NoBoundary;
        return false;
    }
    return true;
}

namespace {

// The boundary checked and put in working order, its coordinate area, and
// the candidate triangles, with their records.
void PrepareCandidates(EngineTables& t, const SanshaSettings& settings, const RunRequest& request, RunResult& result,
                       RunObserver& show) {
    const bool records = settings.saveRecords;
    const auto written = [&result](const std::string& name) { result.filesWritten.push_back(name); };
    CheckBoundaryShape(t);
    VerticesToUcs(t, request.ucsOrigin, request.ucsXAxis, request.ucsYAxis);
    NormalizeVertexOrder(t);
    if (records) {
        WriteXyLog(t, result.logs.xyFile);
        written(result.logs.xyFile);
    }
    const CoordinateArea area = MeasureCoordArea(t, settings.measureScaleDenom);
    t.menkei = area.area;
    t.menkeiDecimal = area.exact;
    if (records) {
        WriteMemLog(area, result.logs.memFile);
        written(result.logs.memFile);
    }
    result.menkei = t.menkei;
    show.AreaComputed(t.menkei);

    EnumerateCandidates(t);
    SortCandidates(t);
    result.tritempnum = t.tritempnum;
}

// The candidates measured, and those whose printed area strays beyond the
// row bound taken out before any mode chooses; then their record.
void MeasureCandidates(MeasurementState& state, const SanshaSettings& settings, RunResult& result) {
    EngineTables& t = state.tables;
    const RunRounding& r = state.rounding;
    const MeasureRules rules{settings.measureScaleDenom, r.lengthMode, r.lengthDigits, r.areaMode, r.areaDigits};
    CandidateMetrics(t, rules);
    result.rowBound = KeepHonestCandidates(t, RowBoundRules{rules, settings.useHeron, *RowBoundFactorOf(settings)});
    if (settings.saveRecords) {
        WriteCanLog(t, result.logs.canFile);
        result.filesWritten.push_back(result.logs.canFile);
    }
}

// The fast mode's pass over the candidates left by the bound can close
// itself off from a division that exists among them: the division of the
// smallest shape sum takes its place then.
void CompleteFastDivision(EngineTables& t, const SanshaSettings& settings) {
    if (t.trinum == t.xynum - 2 || !(*RowBoundFactorOf(settings) > 0)) return;
    const ExactSelection shape = SelectExactly(t, t.menkei, SearchMode::Shape, settings.useHeron);
    if (shape.status != SelectionStatus::Selected) return;
    LoadDivision(t, shape.division);
}

// The search for divisions beside the exact selection: for the viewers and
// the records within a small budget when the selection is known (or none
// exists), or as the fallback within a larger one. What it stored stays in
// the tables; result says how it ended.
void GatherDivisions(EngineTables& t, const SanshaSettings& settings, const RunRequest& request, bool budgeted,
                     SearchControl& control, MillisecondClock& clock, RunResult& result) {
    // Gathering beside a known selection changes no table: it may stop by the clock.
    const uint32_t runBudgetMs = budgeted && settings.calcTimeLimit <= 0 ? kGatherBudgetMs : 0;
    RunSearchControl watched(control, clock, runBudgetMs, budgeted ? 0 : kFallbackBudgetWork);
    bool timedOut = false;
    // Gathering beside a known selection is worth a fraction of a second:
    // without the pairwise tables the search cannot stop that soon.
    result.gatherRequested = request.gather;
    result.gathered = (request.gather && FastTriangulationSearch::Fits(t)) || !budgeted;
    {
        const RunStoreBudget storeBudget(t.trisets, budgeted ? kGatherBudgetBytes : kFallbackBudgetBytes);
        const uint32_t timeLimit = settings.calcTimeLimit > 0 ? static_cast<uint32_t>(settings.calcTimeLimit) : 0;
        if (!result.gathered) {
            // Nothing to gather: the selection alone is stored afterwards.
        } else if (t.xynum == 3 && t.tritempnum == 1) {
            StoreWholeTriangle(t);
        } else if (FastTriangulationSearch::Fits(t)) {
            FastTriangulationSearch search(t, watched, clock, timeLimit);
            search.trianproc();
            result.memoryFull = search.memoryFull();
            timedOut = search.timedOut();
        } else {
            // Too many candidates for the pairwise tables: the same search, literally.
            TriangulationSearch search(t, watched, clock, timeLimit);
            search.trianproc();
            result.memoryFull = search.memoryFull();
            timedOut = search.timedOut();
        }
    }
    result.stopped = watched.stopped;
    result.searchComplete =
        result.gathered && !result.stopped && !result.memoryFull && !timedOut && !watched.budgetReached;
    // With the selection known, a full store is the run's budget, not a failure.
    if (budgeted) result.memoryFull = false;
    result.trisetnum = t.trisets.trisetnum();
    result.dupnum = t.dupnum;
}

// Stores the best divisions by shape and those nearest the coordinate area,
// one list for each ordering of the viewers; where they come from. With no
// nearest listed (beyond their work bound) only the shape's are there.
DivisionSource StoreViewerDivisions(EngineTables& t, const SanshaSettings& settings) {
    StoreBestDivisionsByShape(t, kViewerDivisions);
    const ClosestDivisions closest = DivisionsClosestToArea(t, t.menkei, settings.useHeron, kViewerDivisions);
    StoreDivisionsOnce(t, closest.divisions);
    if (closest.divisions.empty()) return DivisionSource::BestByShape;
    return closest.exact ? DivisionSource::BestByShapeAndArea : DivisionSource::BestByShapeAndBandedArea;
}

// A search cut short stores the first divisions in its order, which are
// neither the best shaped nor the closest: with the selection known, the
// viewers get the best by shape and the closest to the coordinate area from
// the parts of the polygon instead, one list for each of their orderings.
// Where the closest cannot be listed within their work bound, the division
// closest to the area still heads that ordering (a run in mode 1 stores it
// as its selection).
void OfferBestDivisions(MeasurementState& state, const SanshaSettings& settings, const RunRequest& request,
                        const ExactSelection& exact, RunResult& result) {
    EngineTables& t = state.tables;
    if (result.searchComplete) {
        result.divisionSource = DivisionSource::AllDivisions;
    } else if (request.bestForViewers && Known(exact)) {
        result.divisionSource = StoreViewerDivisions(t, settings);
        if (result.divisionSource == DivisionSource::BestByShape && request.searchMode != SearchMode::Closest) {
            const ExactSelection one =
                SelectExactly(t, t.menkei, SearchMode::Closest, settings.useHeron, state.selectionLimits);
            if (one.status == SelectionStatus::Selected) StoreDivisionOnce(t, one.division);
        }
        result.trisetnum = t.trisets.trisetnum();
    } else {
        result.divisionSource = DivisionSource::SearchCut;
    }
}

// Beyond the exact selection's limits on a parcel of many candidates: the
// best divisions by shape, those whose totals lie nearest the coordinate
// area, and the division the selection found with the total it prefers
// (where it got that far), for the evaluation to choose from.
void StoreFallbackDivisions(EngineTables& t, const SanshaSettings& settings, const ExactSelection& exact,
                            RunResult& result) {
    result.divisionSource = StoreViewerDivisions(t, settings);
    const std::vector<int32_t>& preferred = exact.preferredTotalDivision;
    if (!preferred.empty() && PassesSearchCrossingTest(t, preferred)) StoreDivisionOnce(t, preferred);
    result.gathered = false;
    result.searchComplete = false;
    result.searchSkipped = true;
    result.trisetnum = t.trisets.trisetnum();
    result.dupnum = 0;
}

// Beyond the exact selection's limits the area modes choose from what the
// search stored; the division of the smallest shape sum, which is always
// found, is stored beside it, so that a division of the whole parcel is
// among them however little the search's budget reached.
void StoreShapeDivision(EngineTables& t, const SanshaSettings& settings) {
    const ExactSelection shape = SelectExactly(t, t.menkei, SearchMode::Shape, settings.useHeron);
    if (shape.status == SelectionStatus::Selected) StoreDivisionOnce(t, shape.division);
}

// The division of the run made current: the exact selection where the
// search did not see every division, otherwise the evaluation of all.
void SelectDivision(MeasurementState& state, const SanshaSettings& settings, const RunRequest& request,
                    const ExactSelection& exact, RunResult& result) {
    EngineTables& t = state.tables;
    const bool known = Known(exact);
    if (!result.searchComplete && known) {
        result.evalDiff = ApplySelection(t, state.evaluation, exact, t.menkei, request.searchMode, settings.useHeron);
        result.trisetnum = t.trisets.trisetnum();
    } else {
        result.evalDiff = Evaluate(t, state.evaluation, t.menkei, request.searchMode, settings.useHeron);
    }
    result.exactSelection = result.searchComplete || known;
    result.leastTotal = exact.leastTotal;
    result.menkeiDecimal = t.menkeiDecimal;
    result.calcFailed = state.evaluation.calcFailed;
    WriteTriLog(t, result.logs.triFile);
    result.filesWritten.push_back(result.logs.triFile);
    RestoreSelection(t);
    result.trinum = t.trinum;
}

}  // namespace

void ComputeRun(MeasurementState& state, const SanshaSettings& settings, const RunRequest& request,
                SearchControl& control, MillisecondClock& clock, RunResult& result, RunObserver* observer) {
    EngineTables& t = state.tables;
    RunObserver silent;
    RunObserver& show = observer != nullptr ? *observer : silent;
    // Numbers past kMaxFirstNumber would overflow in the drawing.
    const int32_t noStart = std::min(request.noStart, kMaxFirstNumber);
    state.noStart = noStart;
    result.nextNoStart = noStart;
    const int32_t scaleDenom = settings.measureScaleDenom;
    const auto drawResult = [&] {
        result.filesWritten.push_back(WriteCurrentResultDrawing(state, settings, request.runScript));
        result.outcome = RunOutcome::Drawn;
    };

    PrepareCandidates(t, settings, request, result, show);
    MeasureCandidates(state, settings, result);
    if (!IsEvaluated(request.searchMode)) {
        FastTriangulate(t);
        CompleteFastDivision(t, settings);
        // The division is the selection: its record names it as the other modes' do.
        t.seltri = t.tritable;
        t.seltrinum = t.trinum;
        WriteTriLog(t, result.logs.triFile);
        result.filesWritten.push_back(result.logs.triFile);
        result.trinum = t.trinum;
        if (t.trinum < 1) {
            result.outcome = RunOutcome::NotPlaced;
        } else if (CoversParcel(t, scaleDenom, result)) {
            drawResult();
        }
        // Numbered on like the other modes: the next parcel never repeats a number drawn.
        if (result.outcome != RunOutcome::NotCovered) result.nextNoStart = NextNoStart(settings, noStart, t.trinum);
        return;
    }

    show.SearchStarting(t.tritempnum);
    // Known before the search, the selection lets the search run short.
    // Without a division of the whole parcel among the candidates the run
    // ends without a result whatever the search finds: it only fills the
    // viewers, as with a known selection.
    const ExactSelection exact = SelectExactly(t, t.menkei, request.searchMode, settings.useHeron, state.selectionLimits);
    const bool budgeted = Known(exact) || exact.status == SelectionStatus::NoDivision;
    if (budgeted || t.tritempnum <= kFallbackSearchCandidates) {
        GatherDivisions(t, settings, request, budgeted, control, clock, result);
        OfferBestDivisions(state, settings, request, exact, result);
    } else {
        result.gatherRequested = request.gather;
        StoreFallbackDivisions(t, settings, exact, result);
    }
    state.divisionSource = result.divisionSource;
    if (exact.status == SelectionStatus::Unavailable && !result.searchComplete && !result.stopped) {
        StoreShapeDivision(t, settings);
        result.trisetnum = t.trisets.trisetnum();
    }
    show.SearchEnded(result);
    SelectDivision(state, settings, request, exact, result);

    // Nothing selected where no division of the whole parcel exists is no
    // setting's doing: the check says what is missing.
    if (t.trinum < 1 && exact.status != SelectionStatus::NoDivision) {
        result.outcome = RunOutcome::NotFound;
    } else if (CoversParcel(t, scaleDenom, result)) {
        show.Evaluated(result);
        if (settings.saveRecords) {
            WriteTrwLog(t, result.logs.trwFile);
            result.filesWritten.push_back(result.logs.trwFile);
        }
        drawResult();
    }
    // A division that was not drawn uses no numbers.
    if (result.outcome != RunOutcome::NotCovered) result.nextNoStart = NextNoStart(settings, noStart, t.trinum);
}

RunResult MeasureParcel(MeasurementState& state, const SanshaSettings& settings, const RunRequest& request,
                        SearchControl& control, MillisecondClock& clock) {
    RunResult result;
    if (ReadRunBoundary(state, settings, request, result)) ComputeRun(state, settings, request, control, clock, result);
    return result;
}

std::string SmallestTotalNote(const RunResult& result, bool useHeron) {
    if (result.outcome != RunOutcome::NotFound || !result.leastTotal || !result.menkeiDecimal) return {};
    const DecimalText& least = *result.leastTotal;
    // The coordinate area without the zeros its seven decimals may end in.
    DecimalText area = *result.menkeiDecimal;
    while (area.decimals > least.decimals && area.units % 10 == 0) area = DecimalText{area.units / 10, area.decimals - 1};
    const DecimalText over = Difference(least, area);
    // Where the bound took candidates out, a total below the area may exist
    // only through rows it would not let the table print.
    const int32_t removed = result.rowBound.removed;
    const std::string none = removed > 0 ? "は、行誤差の限度内にはありません（限度を超える候補 " +
                                               std::to_string(removed) + " 個を除外）"
                                         : "はありません";
    return "座標面計値 " + DecimalString(area) + " より小さい合計の分割" + none + ": 最も小さい合計は " +
           DecimalString(least) + (over.units == 0 ? "（座標面計値と等しい）" : "（" + DecimalString(over) + " 大きい）") +
           (useHeron ? "。検索 1 か 三斜 で測れます" : "。検索 1 で測れます");
}

AreaTableValues LastRunTableValues(const MeasurementState& state, const SanshaSettings& settings) {
    const EngineTables& t = state.tables;
    const double factor = RowBoundFactorOf(settings).value_or(0);
    return settings.useHeron ? HeronTableValues(t, state.noStart, state.rounding, settings.measureScaleDenom, factor)
                             : SanshaTableValues(t, state.noStart, state.rounding, settings.measureScaleDenom, factor);
}

std::string WriteCurrentResultDrawing(MeasurementState& state, const SanshaSettings& settings,
                                      const std::string& runScript) {
    const std::string name = DeriveName(runScript, "res.dxf");
    const DrawingStyle style = DrawingStyleOf(settings, state.rounding);
    if (settings.useHeron) {
        WriteHeronResultDrawing(state.tables, name, state.noStart, style);
    } else {
        WriteResultDrawing(state.tables, name, state.noStart, style);
    }
    return name;
}

std::string WriteLastRunAreaTable(const MeasurementState& state, const SanshaSettings& settings,
                                  const std::string& runScript) {
    const std::string name = DeriveName(runScript, "seki.dxf");
    const TableStyle style = TableStyleOf(settings, state.rounding);
    if (settings.useHeron) {
        WriteHeronAreaTable(state.tables, name, state.noStart, style, HeronColumnsOf(settings));
    } else {
        WriteAreaTable(state.tables, name, state.noStart, style, SanshaColumnsOf(settings));
    }
    return name;
}

}  // namespace zelkan
