// sync, --fps and the dry run end to end: a generated file of a film's length
// moved onto a line, frame rates through the built program, and dry runs that
// leave every folder as it was with the exit status of the real run.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <ostream>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace {

using Names = std::vector<std::string>;

// The times behind the sync tags, in order.
std::vector<std::int64_t> SyncTimes(const std::string& text) {
    std::vector<std::int64_t> times;
    const std::string tag = "<SYNC START=";
    for (std::size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + 1)) {
        times.push_back(std::atoll(text.c_str() + at + tag.size()));
    }
    return times;
}

// Two hours and fifteen minutes of cues 1 to 150 ms apart (about 108,000 of
// them, 2.6 MB), so that every residue of the stretch's cut comes up and the
// file is larger than one buffer window.
std::vector<int> FilmTimes() {
    std::vector<int> times;
    std::uint32_t state = 12345u;
    for (int t = 0; t <= 8100000;) {
        times.push_back(t);
        state = state * 1103515245u + 12345u;
        t += 1 + static_cast<int>((state >> 16) % 150u);
    }
    return times;
}

struct LineCase {
    std::string first;   // OLD=NEW
    std::string second;  // OLD=NEW
    double oldTimes[2];  // the same points in milliseconds
    double newTimes[2];
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.first << " " << c.second;
}

class CliSyncFilm : public CliTest, public ::testing::WithParamInterface<LineCase> {};

// Every moved time within 2 ms of the line; the times it puts below 0 left.
TEST_P(CliSyncFilm, MovesEveryTimeOntoTheLine) {
    const LineCase& c = GetParam();
    const std::vector<int> times = FilmTimes();
    WriteFile(Path("film.smi"), SamiWithTimes(times));
    const CliRun run = RunCli(
        {"sync", "--at", c.first, "--at=" + c.second, "-o", Path("out.smi"), Path("film.smi")});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::int64_t> moved = SyncTimes(ReadFile(Path("out.smi")));
    ASSERT_EQ(moved.size(), times.size());
    const double slope = (c.newTimes[1] - c.newTimes[0]) / (c.oldTimes[1] - c.oldTimes[0]);
    const double intercept = c.newTimes[0] - slope * c.oldTimes[0];
    double worst = 0.0;
    std::size_t left = 0;
    for (std::size_t i = 0; i < times.size(); ++i) {
        const double exact = slope * times[i] + intercept;
        if (exact < 0.0 && moved[i] == times[i]) {
            ++left;
            continue;
        }
        const double deviation = std::fabs(static_cast<double>(moved[i]) - exact);
        ASSERT_LE(deviation, 2.0) << "time " << times[i] << " became " << moved[i];
        worst = std::fmax(worst, deviation);
    }
    std::cout << c.first << " " << c.second << ": worst deviation " << worst << " ms over "
              << times.size() << " times, " << left << " left below 0\n";
    RecordProperty("worst_deviation_us", static_cast<int>(worst * 1000.0));
    // The times left are exactly those the line puts before 0.
    std::size_t expectedLeft = 0;
    for (const int t : times) {
        expectedLeft += (slope * t + intercept <= -1.0) ? 1 : 0;
    }
    EXPECT_EQ(left, expectedLeft);
    // A dry run counts the same times.
    const CliRun dry =
        RunCli({"sync", "-n", "--at", c.first, "--at=" + c.second, Path("film.smi")});
    EXPECT_EQ(dry.exitCode, 0);
    EXPECT_EQ(dry.err, "tembrel-cli: '" + Path("film.smi") +
                           "' (bytes): " + std::to_string(times.size()) + " sync tags, " +
                           std::to_string(times.size() - left) + " times moved, " +
                           std::to_string(left) + " left as they were (" + std::to_string(left) +
                           " of them below 0 on the line), 0 without a readable time\n");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CliSyncFilm,
    ::testing::Values(
        LineCase{"1:02.500=1:03.700", "134:10.300=134:15.900", {62500, 8050300}, {63700, 8055900}},
        LineCase{"0=0", "23976=25000", {0, 23976}, {0, 25000}},
        // t -> 0.959 t - 5454.5: the times before 5.69 s are left.
        LineCase{"10:00=9:30", "120:00=115:00.000", {600000, 7200000}, {570000, 6900000}},
        LineCase{"1000=-500", "2000=500", {1000, 2000}, {-500, 500}}));

// Each file is moved over its own range 0 .. E. Values that fit for one file's
// range can be too large for another's: that file is refused as a usage error,
// untouched, and the others are run.
TEST_F(CliTest, AStretchBeyond32BitsRefusesThatFile) {
    const std::string longFile = SamiWithTimes({1000, 3000000});
    WriteFile(Path("long.smi"), longFile);
    WriteFile(Path("short.smi"), SamiWithTimes({1000, 2000}));
    const CliRun sync =
        RunCli({"sync", "--force", "--at=0=0", "--at=1=1000", Path("long.smi"), Path("short.smi")});
    EXPECT_EQ(sync.exitCode, 64);
    EXPECT_EQ(sync.err, "tembrel-cli: cannot sync '" + Path("long.smi") +
                            "': the line through the --at points needs a stretch beyond 32 bits "
                            "up to its last sync time 3000000\n");
    EXPECT_EQ(ReadFile(Path("short.smi")), SamiWithTimes({1000000, 2000000}));
    EXPECT_EQ(ListDir(Dir()), (Names{"long.smi", "short.smi", "short.smi.bak"}));
    EXPECT_EQ(ReadFile(Path("long.smi")), longFile);
}

// With -v a real sync counts the times below 0 in FILE as it was, before the
// run replaced it.
TEST_F(CliTest, VerboseSyncCountsTheTimesBelowZero) {
    WriteFile(Path("a.smi"), SamiWithTimes({1000, 2000, 3000}));
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun run = RunCli({"sync", "-v", "--at=1000=-10", "--at=3000=1990", "a.smi"}, options);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err,
              "tembrel-cli: 'a.smi' (bytes): 3 sync tags, 2 times moved, 1 left as they were (1 of "
              "them below 0 on the line), 0 without a readable time\n");
    EXPECT_EQ(ReadFile(Path("a.smi")), SamiWithTimes({1000, 990, 1990}));
}

// The stretch from the rates over 60000 .. E (span 3540000 * 25 / 24 =
// 3687500), and the shift on top.
TEST_F(CliTest, FpsScalesTheDistanceFromTheRangeStart) {
    WriteFile(Path("a.smi"), SamiWithTimes({0, 1000, 60000, 1800000, 3600000}));
    const CliRun run =
        RunCli({"shift", "--start=1:00", "--fps=25:24", "--shift=-500", Path("a.smi")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(Path("a.smi")), SamiWithTimes({0, 1000, 59500, 1872000, 3747000}));
}

// What a folder holds: every name with its bytes and modification time.
struct FolderState {
    Names names;
    std::vector<std::string> contents;
    std::vector<std::int64_t> modified;
};

FolderState ReadFolder(const std::string& dir) {
    FolderState state;
    state.names = ListDir(dir);
    for (const std::string& name : state.names) {
        const std::string path = dir + "/" + name;
        struct stat info;
        EXPECT_EQ(stat(path.c_str(), &info), 0) << path;
        state.contents.push_back(ReadFile(path));
        state.modified.push_back(static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                                 info.st_mtim.tv_nsec);
    }
    return state;
}

struct DryRunCase {
    Names arguments;  // run in the scratch folder
    int exitCode;
    std::string err;
};

void PrintTo(const DryRunCase& c, std::ostream* os) {
    *os << JoinArguments(c.arguments);
}

const std::string kCountsOfA =
    "tembrel-cli: 'a.smi' (bytes): 3 sync tags, 3 times moved, 0 left as they were (outside the "
    "range or below 0), 0 without a readable time\n";

// The counts of an append are those of the appended file.
const std::string kAppendCountsOfB =
    "tembrel-cli: 'b.smi' (bytes): 1 cue appended, 1 time moved, 0 without a readable time\n";

std::string SyncCountsOfA(int moved, int below) {
    return "tembrel-cli: 'a.smi' (bytes): 3 sync tags, " + std::to_string(moved) +
           " times moved, " + std::to_string(3 - moved) + " left as they were (" +
           std::to_string(below) + " of them below 0 on the line), 0 without a readable time\n";
}

class CliDryRun : public CliTest, public ::testing::WithParamInterface<DryRunCase> {};

TEST_P(CliDryRun, LeavesTheFolderAsItWas) {
    WriteFile(Path("a.smi"), SamiWithTimes({1000, 2000, 3000}));
    WriteFile(Path("a.smi.bak"), "an older backup");
    WriteFile(Path("b.smi"), SamiWithTimes({500}));
    WriteFile(Path("out.smi"), "an older output");
    const FolderState before = ReadFolder(Dir());
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun run = RunCli(GetParam().arguments, options);
    EXPECT_EQ(run.exitCode, GetParam().exitCode) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, GetParam().err);
    const FolderState after = ReadFolder(Dir());
    EXPECT_EQ(after.names, before.names);
    EXPECT_EQ(after.contents, before.contents);
    EXPECT_EQ(after.modified, before.modified);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliDryRun,
    ::testing::Values(
        DryRunCase{{"shift", "-n", "--shift=500", "a.smi"}, 0, kCountsOfA},
        DryRunCase{{"shift", "--dry-run", "--fps=25:24", "a.smi", "b.smi"},
                   0,
                   kCountsOfA +
                       "tembrel-cli: 'b.smi' (bytes): 1 sync tag, 1 time moved, 0 left as they "
                       "were (outside the range or below 0), 0 without a readable time\n"},
        DryRunCase{{"shift", "--shift=500", "-o", "out.smi", "a.smi", "--dry-run"}, 0, kCountsOfA},
        // t -> t - 1010: 1000 is left.
        DryRunCase{
            {"sync", "-n", "--at=1000=-10", "--at=3000=1990", "a.smi"}, 0, SyncCountsOfA(2, 1)},
        DryRunCase{{"sync", "-n", "--at=1000=1500", "--at=3000=4000", "-o", "out.smi", "a.smi"},
                   0,
                   SyncCountsOfA(3, 0)},
        DryRunCase{{"append", "-n", "--offset=100", "a.smi", "b.smi"}, 0, kAppendCountsOfB},
        DryRunCase{{"append", "-n", "-o", "b.smi", "a.smi", "b.smi"}, 0, kAppendCountsOfB},
        // Nothing to do, files that cannot be read, a refused append: the
        // real run's status.
        DryRunCase{{"shift", "-n", "a.smi"},
                   0,
                   "tembrel-cli: 'a.smi': shift and stretch are both 0; nothing to do\n"},
        DryRunCase{
            {"shift", "-n", "--shift=500", "missing.smi", "a.smi"},
            1,
            "tembrel-cli: cannot open 'missing.smi': No such file or directory\n" + kCountsOfA},
        DryRunCase{{"sync", "-n", "--at=0=1", "--at=1=2", "missing.smi"},
                   1,
                   "tembrel-cli: cannot open 'missing.smi': No such file or directory\n"},
        DryRunCase{{"append", "-n", "a.smi", "missing.smi"},
                   2,
                   "tembrel-cli: cannot open the file to append 'missing.smi': No such file or "
                   "directory\n"},
        DryRunCase{{"append", "-n", "a.smi", "a.smi.bak"},
                   2,
                   "tembrel-cli: cannot append 'a.smi.bak': it is the backup 'a.smi.bak' that "
                   "this run replaces\n"},
        // The output is never opened, so a folder that is not there is no
        // failure.
        DryRunCase{{"shift", "-n", "--shift=500", "-o", "no/such/folder/out.smi", "a.smi"},
                   0,
                   kCountsOfA}));

}  // namespace
