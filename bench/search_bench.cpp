// The search for divisions of whole parcels, the work a surveyor waits for
// after clicking inside a parcel (enumeration, metrics and evaluation run
// untimed around it). The literal search and the fast one run on the same
// parcels; the fast one alone where the literal one cannot finish. "nodes"
// counts the levels a search entered, "useful" those that led to a stored
// division.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/window_search_control.h"
#include "engine/candidates.h"
#include "engine/evaluation.h"
#include "engine/fast_search.h"
#include "engine/search.h"
#include "support/parcels.h"

namespace {

using namespace zelkan;

// The window program's control, with a window that has no messages waiting.
struct IdleDisplay : SearchDisplay {
    void ProcessMessages() override { ++handed; }
    void ShowDivisionCount(int32_t) override {}
    uint64_t handed = 0;
};

struct WindowedControl : WindowSearchControl {
    explicit WindowedControl(MillisecondClock& clock) : WindowSearchControl(display, clock, stop) {}
    IdleDisplay display;
    bool stop = false;
};

template <typename Engine, typename Control = SilentSearchControl>
void MeasureParcel(benchmark::State& state, const sample::Polygon& parcel) {
    static const auto t = std::make_unique<EngineTables>();
    EvaluationState evaluation;
    SteadyMillisecondClock clock;
    Control control = [&clock] {
        if constexpr (std::is_same_v<Control, SilentSearchControl>) {
            return Control{};
        } else {
            return Control(clock);
        }
    }();
    uint64_t nodes = 0, useful = 0;
    for (auto _ : state) {
        // Only the search is timed; the candidates are the same for both engines.
        state.PauseTiming();
        sample::SetParcel(*t, parcel);
        ResetForRun(*t);
        EnumerateCandidates(*t);
        SortCandidates(*t);
        CandidateMetrics(*t, MeasureRules{1, KetaMode::HalfUp, 2, KetaMode::HalfUp, 4});
        state.ResumeTiming();
        Engine search(*t, control, clock, 0);
        search.trianproc();
        state.PauseTiming();
        benchmark::DoNotOptimize(Evaluate(*t, evaluation, 0.0, SearchMode::Shape, true));
        state.ResumeTiming();
        nodes = search.nodes();
        if constexpr (std::is_same_v<Engine, FastTriangulationSearch>) useful = search.usefulNodes();
    }
    state.counters["candidates"] = t->tritempnum;
    state.counters["nodes"] = static_cast<double>(nodes);
    if (useful > 0) state.counters["useful"] = static_cast<double>(useful);
    state.counters["divisions"] = t->trisets.trisetnum();
}

sample::Polygon Regular(const benchmark::State& s) { return sample::RegularPolygon(static_cast<int>(s.range(0)), 100.0, 0.1); }
sample::Polygon Star(const benchmark::State& s) {
    return sample::StarShaped(static_cast<int>(s.range(0)), 1000u + static_cast<uint32_t>(s.range(0)));
}

void BM_Regular(benchmark::State& state) { MeasureParcel<TriangulationSearch>(state, Regular(state)); }
void BM_RegularFast(benchmark::State& state) { MeasureParcel<FastTriangulationSearch>(state, Regular(state)); }
void BM_StarShaped(benchmark::State& state) { MeasureParcel<TriangulationSearch>(state, Star(state)); }
void BM_StarShapedFast(benchmark::State& state) { MeasureParcel<FastTriangulationSearch>(state, Star(state)); }

// The 15-gon's search in the window program: the same search with the
// control that keeps the window alive (messages every 20 ms).
void BM_RegularFastWindowed(benchmark::State& state) {
    MeasureParcel<FastTriangulationSearch, WindowedControl>(state, Regular(state));
}

BENCHMARK(BM_Regular)->Arg(8)->Arg(10)->Arg(12)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegularFast)->Arg(8)->Arg(10)->Arg(12)->Arg(14)->Arg(15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StarShaped)->Arg(12)->Arg(16)->Arg(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StarShapedFast)->Arg(12)->Arg(16)->Arg(20)->Arg(25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RegularFastWindowed)->Arg(14)->Arg(15)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// Candidate enumeration of 60-vertex non-convex parcels (a star, second
// argument 0, and a comb, 1): pair by pair, and
// triple by triple against every boundary side.
template <void (*Enumerate)(zelkan::EngineTables&)>
void BM_Enumerate(benchmark::State& state) {
    static const auto t = std::make_unique<zelkan::EngineTables>();
    const auto parcel = state.range(1) == 0 ? zelkan::sample::StarShaped(static_cast<int>(state.range(0)), 60)
                                            : zelkan::sample::Comb(static_cast<int>(state.range(0)), 60);
    for (auto _ : state) {
        zelkan::sample::SetParcel(*t, parcel);
        Enumerate(*t);
    }
    state.counters["candidates"] = t->tritempnum;
}
BENCHMARK(BM_Enumerate<zelkan::EnumerateCandidates>)->Name("BM_EnumerateByPairs")->Args({60, 0})->Args({60, 1})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Enumerate<zelkan::EnumerateCandidatesLiterally>)->Name("BM_EnumerateLiterally")->Args({60, 0})->Args({60, 1})->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// Shows the runs as usual and keeps their times, so that the literal engine
// and the fast one (and the two enumerations) are set side by side at the end.
class SideBySideReporter : public benchmark::ConsoleReporter {
public:
    SideBySideReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run& run : reports)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                milliseconds_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }

    void PrintRatios() const {
        const std::pair<const char*, const char*> pairs[] = {{"BM_RegularFastWindowed/", "BM_RegularFast/"},
                                                             {"BM_Regular/", "BM_RegularFast/"},
                                                             {"BM_StarShaped/", "BM_StarShapedFast/"},
                                                             {"BM_EnumerateLiterally/", "BM_EnumerateByPairs/"}};
        bool any = false;
        for (const auto& [reference, fast] : pairs) {
            for (const auto& [name, ms] : milliseconds_) {
                if (name.rfind(reference, 0) != 0) continue;
                const auto other = milliseconds_.find(fast + name.substr(std::string(reference).size()));
                if (other == milliseconds_.end() || other->second <= 0) continue;
                if (!any) std::printf("\nreference / fast (and windowed / plain), same parcels, same run:\n");
                any = true;
                const double ratio = ms / other->second;
                std::printf(ratio < 10 ? "  %-28s %12.3f ms / %10.3f ms = %10.3fx\n" : "  %-28s %12.3f ms / %10.3f ms = %10.0fx\n",
                            name.c_str(), ms, other->second, ratio);
            }
        }
    }

private:
    std::map<std::string, double> milliseconds_;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SideBySideReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
