// The append run against a plain buffered copy of the same bytes (both input
// files, one after the other, into one output), timed in the same run: a
// generated 1 MiB subtitle file with a generated 1 MiB or 64 MiB one appended.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "sami_generator.h"
#include "subtitle_append.h"
#include "named_runs.h"
#include "sync_tag_search.h"

namespace {

std::string BenchPath(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() / "tembrel-bench";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

std::string GeneratedFile(const std::string& role, std::int64_t mebibytes, unsigned seed) {
    const std::string path = BenchPath("append-" + role + "-" + std::to_string(mebibytes) + ".smi");
    if (!std::filesystem::exists(path)) {
        WriteGeneratedSami(path, mebibytes << 20, seed);
    }
    return path;
}

std::string FirstFile() {
    return GeneratedFile("first", 1, 7);
}
std::string AppendFile(std::int64_t mebibytes) {
    return GeneratedFile("extra", mebibytes, 11);
}

std::int64_t InputBytes(const std::string& first, const std::string& second) {
    return static_cast<std::int64_t>(std::filesystem::file_size(first) +
                                     std::filesystem::file_size(second));
}

void BM_AppendCopy(benchmark::State& state) {
    const std::string first = FirstFile();
    const std::string second = AppendFile(state.range(0));
    const std::string out = BenchPath("append-out.smi");
    for (auto _ : state) {
        if (!CopyFilesBuffered({first, second}, out)) {
            state.SkipWithError("copy failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * InputBytes(first, second));
}

void BM_Append(benchmark::State& state) {
    BuildSyncTagTables();
    const std::string first = FirstFile();
    const std::string second = AppendFile(state.range(0));
    const std::string out = BenchPath("append-out.smi");
    for (auto _ : state) {
        if (AppendSubtitles(first.c_str(), second.c_str(), out.c_str(), 1500) != 0) {
            state.SkipWithError("append failed");
        }
    }
    state.SetBytesProcessed(state.iterations() * InputBytes(first, second));
}

}  // namespace

BENCHMARK(BM_AppendCopy)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Append)->Arg(1)->Arg(64)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
