// Start-up: the window class, the progress bar class, the dialog, the message
// loop and its exit codes, and what happens when the dialog cannot be opened.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialog_ids.h"
#include "dialog_program.h"
#include "dialog_test_support.h"
#include "main_dialog.h"

namespace {

TEST(DialogProgram, RegistersClassTembrelForMainDialogProc) {
    OpenDialog();
    ASSERT_TRUE(g_standin.classRegistered);
    const WNDCLASSEXW& c = g_standin.registeredClass;
    EXPECT_EQ(c.cbSize, sizeof(WNDCLASSEXW));
    EXPECT_EQ(c.style, 3u);
    EXPECT_EQ(c.lpfnWndProc, MainDialogProc);
    EXPECT_EQ(c.cbClsExtra, 0);
    EXPECT_EQ(c.cbWndExtra, 30);
    EXPECT_EQ(c.hIcon, LoadIconA(nullptr, MAKEINTRESOURCEA(IDI_TEMBREL)));
    EXPECT_EQ(c.hIconSm, c.hIcon);
    EXPECT_EQ(c.hCursor, LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
    EXPECT_EQ(reinterpret_cast<std::intptr_t>(c.hbrBackground), 16);
    EXPECT_EQ(c.lpszMenuName, nullptr);
    EXPECT_STREQ(c.lpszClassName, L"Tembrel");
    EXPECT_EQ(g_standin.commonControlClasses & ICC_PROGRESS_CLASS, ICC_PROGRESS_CLASS);
    EXPECT_NE(g_standin.dialog, nullptr);
}

std::wstring FaceOf(HWND control) {
    const auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    LOGFONTW log = {};
    return GetObjectW(font, sizeof log, &log) == static_cast<int>(sizeof log) ? log.lfFaceName
                                                                              : L"<no font>";
}

// Every control gets the template's size with the Korean character set, in a
// face named from those installed, so that the font mapper never picks one
// without Hangul or Latin letters.
TEST(DialogProgram, ControlsGetTheTemplateSizeInAFaceWithHangul) {
    HWND dialog = OpenDialog();
    int controls = 0;
    for (int id = IDC_FILE_NAME; id <= IDC_APPEND_UNIT; ++id) {
        const auto font =
            reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(dialog, id), WM_GETFONT, 0, 0));
        LOGFONTW log = {};
        ASSERT_EQ(GetObjectW(font, sizeof log, &log), static_cast<int>(sizeof log)) << id;
        EXPECT_EQ(log.lfCharSet, HANGUL_CHARSET) << id;
        EXPECT_EQ(log.lfHeight, -13) << id;
        EXPECT_EQ(log.lfWeight, FW_NORMAL) << id;
        EXPECT_STREQ(log.lfFaceName, L"맑은 고딕") << id;
        ++controls;
    }
    EXPECT_EQ(controls, 19);
    EXPECT_EQ(g_standin.openDeviceContexts, 0);
}

TEST(DialogProgram, FaceIsTheFirstInstalledOfTheKoreanFacesThenAnyWithHangul) {
    const BYTE hangul = HANGUL_CHARSET;
    const struct {
        std::vector<StandinFontFace> installed;
        const wchar_t* chosen;
    } cases[] = {
        {{{"Arial", 0}, {"Gulim", hangul}, {"Malgun Gothic", hangul}}, L"Malgun Gothic"},
        {{{"@Malgun Gothic", hangul}, {"Dotum", hangul}}, L"Dotum"},
        {{{"NanumGothic", hangul}, {"굴림", hangul}}, L"굴림"},
        {{{"Malgun Gothic", 0}, {"나눔고딕", hangul}}, L"나눔고딕"},  // Latin only
        {{{"Arial", 0}, {"UnDotum", hangul}, {"Baekmuk", hangul}}, L"UnDotum"},
        {{{"Arial", 0}, {"@UnDotum", hangul}}, L""},  // the mapper's choice is left
        {{}, L""},
    };
    for (const auto& c : cases) {
        ResetStandin();
        g_standin.fontFaces = c.installed;
        RunDialogProgram(StandinProgramInstance(), SW_SHOWNORMAL);
        ASSERT_NE(g_standin.dialog, nullptr);
        for (int id : {IDC_FILE_NAME, IDC_START_SYNC, IDC_APPEND_UNIT}) {
            EXPECT_EQ(FaceOf(GetDlgItem(g_standin.dialog, id)), c.chosen) << id;
        }
    }
}

TEST(DialogProgram, EndsWithExitCodeZeroFromCloseOrTheSystemMenu) {
    for (UINT message : {BM_CLICK, WM_CLOSE}) {
        ResetStandin();
        g_standin.onIdle = [message] {
            HWND target =
                message == BM_CLICK ? GetDlgItem(g_standin.dialog, IDC_CLOSE) : g_standin.dialog;
            PostMessageA(target, message, 0, 0);
        };
        EXPECT_EQ(RunDialogProgram(StandinProgramInstance(), SW_SHOWNORMAL), 0) << message;
        EXPECT_TRUE(g_standin.messageBoxes.empty());
    }
}

TEST(DialogProgram, FailedStartShowsAMessageAndEndsWithExitCodeOne) {
    const struct {
        int commonControls;
        int classRegistration;
        int dialogCreation;
    } cases[] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (const auto& c : cases) {
        ResetStandin();
        g_standin.failCommonControls = c.commonControls;
        g_standin.failClassRegistration = c.classRegistration;
        g_standin.failDialogCreation = c.dialogCreation;
        EXPECT_EQ(RunDialogProgram(StandinProgramInstance(), SW_SHOWNORMAL), 1);
        ASSERT_EQ(g_standin.messageBoxes.size(), 1u);
        EXPECT_EQ(g_standin.messageBoxes[0].text, "Tembrel 창을 열 수 없습니다.");
        EXPECT_EQ(g_standin.messageBoxes[0].owner, nullptr);
        EXPECT_EQ(g_standin.dialog, nullptr);
    }
}

}  // namespace

namespace {

// The reference group's controls with their fixed ids, below the append group.
TEST(DialogProgram, ReferenceGroupHasItsControlsBelowTheOthers) {
    HWND dialog = OpenDialog();
    const struct {
        int id;
        const char* text;
    } controls[] = {{IDC_REFERENCE_FILE_NAME, ""},
                    {IDC_OPEN_REFERENCE_FILE, "파일열기"},
                    {IDC_ALIGN, "자동맞춤"},
                    {IDC_UNDO, "되돌리기"}};
    RECT append = {};
    ASSERT_TRUE(GetWindowRect(GetDlgItem(dialog, IDC_START_APPEND), &append));
    for (const auto& c : controls) {
        ASSERT_NE(GetDlgItem(dialog, c.id), nullptr) << c.id;
        EXPECT_EQ(ControlText(dialog, c.id), c.text) << c.id;
        RECT rect = {};
        ASSERT_TRUE(GetWindowRect(GetDlgItem(dialog, c.id), &rect));
        EXPECT_GT(rect.top, append.bottom) << c.id;
    }
    EXPECT_EQ(IDC_REFERENCE_FILE_NAME, 1020);
    EXPECT_EQ(IDC_OPEN_REFERENCE_FILE, 1021);
    EXPECT_EQ(IDC_ALIGN, 1022);
    EXPECT_EQ(IDC_UNDO, 1023);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_UNDO)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_ALIGN)));
}

}  // namespace
