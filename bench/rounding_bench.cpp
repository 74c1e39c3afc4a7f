// KetaFormat runs about ten times per candidate triangle when candidates are
// measured (up to a million times per run): its cost matters.
#include <benchmark/benchmark.h>

#include <string>

#include "geometry/exact_format.h"
#include "geometry/rounding.h"

namespace {

void BM_KetaFormat(benchmark::State& state) {
    const auto mode = static_cast<zelkan::KetaMode>(state.range(0));
    std::string text;
    double v = 12.3456789;
    for (auto _ : state) {
        zelkan::KetaFormat(mode, 2, v, text);
        benchmark::DoNotOptimize(text);
        v += 0.001;
    }
}
BENCHMARK(BM_KetaFormat)->DenseRange(1, 4);

void BM_FormatFixedSmallAndLarge(benchmark::State& state) {
    const long double v = state.range(0) == 0 ? 0.0123456789L : 123456.789L;
    for (auto _ : state) benchmark::DoNotOptimize(zelkan::FormatFixed(4, v));
}
BENCHMARK(BM_FormatFixedSmallAndLarge)->Arg(0)->Arg(1);

}  // namespace
