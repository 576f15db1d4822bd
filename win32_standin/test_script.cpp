// The test's side of the stand-in: the reset between tests and the user's
// actions, as a test scripts them.
#include "standin_internal.h"

StandinState g_standin;

void ResetStandin() {
    ForgetStandinWindows();
    ForgetStandinShell();
    g_standin = StandinState{};
    g_standin.commandLine = "Tembrel.exe";
    // As a Korean Windows lists them.
    g_standin.fontFaces = {{"System", 0},
                           {"Arial", 0},
                           {"@맑은 고딕", HANGUL_CHARSET},
                           {"맑은 고딕", HANGUL_CHARSET},
                           {"굴림", HANGUL_CHARSET}};
}

POINT ControlCentre(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return POINT{(control->rect.left + control->rect.right) / 2,
                 (control->rect.top + control->rect.bottom) / 2};
}

void ClickControl(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void TypeIntoControl(HWND dialog, int id, const char* text) {
    SetWindowTextA(GetDlgItem(dialog, id), text);
}

std::string ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control == nullptr ? std::string() : control->text;
}

std::string ControlClassName(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control == nullptr ? std::string() : control->className;
}

DWORD ControlStyle(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    return control == nullptr ? 0 : control->style;
}
