// Every failure exit code, and that nothing is lost: a result that cannot be
// saved leaves the file unchanged under its own name and no partial output.
// The tests run as root in CI, where permissions stop nothing, so the failures
// are made real by a full device, a backup name taken by a non-empty folder
// and a file size limit.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace {

using Names = std::vector<std::string>;

// Large enough that a 1000-byte size limit stops the write half-way.
std::string LongSami() {
    std::vector<int> times;
    for (int time = 1000; time <= 400000; time += 1000) {
        times.push_back(time);
    }
    return SamiWithTimes(times);
}

CliRunOptions InDir(const std::string& dir) {
    CliRunOptions options;
    options.workDir = dir;
    return options;
}

TEST_F(CliTest, MissingFileExits1) {
    const CliRun run = RunCli({"shift", "--shift=5", "missing.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "tembrel-cli: cannot open 'missing.smi': No such file or directory\n");
    EXPECT_EQ(ListDir(Dir()), Names{});
}

TEST_F(CliTest, FolderAsFileExits1) {
    std::filesystem::create_directory(Path("folder.smi"));
    for (const Names& arguments :
         {Names{"shift", "--shift=5", "folder.smi"}, Names{"last", "folder.smi"},
          Names{"append", "folder.smi", "folder.smi"}}) {
        const CliRun run = RunCli(arguments, InDir(Dir()));
        EXPECT_EQ(run.exitCode, 1) << arguments[0];
        EXPECT_EQ(run.err, "tembrel-cli: cannot open 'folder.smi': Is a directory\n");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(ListDir(Dir()), Names{"folder.smi"});
}

TEST_F(CliTest, MissingAppendFileExits2) {
    const std::string first = SamiWithTimes({1000});
    WriteFile(Path("a.smi"), first);
    const CliRun run = RunCli({"append", "a.smi", "gone.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(
        run.err,
        "tembrel-cli: cannot open the file to append 'gone.smi': No such file or directory\n");
    EXPECT_EQ(ReadFile(Path("a.smi")), first);
    EXPECT_EQ(ListDir(Dir()), Names{"a.smi"});
    // The first file is tested first.
    EXPECT_EQ(RunCli({"append", "gone.smi", "gone.smi"}, InDir(Dir())).exitCode, 1);
}

TEST_F(CliTest, FullDeviceExits3AndLeavesTheInput) {
    const std::string original = LongSami();
    WriteFile(Path("a.smi"), original);
    const CliRun run = RunCli({"shift", "--shift=5", "-o", "/dev/full", Path("a.smi")});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "tembrel-cli: cannot save '/dev/full': No space left on device\n");
    EXPECT_EQ(ReadFile(Path("a.smi")), original);
    EXPECT_EQ(ListDir(Dir()), Names{"a.smi"});
    struct stat status;
    ASSERT_EQ(stat("/dev/full", &status), 0);  // a device is never removed
    EXPECT_TRUE(S_ISCHR(status.st_mode));
}

TEST_F(CliTest, OutputThatCannotBeWrittenExits3BeforeTheRun) {
    WriteFile(Path("a.smi"), SamiWithTimes({1000}));
    std::filesystem::create_directory(Path("taken"));
    const CliRun folder = RunCli({"shift", "--shift=5", "-o", "taken", "a.smi"}, InDir(Dir()));
    EXPECT_EQ(folder.exitCode, 3);
    EXPECT_EQ(folder.err, "tembrel-cli: cannot save 'taken': Is a directory\n");
    const CliRun nowhere =
        RunCli({"shift", "--shift=5", "-o", "no/such/out.smi", "a.smi"}, InDir(Dir()));
    EXPECT_EQ(nowhere.exitCode, 3);
    EXPECT_EQ(nowhere.err,
              "tembrel-cli: cannot save 'no/such/out.smi': No such file or directory\n");
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "taken"}));
}

TEST_F(CliTest, BackupThatCannotBeMadeExits3) {
    const std::string original = SamiWithTimes({1000});
    WriteFile(Path("a.smi"), original);
    std::filesystem::create_directory(Path("a.smi.bak"));
    WriteFile(Path("a.smi.bak/keep"), "x");
    const CliRun run = RunCli({"shift", "--shift=5", "a.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err,
              "tembrel-cli: cannot save 'a.smi': cannot make the backup 'a.smi.bak': "
              "Directory not empty\n");
    EXPECT_EQ(ReadFile(Path("a.smi")), original);
    EXPECT_EQ(ReadFile(Path("a.smi.bak/keep")), "x");
}

struct LimitCase {
    Names arguments;  // run in the scratch folder on a.smi (and b.smi)
    std::string message;
    Names left;  // the folder afterwards
};

void PrintTo(const LimitCase& c, std::ostream* os) {
    *os << JoinArguments(c.arguments);
}

class CliFileSizeLimit : public CliTest, public ::testing::WithParamInterface<LimitCase> {};

// The write stops half-way: the partial output goes and the input is back
// under its own name, byte for byte.
TEST_P(CliFileSizeLimit, RestoresTheInput) {
    const std::string first = LongSami();
    const std::string appended = SamiWithTimes({500});
    WriteFile(Path("a.smi"), first);
    WriteFile(Path("b.smi"), appended);
    CliRunOptions options = InDir(Dir());
    options.fileSizeLimit = 1000;
    const CliRun run = RunCli(GetParam().arguments, options);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "tembrel-cli: " + GetParam().message + "\n");
    EXPECT_EQ(ReadFile(Path("a.smi")), first);
    EXPECT_EQ(ReadFile(Path("b.smi")), appended);
    EXPECT_EQ(ListDir(Dir()), GetParam().left);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CliFileSizeLimit,
    ::testing::Values(LimitCase{{"shift", "--shift=5", "a.smi"},
                                "cannot save 'a.smi': File too large; 'a.smi' is left as it was",
                                {"a.smi", "b.smi"}},
                      LimitCase{{"shift", "--shift=5", "-o", "out.smi", "a.smi"},
                                "cannot save 'out.smi': File too large",
                                {"a.smi", "b.smi"}},
                      LimitCase{{"append", "a.smi", "b.smi"},
                                "cannot save 'a.smi': File too large; 'a.smi' is left as it was",
                                {"a.smi", "b.smi"}},
                      LimitCase{{"append", "-o", "b.smi", "a.smi", "b.smi"},
                                "cannot save 'b.smi': File too large; 'b.smi' is left as it was",
                                {"a.smi", "b.smi"}}));

// A failure on one file does not stop the others; the exit code is the
// first failure's.
TEST_F(CliTest, SeveralFilesGoOnAfterAFailure) {
    for (const char* name : {"a.smi", "b.smi", "c.smi"}) {
        WriteFile(Path(name), SamiWithTimes({1000}));
    }
    std::filesystem::create_directory(Path("b.smi.bak"));
    WriteFile(Path("b.smi.bak/keep"), "x");
    const CliRun run =
        RunCli({"shift", "--shift=5", "a.smi", "missing.smi", "b.smi", "c.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              "tembrel-cli: cannot open 'missing.smi': No such file or directory\n"
              "tembrel-cli: cannot save 'b.smi': cannot make the backup 'b.smi.bak': "
              "Directory not empty\n");
    EXPECT_EQ(ReadFile(Path("a.smi")), SamiWithTimes({1005}));
    EXPECT_EQ(ReadFile(Path("b.smi")), SamiWithTimes({1000}));
    EXPECT_EQ(ReadFile(Path("c.smi")), SamiWithTimes({1005}));
    const CliRun later = RunCli({"shift", "--shift=5", "b.smi", "missing.smi"}, InDir(Dir()));
    EXPECT_EQ(later.exitCode, 3);
}

TEST_F(CliTest, LastToAFullDeviceExits3) {
    WriteFile(Path("a.smi"), SamiWithTimes({1000}));
    CliRunOptions options;
    options.stdoutPath = "/dev/full";
    const CliRun run = RunCli({"last", Path("a.smi")}, options);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "tembrel-cli: cannot write to standard output: No space left on device\n");
}

}  // namespace
