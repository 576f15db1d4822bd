// The alignment benchmark: generated cases of every kind (a film of two hours
// by default), each aligned to its noisy reference and re-timed by the map
// run, as `tembrel-cli sync --to` does. Per kind it reports the share of sync
// times brought back within 100 ms of the truth, whether any other byte
// changed, and the time of a whole run (read both files, align, write) as a
// ratio to one plain pass of the map run over the same file measured in the
// same run; then whether references of other films are refused.
// Usage: align_bench [CASES_PER_KIND [MINUTES]]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "alignment_cases.h"
#include "cue_alignment.h"
#include "file_cues.h"
#include "reference_cues.h"
#include "result_codes.h"
#include "sync_file_walk.h"
#include "sync_shift.h"
#include "sync_tag_search.h"
#include "time_map_run.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::FILE* StreamOf(const std::string& bytes) {
    std::FILE* file = std::tmpfile();
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
        std::fseek(file, 0, SEEK_SET) != 0) {
        std::fputs("align_bench: cannot write a scratch file\n", stderr);
        std::exit(1);
    }
    return file;
}

std::string ContentOf(std::FILE* file) {
    std::string bytes;
    if (std::fseek(file, 0, SEEK_SET) != 0 || !ReadWholeStream(file, &bytes)) {
        std::fputs("align_bench: cannot read a scratch file\n", stderr);
        std::exit(1);
    }
    return bytes;
}

struct CaseResult {
    double share;     // sync times within 100 ms of the truth
    bool othersKept;  // every other byte as in the correct file
    bool confident;
    double seconds;      // the whole run
    double passSeconds;  // one plain map pass, the baseline
    std::string found;
};

// The whole run of sync --to on one case, and its check.
CaseResult RunCase(const AlignmentCase& c) {
    CaseResult result{};
    std::FILE* input = StreamOf(c.fileSami);
    std::FILE* referenceFile = StreamOf(c.reference);
    std::FILE* output = std::tmpfile();
    const RunOptions options = FrontEndRunOptions(0);
    const Clock::time_point start = Clock::now();
    std::string referenceBytes;
    ReadWholeStream(referenceFile, &referenceBytes);
    ReferenceCues reference;
    ReadReferenceCues(referenceBytes, c.referenceName.c_str(), &reference);
    std::vector<Cue> cues;
    RunCounts counts;
    ReadFileCues(input, options, &cues, &counts);
    Alignment alignment;
    AlignCues(cues, reference.cues, &alignment);
    std::fseek(input, 0, SEEK_SET);
    const std::int32_t mapped = MapFileTimes(input, 0, output, alignment.map, options, &counts);
    result.seconds = SecondsSince(start);
    // The baseline: the pass alone, over the same file.
    std::FILE* passOutput = std::tmpfile();
    std::fseek(input, 0, SEEK_SET);
    const Clock::time_point passStart = Clock::now();
    MapFileTimes(input, 0, passOutput, alignment.map, options, &counts);
    result.passSeconds = SecondsSince(passStart);
    const std::string text = ContentOf(output);
    std::fclose(passOutput);
    std::fclose(output);
    std::fclose(referenceFile);
    std::fclose(input);
    const std::vector<std::int64_t> times = SyncTimesOf(text);
    std::size_t close = 0;
    for (std::size_t k = 0; k < times.size() && k < c.truth.size(); ++k) {
        close += (std::llabs(times[k] - c.truth[k]) <= 100) ? 1u : 0u;
    }
    result.share =
        c.truth.empty() ? 0.0 : static_cast<double>(close) / static_cast<double>(c.truth.size());
    result.othersKept =
        mapped == RESULT_OK && WithoutSyncTimes(text) == WithoutSyncTimes(c.correctSami);
    result.confident = alignment.confident != 0;
    result.found = DescribeAlignment(alignment);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    const int perKind = argc > 1 ? std::atoi(argv[1]) : 10;
    const int minutes = argc > 2 ? std::atoi(argv[2]) : 120;
    const bool verbose = std::getenv("ALIGN_BENCH_VERBOSE") != nullptr;
    BuildSyncTagTables();
    std::printf("%d cases per kind, films of %d minutes\n\n", perKind, minutes);
    std::printf("%-16s %8s %12s %10s %10s %10s %10s\n", "kind", "cases", "cases>=95%", "mean",
                "kept", "run ms", "run/pass");
    bool allGood = true;
    for (int kind = 0; kind < kCaseKindCount; ++kind) {
        int good = 0;
        int kept = 0;
        double shareSum = 0.0;
        double seconds = 0.0;
        double passSeconds = 0.0;
        for (int seed = 1; seed <= perKind; ++seed) {
            const AlignmentCase c = MakeAlignmentCase(static_cast<CaseKind>(kind),
                                                      static_cast<std::uint32_t>(seed), minutes);
            const CaseResult result = RunCase(c);
            good += result.share >= 0.95 ? 1 : 0;
            kept += result.othersKept ? 1 : 0;
            shareSum += result.share;
            seconds += result.seconds;
            passSeconds += result.passSeconds;
            if (verbose || result.share < 0.95 || !result.confident) {
                std::printf("  %s #%d (%s): %.1f %% within 100 ms; found %s\n",
                            CaseKindName(static_cast<CaseKind>(kind)), seed, c.transform.c_str(),
                            100.0 * result.share, result.found.c_str());
            }
        }
        allGood = allGood && good * 10 >= perKind * 9 && kept == perKind;
        std::printf("%-16s %8d %12d %9.1f%% %10d %10.0f %10.1f\n",
                    CaseKindName(static_cast<CaseKind>(kind)), perKind, good,
                    100.0 * shareSum / perKind, kept, 1000.0 * seconds / perKind,
                    seconds / passSeconds);
    }
    int refused = 0;
    for (int seed = 1; seed <= perKind; ++seed) {
        const AlignmentCase c =
            MakeAlignmentCase(CASE_OFFSET, static_cast<std::uint32_t>(seed), minutes);
        std::string name;
        const std::string other =
            MakeOtherFilmReference(static_cast<std::uint32_t>(seed + 1000), minutes, &name);
        ReferenceCues reference;
        ReadReferenceCues(other, name.c_str(), &reference);
        std::FILE* input = StreamOf(c.fileSami);
        std::vector<Cue> cues;
        RunCounts counts;
        ReadFileCues(input, FrontEndRunOptions(0), &cues, &counts);
        std::fclose(input);
        Alignment alignment;
        AlignCues(cues, reference.cues, &alignment);
        refused += alignment.confident ? 0 : 1;
        if (verbose || alignment.confident) {
            std::printf("  other film #%d: %s\n", seed, DescribeAlignment(alignment).c_str());
        }
    }
    std::printf("\nreferences of another film refused: %d of %d\n", refused, perKind);
    allGood = allGood && refused == perKind;
    return allGood ? 0 : 1;
}
