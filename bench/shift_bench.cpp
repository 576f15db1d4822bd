// The shift run and the search for the largest sync time (the first pass of a
// run whose range ends at "E") against a plain buffered copy of the same file,
// all timed in the same run on generated 1 MiB and 64 MiB subtitles.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sami_generator.h"
#include "sync_shift.h"
#include "named_runs.h"
#include "sync_tag_search.h"

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

// The same kind of file in UTF-16 LE, of the same size in bytes.
std::string BenchFileUtf16(std::int64_t mebibytes) {
    const auto dir = std::filesystem::temp_directory_path() / "tembrel-bench";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / ("shift-utf16-" + std::to_string(mebibytes) + ".smi")).string();
    if (!std::filesystem::exists(path)) {
        WriteGeneratedSamiUtf16(path, mebibytes << 20, 42);
    }
    return path;
}

std::string OutputFile() {
    return (std::filesystem::temp_directory_path() / "tembrel-bench" / "out.smi").string();
}

// A plain copy of the byte file or of the UTF-16 file of the same size.
void BM_Copy(benchmark::State& state, bool utf16) {
    const std::string in = utf16 ? BenchFileUtf16(state.range(0)) : BenchFile(state.range(0));
    const std::string out = OutputFile();
    for (auto _ : state) {
        if (!CopyFilesBuffered({in}, out)) {
            state.SkipWithError("copy failed");
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(in)));
}

// The whole range shifted, with or without a stretch, in a byte file or a
// UTF-16 file.
void BM_Shift(benchmark::State& state, std::int32_t shift, std::int32_t stretch, bool utf16) {
    BuildSyncTagTables();
    const std::string in = utf16 ? BenchFileUtf16(state.range(0)) : BenchFile(state.range(0));
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

// The tag search alone over the file in memory, 1 MiB at a time as a run sees it,
// restarting behind each tag and its time.
using SearchFunction = int (*)(const char*, std::int32_t, const char*, std::int32_t, std::int32_t*);

void SearchWholeFile(benchmark::State& state, SearchFunction find);

void BM_SyncTagSearch(benchmark::State& state) {
    SearchWholeFile(state, FindSyncTag);
}

// The two searches FindSyncTag chooses from, side by side in one run.
void BM_SyncTagSearchPortable(benchmark::State& state) {
    SearchWholeFile(state, FindSyncTagPortable);
}

void BM_SyncTagSearchVector(benchmark::State& state) {
    SearchWholeFile(state, FindSyncTagVector);
}

void SearchWholeFile(benchmark::State& state, SearchFunction find) {
    BuildSyncTagTables();
    std::ifstream file(BenchFile(state.range(0)), std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    std::int64_t tags = 0;
    for (auto _ : state) {
        for (std::size_t base = 0; base < bytes.size(); base += kPiece) {
            const char* piece = bytes.data() + base;
            const auto count = static_cast<std::int32_t>(std::min(kPiece, bytes.size() - base));
            std::int32_t at = 0;
            std::int32_t offset = 0;
            while (find(piece + at, count - at, kSyncTag, g_syncTagLength, &offset)) {
                at += offset + g_syncTagLength;
                ++tags;
            }
        }
    }
    benchmark::DoNotOptimize(tags);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

}  // namespace

BENCHMARK_CAPTURE(BM_Copy, bytes, false)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Shift, plain, 1500, 0, false)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Shift, stretch, -300, 40000, false)
    ->Arg(1)
    ->Arg(64)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Copy, utf16, true)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Shift, utf16, 1500, 0, true)->Arg(64)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_LastSyncTime)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyncTagSearch)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyncTagSearchPortable)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SyncTagSearchVector)->Arg(64)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
