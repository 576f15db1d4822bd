// The dialog's commands over the stand-in layer: the runs with their backup
// protocol and warnings, the busy flag, the choosers and the unit labels.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include "dialog_ids.h"
#include "dialog_test_support.h"
#include "file_chooser.h"
#include "main_dialog.h"
#include "progress.h"
#include "test_files.h"

namespace {

const char kBadFile[] = "파일 이름이 잘못 되었습니다.";
const char kBadAppendFile[] = "Append할 파일 이름이 잘못 되었습니다.";
const char kCannotSave[] = "파일을 저장할 수 없습니다.";

struct ShiftFields {
    const char* start;
    const char* end;
    const char* shift;
    const char* stretch;
};

void TypeShift(HWND dialog, const std::string& path, const ShiftFields& f) {
    TypeIntoControl(dialog, IDC_FILE_NAME, path.c_str());
    TypeIntoControl(dialog, IDC_RANGE_START, f.start);
    TypeIntoControl(dialog, IDC_RANGE_END, f.end);
    TypeIntoControl(dialog, IDC_SHIFT, f.shift);
    TypeIntoControl(dialog, IDC_STRETCH, f.stretch);
}

void TypeAppend(HWND dialog, const std::string& path, const std::string& appendPath,
                const char* offset) {
    TypeIntoControl(dialog, IDC_FILE_NAME, path.c_str());
    TypeIntoControl(dialog, IDC_APPEND_FILE_NAME, appendPath.c_str());
    TypeIntoControl(dialog, IDC_APPEND_OFFSET, offset);
}

void ExpectOneWarning(HWND dialog, const char* text) {
    ASSERT_EQ(g_standin.messageBoxes.size(), 1u);
    const StandinMessageBox& box = g_standin.messageBoxes[0];
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, "Tembrel");
    EXPECT_EQ(box.type, MB_ICONWARNING);
    EXPECT_EQ(box.owner, dialog);
}

bool QuitWasPosted() {
    for (const MSG& message : g_standin.queue) {
        if (message.message == WM_QUIT) {
            return true;
        }
    }
    return false;
}

class MainDialog : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeScratchDir();
        path = dir + "/film.smi";
        backup = path + ".bak";
        dialog = OpenDialog();
    }
    std::string dir, path, backup;
    HWND dialog = nullptr;
};

TEST_F(MainDialog, StartsWithTheDefaultFieldsAndMsecSelected) {
    EXPECT_EQ(ControlText(dialog, IDC_RANGE_START), "0");
    EXPECT_EQ(ControlText(dialog, IDC_RANGE_END), "E");
    EXPECT_EQ(ControlText(dialog, IDC_SHIFT), "0");
    EXPECT_EQ(ControlText(dialog, IDC_STRETCH), "0");
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_UNIT_MSEC), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_UNIT_CLOCK), BST_UNCHECKED);
    EXPECT_EQ(g_busy, 0);
}

TEST_F(MainDialog, RequestsThatChangeNothingEndSilently) {
    const std::string original = SamiWithTimes({1000, 5000});
    const ShiftFields cases[] = {
        {"0", "E", "0", "0"},          // the defaults
        {"5000", "5000", "100", "0"},  // an empty range
        {"6000", "E", "100", "0"},     // a start beyond the last sync time
        {"0", "-5", "100", "0"},       // the comparison is signed
    };
    for (const ShiftFields& f : cases) {
        WriteBytes(path, original);
        TypeShift(dialog, path, f);
        ClickControl(dialog, IDC_START_SYNC);
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_FALSE(FileExists(backup));
        EXPECT_TRUE(g_standin.messageBoxes.empty());
        EXPECT_TRUE(g_standin.progressPositions.empty());
    }
}

TEST_F(MainDialog, MissingOrEmptyFileNameGivesMessageOneAndTouchesNothing) {
    for (const std::string& name : {std::string(), dir + "/missing.smi"}) {
        g_standin.messageBoxes.clear();
        TypeShift(dialog, name, {"0", "5000", "100", "0"});
        ClickControl(dialog, IDC_START_SYNC);
        ExpectOneWarning(dialog, kBadFile);
        EXPECT_TRUE(ListFolder(dir).empty());
        EXPECT_EQ(g_busy, 0);
    }
}

TEST_F(MainDialog, UnitButtonsRelabelAllFourUnitLabelsAndKeepTheFields) {
    TypeIntoControl(dialog, IDC_SHIFT, "1500");
    const struct {
        int button;
        const char* label;
    } cases[] = {{IDC_UNIT_CLOCK, "mm:ss.sss"}, {IDC_UNIT_MSEC, "msec"}};
    for (const auto& c : cases) {
        ClickControl(dialog, c.button);
        for (int id : {IDC_RANGE_UNIT, IDC_SHIFT_UNIT, IDC_STRETCH_UNIT, IDC_APPEND_UNIT}) {
            EXPECT_EQ(ControlText(dialog, id), c.label) << id;
        }
        EXPECT_EQ(ControlText(dialog, IDC_SHIFT), "1500");
    }
}

TEST_F(MainDialog, AppendChecksTheMainFileFirstThenTheAppendFile) {
    const std::string second = dir + "/more.smi";
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
        g_standin.messageBoxes.clear();
        TypeAppend(dialog, path, second, "0");
        ClickControl(dialog, IDC_START_APPEND);
        ExpectOneWarning(dialog, c.text);
        EXPECT_EQ(ListFolder(dir), before);
    }
}

TEST_F(MainDialog, AppendingAFileToItselfReadsItsContentFromTheBackup) {
    const std::string original = SamiWithTimes({1000});
    WriteBytes(path, original);
    TypeAppend(dialog, path, dir + "/./film.smi", "500");
    ClickControl(dialog, IDC_START_APPEND);
    EXPECT_TRUE(g_standin.messageBoxes.empty());
    EXPECT_EQ(ReadBytes(path),
              "<SAMI>\r\n<BODY>\r\n<SYNC Start=1000><P>cue\r\n"
              "<SYNC Start=1500><P>cue\r\n</BODY>\r\n</SAMI>\r\n");
    EXPECT_EQ(ReadBytes(backup), original);
}

TEST_F(MainDialog, BackupThatCannotBeMadeGivesMessageThreeAndNoRun) {
    const std::string original = SamiWithTimes({1000});
    const std::string second = dir + "/more.smi";
    WriteBytes(second, SamiWithTimes({500}));
    // A folder that is not empty can neither be removed nor replaced.
    std::filesystem::create_directories(backup);
    WriteBytes(backup + "/keep.txt", "keep");
    for (int command : {IDC_START_SYNC, IDC_START_APPEND}) {
        WriteBytes(path, original);
        g_standin.messageBoxes.clear();
        TypeShift(dialog, path, {"0", "E", "100", "0"});
        TypeAppend(dialog, path, second, "0");
        ClickControl(dialog, command);
        ExpectOneWarning(dialog, kCannotSave);
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_EQ(ReadBytes(backup + "/keep.txt"), "keep");
        EXPECT_TRUE(g_standin.progressPositions.empty());
    }
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

TEST_F(MainDialog, FailedRunPutsTheFileBackBeforeItsMessage) {
    std::string original = SamiWithTimes({1000, 2000, 3000});
    for (int line = 0; line < 1000; ++line) {
        original += "<!-- more than the limit -->\r\n";
    }
    const std::string second = dir + "/more.smi";
    WriteBytes(second, SamiWithTimes({500}));
    for (int command : {IDC_START_SYNC, IDC_START_APPEND}) {
        WriteBytes(path, original);
        g_standin.messageBoxes.clear();
        TypeShift(dialog, path, {"0", "E", "100", "0"});
        TypeAppend(dialog, path, second, "0");
        std::string pathWhenShown;
        g_standin.onMessageBox = [&] { pathWhenShown = ReadBytes(path); };
        {
            FileSizeLimit limit(4096);
            ClickControl(dialog, command);
        }
        ExpectOneWarning(dialog, kCannotSave);
        EXPECT_EQ(pathWhenShown, original);
        EXPECT_EQ(ReadBytes(path), original);
        EXPECT_FALSE(FileExists(backup));
    }
}

TEST_F(MainDialog, BusyFlagRefusesRunsAndCloseWhileAMessageBoxIsOpen) {
    TypeShift(dialog, dir + "/missing.smi", {"0", "5000", "100", "0"});
    TypeAppend(dialog, dir + "/missing.smi", dir + "/missing.smi", "0");
    int busyInside = -1;
    g_standin.onMessageBox = [&] {
        busyInside = g_busy;
        for (int id : {IDC_START_SYNC, IDC_START_APPEND, IDC_CLOSE}) {
            MainDialogProc(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
        }
    };
    ClickControl(dialog, IDC_START_SYNC);
    EXPECT_EQ(busyInside, 1);
    EXPECT_EQ(g_standin.messageBoxes.size(), 1u);
    EXPECT_FALSE(QuitWasPosted());
    EXPECT_EQ(g_busy, 0);
    ClickControl(dialog, IDC_CLOSE);
    EXPECT_TRUE(QuitWasPosted());
}

TEST_F(MainDialog, BusyFlagRefusesASecondRunFromInsideARun) {
    const std::string original = SamiWithTimes({1000, 2000, 3000});
    WriteBytes(path, original);
    TypeShift(dialog, path, {"0", "E", "100", "0"});
    g_standin.onProgress = [&](int) {
        MainDialogProc(dialog, WM_COMMAND, IDC_START_SYNC, 0);
        MainDialogProc(dialog, WM_COMMAND, IDC_CLOSE, 0);
    };
    ClickControl(dialog, IDC_START_SYNC);
    EXPECT_EQ(ReadBytes(backup), original);
    EXPECT_EQ(ReadBytes(path), SamiWithTimes({1100, 2100, 3100}));
    EXPECT_EQ(g_progressWindow, dialog);
    EXPECT_EQ(
        std::count(g_standin.progressPositions.begin(), g_standin.progressPositions.end(), 100), 1);
    EXPECT_FALSE(QuitWasPosted());
}

TEST_F(MainDialog, ChoosersFillTheirFieldResetTheirFieldsAndTheBar) {
    ClickControl(dialog, IDC_UNIT_CLOCK);
    for (int id : {IDC_RANGE_START, IDC_RANGE_END, IDC_SHIFT, IDC_STRETCH, IDC_APPEND_OFFSET}) {
        TypeIntoControl(dialog, id, "7");
    }
    g_standin.chooserAnswers = {{1, "/films/a.smi"}, {1, "/films/b.smi"}, {0, ""}};
    ClickControl(dialog, IDC_OPEN_APPEND_FILE);
    EXPECT_EQ(ControlText(dialog, IDC_APPEND_FILE_NAME), "/films/a.smi");
    EXPECT_EQ(ControlText(dialog, IDC_APPEND_OFFSET), "0");
    EXPECT_EQ(ControlText(dialog, IDC_SHIFT), "7");
    ClickControl(dialog, IDC_OPEN_FILE);
    EXPECT_EQ(ControlText(dialog, IDC_FILE_NAME), "/films/b.smi");
    EXPECT_EQ(ControlText(dialog, IDC_RANGE_START), "0");
    EXPECT_EQ(ControlText(dialog, IDC_RANGE_END), "E");
    EXPECT_EQ(ControlText(dialog, IDC_SHIFT), "0");
    EXPECT_EQ(ControlText(dialog, IDC_STRETCH), "0");
    EXPECT_EQ(g_standin.progressPositions, (std::vector<int>{0, 0}));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_UNIT_CLOCK), BST_CHECKED);
    EXPECT_STREQ(g_appendPath, "/films/a.smi");
    EXPECT_STREQ(g_mainPath, "/films/b.smi");
    // Cancelled: nothing changes, and a typed path does not become the selection.
    TypeIntoControl(dialog, IDC_FILE_NAME, "typed.smi");
    TypeIntoControl(dialog, IDC_SHIFT, "7");
    ClickControl(dialog, IDC_OPEN_FILE);
    EXPECT_EQ(ControlText(dialog, IDC_FILE_NAME), "typed.smi");
    EXPECT_EQ(ControlText(dialog, IDC_SHIFT), "7");
    EXPECT_EQ(g_standin.progressPositions.size(), 2u);
    ASSERT_EQ(g_standin.chooserCalls.size(), 3u);
    EXPECT_EQ(g_standin.chooserCalls[2].initialFile, "/films/b.smi");
}

TEST_F(MainDialog, ChooserRecordIsFilledOnEachUseAndKeepsWhatTheDialogWroteBack) {
    g_standin.chooserAnswers = {{1, "/films/a.smi"}, {0, ""}};
    ClickControl(dialog, IDC_OPEN_FILE);
    ClickControl(dialog, IDC_OPEN_APPEND_FILE);
    ASSERT_EQ(g_standin.chooserCalls.size(), 2u);
    const OPENFILENAMEA& first = g_standin.chooserCalls[0].record;
    EXPECT_EQ(first.lStructSize, OPENFILENAME_SIZE_VERSION_400A);
    EXPECT_EQ(first.hwndOwner, dialog);
    EXPECT_EQ(g_standin.chooserCalls[0].filter,
              std::string("smi file (*.smi)\0*.smi\0All files (*.*)\0*.*\0\0", 44));
    EXPECT_EQ(first.lpstrFile, g_mainPath);
    EXPECT_EQ(first.nMaxFile, 260u);
    EXPECT_EQ(first.Flags, 0x1004u);
    EXPECT_STREQ(first.lpstrDefExt, "smi");
    EXPECT_EQ(first.nFilterIndex, 0u);
    EXPECT_EQ(first.lpstrInitialDir, nullptr);
    EXPECT_EQ(first.lpstrTitle, nullptr);
    EXPECT_EQ(first.hInstance, nullptr);
    const OPENFILENAMEA& second = g_standin.chooserCalls[1].record;
    EXPECT_EQ(second.lpstrFile, g_appendPath);
    EXPECT_EQ(second.nFilterIndex, 2u);
}

}  // namespace
