// Enumeration, search and evaluation of whole parcels: the work a surveyor
// waits for after clicking inside a parcel.
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/candidates.h"
#include "engine/evaluation.h"
#include "engine/search.h"
#include "support/parcels.h"

namespace {

using namespace zelkan;

void MeasureParcel(benchmark::State& state, const sample::Polygon& parcel) {
    auto t = std::make_unique<EngineTables>();
    EvaluationState evaluation;
    SilentSearchControl control;
    SteadyMillisecondClock clock;
    uint64_t nodes = 0;
    for (auto _ : state) {
        sample::SetParcel(*t, parcel);
        ResetForRun(*t);
        EnumerateCandidates(*t);
        SortCandidates(*t);
        CandidateMetrics(*t, MeasureRules{1, kKetaHalfUp, 2, kKetaHalfUp, 4});
        TriangulationSearch search(*t, control, clock, 0);
        search.trianproc();
        benchmark::DoNotOptimize(Evaluate(*t, evaluation, 0.0, kModeShape, true));
        nodes = search.nodes();
    }
    state.counters["candidates"] = t->tritempnum;
    state.counters["nodes"] = static_cast<double>(nodes);
    state.counters["divisions"] = t->trisets.trisetnum();
}

void BM_Regular(benchmark::State& state) {
    MeasureParcel(state, sample::RegularPolygon(static_cast<int>(state.range(0)), 100.0, 0.1));
}
BENCHMARK(BM_Regular)->Arg(8)->Arg(10)->Arg(12)->Unit(benchmark::kMillisecond);

// Star-shaped parcels with random radii; the seed fixes each one.
void BM_StarShaped(benchmark::State& state) {
    MeasureParcel(state, sample::StarShaped(static_cast<int>(state.range(0)), 1000u + static_cast<uint32_t>(state.range(0))));
}
BENCHMARK(BM_StarShaped)->Arg(12)->Arg(16)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace
