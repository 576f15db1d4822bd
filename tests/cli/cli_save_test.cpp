// Where results go: the in-place backup protocol, several files, -o in all its
// spellings, an output that is an input, the append command, runs that have
// nothing to do, and progress on a terminal.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "cli_runner.h"

namespace {

using Names = std::vector<std::string>;

TEST_F(CliTest, InPlaceMovesTheFileToItsBackup) {
    const std::string original = SamiWithTimes({1000, 2000});
    WriteFile(Path("a.smi"), original);
    WriteFile(Path("a.smi.bak"), "an older backup");
    const CliRun run = RunCli({"shift", "--shift=500", Path("a.smi")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "");  // no progress when stderr is not a terminal
    EXPECT_EQ(ReadFile(Path("a.smi")), SamiWithTimes({1500, 2500}));
    EXPECT_EQ(ReadFile(Path("a.smi.bak")), original);
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "a.smi.bak"}));
}

TEST_F(CliTest, SecondRunBacksUpTheFirstResult) {
    WriteFile(Path("a.smi"), SamiWithTimes({1000}));
    ASSERT_EQ(RunCli({"shift", "--shift=500", Path("a.smi")}).exitCode, 0);
    ASSERT_EQ(RunCli({"shift", "--shift=500", Path("a.smi")}).exitCode, 0);
    EXPECT_EQ(ReadFile(Path("a.smi")), SamiWithTimes({2000}));
    EXPECT_EQ(ReadFile(Path("a.smi.bak")), SamiWithTimes({1500}));
}

// A season at once: each file gets its own backup and its own range end "E".
TEST_F(CliTest, SeveralFilesEachInPlaceWithTheirOwnEnd) {
    WriteFile(Path("e1.smi"), SamiWithTimes({0, 10000}));
    WriteFile(Path("e2.smi"), SamiWithTimes({0, 20000}));
    WriteFile(Path("e3.smi"), SamiWithTimes({0, 40000}));
    const CliRun run =
        RunCli({"shift", "--stretch=1000", Path("e1.smi"), Path("e2.smi"), Path("e3.smi")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(Path("e1.smi")), SamiWithTimes({0, 11000}));
    EXPECT_EQ(ReadFile(Path("e2.smi")), SamiWithTimes({0, 21000}));
    EXPECT_EQ(ReadFile(Path("e3.smi")), SamiWithTimes({0, 41000}));
    EXPECT_EQ(ReadFile(Path("e2.smi.bak")), SamiWithTimes({0, 20000}));
    EXPECT_EQ(ListDir(Dir()),
              (Names{"e1.smi", "e1.smi.bak", "e2.smi", "e2.smi.bak", "e3.smi", "e3.smi.bak"}));
}

class CliOutputForms : public CliTest, public ::testing::WithParamInterface<Names> {};

// Names a case by its command line rather than gtest's container printout.
struct OutputFormName {
    std::string operator()(const ::testing::TestParamInfo<Names>& info) const {
        std::string name;
        for (const char c : JoinArguments(info.param)) {
            if (std::isalnum(static_cast<unsigned char>(c))) {
                name += c;
            } else {
                name += c == '=' ? "Eq" : "_";
            }
        }
        return name;
    }
};

TEST_P(CliOutputForms, LeaveTheInputAndItsBackupUntouched) {
    const std::string original = SamiWithTimes({1000});
    WriteFile(Path("a.smi"), original);
    WriteFile(Path("a.smi.bak"), "kept");
    WriteFile(Path("out.smi"), "replaced whole");
    Names arguments = {"shift", "--shift=-250"};
    arguments.insert(arguments.end(), GetParam().begin(), GetParam().end());
    arguments.push_back("a.smi");
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun run = RunCli(arguments, options);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(Path("out.smi")), SamiWithTimes({750}));
    EXPECT_EQ(ReadFile(Path("a.smi")), original);
    EXPECT_EQ(ReadFile(Path("a.smi.bak")), "kept");
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "a.smi.bak", "out.smi"}));
}

INSTANTIATE_TEST_SUITE_P(Spellings, CliOutputForms,
                         ::testing::Values(Names{"-o", "out.smi"}, Names{"-oout.smi"},
                                           Names{"--output=out.smi"}, Names{"--output", "out.smi"}),
                         OutputFormName());

// An output that is the file itself, by any name, is edited in place: the
// input is never emptied before it is read.
enum class SameFileName { kSamePath, kOtherSpelling, kSymbolicLink, kHardLink };

void PrintTo(SameFileName name, std::ostream* os) {
    const char* const names[] = {"SamePath", "OtherSpelling", "SymbolicLink", "HardLink"};
    *os << names[static_cast<int>(name)];
}

class CliOutputIsTheFile : public CliTest, public ::testing::WithParamInterface<SameFileName> {};

TEST_P(CliOutputIsTheFile, IsEditedInPlace) {
    const std::string original = SamiWithTimes({1000, 3000});
    WriteFile(Path("a.smi"), original);
    std::string output = Path("a.smi");
    if (GetParam() == SameFileName::kOtherSpelling) {
        output = Dir() + "/./a.smi";
    } else if (GetParam() == SameFileName::kSymbolicLink) {
        output = Path("link.smi");
        std::filesystem::create_symlink("a.smi", output);
    } else if (GetParam() == SameFileName::kHardLink) {
        output = Path("link.smi");
        std::filesystem::create_hard_link(Path("a.smi"), output);
    }
    const CliRun run = RunCli({"shift", "--shift=1000", "-o", output, Path("a.smi")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(Path("a.smi")), SamiWithTimes({2000, 4000}));
    EXPECT_EQ(ReadFile(Path("a.smi.bak")), original);
}

INSTANTIATE_TEST_SUITE_P(Names, CliOutputIsTheFile,
                         ::testing::Values(SameFileName::kSamePath, SameFileName::kOtherSpelling,
                                           SameFileName::kSymbolicLink, SameFileName::kHardLink));

// Appended cues are marked by their times; the layout of the merged file is
// the engine's and is not restated here.
const std::string kFirst = SamiWithTimes({1000});
const std::string kAppended = SamiWithTimes({2000});

TEST_F(CliTest, AppendInPlaceKeepsABackup) {
    WriteFile(Path("a.smi"), kFirst);
    WriteFile(Path("b.smi"), kAppended);
    const CliRun run = RunCli({"append", "--offset", "-500", Path("a.smi"), Path("b.smi")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::string merged = ReadFile(Path("a.smi"));
    EXPECT_NE(merged.find("<SYNC START=1000>"), std::string::npos);
    EXPECT_NE(merged.find("<SYNC START=1500>"), std::string::npos);
    EXPECT_EQ(ReadFile(Path("a.smi.bak")), kFirst);
    EXPECT_EQ(ReadFile(Path("b.smi")), kAppended);
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "a.smi.bak", "b.smi"}));
}

TEST_F(CliTest, AppendToAnOutputLeavesBothInputs) {
    WriteFile(Path("a.smi"), kFirst);
    WriteFile(Path("b.smi"), kAppended);
    const CliRun run = RunCli(
        {"append", "--offset=1:00", "--output", Path("ab.smi"), Path("a.smi"), Path("b.smi")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(ReadFile(Path("ab.smi")).find("<SYNC START=62000>"), std::string::npos);
    EXPECT_EQ(ReadFile(Path("a.smi")), kFirst);
    EXPECT_EQ(ReadFile(Path("b.smi")), kAppended);
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "ab.smi", "b.smi"}));
}

// Appending a file to itself reads both inputs from the backup, which is the
// only name the original still has once the backup is made.
TEST_F(CliTest, AppendAFileToItself) {
    WriteFile(Path("a.smi"), kFirst);
    const CliRun run = RunCli({"append", "--offset=5", Path("a.smi"), Path("a.smi")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(ReadFile(Path("a.smi")).find("<SYNC START=1005>"), std::string::npos);
    EXPECT_EQ(ReadFile(Path("a.smi.bak")), kFirst);
}

// An output that is the file to append edits that file in place instead of
// emptying it before it is read.
TEST_F(CliTest, AppendIntoTheAppendFile) {
    WriteFile(Path("a.smi"), kFirst);
    WriteFile(Path("b.smi"), kAppended);
    const CliRun run = RunCli({"append", "-o", Path("b.smi"), Path("a.smi"), Path("b.smi")});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(ReadFile(Path("b.smi")).find("<SYNC START=2000>"), std::string::npos);
    EXPECT_NE(ReadFile(Path("b.smi")).find("<SYNC START=1000>"), std::string::npos);
    EXPECT_EQ(ReadFile(Path("b.smi.bak")), kAppended);
    EXPECT_EQ(ReadFile(Path("a.smi")), kFirst);
}

struct IdleCase {
    Names arguments;  // before the file
    std::string note;
};

void PrintTo(const IdleCase& c, std::ostream* os) {
    *os << JoinArguments(c.arguments);
}

class CliNothingToDo : public CliTest, public ::testing::WithParamInterface<IdleCase> {};

TEST_P(CliNothingToDo, WritesNothingAndSaysWhy) {
    const std::string original = SamiWithTimes({1000, 3000});
    WriteFile(Path("a.smi"), original);
    Names arguments = {"shift"};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    arguments.push_back("a.smi");
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun run = RunCli(arguments, options);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "tembrel-cli: 'a.smi': " + GetParam().note + "; nothing to do\n");
    EXPECT_EQ(ReadFile(Path("a.smi")), original);
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi"}));
}

INSTANTIATE_TEST_SUITE_P(
    Requests, CliNothingToDo,
    ::testing::Values(IdleCase{{}, "shift and stretch are both 0"},
                      IdleCase{{"--shift=0", "--stretch=0:00", "-o", "out.smi"},
                               "shift and stretch are both 0"},
                      IdleCase{{"--start=5000", "--end=5000", "--shift=10"},
                               "range start 5000 is not below range end 5000"},
                      IdleCase{{"--start=3001", "--shift=10", "-o", "out.smi"},
                               "range start 3001 is not below range end 3000"},
                      IdleCase{{"--start", "-10", "--end", "-20", "--shift=10"},
                               "range start -10 is not below range end -20"}));

// A film longer than the tail the range end E is guessed from, its largest
// time first: every command that takes E runs again with the E the run found,
// and gives what standard output gives (where E is always looked up first).
std::string FilmWithLargestTimeFirst() {
    std::vector<int> times = {900000};
    for (int k = 0; k < 3000; ++k) {
        times.push_back(1000 + 100 * k);
    }
    return SamiWithTimes(times);
}

class CliGuessedEnd : public CliTest, public ::testing::WithParamInterface<Names> {};

TEST_P(CliGuessedEnd, GivesTheBytesOfTheLookedUpEnd) {
    for (const std::string& film : {FilmWithLargestTimeFirst(), SamiWithTimes({1000, 2000})}) {
        WriteFile(Path("a.smi"), film);
        Names arguments = GetParam();
        arguments.insert(arguments.end(), {"-v", "a.smi"});
        Names toOutput = GetParam();
        toOutput.insert(toOutput.end(), {"-v", "-o", "-", "a.smi"});
        CliRunOptions options;
        options.workDir = Dir();
        const CliRun expected = RunCli(toOutput, options);
        ASSERT_EQ(expected.exitCode, 0) << expected.err;
        const CliRun run = RunCli(arguments, options);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        // The same counts, or the same reason why nothing runs.
        EXPECT_EQ(run.err, expected.err);
        if (expected.out.empty()) {
            EXPECT_EQ(ReadFile(Path("a.smi")), film);
            EXPECT_EQ(ListDir(Dir()), (Names{"a.smi"}));
            continue;
        }
        EXPECT_TRUE(ReadFile(Path("a.smi")) == expected.out);
        EXPECT_EQ(ReadFile(Path("a.smi.bak")), film);
        EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "a.smi.bak"}));
        std::filesystem::remove(Path("a.smi.bak"));
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, CliGuessedEnd,
                         ::testing::Values(Names{"shift", "--shift=1500"},
                                           Names{"shift", "--stretch=-2000"},
                                           Names{"shift", "--start=400000", "--shift=10"},
                                           Names{"shift", "--fps=25:23.976"},
                                           Names{"sync", "--at=1000=2000", "--at=300000=302000"},
                                           Names{"shift", "--quoted", "--shift=-500"}));

// What goes straight into a pipe cannot be taken back: E is looked up first,
// and the output comes through once, into a named pipe and into /dev/stdout
// when that is a pipe.
TEST_F(CliTest, GuessedEndIsNotTriedOnAPipe) {
    WriteFile(Path("a.smi"), FilmWithLargestTimeFirst());
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun expected = RunCli({"shift", "--shift=1500", "-o", "-", "a.smi"}, options);
    ASSERT_EQ(mkfifo(Path("out").c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFile(Path("out")); });
    const CliRun run = RunCli({"shift", "--shift=1500", "-o", "out", "a.smi"}, options);
    reader.join();
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(received == expected.out);
    const CliRun standard =
        RunCli({"shift", "--shift=1500", "-o", "/dev/stdout", "a.smi"}, options);
    EXPECT_EQ(standard.exitCode, 0) << standard.err;
    EXPECT_TRUE(standard.out == expected.out);
}

TEST_F(CliTest, ProgressShowsOnATerminalOnly) {
    WriteFile(Path("a.smi"), SamiWithTimes({1000, 2000, 3000}));
    CliRunOptions options;
    options.errorOnTerminal = true;
    const CliRun run = RunCli({"shift", "--shift=1", Path("a.smi")}, options);
    EXPECT_EQ(run.exitCode, 0);
    // The terminal turns each line end into CR LF.
    const std::string last = "\rtembrel-cli: " + Path("a.smi") + " 100%\r\n";
    ASSERT_GE(run.err.size(), last.size()) << run.err;
    EXPECT_EQ(run.err.substr(run.err.size() - last.size()), last);
    EXPECT_EQ(ReadFile(Path("a.smi")), SamiWithTimes({1001, 2001, 3001}));
}

}  // namespace
