// The readers of the CAD's DXF exports on a large drawing: the triangle
// number scan of "最大" and the boundary reader, on a 200 MB export made
// once (CR LF; a second one with LF only). "peak_MB" is the process's peak
// resident memory after the run: run one benchmark per process
// (--benchmark_filter) to see each reader's own.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "boundary/drawing_number_scan.h"
#include "boundary/dxf_boundary_reader.h"
#include "engine/tables.h"

namespace {

using namespace zelkan;

constexpr uint64_t kTargetBytes = 200ull << 20;

// Texts (numbered on S_TEXT every 1000th), lines and, at the end, the
// parcel's polyline, written piece by piece so that making the file takes
// no memory.
std::string MakeExport(const char* lineEnd) {
    const std::string name = (std::filesystem::temp_directory_path() /
                              (std::string("zelkan-bench-") + (lineEnd[1] ? "crlf" : "lf") + ".dxf")).string();
    if (std::filesystem::exists(name) && std::filesystem::file_size(name) >= kTargetBytes) return name;
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    const auto pair = [&](const char* code, const std::string& value) { out << code << lineEnd << value << lineEnd; };
    pair("  0", "SECTION");
    pair("  2", "ENTITIES");
    for (uint64_t n = 0; static_cast<uint64_t>(out.tellp()) < kTargetBytes; ++n) {
        pair("  0", "TEXT");
        pair("  8", n % 1000 == 0 ? "S_TEXT" : "OTHER");
        pair(" 10", "-12034.512");
        pair(" 20", "-34017.238");
        pair(" 40", "0.5");
        pair("  1", std::to_string(n % 100000));
        pair("  0", "LINE");
        pair("  8", "S_HEN");
        pair(" 10", "-12016.087");
        pair(" 20", "-34019.904");
        pair(" 11", "-12013.762");
        pair(" 21", "-34008.451");
    }
    pair("  0", "POLYLINE");
    pair(" 66", "1");
    pair(" 70", "1");
    for (int v = 0; v < 8; ++v) {
        pair("  0", "VERTEX");
        pair(" 10", std::to_string(v * 3.5));
        pair(" 20", std::to_string(v % 2 ? 10.0 : 0.0));
    }
    pair("  0", "SEQEND");
    pair("  0", "ENDSEC");
    pair("  0", "EOF");
    return name;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

void BM_Scan(benchmark::State& state, const char* lineEnd) {
    const std::string file = MakeExport(lineEnd);
    int32_t next = 0;
    for (auto _ : state) {
        DrawingNumberScan scan;
        int32_t maxNo = 1;
        ScanDrawingNumbers(scan, file, "S_TEXT", maxNo);
        next = maxNo + 1;
    }
    state.counters["next"] = next;
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(file)) / (1 << 20);
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_Boundary(benchmark::State& state, const char* lineEnd) {
    const std::string file = MakeExport(lineEnd);
    static EngineTables t;
    for (auto _ : state) ReadBoundaryDxf(file, t);
    state.counters["vertices"] = t.xynum;
    state.counters["peak_MB"] = PeakMegabytes();
}

BENCHMARK_CAPTURE(BM_Scan, crlf, "\r\n")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Scan, lf, "\n")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Boundary, crlf, "\r\n")->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
