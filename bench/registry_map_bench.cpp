// The registry-map reader on generated maps of 10 000 筆 and 60 000 corners
// (tests/support/registry_map_xml.py, in the published files' structure,
// written to the temporary folder on the first run): one XML file, and zip
// archives holding the same 筆 in 1, 10 or 100 files, or in archives of one
// file each. "peak_MB" is the process's peak resident memory after the run:
// run one benchmark per process (--benchmark_filter) to see each one's own.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "boundary/registry_map.h"

namespace {

using namespace zelkan;

constexpr int kParcels = 10000;
constexpr int kPoints = 60000;

std::string MakeMap(const std::string& name, const std::string& options) {
    const std::string path = (std::filesystem::temp_directory_path() / ("zelkan-bench-" + name)).string();
    if (std::filesystem::exists(path)) return path;
    const std::string command = "python3 " ZELKAN_REGISTRY_MAP_GENERATOR " " + path + " --parcels " +
                                std::to_string(kParcels) + " --points " + std::to_string(kPoints) + " " + options;
    if (std::system(command.c_str()) != 0) std::filesystem::remove(path);
    return path;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void Read(benchmark::State& state, const std::string& path) {
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("the generator did not write the map");
        return;
    }
    size_t parcels = 0;
    for (auto _ : state) {
        const CoordinateFile file = ReadRegistryMap(path);
        parcels = file.parcels.size();
        benchmark::DoNotOptimize(parcels);
    }
    state.counters["parcels"] = static_cast<double>(parcels);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_ReadXml(benchmark::State& state) { Read(state, MakeMap("town.xml", "")); }

void BM_ReadZip(benchmark::State& state) {
    const std::string files = std::to_string(state.range(0));
    Read(state, MakeMap("town-" + files + ".zip", "--files " + files));
}

void BM_ReadZipOfZips(benchmark::State& state) {
    const std::string files = std::to_string(state.range(0));
    Read(state, MakeMap("town-" + files + "-nested.zip", "--nested --files " + files));
}

}  // namespace

BENCHMARK(BM_ReadXml)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadZip)->Arg(1)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_ReadZipOfZips)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
