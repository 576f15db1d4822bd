// The dialog's commands over the stand-in layer: the runs that succeed or have
// nothing to do, the busy flag, the choosers and the unit labels. The failures
// of the runs are tested with the others in tests/faults.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "dialog_ids.h"
#include "dialog_test_support.h"
#include "file_chooser.h"
#include "main_dialog.h"
#include "test_files.h"

namespace {

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

TEST_F(MainDialog, UnitButtonsRelabelAllFourUnitLabelsAndConvertTheFields) {
    TypeIntoControl(dialog, IDC_SHIFT, "1500");
    const struct {
        int button;
        const char* label;
        const char* shift;
    } cases[] = {{IDC_UNIT_CLOCK, "mm:ss.sss", "0:01.500"}, {IDC_UNIT_MSEC, "msec", "1500"}};
    for (const auto& c : cases) {
        ClickControl(dialog, c.button);
        for (int id : {IDC_RANGE_UNIT, IDC_SHIFT_UNIT, IDC_STRETCH_UNIT, IDC_APPEND_UNIT}) {
            EXPECT_EQ(ControlText(dialog, id), c.label) << id;
        }
        EXPECT_EQ(ControlText(dialog, IDC_SHIFT), c.shift);
    }
}

// A field that is no time in the unit: one warning that names it and the
// forms it takes, and nothing is moved or written.
TEST_F(MainDialog, FieldThatDoesNotReadIsNamedAndNothingRuns) {
    const std::string original = SamiWithTimes({1000, 5000});
    const std::string msecForms = "단위가 msec일 때는 밀리초를 정수로 적습니다. 예: 1500, -250";
    const std::string clockForms =
        "단위가 mm:ss.sss일 때는 분:초.밀리초로 적습니다. 예: 0:01.500, -1:30.5, 90.5";
    const struct {
        int unit;
        int command;
        int field;
        const char* text;
        std::string warning;
    } cases[] = {
        {IDC_UNIT_MSEC, IDC_START_SYNC, IDC_SHIFT, "1.5",
         "\"Shift 시간\" 칸의 시간을 읽을 수 없습니다.\n" + msecForms},
        {IDC_UNIT_MSEC, IDC_START_SYNC, IDC_RANGE_START, "12abc",
         "\"설정구간 시작\" 칸의 시간을 읽을 수 없습니다.\n" + msecForms},
        {IDC_UNIT_CLOCK, IDC_START_SYNC, IDC_RANGE_END, "End",
         "\"설정구간 끝\" 칸의 시간을 읽을 수 없습니다.\n" + clockForms +
             "\n파일의 마지막 싱크 시간까지는 E로 적습니다."},
        {IDC_UNIT_CLOCK, IDC_START_SYNC, IDC_STRETCH, "1:75",
         "\"가감시간\" 칸의 시간을 읽을 수 없습니다.\n" + clockForms},
        {IDC_UNIT_MSEC, IDC_START_APPEND, IDC_APPEND_OFFSET, "",
         "\"추가시간\" 칸의 시간을 읽을 수 없습니다.\n" + msecForms},
    };
    const std::string more = dir + "/more.smi";
    WriteBytes(more, SamiWithTimes({500}));
    for (const auto& c : cases) {
        WriteBytes(path, original);
        ClickControl(dialog, c.unit);
        TypeShift(dialog, path, {"0", "E", "100", "0"});
        TypeAppend(dialog, path, more, "0");
        TypeIntoControl(dialog, c.field, c.text);
        g_standin.messageBoxes.clear();
        ClickControl(dialog, c.command);
        ExpectOneWarning(dialog, c.warning.c_str());
        EXPECT_EQ(ReadBytes(path), original) << c.text;
        EXPECT_FALSE(FileExists(backup)) << c.text;
        EXPECT_TRUE(g_standin.progressPositions.empty()) << c.text;
        EXPECT_EQ(ControlText(dialog, c.field), c.text);
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
    EXPECT_STREQ(g_appendPath, L"/films/a.smi");
    EXPECT_STREQ(g_mainPath, L"/films/b.smi");
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
    const OPENFILENAMEW& first = g_standin.chooserCalls[0].record;
    EXPECT_EQ(first.lStructSize, OPENFILENAME_SIZE_VERSION_400W);
    EXPECT_EQ(first.hwndOwner, dialog);
    EXPECT_EQ(g_standin.chooserCalls[0].filter,
              std::string("smi file (*.smi)\0*.smi\0All files (*.*)\0*.*\0\0", 44));
    EXPECT_EQ(first.lpstrFile, g_mainPath);
    EXPECT_EQ(first.nMaxFile, static_cast<DWORD>(kPathChars));
    EXPECT_EQ(first.Flags, 0x1004u);
    EXPECT_STREQ(first.lpstrDefExt, L"smi");
    EXPECT_EQ(first.nFilterIndex, 0u);
    EXPECT_EQ(first.lpstrInitialDir, nullptr);
    EXPECT_EQ(first.lpstrTitle, nullptr);
    EXPECT_EQ(first.hInstance, nullptr);
    const OPENFILENAMEW& second = g_standin.chooserCalls[1].record;
    EXPECT_EQ(second.lpstrFile, g_appendPath);
    EXPECT_EQ(second.nFilterIndex, 2u);
}

}  // namespace

namespace {

// UTF-16 LE behind its byte order mark.
std::string Utf16Le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// A UTF-16 file with Korean text is re-timed like a byte file, with E read in
// it too; a run that leaves tags unread or moves nothing says so; an append of
// two encodings is refused before anything is moved.
TEST_F(MainDialog, ReadsUtf16AndWarnsOfWhatItLeft) {
    const std::u16string head = u"<SAMI>\r\n<BODY>\r\n";
    WriteBytes(path, Utf16Le(head + u"<SYNC Start=1000><P>\uB300\uC0AC\r\n<SYNC Start=\"2000\">"
                                    u"<P>\uD558\uB098\r\n<SYNC Start=3000>\r\n"));
    TypeShift(dialog, path, {"0", "E", "500", "0"});
    ClickControl(dialog, IDC_START_SYNC);
    EXPECT_EQ(ReadBytes(path),
              Utf16Le(head + u"<SYNC Start=1500><P>\uB300\uC0AC\r\n<SYNC Start=\"2000\">"
                             u"<P>\uD558\uB098\r\n<SYNC Start=3500>\r\n"));
    ExpectOneWarning(dialog, "시간을 읽을 수 없는 싱크 태그 1개는 그대로 두었습니다.");

    g_standin.messageBoxes.clear();
    TypeShift(dialog, path, {"9000", "10000", "500", "0"});
    ClickControl(dialog, IDC_START_SYNC);
    ExpectOneWarning(dialog,
                     "싱크 태그 3개 가운데 옮긴 시간이 없습니다.\n"
                     "시간을 읽을 수 없는 싱크 태그 1개는 그대로 두었습니다.");

    g_standin.messageBoxes.clear();
    const std::string appended = dir + "/more.smi";
    WriteBytes(appended, SamiWithTimes({500}));
    const std::string before = ReadBytes(path);
    const std::vector<std::string> folder = ListFolder(dir);
    TypeAppend(dialog, path, appended, "0");
    ClickControl(dialog, IDC_START_APPEND);
    ExpectOneWarning(dialog, "두 파일의 인코딩이 달라서 붙일 수 없습니다.");
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(ListFolder(dir), folder);
}

}  // namespace

namespace {

// Undo swaps the file with its backup; a second press redoes; without a
// backup it says so and touches nothing.
TEST_F(MainDialog, UndoSwapsTheFileWithItsBackupAndRedoes) {
    const std::string original = SamiWithTimes({1000, 2000});
    WriteBytes(path, original);
    TypeShift(dialog, path, {"0", "E", "100", "0"});
    ClickControl(dialog, IDC_START_SYNC);
    const std::string shifted = SamiWithTimes({1100, 2100});
    ASSERT_EQ(ReadBytes(path), shifted);
    for (int press = 1; press <= 3; ++press) {
        ClickControl(dialog, IDC_UNDO);
        EXPECT_EQ(ReadBytes(path), press % 2 ? original : shifted) << press;
        EXPECT_EQ(ReadBytes(backup), press % 2 ? shifted : original) << press;
    }
    EXPECT_TRUE(g_standin.messageBoxes.empty());
    std::filesystem::remove(backup);
    const std::string before = ReadBytes(path);
    ClickControl(dialog, IDC_UNDO);
    ExpectOneWarning(dialog, "되돌릴 백업 파일(.bak)이 없습니다.");
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(ListFolder(dir), std::vector<std::string>{"film.smi"});
}

}  // namespace

namespace {

// E is guessed from the file's tail (the Wine scenario largest_first runs a
// film whose largest time comes first): a range that the guess leaves empty is
// decided by the E looked up, here one that moves the first time alone.
TEST_F(MainDialog, RangeEmptyByTheGuessedEndIsDecidedByTheLookup) {
    std::vector<int> times = {900000};
    for (int k = 0; k < 3000; ++k) {
        times.push_back(1000 + 100 * k);
    }
    WriteBytes(path, SamiWithTimes(times));
    TypeShift(dialog, path, {"400000", "E", "10", "0"});
    ClickControl(dialog, IDC_START_SYNC);
    times[0] += 10;
    EXPECT_EQ(ReadBytes(path), SamiWithTimes(times));
    EXPECT_EQ(ListFolder(dir), (std::vector<std::string>{"film.smi", "film.smi.bak"}));
    EXPECT_TRUE(g_standin.messageBoxes.empty());
}

}  // namespace
