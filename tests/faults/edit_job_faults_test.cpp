// The edit job under interruption and contention, through tembrel-cli as a
// user meets it: killed at random instants, interrupted by signals, two runs
// on one file at once, one file under three names, devices and pipes named as
// FILE, and runs that move no time. After each, FILE is whole (the old or the
// new content) and the original is FILE or FILE.bak.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "cli_runner.h"
#include "edit_job.h"
#include "edit_system_calls.h"
#include "fault_files.h"
#include "result_codes.h"
#include "sync_shift.h"
#include "sync_tag_search.h"

extern char** environ;

namespace {

using Names = std::vector<std::string>;

// Starts tembrel-cli with `arguments` in `dir`; its process id.
pid_t StartCli(const std::string& dir, const Names& arguments) {
    std::vector<std::string> words = {TEMBREL_CLI_PATH};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(&word[0]);
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.c_str());
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed == 0 ? pid : -1;
}

CliRunOptions InDir(const std::string& dir) {
    CliRunOptions options;
    options.workDir = dir;
    return options;
}

int WaitStatus(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
    }
    return status;
}

std::string Leftovers(const std::string& dir) {
    std::string found;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".tembrel-") != std::string::npos) {
            found += name + " ";
        }
    }
    return found;
}

class EditJobFaults : public ::testing::Test {
protected:
    void SetUp() override { dir_ = MakeFaultScratchDir(); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    void Write(const std::string& name, const std::string& bytes) const {
        FILE* file = std::fopen(Path(name).c_str(), "wb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        ASSERT_EQ(std::fclose(file), 0);
    }
    std::string dir_;
};

// kill -9 at random instants of a run over tens of MB: FILE is always whole,
// old or new, and the original is FILE or FILE.bak (or, cut inside the swap,
// beside them). The next run settles what the killed one left and ends well.
TEST_F(EditJobFaults, KilledAtRandomInstantsLeavesAWholeFile) {
    const std::string original = LargeSami(24u << 20, 0);
    const std::string shifted = LargeSami(24u << 20, 5);
    std::mt19937 random(17);
    // The kills fall within the time one whole run takes on this machine, so
    // that a loaded machine, where a run is slow, still sees runs cut short.
    Write("a.smi", original);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(RunCli({"shift", "--shift=5", "--end=2000000000", "a.smi"}, InDir(dir_)).exitCode, 0);
    const auto span = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - started)
                          .count() +
                      1;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(25);
    int killed = 0;
    for (int trial = 0; trial < 12 && (std::chrono::steady_clock::now() < deadline || killed == 0);
         ++trial) {
        Write("a.smi", original);
        std::filesystem::remove(Path("a.smi.bak"));
        const pid_t pid = StartCli(dir_, {"shift", "--shift=5", "--end=2000000000", "a.smi"});
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(
            std::chrono::milliseconds(random() % static_cast<std::uint64_t>(span)));
        kill(pid, SIGKILL);
        const int status = WaitStatus(pid);
        killed += WIFSIGNALED(status) ? 1 : 0;
        const std::string now = ReadWholeFile(Path("a.smi"));
        const bool old = now.size() == original.size() && now == original;
        EXPECT_TRUE(old || now == shifted) << "trial " << trial << ": FILE is cut";
        // Cut inside the swap, the original may stand under the second name
        // that the next run makes FILE.bak.
        if (!old) {
            EXPECT_TRUE(ReadWholeFile(Path("a.smi.bak")) == original ||
                        ReadWholeFile(Path("a.smi.tembrel-backup-link")) == original)
                << "the original is gone";
        }
        // The next run on the file removes what was left and completes.
        const CliRun again =
            RunCli({"shift", "--shift=5", "--end=2000000000", "a.smi"}, InDir(dir_));
        EXPECT_EQ(again.exitCode, 0) << again.err;
        EXPECT_EQ(Leftovers(dir_), "");
    }
    EXPECT_GT(killed, 0);
}

// SIGINT, SIGTERM and SIGHUP remove the temporary file, leave FILE and FILE.bak
// as they were and end with 128 + the signal.
TEST_F(EditJobFaults, SignalsRemoveTheTemporaryFileAndLeaveBothFiles) {
    const std::string original = LargeSami(24u << 20, 0);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        Write("a.smi", original);
        Write("a.smi.bak", "older backup");
        const pid_t pid = StartCli(dir_, {"shift", "--shift=5", "--end=2000000000", "a.smi"});
        ASSERT_GT(pid, 0);
        // Signalled once the temporary file exists, while it is written.
        for (int wait = 0; wait < 2000 && Leftovers(dir_).empty(); ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        kill(pid, signal);
        const int status = WaitStatus(pid);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
            continue;  // the run ended first: nothing to check
        }
        EXPECT_TRUE(WIFEXITED(status)) << signal;
        EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
        EXPECT_TRUE(ReadWholeFile(Path("a.smi")) == original);
        EXPECT_EQ(ReadWholeFile(Path("a.smi.bak")), "older backup");
        EXPECT_EQ(Leftovers(dir_), "");
    }
}

// Two runs on one file at once: the second waits for the first and works on
// its result, so both shifts count and FILE.bak is the first run's result.
TEST_F(EditJobFaults, TwoRunsAtOnceTakeTurns) {
    const std::string original = LargeSami(8u << 20, 0);
    Write("a.smi", original);
    const pid_t first = StartCli(dir_, {"shift", "--shift=5", "--end=2000000000", "a.smi"});
    const pid_t second = StartCli(dir_, {"shift", "--shift=5", "--end=2000000000", "a.smi"});
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);
    EXPECT_EQ(WaitStatus(first), 0);
    EXPECT_EQ(WaitStatus(second), 0);
    EXPECT_TRUE(ReadWholeFile(Path("a.smi")) == LargeSami(8u << 20, 10));
    EXPECT_TRUE(ReadWholeFile(Path("a.smi.bak")) == LargeSami(8u << 20, 5));
    EXPECT_EQ(Leftovers(dir_), "");
}

// One file named three ways (a spelling, a link, a hard link) is edited once.
// Two runs at once to the range end E on a film whose largest time comes
// first: the second reads E before the first has moved it, and finds that out
// under the lock, whether E was guessed from the tail or, with only quoted
// times there, looked up.
TEST_F(EditJobFaults, TwoRunsAtOnceToTheLastTime) {
    std::string quotedTail;
    for (int k = 0; k < 4000; ++k) {
        quotedTail += "<SYNC START=\"5\"><P>q\r\n";
    }
    for (const std::string& tail : {std::string(), quotedTail}) {
        std::vector<int> times = {90000000};
        for (int k = 0; k < 200000; ++k) {
            times.push_back(1000 + 100 * k);
        }
        Write("a.smi", SamiWithTimes(times) + tail);
        const pid_t first = StartCli(dir_, {"shift", "--shift=5", "a.smi"});
        const pid_t second = StartCli(dir_, {"shift", "--shift=5", "a.smi"});
        ASSERT_GT(first, 0);
        ASSERT_GT(second, 0);
        EXPECT_EQ(WaitStatus(first), 0);
        EXPECT_EQ(WaitStatus(second), 0);
        for (int& time : times) {
            time += 10;
        }
        EXPECT_TRUE(ReadWholeFile(Path("a.smi")) == SamiWithTimes(times) + tail);
        EXPECT_EQ(Leftovers(dir_), "");
    }
}

TEST_F(EditJobFaults, OneFileUnderSeveralNamesIsEditedOnce) {
    const std::string original = SamiWithTimes({1000});
    Write("f.smi", original);
    ASSERT_EQ(symlink("f.smi", Path("l.smi").c_str()), 0);
    ASSERT_EQ(link(Path("f.smi").c_str(), Path("h.smi").c_str()), 0);
    const CliRun run =
        RunCli({"shift", "--shift=1000", "f.smi", "./f.smi", "l.smi", "h.smi"}, InDir(dir_));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadWholeFile(Path("f.smi")), SamiWithTimes({2000}));
    EXPECT_EQ(ReadWholeFile(Path("f.smi.bak")), original);
    EXPECT_EQ(run.err,
              "tembrel-cli: './f.smi' is the file 'f.smi' named again; it is edited once\n"
              "tembrel-cli: 'l.smi' is the file 'f.smi' named again; it is edited once\n"
              "tembrel-cli: 'h.smi' is the file 'f.smi' named again; it is edited once\n");
}

// A device or a pipe named as FILE, directly or through a link, is refused
// before anything is renamed or read; the device stays what it was.
TEST_F(EditJobFaults, DevicesAndPipesAreRefused) {
    ASSERT_EQ(mkfifo(Path("pipe.smi").c_str(), 0600), 0);
    ASSERT_EQ(symlink("/dev/null", Path("null.smi").c_str()), 0);
    for (const std::string& name : {std::string("/dev/null"), Path("pipe.smi"), Path("null.smi")}) {
        for (const Names& arguments : {Names{"shift", "--shift=1", "--end=100", name},
                                       Names{"shift", "--shift=1", name}, Names{"undo", name}}) {
            const CliRun run = RunCli(arguments, InDir(dir_));
            EXPECT_EQ(run.exitCode, 1) << name;
            EXPECT_NE(run.err.find("it is not a regular file"), std::string::npos) << run.err;
        }
    }
    struct stat status;
    ASSERT_EQ(stat("/dev/null", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
    EXPECT_FALSE(std::filesystem::exists("/dev/null.bak"));
    EXPECT_EQ(Leftovers(dir_), "");
}

// A run that moves no time writes nothing: FILE and its older backup stay.
TEST_F(EditJobFaults, NothingMovedKeepsTheOlderBackup) {
    const std::string original = SamiWithTimes({1000, 2000});
    for (const Names& arguments :
         {Names{"shift", "--shift=2147483647", "a.smi"},
          Names{"shift", "--start=5000", "--end=9000", "--shift=5", "a.smi"}}) {
        Write("a.smi", original);
        Write("a.smi.bak", "the user's original");
        const CliRun run = RunCli(arguments, InDir(dir_));
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err.rfind("tembrel-cli: 'a.smi': no time moved; nothing written\n", 0), 0u)
            << run.err;
        EXPECT_EQ(ReadWholeFile(Path("a.smi")), original);
        EXPECT_EQ(ReadWholeFile(Path("a.smi.bak")), "the user's original");
    }
}

// With -o OUT a run that moves no time writes OUT all the same, FILE's bytes,
// so that an older OUT is never taken for the result; FILE keeps no backup.
TEST_F(EditJobFaults, NothingMovedStillWritesTheOutput) {
    const std::string original = SamiWithTimes({1000, 2000});
    Write("a.smi", original);
    Write("out.smi", "an older output");
    const CliRun run =
        RunCli({"shift", "--start=5000", "--end=9000", "--shift=5", "-o", "out.smi", "a.smi"},
               InDir(dir_));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "tembrel-cli: 'a.smi': no time moved; 'out.smi' is written unchanged\n");
    EXPECT_EQ(ReadWholeFile(Path("out.smi")), original);
    EXPECT_EQ(ReadWholeFile(Path("a.smi")), original);
    EXPECT_FALSE(std::filesystem::exists(Path("a.smi.bak")));
    EXPECT_EQ(Leftovers(dir_), "");
}

// The names of an edit, by the one rule both front ends and the job use. In
// the table "" stands for no name; names are in the scratch folder.
TEST_F(EditJobFaults, EditNamesFollowTheFileWhereverItIsNamed) {
    Write("f.smi", "f");
    Write("f.smi.bak", "older");
    Write("g.smi", "g");
    ASSERT_EQ(symlink("f.smi", Path("l.smi").c_str()), 0);
    ASSERT_EQ(symlink("g.smi", Path("lg.smi").c_str()), 0);
    ASSERT_EQ(link(Path("f.smi").c_str(), Path("h.smi").c_str()), 0);
    struct NamesCase {
        const char* file;
        const char* append;
        const char* output;
        const char* target;
        int inPlace;
        int appendIsBackup;
    };
    const NamesCase cases[] = {
        {"f.smi", "", "", "f.smi", 1, 0},
        {"f.smi", "", "f.smi", "f.smi", 1, 0},
        {"f.smi", "", "./f.smi", "f.smi", 1, 0},
        {"f.smi", "", "h.smi", "f.smi", 1, 0},
        {"f.smi", "", "l.smi", "f.smi", 1, 0},
        {"l.smi", "", "", "f.smi", 1, 0},
        {"f.smi", "", "new.smi", "new.smi", 0, 0},
        {"f.smi", "", "lg.smi", "g.smi", 0, 0},
        {"f.smi", "g.smi", "g.smi", "g.smi", 1, 0},
        {"f.smi", "g.smi", "lg.smi", "g.smi", 1, 0},
        {"f.smi", "g.smi", "", "f.smi", 1, 0},
        {"f.smi", "f.smi.bak", "", "f.smi", 1, 1},
        {"l.smi", "f.smi.bak", "", "f.smi", 1, 1},
        {"f.smi", "f.smi.bak", "new.smi", "new.smi", 0, 0},
        {"f.smi", "f.smi", "", "f.smi", 1, 0},
    };
    const auto named = [this](const char* name) { return name[0] == '\0' ? "" : Path(name); };
    for (const NamesCase& c : cases) {
        const std::string file = named(c.file);
        const std::string append = named(c.append);
        const std::string output = named(c.output);
        EditNames names;
        EXPECT_EQ(PlanEditNames(file.c_str(), append.empty() ? nullptr : append.c_str(),
                                output.empty() ? nullptr : output.c_str(), &names),
                  1);
        const std::string says = std::string(c.file) + " " + c.append + " -o " + c.output;
        EXPECT_EQ(names.target, Path(c.target)) << says;
        EXPECT_EQ(names.backup, c.inPlace ? BackupName(names.target) : "") << says;
        EXPECT_EQ(names.inPlace, c.inPlace) << says;
        EXPECT_EQ(names.appendIsBackup, c.appendIsBackup) << says;
    }
    EditNames missing;
    EXPECT_EQ(PlanEditNames(Path("none.smi").c_str(), nullptr, nullptr, &missing), 0);
    EXPECT_EQ(missing.target, Path("none.smi"));
    EXPECT_TRUE(IsSameFile(Path("h.smi").c_str(), Path("l.smi").c_str()));
    EXPECT_FALSE(IsSameFile(Path("f.smi").c_str(), Path("g.smi").c_str()));
    EXPECT_FALSE(IsSameFile(Path("none.smi").c_str(), Path("none.smi").c_str()));
}

// undo swaps FILE and FILE.bak, a second undo redoes, and without FILE.bak it
// is refused.
TEST_F(EditJobFaults, UndoSwapsAndRedoes) {
    Write("a.smi", "new");
    Write("a.smi.bak", "old");
    ASSERT_EQ(chmod(Path("a.smi").c_str(), 0640), 0);
    EXPECT_EQ(RunCli({"undo", "a.smi"}, InDir(dir_)).exitCode, 0);
    EXPECT_EQ(ReadWholeFile(Path("a.smi")), "old");
    EXPECT_EQ(ReadWholeFile(Path("a.smi.bak")), "new");
    EXPECT_EQ(RunCli({"undo", "a.smi"}, InDir(dir_)).exitCode, 0);
    EXPECT_EQ(ReadWholeFile(Path("a.smi")), "new");
    struct stat status;
    ASSERT_EQ(stat(Path("a.smi").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    std::filesystem::remove(Path("a.smi.bak"));
    const CliRun refused = RunCli({"undo", "a.smi"}, InDir(dir_));
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, "tembrel-cli: cannot undo 'a.smi': there is no backup 'a.smi.bak'\n");
    EXPECT_EQ(ReadWholeFile(Path("a.smi")), "new");
}

std::int32_t ShiftByOneSecond(void*, const EditStreams& streams, RunCounts* counts) {
    return ShiftFileTimes(streams.input, streams.inputSize, streams.output, {0, 100000, 1000, 0},
                          FrontEndRunOptions(0), counts);
}

// The swap at every step. The job's system calls go through its table; a case
// makes the call at step k end the process (a kill or a power cut there),
// fail, or fail with every call after it (so that taking the step back fails
// too). After a kill FILE is never cut and no content of before is gone
// unless the run is already complete; after a failure reported as such FILE
// and FILE.bak are as before. After the next run on FILE (one that moves no
// time, so writes nothing of its own) they are both as before or both as
// after, and nothing is left beside them. For an edit and for an undo, with
// and without hard links (and exchange).
enum StepAction : int { STEP_KILL, STEP_FAIL, STEP_FAIL_FROM };
constexpr int kKilledAtStep = 77;

struct StepPlan {
    int at;  // the call that the action hits, counted from 1; 0 for none
    StepAction action;
    int noLinks;
    int noExchange;
};

StepPlan g_plan;
int g_callCount = 0;
std::vector<std::string> g_callNames;
EditSystemCalls g_realCalls;

// 1 when the call is to fail.
int Intercepted(const char* name) {
    ++g_callCount;
    g_callNames.push_back(name);
    if (g_plan.at == 0 || g_callCount < g_plan.at) {
        return 0;
    }
    if (g_callCount == g_plan.at && g_plan.action == STEP_KILL) {
        _exit(kKilledAtStep);
    }
    if (g_callCount == g_plan.at || g_plan.action == STEP_FAIL_FROM) {
        errno = EIO;
        return 1;
    }
    return 0;
}

// 1 with `error` in errno when the plan takes a call away.
int Refused(int refused, int error) {
    if (refused) {
        errno = error;
    }
    return refused;
}

int HookedLink(const char* from, const char* to) {
    return (Intercepted("link") || Refused(g_plan.noLinks, EPERM)) ? -1
                                                                   : g_realCalls.link(from, to);
}
int HookedRename(const char* from, const char* to) {
    return Intercepted("rename") ? -1 : g_realCalls.rename(from, to);
}
int HookedUnlink(const char* path) {
    return Intercepted("unlink") ? -1 : g_realCalls.unlink(path);
}
int HookedRmdir(const char* path) {
    return Intercepted("rmdir") ? -1 : g_realCalls.rmdir(path);
}
int HookedFsync(int descriptor) {
    return Intercepted("fsync") ? -1 : g_realCalls.fsync(descriptor);
}
int HookedExchange(const char* first, const char* second) {
    return (Intercepted("exchange") || Refused(g_plan.noExchange, ENOSYS))
               ? -1
               : g_realCalls.exchange(first, second);
}

void HookSystemCalls(const StepPlan& plan) {
    g_plan = plan;
    g_callCount = 0;
    g_callNames.clear();
    *EditJobSystemCalls() = EditSystemCalls{HookedLink,  HookedRename, HookedUnlink,
                                            HookedRmdir, HookedFsync,  HookedExchange};
}

std::int32_t MoveNothing(void*, const EditStreams& streams, RunCounts* counts) {
    return ShiftFileTimes(streams.input, streams.inputSize, streams.output,
                          {5000000, 6000000, 1000, 0}, FrontEndRunOptions(0), counts);
}

// Every file in the folder and its bytes.
std::map<std::string, std::string> FolderContent(const std::string& dir) {
    std::map<std::string, std::string> content;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        content[entry.path().filename().string()] = ReadWholeFile(entry.path().string());
    }
    return content;
}

struct SwapMode {
    const char* name;
    int undo;
    int noLinks;
    int noExchange;
    Names steps;  // the calls of one run, in order
};

TEST_F(EditJobFaults, EveryStepOfTheSwapKilledOrFailedLeavesBothNamesWhole) {
    BuildSyncTagTables();
    g_realCalls = *EditJobSystemCalls();
    const std::string file = Path("a.smi");
    const std::string older = "older backup";
    const std::string original = SamiWithTimes({1000});
    const std::string edited = SamiWithTimes({2000});
    const SwapMode modes[] = {
        {"edit", 0, 0, 0, {"fsync", "rmdir", "link", "rename", "rename", "fsync"}},
        {"edit without hard links",
         0,
         1,
         0,
         {"fsync", "rmdir", "link", "rename", "rename", "rename", "fsync"}},
        {"undo", 1, 0, 0, {"exchange", "fsync"}},
        {"undo without exchange",
         1,
         0,
         1,
         {"exchange", "rmdir", "link", "rename", "rename", "fsync"}},
        {"undo without exchange or hard links",
         1,
         1,
         1,
         {"exchange", "rmdir", "link", "rename", "rename", "rename", "fsync"}},
    };
    const auto prepare = [&]() {
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        Write("a.smi", original);
        Write("a.smi.bak", older);
    };
    const auto runJob = [&](int undo) {
        EditResult result;
        return undo ? UndoEdit(file.c_str(), &result)
                    : RunEditJob(
                          {file.c_str(), nullptr, nullptr, 1, ShiftByOneSecond, nullptr, nullptr},
                          &result);
    };
    const auto pairOf = [](const std::map<std::string, std::string>& content) {
        const auto at = [&content](const char* name) {
            const auto found = content.find(name);
            return found == content.end() ? std::string("(none)") : found->second;
        };
        return std::make_pair(at("a.smi"), at("a.smi.bak"));
    };
    int cases = 0;
    for (const SwapMode& mode : modes) {
        const auto before = std::make_pair(original, older);
        const auto after =
            mode.undo ? std::make_pair(older, original) : std::make_pair(edited, original);
        // One run to count the steps.
        prepare();
        HookSystemCalls({0, STEP_KILL, mode.noLinks, mode.noExchange});
        ASSERT_EQ(runJob(mode.undo), RESULT_OK) << mode.name;
        const Names steps = g_callNames;
        *EditJobSystemCalls() = g_realCalls;
        ASSERT_EQ(pairOf(FolderContent(dir_)), after) << mode.name;
        EXPECT_EQ(steps, mode.steps) << mode.name;
        for (int at = 1; at <= static_cast<int>(steps.size()); ++at) {
            for (const StepAction action : {STEP_KILL, STEP_FAIL, STEP_FAIL_FROM}) {
                const char* actionName[] = {"killed", "failed", "failed from then on"};
                SCOPED_TRACE(std::string(mode.name) + ", " + actionName[action] + " at step " +
                             std::to_string(at) + " (" + steps[static_cast<std::size_t>(at - 1)] +
                             ")");
                prepare();
                const pid_t child = fork();
                ASSERT_GE(child, 0);
                if (child == 0) {
                    HookSystemCalls({at, action, mode.noLinks, mode.noExchange});
                    _exit(runJob(mode.undo) == RESULT_OK ? 0 : 1);
                }
                const int status = WaitStatus(child);
                ASSERT_TRUE(WIFEXITED(status));
                const int exitCode = WEXITSTATUS(status);
                EXPECT_EQ(exitCode == kKilledAtStep, action == STEP_KILL);
                const auto content = FolderContent(dir_);
                const auto pair = pairOf(content);
                if (action == STEP_FAIL) {
                    EXPECT_EQ(pair, exitCode == 0 ? after : before);
                    EXPECT_EQ(Leftovers(dir_), "");
                } else {
                    const bool fileWhole = pair.first == before.first ||
                                           pair.first == after.first ||
                                           (mode.noLinks && pair.first == "(none)");
                    EXPECT_TRUE(fileWhole) << pair.first;
                    int kept = 0;
                    for (const auto& named : content) {
                        kept |= (named.second == before.first ? 1 : 0) |
                                (named.second == before.second ? 2 : 0);
                    }
                    EXPECT_TRUE(pair == after || kept == 3) << "content of before is gone";
                }
                EditResult next;
                EXPECT_EQ(
                    RunEditJob({file.c_str(), nullptr, nullptr, 1, MoveNothing, nullptr, nullptr},
                               &next),
                    RESULT_OK)
                    << next.step << " " << next.path;
                const auto settled = pairOf(FolderContent(dir_));
                EXPECT_TRUE(settled == before || settled == after)
                    << settled.first << " | " << settled.second;
                if (action == STEP_FAIL) {
                    EXPECT_EQ(settled, pair);
                }
                EXPECT_EQ(Leftovers(dir_), "");
                ++cases;
            }
        }
    }
    EXPECT_EQ(cases, 3 * (6 + 7 + 2 + 6 + 7));
}

// Edits in a row flush each folder once, at the end: a folder gone by then
// fails its flush, which shows that it waited; each file is already edited
// and backed up. Without the row, nothing waits.
TEST_F(EditJobFaults, FolderFlushesWaitForTheEndOfARow) {
    BuildSyncTagTables();
    const auto edit = [this](const char* name) {
        const std::string path = Path(name);
        Write(name, SamiWithTimes({1000}));
        EditResult result;
        EXPECT_EQ(
            RunEditJob({path.c_str(), nullptr, nullptr, 1, ShiftByOneSecond, nullptr, nullptr},
                       &result),
            RESULT_OK);
        EXPECT_EQ(ReadWholeFile(path), SamiWithTimes({2000})) << name;
        EXPECT_EQ(ReadWholeFile(path + ".bak"), SamiWithTimes({1000})) << name;
    };
    ASSERT_TRUE(std::filesystem::create_directory(Path("one")));
    ASSERT_TRUE(std::filesystem::create_directory(Path("two")));
    DeferFolderFlushes();
    for (const char* name : {"one/a.smi", "one/b.smi", "two/a.smi"}) {
        edit(name);
    }
    std::filesystem::remove_all(Path("two"));
    EXPECT_EQ(FlushEditedFolders(), 0);
    EXPECT_EQ(FlushEditedFolders(), 1);
    edit("one/c.smi");
    std::filesystem::remove_all(Path("one"));
    EXPECT_EQ(FlushEditedFolders(), 1);
}

}  // namespace
