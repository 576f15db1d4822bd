// list, -o - and the sync safeguard through the built program: what reaches
// standard output and standard error, the exit codes, and the rates that
// --force lets through.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace {

using Names = std::vector<std::string>;

const std::string kCp949File =
    "<SAMI>\r\n<BODY>\r\n"
    "<SYNC Start=48300><P Class=KRCC>\xBE\xC8\xB3\xE7<br>\xC7\xCF\xBC\xBC\xBF\xE4\r\n"
    "<SYNC Start=51100><P Class=KRCC>&nbsp;\r\n"
    "<SYNC Start=\"3723004\"><P Class=KRCC>quoted\r\n"
    "</BODY>\r\n</SAMI>\r\n";

struct ListRunCase {
    std::vector<std::string> arguments;  // after "list", in the scratch folder
    int exitCode;
    std::string out;
    std::string err;
};

void PrintTo(const ListRunCase& c, std::ostream* os) {
    *os << JoinArguments(c.arguments);
}

class CliList : public CliTest, public ::testing::WithParamInterface<ListRunCase> {};

TEST_P(CliList, PrintsOneLinePerSyncTagAndTouchesNothing) {
    WriteFile(Path("a.smi"), kCp949File);
    std::vector<std::string> arguments = {"list"};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun run = RunCli(arguments, options);
    EXPECT_EQ(run.exitCode, GetParam().exitCode);
    EXPECT_EQ(run.out, GetParam().out);
    EXPECT_EQ(run.err, GetParam().err);
    EXPECT_EQ(ListDir(Dir()), Names{"a.smi"});
    EXPECT_EQ(ReadFile(Path("a.smi")), kCp949File);
}

const std::string kListed = "0:00:48.300\t안녕 하세요\n0:00:51.100\t\n";

INSTANTIATE_TEST_SUITE_P(
    Runs, CliList,
    ::testing::Values(
        ListRunCase{{"a.smi"},
                    0,
                    kListed + "?\tquoted\n",
                    "tembrel-cli: 'a.smi': 1 sync tag without a readable time left as it was (1 "
                    "with a time in quotation marks: --quoted reads them)\n"},
        ListRunCase{{"--quoted", "a.smi"}, 0, kListed + "1:02:03.004\tquoted\n", ""},
        ListRunCase{{"a.smi", "--quoted", "-v"},
                    0,
                    kListed + "1:02:03.004\tquoted\n",
                    "tembrel-cli: 'a.smi' (bytes): 3 sync tags, 0 without a readable time\n"},
        ListRunCase{{"missing.smi"},
                    1,
                    "",
                    "tembrel-cli: cannot open 'missing.smi': No such file or directory\n"},
        ListRunCase{{"."}, 1, "", "tembrel-cli: cannot read '.': Is a directory\n"}));

TEST_F(CliTest, ListToAFullDeviceFailsWithThree) {
    WriteFile(Path("a.smi"), kCp949File);
    CliRunOptions options;
    options.stdoutPath = "/dev/full";
    const CliRun run = RunCli({"list", "--quoted", Path("a.smi")}, options);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "tembrel-cli: cannot write to standard output: No space left on device\n");
}

// The times behind the sync tags of a file that SamiWithTimes made.
std::vector<int> TimesOf(const std::string& text) {
    std::vector<int> times;
    const std::string tag = "<SYNC START=";
    for (std::size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + 1)) {
        times.push_back(std::atoi(text.c_str() + at + tag.size()));
    }
    return times;
}

// -o -: the result on standard output, byte for byte what -o OUT would write,
// and nothing made beside FILE.
struct StdoutCase {
    std::vector<std::string> arguments;  // in the scratch folder, a.smi and b.smi there
    std::vector<int> times;              // of what reaches standard output
};

void PrintTo(const StdoutCase& c, std::ostream* os) {
    *os << JoinArguments(c.arguments);
}

class CliToStandardOutput : public CliTest, public ::testing::WithParamInterface<StdoutCase> {};

TEST_P(CliToStandardOutput, WritesTheResultThereAndTouchesNothing) {
    const std::string a = SamiWithTimes({1000, 2000, 3000});
    const std::string b = SamiWithTimes({500});
    WriteFile(Path("a.smi"), a);
    WriteFile(Path("b.smi"), b);
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun run = RunCli(GetParam().arguments, options);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(TimesOf(run.out), GetParam().times);
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "b.smi"}));
    EXPECT_EQ(ReadFile(Path("a.smi")), a);
    EXPECT_EQ(ReadFile(Path("b.smi")), b);
    // The same bytes as a result written to a file.
    std::vector<std::string> toFile = GetParam().arguments;
    for (std::string& argument : toFile) {
        for (const std::string form : {"-", "-o-", "--output=-"}) {
            if (argument == form) {
                argument = form.substr(0, form.size() - 1) + Path("out.smi");
            }
        }
    }
    ASSERT_EQ(RunCli(toFile, options).exitCode, 0);
    EXPECT_EQ(ReadFile(Path("out.smi")), run.out);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliToStandardOutput,
    ::testing::Values(StdoutCase{{"shift", "--shift=500", "-o", "-", "a.smi"}, {1500, 2500, 3500}},
                      StdoutCase{{"shift", "-o-", "--start=2000", "--shift=-500", "a.smi"},
                                 {1000, 1500, 2500}},
                      StdoutCase{{"sync", "--at=0=0", "--at=1000=1500", "--output=-", "a.smi"},
                                 {1500, 3000, 4500}},
                      StdoutCase{{"append", "--offset=10000", "-o", "-", "a.smi", "b.smi"},
                                 {1000, 2000, 3000, 10500}}));

TEST_F(CliTest, ResultToAFullDeviceFailsWithThreeAndKeepsTheFile) {
    const std::string a = SamiWithTimes({1000, 2000, 3000});
    WriteFile(Path("a.smi"), a);
    CliRunOptions options;
    options.stdoutPath = "/dev/full";
    const CliRun run = RunCli({"shift", "--shift=5", "-o", "-", Path("a.smi")}, options);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "tembrel-cli: cannot write to standard output: No space left on device\n");
    EXPECT_EQ(ListDir(Dir()), Names{"a.smi"});
    EXPECT_EQ(ReadFile(Path("a.smi")), a);
}

// Points whose rate lies outside 0.5 to 2 are taken with --force; the ends of
// that span are taken without it.
struct ForcedCase {
    std::vector<std::string> arguments;  // after "sync"
    std::vector<int> times;              // of a.smi (1000, 2000, 3000) on the line
};

void PrintTo(const ForcedCase& c, std::ostream* os) {
    *os << JoinArguments(c.arguments);
}

class CliSyncRates : public CliTest, public ::testing::WithParamInterface<ForcedCase> {};

TEST_P(CliSyncRates, AreTakenAsGiven) {
    WriteFile(Path("a.smi"), SamiWithTimes({1000, 2000, 3000}));
    std::vector<std::string> arguments = {"sync"};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    arguments.push_back(Path("a.smi"));
    const CliRun run = RunCli(arguments);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::vector<int> times = TimesOf(ReadFile(Path("a.smi")));
    ASSERT_EQ(times.size(), GetParam().times.size());
    for (std::size_t i = 0; i < times.size(); ++i) {
        // sync puts every time within 2 ms of its line.
        EXPECT_NEAR(times[i], GetParam().times[i], 2) << "time " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliSyncRates,
    ::testing::Values(
        ForcedCase{{"--at=0=0", "--at=1000=2000"}, {2000, 4000, 6000}},
        ForcedCase{{"--at=0=0", "--at=2000=1000"}, {500, 1000, 1500}},
        ForcedCase{{"--force", "--at=0:02=0:04.400", "--at=0:01=0:02,2"}, {2200, 4400, 6600}},
        ForcedCase{{"--at=0=0", "--at=1000=3000", "--force"}, {3000, 6000, 9000}},
        ForcedCase{{"--force", "--at=0:00=0:00", "--at=0:01=0:00.250"}, {250, 500, 750}}));

}  // namespace
