// tembrel-cli's failures, and that none of them loses data: each case ends with
// the original bytes under the file's own name or beside it as the backup, and
// with the exit status and the message the failure calls for. Root passes every
// permission check, so the failures are made real by other means: a full device,
// a full file system, a file size limit, names taken by folders and names that
// vanish while they are open. An edit in place also keeps what stood around the
// file: its mode, owner and group, the link that names it, the older backup.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "fault_files.h"

namespace {

using Names = std::vector<std::string>;
using namespace std::string_literals;

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

class CliFaults : public CliTest {
protected:
    void TearDown() override {
        if (!mounted_.empty()) {
            UnmountSmallFileSystem(mounted_);
        }
        CliTest::TearDown();
    }
    std::string mounted_;  // a folder with a small file system of its own
};

TEST_F(CliFaults, MissingFileExits1) {
    const CliRun run = RunCli({"shift", "--shift=5", "missing.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "tembrel-cli: cannot open 'missing.smi': No such file or directory\n");
    EXPECT_EQ(ListDir(Dir()), Names{});
}

TEST_F(CliFaults, MissingAppendFileExits2) {
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

// Appending the file's own old backup: the run would remove that backup before
// reading it, so it is refused and both files stay as they are.
TEST_F(CliFaults, AppendingTheOldBackupIsRefused) {
    const std::string file = SamiWithTimes({1000});
    const std::string old = SamiWithTimes({500, 700});
    WriteFile(Path("a.smi"), file);
    WriteFile(Path("a.smi.bak"), old);
    const CliRun run = RunCli({"append", "a.smi", "a.smi.bak"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err,
              "tembrel-cli: cannot append 'a.smi.bak': it is the backup 'a.smi.bak' that this "
              "run replaces\n");
    EXPECT_EQ(ReadFile(Path("a.smi")), file);
    EXPECT_EQ(ReadFile(Path("a.smi.bak")), old);
}

struct FolderCase {
    Names arguments;  // a.smi is a file, folder.smi a folder with a file in it
    int exitCode;
    std::string message;
};

// A folder opens on Linux; its first read fails, so it is refused before any
// name is moved.
TEST_F(CliFaults, FolderAsFileIsRefusedBeforeAnythingMoves) {
    const std::string original = SamiWithTimes({1000});
    WriteFile(Path("a.smi"), original);
    std::filesystem::create_directory(Path("folder.smi"));
    WriteFile(Path("folder.smi/keep"), "x");
    const FolderCase cases[] = {
        {{"shift", "--shift=5", "folder.smi"}, 1, "cannot open 'folder.smi': Is a directory"},
        {{"last", "folder.smi"}, 1, "cannot open 'folder.smi': Is a directory"},
        {{"append", "folder.smi", "a.smi"}, 1, "cannot open 'folder.smi': Is a directory"},
        {{"append", "a.smi", "folder.smi"},
         2,
         "cannot open the file to append 'folder.smi': Is a directory"},
        {{"shift", "--shift=5", "-o", "folder.smi", "a.smi"},
         3,
         "cannot save 'folder.smi': Is a directory"},
    };
    for (const FolderCase& c : cases) {
        const CliRun run = RunCli(c.arguments, InDir(Dir()));
        EXPECT_EQ(run.exitCode, c.exitCode) << JoinArguments(c.arguments);
        EXPECT_EQ(run.err, "tembrel-cli: " + c.message + "\n");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(ReadFile(Path("a.smi")), original);
    EXPECT_EQ(ReadFile(Path("folder.smi/keep")), "x");
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "folder.smi"}));
}

TEST_F(CliFaults, OutputInAMissingFolderExits3BeforeTheRun) {
    WriteFile(Path("a.smi"), SamiWithTimes({1000}));
    const CliRun run =
        RunCli({"shift", "--shift=5", "-o", "no/such/out.smi", "a.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "tembrel-cli: cannot save 'no/such/out.smi': No such file or directory\n");
    EXPECT_EQ(ReadFile(Path("a.smi")), SamiWithTimes({1000}));
    EXPECT_EQ(ListDir(Dir()), Names{"a.smi"});
}

// /dev/full takes no byte: the first write fails. A device is never removed.
TEST_F(CliFaults, FullDeviceExits3AndLeavesTheInputs) {
    const std::string first = LongSami();
    const std::string appended = SamiWithTimes({500});
    WriteFile(Path("a.smi"), first);
    WriteFile(Path("b.smi"), appended);
    for (const Names& arguments : {Names{"shift", "--shift=5", "-o", "/dev/full", "a.smi"},
                                   Names{"append", "-o", "/dev/full", "a.smi", "b.smi"}}) {
        const CliRun run = RunCli(arguments, InDir(Dir()));
        EXPECT_EQ(run.exitCode, 3) << arguments[0];
        EXPECT_EQ(run.err, "tembrel-cli: cannot save '/dev/full': No space left on device\n");
    }
    EXPECT_EQ(ReadFile(Path("a.smi")), first);
    EXPECT_EQ(ReadFile(Path("b.smi")), appended);
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "b.smi"}));
    struct stat status;
    ASSERT_EQ(stat("/dev/full", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
}

TEST_F(CliFaults, LastToAFullDeviceExits3) {
    WriteFile(Path("a.smi"), SamiWithTimes({1000}));
    CliRunOptions options;
    options.stdoutPath = "/dev/full";
    const CliRun run = RunCli({"last", Path("a.smi")}, options);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "tembrel-cli: cannot write to standard output: No space left on device\n");
}

// In place on a file system with room for the file but not for its result as
// well: the write runs out of space half-way, the partial result goes, the
// file is back under its own name and the older backup as it was.
TEST_F(CliFaults, FullFileSystemInPlaceRestoresTheFile) {
    const std::string dir = Path("small");
    std::filesystem::create_directory(dir);
    const std::string reason = MountSmallFileSystem(dir, 64 * 1024);
    if (!reason.empty()) {
        GTEST_SKIP() << reason;
    }
    mounted_ = dir;
    const std::string first = LargeSami(40 * 1024, 0);
    const std::string appended = SamiWithTimes({500});
    const std::string older = SamiWithTimes({1, 2, 3});
    WriteFile(dir + "/a.smi", first);
    WriteFile(dir + "/b.smi", appended);
    WriteFile(dir + "/a.smi.bak", older);
    for (const Names& arguments :
         {Names{"shift", "--shift=5", "a.smi"}, Names{"append", "a.smi", "b.smi"}}) {
        const CliRun run = RunCli(arguments, InDir(dir));
        EXPECT_EQ(run.exitCode, 3) << arguments[0];
        EXPECT_EQ(run.err,
                  "tembrel-cli: cannot save 'a.smi': No space left on device; "
                  "'a.smi' is left as it was\n");
        EXPECT_TRUE(SameBytes(ReadWholeFile(dir + "/a.smi"), first));
        EXPECT_EQ(ReadFile(dir + "/b.smi"), appended);
        EXPECT_EQ(ReadFile(dir + "/a.smi.bak"), older);
        EXPECT_EQ(ListDir(dir), (Names{"a.smi", "a.smi.bak", "b.smi"}));
    }
}

// A FILE.bak that is a folder with something in it can be neither removed nor
// replaced: nothing is moved or written, and the folder keeps its content.
TEST_F(CliFaults, BackupThatCannotBeMadeExits3) {
    const std::string first = SamiWithTimes({1000});
    const std::string appended = SamiWithTimes({500});
    WriteFile(Path("a.smi"), first);
    WriteFile(Path("b.smi"), appended);
    for (const char* backup : {"a.smi.bak", "b.smi.bak"}) {
        std::filesystem::create_directory(Path(backup));
        WriteFile(Path(backup) + "/keep", "x");
    }
    const struct {
        Names arguments;
        std::string target;
    } cases[] = {
        {{"shift", "--shift=5", "a.smi"}, "a.smi"},
        {{"append", "a.smi", "b.smi"}, "a.smi"},
        {{"append", "-o", "b.smi", "a.smi", "b.smi"}, "b.smi"},
    };
    for (const auto& c : cases) {
        const CliRun run = RunCli(c.arguments, InDir(Dir()));
        EXPECT_EQ(run.exitCode, 3) << JoinArguments(c.arguments);
        EXPECT_EQ(run.err, "tembrel-cli: cannot save '" + c.target + "': cannot make the backup '" +
                               c.target + ".bak': Directory not empty\n");
    }
    EXPECT_EQ(ReadFile(Path("a.smi")), first);
    EXPECT_EQ(ReadFile(Path("b.smi")), appended);
    EXPECT_EQ(ReadFile(Path("a.smi.bak/keep")), "x");
    EXPECT_EQ(ReadFile(Path("b.smi.bak/keep")), "x");
}

// A failure on one file does not stop the others; the exit code is the
// first failure's.
TEST_F(CliFaults, SeveralFilesGoOnAfterAFailure) {
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

struct LimitCase {
    Names arguments;  // run in the scratch folder on a.smi (and b.smi)
    std::string message;
};

void PrintTo(const LimitCase& c, std::ostream* os) {
    *os << JoinArguments(c.arguments);
}

class CliFileSizeLimit : public CliFaults, public ::testing::WithParamInterface<LimitCase> {};

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
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "b.smi"}));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CliFileSizeLimit,
    ::testing::Values(LimitCase{{"shift", "--shift=5", "a.smi"},
                                "cannot save 'a.smi': File too large; 'a.smi' is left as it was"},
                      LimitCase{{"shift", "--shift=5", "-o", "out.smi", "a.smi"},
                                "cannot save 'out.smi': File too large"},
                      LimitCase{{"append", "a.smi", "b.smi"},
                                "cannot save 'a.smi': File too large; 'a.smi' is left as it was"},
                      LimitCase{{"append", "-o", "b.smi", "a.smi", "b.smi"},
                                "cannot save 'b.smi': File too large; 'b.smi' is left as it was"}));

struct VanishCase {
    Names arguments;        // run in the scratch folder on a.smi and b.smi
    std::string vanishing;  // the name taken away, at its open number atOpen
    int atOpen;
    int exitCode;
    std::string message;
    Names left;  // the folder afterwards
};

void PrintTo(const VanishCase& c, std::ostream* os) {
    *os << JoinArguments(c.arguments) << ", " << c.vanishing << " gone at open " << c.atOpen;
}

class CliVanishingInput : public CliFaults, public ::testing::WithParamInterface<VanishCase> {};

// A name that would be taken away while the run holds it. The stand-in is a
// FIFO, and a FIFO is no regular file: the run refuses it before it reads a
// byte or moves a file (a run reads each file through the one descriptor it
// checked, so a name that goes away later changes nothing), and the other
// file is untouched.
TEST_P(CliVanishingInput, FailsAndMovesNothingForGood) {
    const VanishCase& c = GetParam();
    const std::string first = SamiWithTimes({1000, 9000});
    const std::string appended = SamiWithTimes({500});
    const std::string kept = c.vanishing == "a.smi" ? "b.smi" : "a.smi";
    WriteFile(Path(kept), kept == "a.smi" ? first : appended);
    VanishingName name;
    StartVanishingName(&name, Path(c.vanishing), c.vanishing == "a.smi" ? first : appended,
                       c.atOpen);
    const CliRun run = RunCli(c.arguments, InDir(Dir()));
    // The program's look at the FIFO (opened without waiting, closed unread)
    // may be taken by the thread for an open, which then takes the name away:
    // the name is not the program's to keep.
    StopVanishingName(&name);
    const bool appendFile = c.vanishing == "b.smi";
    EXPECT_EQ(run.exitCode, appendFile ? 2 : 1);
    EXPECT_EQ(run.err, "tembrel-cli: cannot open " +
                           std::string(appendFile ? "the file to append " : "") + "'" +
                           c.vanishing + "': it is not a regular file\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(Path(kept)), kept == "a.smi" ? first : appended);
    Names left = ListDir(Dir());
    left.erase(std::remove(left.begin(), left.end(), c.vanishing), left.end());
    EXPECT_EQ(left, Names{kept});
}

const char kNoBackup[] =
    "cannot save 'a.smi': cannot make the backup 'a.smi.bak': "
    "No such file or directory";

INSTANTIATE_TEST_SUITE_P(
    Runs, CliVanishingInput,
    ::testing::Values(
        // Checked, then gone before the backup is made.
        VanishCase{
            {"shift", "--shift=5", "--end=9000", "a.smi"}, "a.smi", 1, 3, kNoBackup, {"b.smi"}},
        VanishCase{{"append", "a.smi", "b.smi"}, "a.smi", 1, 3, kNoBackup, {"b.smi"}},
        // The range end E reads the file before it is checked: gone after the
        // reading, it is found missing by the check and the run does not start.
        VanishCase{{"shift", "--shift=5", "a.smi"},
                   "a.smi",
                   1,
                   1,
                   "cannot open 'a.smi': No such file or directory",
                   {"b.smi"}},
        VanishCase{{"shift", "--shift=5", "a.smi"}, "a.smi", 2, 3, kNoBackup, {"b.smi"}},
        // Checked, then gone when the run opens it.
        VanishCase{{"shift", "--shift=5", "--end=9000", "-o", "out.smi", "a.smi"},
                   "a.smi",
                   1,
                   1,
                   "cannot read 'a.smi': No such file or directory",
                   {"b.smi"}},
        VanishCase{{"append", "a.smi", "b.smi"},
                   "b.smi",
                   1,
                   2,
                   "cannot read the file to append 'b.smi': No such file or directory; "
                   "'a.smi' is left as it was",
                   {"a.smi"}},
        VanishCase{{"append", "-o", "out.smi", "a.smi", "b.smi"},
                   "b.smi",
                   1,
                   2,
                   "cannot read the file to append 'b.smi': No such file or directory",
                   {"a.smi"}}));

class CliOddInput : public CliFaults, public ::testing::WithParamInterface<OddInput> {};

// Without a sync tag the engine can see, a shift moves no time and writes
// nothing (no backup either), and the range end E (0) leaves nothing to do. Appending
// to or from such a file keeps the original as the backup.
TEST_P(CliOddInput, IsCopiedUnchangedOrLeftAlone) {
    const std::string& original = GetParam().bytes;
    const std::string other = SamiWithTimes({500});
    WriteFile(Path("odd.smi"), original);
    const std::string noTag = "tembrel-cli: no sync tag found: is 'odd.smi' a SAMI file?\n";
    CliRun run = RunCli({"shift", "--shift=5", "--end=100000", "odd.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "tembrel-cli: 'odd.smi': no time moved; nothing written\n" + noTag);
    EXPECT_TRUE(SameBytes(ReadWholeFile(Path("odd.smi")), original));
    EXPECT_FALSE(std::filesystem::exists(Path("odd.smi.bak")));

    run = RunCli({"shift", "--shift=5", "odd.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, noTag +
                           "tembrel-cli: 'odd.smi': range start 0 is not below range end 0; "
                           "nothing to do\n");
    run = RunCli({"last", "odd.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "0\n");
    EXPECT_EQ(run.err, noTag);
    EXPECT_TRUE(SameBytes(ReadWholeFile(Path("odd.smi")), original));
    EXPECT_EQ(ListDir(Dir()), Names{"odd.smi"});

    WriteFile(Path("other.smi"), other);
    run = RunCli({"append", "odd.smi", "other.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(SameBytes(ReadWholeFile(Path("odd.smi.bak")), original));
    // Without a body the whole file is head: it is kept, the cues follow it.
    const std::string merged = ReadWholeFile(Path("odd.smi"));
    EXPECT_GT(merged.size(), original.size());
    EXPECT_TRUE(SameBytes(merged.substr(0, original.size()), original));

    WriteFile(Path("odd.smi"), original);
    run = RunCli({"append", "other.smi", "odd.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, noTag);
    // Nor has it cues to give.
    EXPECT_EQ(ReadFile(Path("other.smi")), other);
    EXPECT_EQ(ReadFile(Path("other.smi.bak")), other);
}

INSTANTIATE_TEST_SUITE_P(Inputs, CliOddInput, ::testing::ValuesIn(OddInputs()), OddInputName);

// 100 MiB, far past the file buffer: a size limit half-way stops the write and
// the file is back whole; without it every time moves and the backup is the
// original. The two large files go even when a check fails.
TEST_F(CliFaults, HundredMebibyteFile) {
    constexpr std::size_t kSize = 100 * 1048576;
    const std::string original = LargeSami(kSize, 0);
    WriteFile(Path("a.smi"), original);
    CliRunOptions limited = InDir(Dir());
    limited.fileSizeLimit = kSize / 2;
    CliRun run = RunCli({"shift", "--shift=5", "a.smi"}, limited);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err,
              "tembrel-cli: cannot save 'a.smi': File too large; 'a.smi' is left as it was\n");
    EXPECT_TRUE(SameBytes(ReadWholeFile(Path("a.smi")), original));
    EXPECT_EQ(ListDir(Dir()), Names{"a.smi"});

    run = RunCli({"shift", "--shift=5", "a.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_TRUE(SameBytes(ReadWholeFile(Path("a.smi")), LargeSami(kSize, 5)));
    EXPECT_TRUE(SameBytes(ReadWholeFile(Path("a.smi.bak")), original));
    std::filesystem::remove(Path("a.smi"));
    std::filesystem::remove(Path("a.smi.bak"));
}

// --- What an edit in place keeps ---

struct FileStatus {
    mode_t mode;
    uid_t owner;
    gid_t group;
};

FileStatus StatusOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        ADD_FAILURE() << "no file " << path;
    }
    return {static_cast<mode_t>(status.st_mode & 07777), status.st_uid, status.st_gid};
}

struct PermissionCase {
    mode_t mode;
    int umask;
};

void PrintTo(const PermissionCase& c, std::ostream* os) {
    *os << std::oct << "mode 0" << c.mode << " umask 0" << c.umask << std::dec;
}

class CliKeepsPermissions : public CliFaults,
                            public ::testing::WithParamInterface<PermissionCase> {};

// The new file has the original's mode whatever the umask, and the backup is
// the original itself; a second run replaces the first backup and leaves
// nothing else in the folder.
TEST_P(CliKeepsPermissions, ThroughTwoRuns) {
    const PermissionCase& c = GetParam();
    WriteFile(Path("a.smi"), SamiWithTimes({1000}));
    WriteFile(Path("b.smi"), SamiWithTimes({500}));
    ASSERT_EQ(chmod(Path("a.smi").c_str(), c.mode), 0);
    CliRunOptions options = InDir(Dir());
    options.umask = c.umask;
    for (const Names& arguments :
         {Names{"shift", "--shift=5", "a.smi"}, Names{"append", "a.smi", "b.smi"}}) {
        const CliRun run = RunCli(arguments, options);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(StatusOf(Path("a.smi")).mode, c.mode) << arguments[0];
        EXPECT_EQ(StatusOf(Path("a.smi.bak")).mode, c.mode) << arguments[0];
    }
    EXPECT_EQ(ReadFile(Path("a.smi.bak")), SamiWithTimes({1005}));
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "a.smi.bak", "b.smi"}));
}

INSTANTIATE_TEST_SUITE_P(Modes, CliKeepsPermissions,
                         ::testing::Values(PermissionCase{0600, 022}, PermissionCase{0640, 022},
                                           PermissionCase{0600, 077}, PermissionCase{0640, 077},
                                           PermissionCase{0444, 022}, PermissionCase{0604, 077}));

constexpr uid_t kOtherUser = 4321;
constexpr gid_t kOtherGroup = 4322;

// Root may give the new file to the original's owner and group.
TEST_F(CliFaults, RootKeepsTheOwnerAndGroupOfAnotherUsersFile) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "only root may give a file to another user";
    }
    WriteFile(Path("a.smi"), SamiWithTimes({1000}));
    ASSERT_EQ(chown(Path("a.smi").c_str(), kOtherUser, kOtherGroup), 0);
    ASSERT_EQ(chmod(Path("a.smi").c_str(), 0640), 0);
    const CliRun run = RunCli({"shift", "--shift=5", "a.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (const char* name : {"a.smi", "a.smi.bak"}) {
        const FileStatus status = StatusOf(Path(name));
        EXPECT_EQ(status.owner, kOtherUser) << name;
        EXPECT_EQ(status.group, kOtherGroup) << name;
        EXPECT_EQ(status.mode, 0640u) << name;
    }
    EXPECT_EQ(ReadFile(Path("a.smi")), SamiWithTimes({1005}));
}

// Another user may not give a file away: the new file is theirs, in the
// original's group when they belong to it, and the run succeeds all the same.
TEST_F(CliFaults, AUserWhoMayNotKeepTheOwnerStillEditsTheFile) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "the test runs the program as another user";
    }
    ASSERT_EQ(chmod(Dir().c_str(), 0777), 0);
    const struct {
        std::int64_t furtherGroup;
        gid_t group;
    } cases[] = {{kOtherGroup, kOtherGroup}, {-1, kOtherUser}};
    for (const auto& c : cases) {
        WriteFile(Path("a.smi"), SamiWithTimes({1000}));
        ASSERT_EQ(chown(Path("a.smi").c_str(), kOtherUser - 1, kOtherGroup), 0);
        ASSERT_EQ(chmod(Path("a.smi").c_str(), 0664), 0);
        CliRunOptions options = InDir(Dir());
        options.user = kOtherUser;
        options.group = kOtherUser;
        options.furtherGroup = c.furtherGroup;
        const CliRun run = RunCli({"shift", "--shift=5", "a.smi"}, options);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const FileStatus status = StatusOf(Path("a.smi"));
        EXPECT_EQ(status.owner, kOtherUser);
        EXPECT_EQ(status.group, c.group);
        EXPECT_EQ(status.mode, 0664u);
        EXPECT_EQ(StatusOf(Path("a.smi.bak")).owner, kOtherUser - 1);
        EXPECT_EQ(ReadFile(Path("a.smi")), SamiWithTimes({1005}));
        std::filesystem::remove(Path("a.smi"));
        std::filesystem::remove(Path("a.smi.bak"));
    }
}

struct LinkCase {
    const char* name;
    bool absolute;    // the link holds the file's absolute path, else a relative one
    bool twoHops;     // film.smi leads to hop.smi, which leads to the file
    Names arguments;  // run in the scratch folder
};

void PrintTo(const LinkCase& c, std::ostream* os) {
    *os << c.name;
}

class CliThroughALink : public CliFaults, public ::testing::WithParamInterface<LinkCase> {};

// film.smi is a link to real/film.smi: the file itself is re-timed, its backup
// is made beside it, and the link still leads to it.
TEST_P(CliThroughALink, EditsTheFileWhereItLives) {
    const LinkCase& c = GetParam();
    const std::string original = SamiWithTimes({1000, 2000});
    std::filesystem::create_directory(Path("real"));
    WriteFile(Path("real/film.smi"), original);
    ASSERT_EQ(chmod(Path("real/film.smi").c_str(), 0640), 0);
    const std::string text = c.absolute ? Path("real/film.smi") : std::string("real/film.smi");
    const std::string first = c.twoHops ? std::string("hop.smi") : text;
    std::filesystem::create_symlink(first, Path("film.smi"));
    if (c.twoHops) {
        std::filesystem::create_symlink(text, Path("hop.smi"));
    }
    const CliRun run = RunCli(c.arguments, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(Path("real/film.smi")), SamiWithTimes({1005, 2005}));
    EXPECT_EQ(ReadFile(Path("real/film.smi.bak")), original);
    EXPECT_EQ(StatusOf(Path("real/film.smi")).mode, 0640u);
    EXPECT_EQ(std::filesystem::read_symlink(Path("film.smi")).string(), first);
    EXPECT_EQ(ReadFile(Path("film.smi")), SamiWithTimes({1005, 2005}));
    EXPECT_EQ(ListDir(Path("real")), (Names{"film.smi", "film.smi.bak"}));
    EXPECT_EQ(ListDir(Dir()),
              c.twoHops ? (Names{"film.smi", "hop.smi", "real"}) : (Names{"film.smi", "real"}));
}

INSTANTIATE_TEST_SUITE_P(
    Links, CliThroughALink,
    ::testing::Values(LinkCase{"Relative", false, false, {"shift", "--shift=5", "film.smi"}},
                      LinkCase{"Absolute", true, false, {"shift", "--shift=5", "film.smi"}},
                      LinkCase{"TwoHops", false, true, {"shift", "--shift=5", "film.smi"}},
                      LinkCase{"OutputNamesTheInputThroughALink",
                               false,
                               false,
                               {"shift", "--shift=5", "-o", "film.smi", "real/film.smi"}}));

// Another hard link of the file keeps the old content, as the backup does.
TEST_F(CliFaults, AHardLinkKeepsTheOldContent) {
    const std::string original = SamiWithTimes({1000});
    WriteFile(Path("a.smi"), original);
    std::filesystem::create_hard_link(Path("a.smi"), Path("other.smi"));
    const CliRun run = RunCli({"shift", "--shift=5", "a.smi"}, InDir(Dir()));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(Path("a.smi")), SamiWithTimes({1005}));
    EXPECT_EQ(ReadFile(Path("other.smi")), original);
    EXPECT_TRUE(std::filesystem::equivalent(Path("other.smi"), Path("a.smi.bak")));
}

class CliOlderBackup : public CliFaults, public ::testing::WithParamInterface<LimitCase> {};

// A run that fails half-way leaves the older backup byte for byte as it was,
// and nothing else in the folder.
TEST_P(CliOlderBackup, IsKeptWhenTheRunFails) {
    const std::string first = LongSami();
    const std::string appended = SamiWithTimes({500});
    const std::string older = "an older backup\0 with a NUL byte"s;
    WriteFile(Path("a.smi"), first);
    WriteFile(Path("b.smi"), appended);
    WriteFile(Path("a.smi.bak"), older);
    WriteFile(Path("b.smi.bak"), older + "b");
    CliRunOptions options = InDir(Dir());
    options.fileSizeLimit = 1000;
    const CliRun run = RunCli(GetParam().arguments, options);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_EQ(run.err, "tembrel-cli: " + GetParam().message + "\n");
    EXPECT_EQ(ReadFile(Path("a.smi")), first);
    EXPECT_EQ(ReadFile(Path("b.smi")), appended);
    EXPECT_EQ(ReadFile(Path("a.smi.bak")), older);
    EXPECT_EQ(ReadFile(Path("b.smi.bak")), older + "b");
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "a.smi.bak", "b.smi", "b.smi.bak"}));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CliOlderBackup,
    ::testing::Values(LimitCase{{"shift", "--shift=5", "a.smi"},
                                "cannot save 'a.smi': File too large; 'a.smi' is left as it was"},
                      LimitCase{{"append", "a.smi", "b.smi"},
                                "cannot save 'a.smi': File too large; 'a.smi' is left as it was"},
                      LimitCase{{"append", "-o", "b.smi", "a.smi", "b.smi"},
                                "cannot save 'b.smi': File too large; 'b.smi' is left as it was"}));

// A sync tag whose time scan runs from before the middle of the file buffer
// to its edge: the lookup of the last sync time reads on past the edge, which
// a pipe cannot go back on.
std::string TagAtTheBufferEdge() {
    const std::string head = "<SAMI>\r\n<BODY>\r\n";
    const std::string tag = "<SYNC Start=";
    const std::size_t tagAt = 400000;
    return head + std::string(tagAt - head.size(), 'x') + tag +
           std::string(1048576 - tagAt - tag.size(), '7') + "34><P>cue\r\n</BODY>\r\n</SAMI>\r\n";
}

class CliLastSyncTimeUnreadable : public CliFaults, public ::testing::WithParamInterface<Names> {};

// A pipe that would fail the lookup of the range end E part-way is refused
// before it is read: exit 1 with the cause, and nothing is written.
TEST_P(CliLastSyncTimeUnreadable, Exits1AndChangesNothing) {
    const std::string other = SamiWithTimes({500});
    WriteFile(Path("b.smi"), other);
    VanishingName name;
    // Served to the lookup, then to the check that tells a failed read from
    // a file that cannot be opened; gone after that.
    StartVanishingName(&name, Path("a.smi"), TagAtTheBufferEdge(), 2);
    const CliRun run = RunCli(GetParam(), InDir(Dir()));
    // As above, the thread may take the program's look for an open.
    StopVanishingName(&name);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "tembrel-cli: cannot open 'a.smi': it is not a regular file\n");
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadFile(Path("b.smi")), other);
    Names left = ListDir(Dir());
    left.erase(std::remove(left.begin(), left.end(), "a.smi"), left.end());
    EXPECT_EQ(left, Names{"b.smi"});
}

INSTANTIATE_TEST_SUITE_P(Commands, CliLastSyncTimeUnreadable,
                         ::testing::Values(Names{"shift", "--shift=5", "a.smi"},
                                           Names{"last", "a.smi"}));

}  // namespace
