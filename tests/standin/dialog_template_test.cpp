// The stand-in builds a dialog from the template of the module it is handed:
// each statement's class, text, id, styles and place, the template's caption,
// class and font; a template it cannot read in full gives no dialog at all; an
// auto radio button unchecks the others of its group only.
#include <gtest/gtest.h>

#include <string>

#include "win32_standin.h"

namespace {

LRESULT CALLBACK IgnoreMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClassNamed(const wchar_t* name) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = IgnoreMessage;
    windowClass.lpszClassName = name;
    ASSERT_NE(RegisterClassExW(&windowClass), 0);
}

BOOL CALLBACK CountWindow(HWND /*window*/, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

HWND CreateFromScript(const std::string& script, int id) {
    static StandinInstance module;
    module.resourceScript = script.c_str();
    return CreateDialogParamW(&module, MAKEINTRESOURCEW(id), nullptr, nullptr, 0);
}

// As the preprocessor leaves a script: other resources around the dialog, a
// pragma, names turned into numbers.
const std::string kScript = R"(#pragma code_page(65001)
LANGUAGE LANG_KOREAN, SUBLANG_KOREAN
101 ICON "a.ico"
7 DIALOG 10, 20, 200, 100
STYLE 0x80000000L | 0x40L
CAPTION "Test ""7"""
CLASS "Probe"
FONT 9, "굴림"
BEGIN
    LTEXT "이름", -1, 5, 5, 35, 10, 0x0200L
    EDITTEXT 1000, 45, 5, 105, 12, 0x0080L
    PUSHBUTTON "Go", 1001, 155, 5, 40, 12
    CONTROL "Bar", 1002, "msctls_progress32", 0x00800000L | 0x01, 45, 20, 150, 10
    CONTROL 103, 1003, "Static", 0x000EL, 5, 30, 30, 15, 0x200
    LTEXT "unit", 1009, 5, 50, 20, 10
    AUTORADIOBUTTON "a", 1010, 30, 50, 20, 10
    AUTORADIOBUTTON "b", 1011, 55, 50, 20, 10
    LTEXT "other", 1012, 5, 65, 20, 10
    AUTORADIOBUTTON "c", 1013, 30, 65, 20, 10
END
1 VERSIONINFO
BEGIN
    BLOCK "StringFileInfo"
    BEGIN
        VALUE "FileVersion", "1"
    END
END
)";

TEST(StandinTemplate, ControlsAreTheTemplatesStatements) {
    ResetStandin();
    RegisterClassNamed(L"probe");
    HWND dialog = CreateFromScript(kScript, 7);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(g_standin.dialog, dialog);
    wchar_t caption[16] = {};
    GetWindowTextW(dialog, caption, 16);
    EXPECT_STREQ(caption, L"Test \"7\"");

    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    const struct {
        int id;
        const char* className;
        const char* text;
        DWORD style;
        RECT rect;
    } expected[] = {
        {1000, "Edit", "", kChild | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, {45, 5, 150, 17}},
        {1001, "Button", "Go", kChild | WS_TABSTOP, {155, 5, 195, 17}},
        {1002, "msctls_progress32", "Bar", kChild | WS_BORDER | 0x01, {45, 20, 195, 30}},
        {1003, "Static", "", kChild | SS_BITMAP, {5, 30, 35, 45}},
        {1009, "Static", "unit", kChild | WS_GROUP, {5, 50, 25, 60}},
        {1010, "Button", "a", kChild | BS_AUTORADIOBUTTON, {30, 50, 50, 60}},
    };
    for (const auto& control : expected) {
        HWND window = GetDlgItem(dialog, control.id);
        ASSERT_NE(window, nullptr) << control.id;
        EXPECT_EQ(ControlText(dialog, control.id), control.text) << control.id;
        EXPECT_EQ(ControlClassName(dialog, control.id), control.className) << control.id;
        EXPECT_EQ(ControlStyle(dialog, control.id), control.style) << control.id;
        RECT rect;
        ASSERT_TRUE(GetWindowRect(window, &rect));
        EXPECT_EQ(rect.left - kStandinDialogOrigin, control.rect.left) << control.id;
        EXPECT_EQ(rect.top - kStandinDialogOrigin, control.rect.top) << control.id;
        EXPECT_EQ(rect.right - kStandinDialogOrigin, control.rect.right) << control.id;
        EXPECT_EQ(rect.bottom - kStandinDialogOrigin, control.rect.bottom) << control.id;
        LOGFONTW font = {};
        ASSERT_EQ(GetObjectW(reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)),
                             sizeof font, &font),
                  static_cast<int>(sizeof font));
        EXPECT_EQ(font.lfHeight, -12) << control.id;  // 9 points at 96 pixels per inch
        EXPECT_STREQ(font.lfFaceName, L"굴림") << control.id;
    }
    // The label without an id is a control too.
    int children = 0;
    EnumChildWindows(dialog, CountWindow, reinterpret_cast<LPARAM>(&children));
    EXPECT_EQ(children, 10);
}

TEST(StandinTemplate, AnAutoRadioButtonUnchecksItsGroupOnly) {
    ResetStandin();
    RegisterClassNamed(L"Probe");
    HWND dialog = CreateFromScript(kScript, 7);
    ASSERT_NE(dialog, nullptr);
    ClickControl(dialog, 1013);
    ClickControl(dialog, 1010);
    ClickControl(dialog, 1011);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1010), BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1011), BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(dialog, 1013), BST_CHECKED);
}

// Whatever the stand-in cannot read in full gives no dialog, never one with
// part of its template.
TEST(StandinTemplate, ATemplateNotReadInFullGivesNoDialog) {
    const std::string body = "7 DIALOG 0, 0, 100, 50\nCLASS \"Probe\"\nBEGIN\n";
    const struct {
        std::string script;
        int id;
        const char* why;
    } cases[] = {
        {body + "    LTEXT \"a\", 1, 0, 0, 10, 10\nEND\n", 8, "no dialog of that number"},
        {body + "    CHECKBOX \"a\", 1, 0, 0, 10, 10\nEND\n", 7, "a statement it does not know"},
        {body + "    LTEXT \"a\", 1, 0, 0, 10\nEND\n", 7, "a size cut short"},
        {body + "    LTEXT \"a\", 1, 0, 0, 10, 10, SS_NOTIFY\nEND\n", 7, "a name left"},
        {body + "    LTEXT \"a, 1, 0, 0, 10, 10\nEND\n", 7, "a string without its end"},
        {body + "    LTEXT \"a\", 1, 0, 0, 10, 10\n", 7, "no END"},
        {"7 DIALOG 0, 0, 100, 50\nMENU 5\nCLASS \"Probe\"\nBEGIN\nEND\n", 7, "MENU"},
        {"7 DIALOG 0, 0, 100, 50\nCLASS \"Other\"\nBEGIN\nEND\n", 7, "a class not registered"},
    };
    for (const auto& c : cases) {
        ResetStandin();
        RegisterClassNamed(L"Probe");
        EXPECT_EQ(CreateFromScript(c.script, c.id), nullptr) << c.why;
        EXPECT_EQ(g_standin.dialog, nullptr) << c.why;
    }
    ResetStandin();
    RegisterClassNamed(L"Probe");
    EXPECT_NE(CreateFromScript(body + "END\n", 7), nullptr);
    EXPECT_EQ(CreateDialogParamW(nullptr, MAKEINTRESOURCEW(7), nullptr, nullptr, 0), nullptr);
}

}  // namespace
