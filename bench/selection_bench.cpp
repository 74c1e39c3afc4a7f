// The exact selection on parcels too large for the full search: convex
// (regular and irregular), star-shaped, comb-like, lots on a road curve and
// irregular round-ish lots, with the default rounding (lengths to 2
// decimals, areas to 4, half away from zero), base and height or Heron (the
// third argument). Candidates and metrics are prepared untimed. "selected"
// is 1 when the selection was made exactly, 0 when it was beyond its limits.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/evaluation.h"
#include "engine/exact_selection.h"
#include "engine/row_bound.h"
#include "support/parcels.h"

namespace {

using namespace zelkan;

void Select(benchmark::State& state, const sample::Polygon& parcel, bool rowBound = false) {
    const SearchMode mode = SearchModeOf(static_cast<int32_t>(state.range(1)));
    const bool heron = state.range(2) != 0;
    static const auto t = std::make_unique<EngineTables>();
    const MeasureRules rules{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4};
    sample::PrepareCandidates(*t, parcel, rules);
    if (rowBound) KeepHonestCandidates(*t, RowBoundRules{rules, heron});
    const double menkei = sample::PolygonArea(parcel);
    bool selected = false;
    for (auto _ : state) {
        const ExactSelection s = SelectExactly(*t, menkei, mode, heron);
        selected = s.status == SelectionStatus::Selected;
        benchmark::DoNotOptimize(s.division.data());
    }
    state.counters["corners"] = static_cast<double>(t->xynum);
    state.counters["candidates"] = t->tritempnum;
    state.counters["selected"] = selected ? 1 : 0;
}

// Parcels of about 30 m across, in metres.
sample::Polygon Scaled(sample::Polygon p, double factor) {
    for (auto& v : p) v.first *= factor, v.second *= factor;
    return p;
}

void BM_Convex(benchmark::State& state) {
    Select(state, sample::RegularPolygon(static_cast<int>(state.range(0)), 15, 0.1));
}
void BM_IrregularConvex(benchmark::State& state) {
    Select(state, Scaled(sample::IrregularConvex(static_cast<int>(state.range(0)), 7), 0.15));
}
void BM_StarShaped(benchmark::State& state) {
    Select(state, Scaled(sample::StarShaped(static_cast<int>(state.range(0)), 7), 0.15));
}
void BM_Comb(benchmark::State& state) {
    Select(state, Scaled(sample::Comb(static_cast<int>(state.range(0)), 7), 0.3));
}
void BM_RoadCurve(benchmark::State& state) { Select(state, sample::RoadCurveLot(static_cast<int>(state.range(0)), 7)); }
void BM_IrregularLot(benchmark::State& state) { Select(state, sample::IrregularLot(static_cast<int>(state.range(0)), 2)); }

// Long strips with near-straight corners and large round parcels (areas of
// 10^9 units), at survey coordinates, their candidates within the row bound
// as a run leaves them.
void BM_SurveyStrip(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Select(state, sample::Shifted(sample::NearStraightStrip(n, 400 + 5 * n, 3), -34000, -12000), true);
}
void BM_LargeParcel(benchmark::State& state) {
    Select(state, sample::Shifted(sample::LargeRoundParcel(static_cast<int>(state.range(0)), 5), -30000, -11000), true);
}

// A convex parcel of more than 84 corners has more candidates than the
// table holds.
void ConvexSizes(benchmark::internal::Benchmark* b) {
    for (const int heron : {0, 1})
        for (const int mode : {0, 1, 2})
            for (const int n : {20, 30, 40, 60, 80}) b->Args({n, mode, heron});
    b->Unit(benchmark::kMillisecond);
}
void Sizes(benchmark::internal::Benchmark* b) {
    for (const int heron : {0, 1})
        for (const int mode : {0, 1, 2})
            for (const int n : {20, 30, 40, 60, 100}) b->Args({n, mode, heron});
    b->Unit(benchmark::kMillisecond);
}

void LongSizes(benchmark::internal::Benchmark* b) {
    for (const int heron : {0, 1})
        for (const int mode : {1, 2})
            for (const int n : {48, 64, 96, 120}) b->Args({n, mode, heron});
    b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_Convex)->Apply(ConvexSizes);  // every triangle of its corners is congruent to many others
BENCHMARK(BM_IrregularConvex)->Apply(ConvexSizes);
BENCHMARK(BM_StarShaped)->Apply(Sizes);
BENCHMARK(BM_Comb)->Apply(Sizes);
BENCHMARK(BM_RoadCurve)->Apply(Sizes);
BENCHMARK(BM_IrregularLot)->Apply(ConvexSizes);
BENCHMARK(BM_SurveyStrip)->Apply(LongSizes);
BENCHMARK(BM_LargeParcel)->Apply(LongSizes);

}  // namespace

BENCHMARK_MAIN();
