// The dialog's failures over the stand-in layer, and that none of them loses
// data: each case ends with the file's original bytes under its own name or
// beside it as the backup, and with the warning the failure calls for, shown
// once the file is back. Root passes every permission check, so the failures
// are made real by a file size limit, a full file system, names taken by
// folders, and files removed between the check and the run. An edit in place
// also keeps the older backup, the link that names the file and the file's
// permission bits.
#include <sys/resource.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "dialog_ids.h"
#include "dialog_test_support.h"
#include "fault_files.h"
#include "main_dialog.h"
#include "test_files.h"

namespace {

using Names = std::vector<std::string>;

const char kBadFile[] = "파일 이름이 잘못 되었습니다.";
const char kBadAppendFile[] = "Append할 파일 이름이 잘못 되었습니다.";
const char kCannotSave[] = "파일을 저장할 수 없습니다.";

class DialogFaults : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeFaultScratchDir();
        path = dir + "/film.smi";
        backup = path + ".bak";
        second = dir + "/more.smi";
        dialog = OpenDialog();
    }
    void TearDown() override {
        if (!mounted.empty()) {
            UnmountSmallFileSystem(mounted);
        }
        if (!HasFailure()) {
            std::filesystem::remove_all(dir);
        }
    }
    // Runs a command and records what the file holds while its warning shows.
    void Run(int command) {
        g_standin.messageBoxes.clear();
        fileWhenShown.clear();
        g_standin.onMessageBox = [this] { fileWhenShown = ReadWholeFile(path); };
        ClickControl(dialog, command);
        g_standin.onMessageBox = nullptr;
    }
    std::string dir, path, backup, second, mounted, fileWhenShown;
    HWND dialog = nullptr;
};

mode_t ModeOf(const std::string& name) {
    struct stat status = {};
    return stat(name.c_str(), &status) == 0 ? static_cast<mode_t>(status.st_mode & 07777)
                                            : mode_t{0};
}

// Writes beyond a small file size limit fail, for root too.
struct FileSizeLimit {
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};

TEST_F(DialogFaults, MissingOrEmptyFileNameGivesMessageOneAndTouchesNothing) {
    for (const std::string& name : {std::string(), dir + "/missing.smi"}) {
        TypeShift(dialog, name, {"0", "5000", "100", "0"});
        Run(IDC_START_SYNC);
        ExpectOneWarning(dialog, kBadFile);
        EXPECT_TRUE(ListFolder(dir).empty());
        EXPECT_EQ(g_busy, 0);
    }
}

TEST_F(DialogFaults, AppendChecksTheMainFileFirstThenTheAppendFile) {
    const struct {
        bool mainExists;
        bool appendExists;
        const char* text;
    } cases[] = {{false, true, kBadFile}, {false, false, kBadFile}, {true, false, kBadAppendFile}};
    for (const auto& c : cases) {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        if (c.mainExists) {
            WriteBytes(path, SamiWithTimes({1000}));
        }
        if (c.appendExists) {
            WriteBytes(second, SamiWithTimes({500}));
        }
        const auto before = ListFolder(dir);
        TypeAppend(dialog, path, second, "0");
        Run(IDC_START_APPEND);
        ExpectOneWarning(dialog, c.text);
        EXPECT_EQ(ListFolder(dir), before);
    }
}

// Appending the file's own old backup: the command would remove that backup
// before reading it, so it is refused with message 2 and both files stay.
TEST_F(DialogFaults, AppendingTheOldBackupGivesMessageTwo) {
    const std::string file = SamiWithTimes({1000});
    const std::string old = SamiWithTimes({500, 700});
    WriteBytes(path, file);
    WriteBytes(backup, old);
    TypeAppend(dialog, path, backup, "0");
    Run(IDC_START_APPEND);
    ExpectOneWarning(dialog, kBadAppendFile);
    EXPECT_EQ(ReadWholeFile(path), file);
    EXPECT_EQ(ReadWholeFile(backup), old);
}

// A folder opens for reading on Linux and fails at its first read, inside the
// run: the folder is moved back with what it holds and the file's own warning
// is shown. With the range end E the lookup of the last sync time fails the
// same way: message 1 and nothing moved.
TEST_F(DialogFaults, FolderAsFileIsMovedBackWithItsContent) {
    const std::string original = SamiWithTimes({1000});
    const struct {
        int command;
        bool mainIsFolder;  // else the append file is the folder
        const char* end;
        const char* text;
    } cases[] = {
        {IDC_START_SYNC, true, "5000", kBadFile},
        {IDC_START_SYNC, true, "E", kBadFile},
        {IDC_START_APPEND, true, "E", kBadFile},
        {IDC_START_APPEND, false, "E", kBadAppendFile},
    };
    for (const auto& c : cases) {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        const std::string folder = c.mainIsFolder ? path : second;
        std::filesystem::create_directory(folder);
        WriteBytes(folder + "/keep", "x");
        WriteBytes(c.mainIsFolder ? second : path, original);
        TypeShift(dialog, path, {"0", c.end, "100", "0"});
        TypeAppend(dialog, path, second, "0");
        Run(c.command);
        ExpectOneWarning(dialog, c.text);
        EXPECT_EQ(ReadBytes(folder + "/keep"), "x");
        EXPECT_EQ(ReadBytes(c.mainIsFolder ? second : path), original);
        if (!c.mainIsFolder) {
            EXPECT_EQ(fileWhenShown, original);
        }
        EXPECT_EQ(ListFolder(dir), (Names{"film.smi", "more.smi"}));
    }
}

TEST_F(DialogFaults, BackupThatCannotBeReplacedGivesMessageThreeAndChangesNothing) {
    const std::string original = SamiWithTimes({1000});
    WriteBytes(second, SamiWithTimes({500}));
    // A folder that is not empty can neither be removed nor replaced.
    std::filesystem::create_directories(backup);
    WriteBytes(backup + "/keep.txt", "keep");
    for (int command : {IDC_START_SYNC, IDC_START_APPEND}) {
        WriteBytes(path, original);
        g_standin.progressPositions.clear();
        TypeShift(dialog, path, {"0", "E", "100", "0"});
        TypeAppend(dialog, path, second, "0");
        Run(command);
        ExpectOneWarning(dialog, kCannotSave);
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_EQ(ReadBytes(backup + "/keep.txt"), "keep");
        // The new content was written beside the file and is gone again.
        EXPECT_EQ(ListFolder(dir), (Names{"film.smi", "film.smi.bak", "more.smi"}));
    }
}

// The write stops half-way at the limit: the partial file goes, the backup is
// the file again before the warning shows, and no backup is left.
TEST_F(DialogFaults, FileSizeLimitPutsTheFileBackBeforeItsMessage) {
    std::string original = SamiWithTimes({1000, 2000, 3000});
    for (int line = 0; line < 1000; ++line) {
        original += "<!-- more than the limit -->\r\n";
    }
    WriteBytes(second, SamiWithTimes({500}));
    for (int command : {IDC_START_SYNC, IDC_START_APPEND}) {
        WriteBytes(path, original);
        TypeShift(dialog, path, {"0", "E", "100", "0"});
        TypeAppend(dialog, path, second, "0");
        {
            FileSizeLimit limit(4096);
            Run(command);
        }
        ExpectOneWarning(dialog, kCannotSave);
        EXPECT_EQ(fileWhenShown, original);
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_FALSE(FileExists(backup));
    }
}

// The dialog writes its result under the file's own name, so no space means a
// file system with room for the file and not for its result as well. The
// write runs out of space half-way, and the file is back before the warning.
TEST_F(DialogFaults, FullFileSystemPutsTheFileBackBeforeItsMessage) {
    const std::string small = dir + "/small";
    std::filesystem::create_directory(small);
    const std::string reason = MountSmallFileSystem(small, 64 * 1024);
    if (!reason.empty()) {
        GTEST_SKIP() << reason;
    }
    mounted = small;
    path = small + "/film.smi";
    backup = path + ".bak";
    second = small + "/more.smi";
    const std::string original = LargeSami(40 * 1024, 0);
    WriteBytes(second, SamiWithTimes({500}));
    for (int command : {IDC_START_SYNC, IDC_START_APPEND}) {
        WriteBytes(path, original);
        TypeShift(dialog, path, {"0", "E", "100", "0"});
        TypeAppend(dialog, path, second, "0");
        Run(command);
        ExpectOneWarning(dialog, kCannotSave);
        EXPECT_TRUE(SameBytes(fileWhenShown, original));
        EXPECT_TRUE(SameBytes(ReadWholeFile(path), original));
        EXPECT_EQ(ListFolder(small), (Names{"film.smi", "more.smi"}));
    }
}

// A file that is there when the command checks it and gone a moment later,
// removed by another program while the command reads its fields.
TEST_F(DialogFaults, FileThatVanishesAfterItsCheck) {
    const std::string original = SamiWithTimes({1000, 9000});
    const std::string appended = SamiWithTimes({500});
    const struct {
        int command;
        bool mainVanishes;  // else the append file vanishes
        const char* end;
        int whileReading;  // the field being read when the file goes
        const char* text;
    } cases[] = {
        // Gone before the edit opens it: message 1, nothing written.
        {IDC_START_SYNC, true, "5000", IDC_STRETCH, kBadFile},
        {IDC_START_SYNC, true, "E", IDC_STRETCH, kBadFile},
        {IDC_START_APPEND, true, "E", IDC_APPEND_OFFSET, kBadFile},
        // Gone before its last sync time is looked up: message 1, not the
        // empty range of a file without sync times.
        {IDC_START_SYNC, true, "E", IDC_RANGE_START, kBadFile},
        // Gone when the run opens it: the main file is moved back.
        {IDC_START_APPEND, false, "E", IDC_APPEND_OFFSET, kBadAppendFile},
    };
    for (const auto& c : cases) {
        WriteBytes(path, original);
        WriteBytes(second, appended);
        const std::string gone = c.mainVanishes ? path : second;
        g_standin.onReadText = [&](int id) {
            if (id == c.whileReading) {
                std::filesystem::remove(gone);
            }
        };
        TypeShift(dialog, path, {"0", c.end, "100", "0"});
        TypeAppend(dialog, path, second, "0");
        Run(c.command);
        g_standin.onReadText = nullptr;
        ExpectOneWarning(dialog, c.text);
        if (c.mainVanishes) {
            EXPECT_EQ(ReadBytes(second), appended);
            EXPECT_EQ(ListFolder(dir), Names{"more.smi"});
        } else {
            EXPECT_EQ(fileWhenShown, original);
            EXPECT_EQ(ReadBytes(path), original);
            EXPECT_EQ(ListFolder(dir), Names{"film.smi"});
        }
    }
}

class DialogOddInput : public DialogFaults, public ::testing::WithParamInterface<OddInput> {};

// Without a sync tag, a shift writes nothing and warns that no tag was found, and the range end E
// (0) ends silently. Appending to or from such a file keeps the original as the backup; only the
// file without cues to give is warned of.
TEST_P(DialogOddInput, IsCopiedUnchangedOrLeftAlone) {
    const std::string& original = GetParam().bytes;
    const std::string other = SamiWithTimes({500});
    const auto run = [this](int command, bool warned) {
        Run(command);
        ASSERT_EQ(g_standin.messageBoxes.size(), warned ? 1u : 0u) << command;
        if (warned) {
            EXPECT_EQ(g_standin.messageBoxes[0].text,
                      "싱크 태그(<SYNC Start=...>)가 없습니다. SAMI 파일이 맞습니까?");
            g_standin.messageBoxes.clear();
        }
    };
    WriteBytes(path, original);
    WriteBytes(second, other);
    TypeShift(dialog, path, {"0", "100000", "100", "0"});
    run(IDC_START_SYNC, true);
    // No time moved: nothing is written, so no backup replaces an older one.
    EXPECT_TRUE(SameBytes(ReadWholeFile(path), original));
    EXPECT_FALSE(FileExists(backup));

    TypeShift(dialog, path, {"0", "E", "100", "0"});
    run(IDC_START_SYNC, false);
    EXPECT_TRUE(SameBytes(ReadWholeFile(path), original));
    EXPECT_EQ(ListFolder(dir), (Names{"film.smi", "more.smi"}));

    TypeAppend(dialog, path, second, "0");
    run(IDC_START_APPEND, false);
    EXPECT_TRUE(SameBytes(ReadWholeFile(backup), original));
    // Without a body the whole file is head: it is kept, the cues follow it.
    const std::string merged = ReadWholeFile(path);
    EXPECT_GT(merged.size(), original.size());
    EXPECT_TRUE(SameBytes(merged.substr(0, original.size()), original));

    WriteBytes(path, original);
    TypeAppend(dialog, second, path, "0");
    run(IDC_START_APPEND, true);
    // Nor has it cues to give.
    EXPECT_EQ(ReadBytes(second), other);
    EXPECT_EQ(ReadBytes(second + ".bak"), other);
}

INSTANTIATE_TEST_SUITE_P(Inputs, DialogOddInput, ::testing::ValuesIn(OddInputs()), OddInputName);

// 100 MiB, far past the file buffer: a size limit half-way stops the write and
// the file is back whole; without it every time moves and the backup is the
// original. The two large files go even when a check fails.
TEST_F(DialogFaults, HundredMebibyteFile) {
    constexpr std::size_t kSize = 100 * 1048576;
    const std::string original = LargeSami(kSize, 0);
    WriteBytes(path, original);
    TypeShift(dialog, path, {"0", "E", "5", "0"});
    {
        FileSizeLimit limit(kSize / 2);
        Run(IDC_START_SYNC);
    }
    ExpectOneWarning(dialog, kCannotSave);
    EXPECT_TRUE(SameBytes(fileWhenShown, original));
    EXPECT_FALSE(FileExists(backup));

    Run(IDC_START_SYNC);
    EXPECT_TRUE(g_standin.messageBoxes.empty());
    EXPECT_TRUE(SameBytes(ReadWholeFile(path), LargeSami(kSize, 5)));
    EXPECT_TRUE(SameBytes(ReadWholeFile(backup), original));
    std::filesystem::remove(path);
    std::filesystem::remove(backup);
}

// --- What an edit in place keeps ---

// A run that fails half-way leaves the older backup byte for byte as it was;
// the next run that succeeds replaces it and leaves nothing else behind.
TEST_F(DialogFaults, OlderBackupIsKeptWhenTheRunFails) {
    std::string original = SamiWithTimes({1000, 2000, 3000});
    for (int line = 0; line < 1000; ++line) {
        original += "<!-- more than the limit -->\r\n";
    }
    const std::string older = std::string("an older backup\0 with a NUL byte", 32);
    WriteBytes(second, SamiWithTimes({500}));
    for (int command : {IDC_START_SYNC, IDC_START_APPEND}) {
        WriteBytes(path, original);
        WriteBytes(backup, older);
        TypeShift(dialog, path, {"0", "E", "100", "0"});
        TypeAppend(dialog, path, second, "0");
        {
            FileSizeLimit limit(4096);
            Run(command);
        }
        ExpectOneWarning(dialog, kCannotSave);
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_EQ(ReadBytes(backup), older);
        EXPECT_EQ(ListFolder(dir), (Names{"film.smi", "film.smi.bak", "more.smi"}));

        Run(command);
        EXPECT_TRUE(g_standin.messageBoxes.empty());
        EXPECT_EQ(ReadBytes(backup), original);
        EXPECT_EQ(ListFolder(dir), (Names{"film.smi", "film.smi.bak", "more.smi"}));
    }
}

// A shift whose range holds no cue, or whose times would leave 0 .. 2^31 - 1,
// moves nothing: it warns so, and the file and the older backup (often the
// user's original) stay as they were.
TEST_F(DialogFaults, OlderBackupIsKeptWhenNoTimeMoves) {
    const std::string original = SamiWithTimes({1000, 2000, 3000});
    const std::string older = SamiWithTimes({900, 1900, 2900});
    const ShiftFields requests[] = {{"5000", "9000", "100", "0"}, {"0", "E", "2147483647", "0"}};
    for (const auto& fields : requests) {
        WriteBytes(path, original);
        WriteBytes(backup, older);
        TypeShift(dialog, path, fields);
        Run(IDC_START_SYNC);
        ExpectOneWarning(dialog, "싱크 태그 3개 가운데 옮긴 시간이 없습니다.");
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_EQ(ReadBytes(backup), older);
        EXPECT_EQ(ListFolder(dir), (Names{"film.smi", "film.smi.bak"}));
    }
}

// film.smi is a link to real/film.smi, relative or absolute: the file itself is
// re-timed, its backup is made beside it, and the link still leads to it.
TEST_F(DialogFaults, FileNamedThroughALinkIsEditedWhereItLives) {
    const std::string original = SamiWithTimes({1000, 2000});
    const std::string real = dir + "/real/film.smi";
    std::filesystem::create_directory(dir + "/real");
    for (const std::string& text : {std::string("real/film.smi"), real}) {
        WriteBytes(real, original);
        std::filesystem::remove(path);
        std::filesystem::create_symlink(text, path);
        TypeShift(dialog, path, {"0", "E", "5", "0"});
        Run(IDC_START_SYNC);
        EXPECT_TRUE(g_standin.messageBoxes.empty()) << text;
        EXPECT_EQ(ReadBytes(real), SamiWithTimes({1005, 2005}));
        EXPECT_EQ(ReadBytes(real + ".bak"), original);
        EXPECT_EQ(std::filesystem::read_symlink(path).string(), text);
        EXPECT_EQ(ListFolder(dir + "/real"), (Names{"film.smi", "film.smi.bak"}));
        EXPECT_EQ(ListFolder(dir), (Names{"film.smi", "real"}));
    }
}

// The file's permission bits, kept by the POSIX code the native dialog edits
// through (Tembrel.exe keeps the Windows attributes the same way:
// wine.keeps_attributes): the new file gets them, the backup keeps them, a
// second run replaces the older backup, and a failed run leaves the file with
// them.
TEST_F(DialogFaults, PermissionBitsAreKept) {
    const std::string original = SamiWithTimes({1000});
    for (const mode_t mode : {mode_t{0644}, mode_t{0600}, mode_t{0640}, mode_t{0444}}) {
        std::filesystem::remove(backup);
        WriteBytes(path, original);
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        for (int run = 1; run <= 2; ++run) {
            TypeShift(dialog, path, {"0", "E", "5", "0"});
            Run(IDC_START_SYNC);
            EXPECT_TRUE(g_standin.messageBoxes.empty());
            EXPECT_EQ(ModeOf(path), mode) << run;
            EXPECT_EQ(ModeOf(backup), mode) << run;
        }
        EXPECT_EQ(ReadBytes(path), SamiWithTimes({1010}));
        EXPECT_EQ(ListFolder(dir), (Names{"film.smi", "film.smi.bak"}));
        {
            FileSizeLimit limit(16);
            Run(IDC_START_SYNC);
        }
        ExpectOneWarning(dialog, kCannotSave);
        EXPECT_EQ(ModeOf(path), mode);
        EXPECT_EQ(ReadBytes(path), SamiWithTimes({1010}));
    }
}

}  // namespace
