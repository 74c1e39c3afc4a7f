// What "評" prepares on a large result: the two orderings of the thumbnail
// window and a filter of the list window, over the 742 900 divisions of a
// regular 15-gon (searched and evaluated once, untimed).
#include <benchmark/benchmark.h>

#include <memory>

#include "engine/evaluation.h"
#include "support/parcels.h"
#include "viewers/division_views.h"

namespace {

using namespace zelkan;

EngineTables& FifteenGon() {
    static const auto t = [] {
        auto tables = std::make_unique<EngineTables>();
        sample::PrepareCandidates(*tables, sample::RegularPolygon(15, 100.0, 0.1),
                                  MeasureRules{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4});
        sample::SearchEveryDivision(*tables);
        EvaluationState evaluation;
        Evaluate(*tables, evaluation, 0.0, SearchMode::Shape, true);
        return tables;
    }();
    return *t;
}

void BM_ThumbnailOrderings(benchmark::State& state) {
    EngineTables& t = FifteenGon();
    for (auto _ : state) {
        benchmark::DoNotOptimize(ShapeOrder(t.trisets));
        benchmark::DoNotOptimize(AreaOrder(t.trisets, 29000.0, true));
    }
    state.counters["divisions"] = t.trisets.trisetnum();
}

void BM_ListFilter(benchmark::State& state) {
    EngineTables& t = FifteenGon();
    size_t listed = 0;
    for (auto _ : state) listed = ListedDivisions(t, {ParseTriangleFilter("1,2,3"), {}, {}}).size();
    state.counters["listed"] = static_cast<double>(listed);
}

BENCHMARK(BM_ThumbnailOrderings)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListFilter)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
