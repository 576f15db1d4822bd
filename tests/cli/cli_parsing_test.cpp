// The command line as a shell user meets it: both option forms, signs, clock
// times, and every usage error refused with 64 before any file is touched.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace {

// Runs from the scratch folder on a.smi (b.smi, c.smi where named), whose one
// cue starts at 1000000 ms, so that the new time shows the value each option
// carried to the engine.
constexpr int kCueTime = 1000000;

struct TimeCase {
    std::vector<std::string> arguments;  // after "shift"
    int newTime;
};

void PrintTo(const TimeCase& c, std::ostream* os) {
    *os << JoinArguments(c.arguments);
}

class CliTimeArguments : public CliTest, public ::testing::WithParamInterface<TimeCase> {};

TEST_P(CliTimeArguments, ReachTheEngineAsMilliseconds) {
    WriteFile(Path("a.smi"), SamiWithTimes({kCueTime}));
    std::vector<std::string> arguments = {"shift"};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun run = RunCli(arguments, options);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadFile(Path("a.smi")), SamiWithTimes({GetParam().newTime}));
}

INSTANTIATE_TEST_SUITE_P(
    Forms, CliTimeArguments,
    ::testing::Values(
        TimeCase{{"--shift=1500", "a.smi"}, 1001500},
        TimeCase{{"--shift", "1500", "a.smi"}, 1001500},
        TimeCase{{"--shift=-1500", "a.smi"}, 998500},
        TimeCase{{"--shift", "-1500", "a.smi"}, 998500},
        TimeCase{{"--shift=+250", "a.smi"}, 1000250},
        TimeCase{{"a.smi", "--shift", "-250"}, 999750},
        TimeCase{{"--shift=1", "--shift=2", "a.smi"}, 1000002},
        TimeCase{{"--shift=1:30.5", "a.smi"}, 1090500},
        TimeCase{{"--shift", "-0:02", "a.smi"}, 998000},
        TimeCase{{"--shift=10:00", "a.smi"}, 1600000},
        TimeCase{{"--shift=1:01.005", "a.smi"}, 1061005},
        TimeCase{{"--shift=0:01:01.005", "a.smi"}, 1061005},
        TimeCase{{"--shift=1:02:30", "a.smi"}, 4750000},
        TimeCase{{"--shift=1:30,5", "a.smi"}, 1090500},
        TimeCase{{"--shift", "-0:00:02,250", "a.smi"}, 997750},
        TimeCase{{"--start=0:16:40", "--end=0:33:20", "--shift=5", "a.smi"}, 1000005},
        TimeCase{{"--start=0:16:40,001", "--end=0:33:20", "--shift=5", "a.smi"}, kCueTime},
        TimeCase{{"--stretch=500", "a.smi"}, 1000500},
        TimeCase{{"--end", "2000000", "--stretch", "1000000", "a.smi"}, 1500000},
        TimeCase{{"--end=e", "--stretch=-1000", "a.smi"}, 999000},
        TimeCase{{"--start=-2147483648", "--shift=7", "a.smi"}, 1000007},
        TimeCase{{"--start", "-35791:23.648", "--shift=7", "a.smi"}, 1000007},
        TimeCase{{"--start=999999", "--shift=-1", "--", "a.smi"}, 999999},
        TimeCase{{"--start=1000001", "--end=2000000", "--shift=5", "a.smi"}, kCueTime}));

struct UsageCase {
    std::vector<std::string> arguments;
    std::string reason;  // what the message says
};

void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << JoinArguments(c.arguments);
}

class CliUsageErrors : public CliTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsageErrors, ExitWith64AndTouchNothing) {
    const std::string original = SamiWithTimes({kCueTime});
    for (const char* name : {"a.smi", "b.smi", "c.smi"}) {
        WriteFile(Path(name), original);
    }
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun run = RunCli(GetParam().arguments, options);
    EXPECT_EQ(run.exitCode, 64);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "tembrel-cli: " + GetParam().reason +
                           "\nTry 'tembrel-cli --help' for more information.\n");
    EXPECT_EQ(ListDir(Dir()), (std::vector<std::string>{"a.smi", "b.smi", "c.smi"}));
    EXPECT_EQ(ReadFile(Path("a.smi")), original);
}

const std::string kPointHint =
    " for --at (OLD=NEW, two TIMEs such as 1:02.5=1:03.7 or 1:02:03,5=1:02:05)";
const std::string kRatesHint =
    " for --fps (FROM:TO, frame rates above 0 such as 25:23.976 or 25:24000/1001)";
const std::string kTimeHint =
    " (whole milliseconds such as -250, or a clock time such as 1:30.5, 1:30,5 or 1:02:30.250, "
    "within 32 bits)";

INSTANTIATE_TEST_SUITE_P(
    Refused, CliUsageErrors,
    ::testing::Values(
        UsageCase{{"shift", "--shift=1.5", "a.smi"}, "bad TIME '1.5' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift=abc", "a.smi"}, "bad TIME 'abc' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift=", "a.smi"}, "bad TIME '' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift= 100", "a.smi"}, "bad TIME ' 100' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift=--5", "a.smi"}, "bad TIME '--5' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift=1:", "a.smi"}, "bad TIME '1:' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift=:30", "a.smi"}, "bad TIME ':30' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift=1:30abc", "a.smi"},
                  "bad TIME '1:30abc' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift=1:2:3", "a.smi"}, "bad TIME '1:2:3' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift=1:60:00", "a.smi"},
                  "bad TIME '1:60:00' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift=1500,5", "a.smi"},
                  "bad TIME '1500,5' for --shift" + kTimeHint},
        UsageCase{{"shift", "--end=596:31:23.648", "a.smi"},
                  "bad TIME '596:31:23.648' for --end" + kTimeHint},
        UsageCase{{"sync", "--at=1:02:03;5=1:00", "--at=2=2", "a.smi"},
                  "bad point '1:02:03;5=1:00'" + kPointHint},
        UsageCase{{"shfit", "a.smi"}, "unknown command 'shfit'; did you mean 'shift'?"},
        UsageCase{{"lsit", "a.smi"}, "unknown command 'lsit'; did you mean 'list'?"},
        UsageCase{{"--verison"}, "unknown option '--verison'; did you mean '--version'?"},
        UsageCase{{"shift", "--shfit=5", "a.smi"},
                  "unknown option '--shfit' for 'shift'; did you mean '--shift'?"},
        UsageCase{{"sync", "--at=0=0", "--at=1=1", "--froce", "a.smi"},
                  "unknown option '--froce' for 'sync'; did you mean '--force'?"},
        UsageCase{{"shift", "--force", "--shift=5", "a.smi"},
                  "unknown option '--force' for 'shift'"},
        UsageCase{{"list", "-o", "out.txt", "a.smi"}, "unknown option '-o' for 'list'"},
        UsageCase{{"list", "-n", "a.smi"}, "unknown option '-n' for 'list'"},
        UsageCase{{"list"}, "missing FILE"},
        UsageCase{{"list", "a.smi", "b.smi"}, "list takes one FILE, not 2"},
        // Two points typed in a muddle: 10 s of the file would become 22 s.
        UsageCase{{"sync", "--at=1:00=1:02", "--at=0:50=0:40", "a.smi"},
                  "the --at points give a rate of 2.2, outside 0.5 to 2: check the two "
                  "points, or give --force to use them"},
        UsageCase{{"sync", "--at=0=0", "--at=10000=4999", "a.smi"},
                  "the --at points give a rate of 0.4999, outside 0.5 to 2: check the two "
                  "points, or give --force to use them"},
        UsageCase{{"sync", "--force", "--at=0=0", "--at=1000=-1", "a.smi"},
                  "the --at points must keep their order: a later OLD time needs a later NEW time "
                  "(these give a rate of -0.001)"},
        UsageCase{{"shift", "--shift=1.9:30", "a.smi"},
                  "bad TIME '1.9:30' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift=2147483648", "a.smi"},
                  "bad TIME '2147483648' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift=-2147483649", "a.smi"},
                  "bad TIME '-2147483649' for --shift" + kTimeHint},
        UsageCase{{"shift", "--shift=99999999999999999999", "a.smi"},
                  "bad TIME '99999999999999999999' for --shift" + kTimeHint},
        UsageCase{{"shift", "--start=35791:23.648", "a.smi"},
                  "bad TIME '35791:23.648' for --start" + kTimeHint},
        UsageCase{{"shift", "--stretch", "-35791:23.649", "a.smi"},
                  "bad TIME '-35791:23.649' for --stretch" + kTimeHint},
        UsageCase{{"shift", "--shift=0:2147483.648", "a.smi"},
                  "bad TIME '0:2147483.648' for --shift" + kTimeHint},
        UsageCase{{"shift", "--end=End", "a.smi"}, "bad TIME 'End' for --end" + kTimeHint},
        UsageCase{{"append", "--offset=x", "a.smi", "b.smi"},
                  "bad TIME 'x' for --offset" + kTimeHint},
        UsageCase{{"shift", "--shift=5", "a.smi", "--bogus"},
                  "unknown option '--bogus' for 'shift'"},
        UsageCase{{"shift", "-x", "a.smi"}, "unknown option '-x' for 'shift'"},
        UsageCase{{"shift", "--offset=5", "a.smi"}, "unknown option '--offset' for 'shift'"},
        UsageCase{{"append", "--shift=5", "a.smi", "b.smi"},
                  "unknown option '--shift' for 'append'"},
        UsageCase{{"last", "-o", "out.smi", "a.smi"}, "unknown option '-o' for 'last'"},
        UsageCase{{"shift", "a.smi", "--shift"}, "option '--shift' needs a value"},
        UsageCase{{"shift", "a.smi", "-o"}, "option '-o' needs a value"},
        UsageCase{{"shift", "-o", "", "a.smi"}, "empty output name for -o"},
        UsageCase{{"shift", "--shift=5"}, "missing FILE"},
        UsageCase{{"shift", "--shift=5", "-o", "out.smi", "a.smi", "b.smi"},
                  "-o takes one FILE, not 2"},
        UsageCase{{"append", "a.smi"}, "missing APPEND_FILE"},
        UsageCase{{"append"}, "missing FILE and APPEND_FILE"},
        UsageCase{{"append", "a.smi", "b.smi", "c.smi"},
                  "append takes FILE and APPEND_FILE, not 3 files"},
        UsageCase{{"last"}, "missing FILE"},
        UsageCase{{"last", "a.smi", "b.smi"}, "last takes one FILE, not 2"},
        UsageCase{{}, "missing command"},
        UsageCase{{"rotate", "a.smi"}, "unknown command 'rotate'"},
        UsageCase{{"--frobnicate"}, "unknown option '--frobnicate'"},
        UsageCase{{"--version", "a.smi"}, "unexpected argument 'a.smi'"},
        UsageCase{{"-V", "-v"}, "unexpected argument '-v'"},
        // sync, --fps and the dry run
        UsageCase{{"sync", "--at=1000=2000", "a.smi"}, "sync needs two --at OLD=NEW points, not 1"},
        UsageCase{{"sync", "a.smi"}, "sync needs two --at OLD=NEW points or a reference --to=REF"},
        UsageCase{{"sync", "--to=r.srt", "--at=0=0", "--at=1=1", "a.smi"},
                  "sync takes either --at points or a reference --to, not both"},
        UsageCase{{"sync", "--to=r.srt", "--to", "s.srt", "a.smi"},
                  "sync takes one reference --to=REF"},
        UsageCase{{"sync", "--to=", "a.smi"}, "sync takes one reference --to=REF"},
        UsageCase{{"sync", "--to=r.srt"}, "missing FILE"},
        UsageCase{{"sync", "--to=r.srt", "-o", "out.smi", "a.smi", "b.smi"},
                  "-o takes one FILE, not 2"},
        UsageCase{{"shift", "--force", "a.smi"}, "unknown option '--force' for 'shift'"},
        UsageCase{{"sync", "--to=r.srt", "--force=1", "a.smi"}, "option '--force' takes no value"},
        UsageCase{{"sync", "--at=1=1", "--at", "2=2", "--at=3=3", "a.smi"},
                  "sync takes two --at points, not more"},
        UsageCase{{"sync", "--at=1000=2000", "--at=0:01=3000", "a.smi"},
                  "the two --at points have the same OLD time 1000"},
        UsageCase{{"sync", "--at=1000=2000", "--at=2000=1000", "a.smi"},
                  "the --at points must keep their order: a later OLD time needs a later NEW time "
                  "(these give a rate of -1)"},
        UsageCase{{"sync", "--at=3000000=0", "--at=3000001=1000", "a.smi"},
                  "the --at points give a line whose time at 0 lies beyond 32 bits"},
        UsageCase{{"sync", "--at=1000", "--at=2000=2000", "a.smi"},
                  "bad point '1000'" + kPointHint},
        UsageCase{{"sync", "--at=1000=1.5", "--at=2000=2000", "a.smi"},
                  "bad point '1000=1.5'" + kPointHint},
        UsageCase{{"sync", "--at=0=0", "--at=1=1", "--shift=5", "a.smi"},
                  "unknown option '--shift' for 'sync'"},
        UsageCase{{"sync", "--at=0=0", "--at=1=1", "-o", "out.smi", "a.smi", "b.smi"},
                  "-o takes one FILE, not 2"},
        UsageCase{{"shift", "--at=1=2", "a.smi"}, "unknown option '--at' for 'shift'"},
        UsageCase{{"last", "-n", "a.smi"}, "unknown option '-n' for 'last'"},
        UsageCase{{"shift", "--fps=25:24", "--stretch=5", "a.smi"},
                  "--fps and --stretch both set the stretch; give one of them"},
        UsageCase{{"shift", "--fps=0:25", "a.smi"}, "bad rates '0:25'" + kRatesHint},
        UsageCase{{"shift", "--fps=25", "a.smi"}, "bad rates '25'" + kRatesHint},
        UsageCase{{"shift", "--fps=25:24000/0", "a.smi"}, "bad rates '25:24000/0'" + kRatesHint},
        UsageCase{{"shift", "-nx", "--shift=5", "a.smi"}, "unknown option '-nx' for 'shift'"},
        UsageCase{{"append", "--dry-run=yes", "a.smi", "b.smi"},
                  "option '--dry-run' takes no value"}));

// The largest values that fit are taken, not refused: they reach the range
// test, whose note shows them.
TEST_F(CliTest, LargestTimesAreAccepted) {
    WriteFile(Path("a.smi"), SamiWithTimes({kCueTime}));
    for (const char* start : {"--start=2147483647", "--start=35791:23.647"}) {
        const CliRun run = RunCli({"shift", start, "--end=5", "--shift=1", Path("a.smi")});
        EXPECT_EQ(run.exitCode, 0) << start;
        EXPECT_EQ(run.err,
                  "tembrel-cli: '" + Path("a.smi") +
                      "': range start 2147483647 is not below range end 5; nothing to do\n")
            << start;
    }
}

TEST_F(CliTest, HelpAndVersionGoToStdout) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--help"}, {"-h"}, {"shift", "--help"}, {"last", "-h"}}) {
        const CliRun run = RunCli(arguments);
        EXPECT_EQ(run.exitCode, 0) << arguments.back();
        EXPECT_NE(run.out.find("tembrel-cli shift  [--start=TIME] [--end=TIME|E]"),
                  std::string::npos);
        EXPECT_EQ(run.err, "");
    }
    for (const char* word : {"--version", "-V"}) {
        const CliRun version = RunCli({word});
        EXPECT_EQ(version.exitCode, 0) << word;
        EXPECT_EQ(version.out, "tembrel-cli " TEMBREL_VERSION "\n") << word;
        EXPECT_EQ(version.err, "") << word;
    }
}

TEST_F(CliTest, LastPrintsTheLargestTime) {
    WriteFile(Path("a.smi"), SamiWithTimes({1000, 250000, 90000}));
    const CliRun run = RunCli({"last", Path("a.smi")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "250000\n");
    EXPECT_EQ(run.err, "");
}

}  // namespace
