// The shift run and the search for the largest sync time (the first pass of a
// run whose range ends at "E") against a plain buffered copy of the same file,
// all timed in the same run on generated 1 MiB and 64 MiB subtitles.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "progress.h"
#include "sami_generator.h"
#include "sync_shift.h"
#include "sync_tag_search.h"

void SetProgressBar(ProgressWindow /*window*/, std::int32_t /*percent*/) {}

namespace {

std::string BenchFile(std::int64_t mebibytes) {
    const auto dir = std::filesystem::temp_directory_path() / "tembrel-bench";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / ("shift-" + std::to_string(mebibytes) + ".smi")).string();
    if (!std::filesystem::exists(path)) {
        WriteGeneratedSami(path, mebibytes << 20, 42);
    }
    return path;
}

std::string OutputFile() {
    return (std::filesystem::temp_directory_path() / "tembrel-bench" / "out.smi").string();
}

void BM_Copy(benchmark::State& state) {
    const std::string in = BenchFile(state.range(0));
    const std::string out = OutputFile();
    for (auto _ : state) {
        if (!CopyFilesBuffered({in}, out)) {
            state.SkipWithError("copy failed");
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(in)));
}

// The whole range shifted, with or without a stretch.
void BM_Shift(benchmark::State& state, std::int32_t shift, std::int32_t stretch) {
    BuildSyncTagTables();
    const std::string in = BenchFile(state.range(0));
    const std::string out = OutputFile();
    for (auto _ : state) {
        if (ShiftSyncTimes(in.c_str(), out.c_str(), 0, 2000000000, shift, stretch) != 0) {
            state.SkipWithError("shift failed");
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(in)));
}

void BM_LastSyncTime(benchmark::State& state) {
    BuildSyncTagTables();
    const std::string in = BenchFile(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindLastSyncTime(in.c_str()));
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(in)));
}

}  // namespace

BENCHMARK(BM_Copy)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Shift, plain, 1500, 0)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Shift, stretch, -300, 40000)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_LastSyncTime)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
