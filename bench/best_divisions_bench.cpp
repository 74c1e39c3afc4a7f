// The viewers' best divisions by shape and those closest to the coordinate
// area (300 of each, as a window-program run stores them where the search
// cannot store every division) on road-curve and irregular lots of 20 to
// 100 corners. Candidates and metrics are prepared untimed.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/best_divisions.h"
#include "engine/closest_divisions.h"
#include "support/parcels.h"

namespace {

using namespace zelkan;

void Best(benchmark::State& state, const sample::Polygon& parcel) {
    static const auto t = std::make_unique<EngineTables>();
    sample::PrepareCandidates(*t, parcel, MeasureRules{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4});
    size_t found = 0;
    for (auto _ : state) {
        const auto best = BestDivisionsByShape(*t, 300);
        found = best.size();
        benchmark::DoNotOptimize(best.data());
    }
    state.counters["corners"] = static_cast<double>(t->xynum);
    state.counters["candidates"] = t->tritempnum;
    state.counters["found"] = static_cast<double>(found);
}

// Heron areas to four decimals against the polygon's own area.
void Closest(benchmark::State& state, const sample::Polygon& parcel) {
    static const auto t = std::make_unique<EngineTables>();
    sample::PrepareCandidates(*t, parcel, MeasureRules{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4});
    const double menkei = sample::PolygonArea(parcel);
    ClosestDivisions found;
    for (auto _ : state) {
        found = DivisionsClosestToArea(*t, menkei, true, 300);
        benchmark::DoNotOptimize(found.divisions.data());
    }
    state.counters["corners"] = static_cast<double>(t->xynum);
    state.counters["found"] = static_cast<double>(found.divisions.size());
    state.counters["exact"] = found.exact ? 1 : 0;
}

void BM_BestRoadCurve(benchmark::State& state) { Best(state, sample::RoadCurveLot(static_cast<int>(state.range(0)), 7)); }
void BM_BestIrregularLot(benchmark::State& state) {
    Best(state, sample::IrregularLot(static_cast<int>(state.range(0)), 2));
}

void BM_ClosestRoadCurve(benchmark::State& state) {
    Closest(state, sample::RoadCurveLot(static_cast<int>(state.range(0)), 7));
}
void BM_ClosestIrregularLot(benchmark::State& state) {
    Closest(state, sample::IrregularLot(static_cast<int>(state.range(0)), 2));
}

BENCHMARK(BM_BestRoadCurve)->Arg(20)->Arg(40)->Arg(60)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BestIrregularLot)->Arg(20)->Arg(40)->Arg(60)->Arg(80)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClosestRoadCurve)->Arg(20)->Arg(40)->Arg(60)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClosestIrregularLot)->Arg(20)->Arg(40)->Arg(60)->Arg(80)->Arg(100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
