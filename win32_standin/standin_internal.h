// What the parts of the Win32 stand-in share: the objects behind the handles,
// the windows that live until the next reset, the dialog templates read from a
// module's resource script, and the UTF-8/UTF-16 conversions of texts.
#pragma once

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "win32_standin.h"

struct StandinWindow {
    int id;  // the control id; 0 for the dialog
    std::string className;
    std::string text;
    DWORD style;
    UINT checked;
    int position;  // of a progress bar
    int visible;
    int enabled;
    RECT rect;  // in the parent's client area
    HFONT font;
    WNDPROC procedure;
    StandinWindow* parent;
};

struct StandinFont {
    LOGFONTW log;
};

struct StandinDeviceContext {
    HWND window;
};

struct StandinDrop {
    std::vector<std::wstring> files;
    POINT point;
    int finished;
};

// A control of a dialog template; its rectangle in dialog units.
struct StandinControlTemplate {
    std::string className;
    std::string text;  // UTF-8, as the script has it
    int id;
    DWORD style;  // with WS_CHILD, WS_VISIBLE and the statement's own styles
    RECT rect;
};

struct StandinDialogTemplate {
    RECT rect;
    DWORD style;
    std::string caption;
    std::string className;
    int fontPoints;
    std::string fontFace;
    std::vector<StandinControlTemplate> controls;  // in the script's order
};

// 1 with dialog `id` of a preprocessed resource script, else 0: no such
// dialog, or one with a statement the stand-in does not know.
int ReadDialogTemplate(const char* script, int id, StandinDialogTemplate* dialog);

// Windows live until the next reset, so handles stay valid within a test.
extern std::vector<std::unique_ptr<StandinWindow>> g_standinWindows;

HWND NewStandinWindow(int id, const std::string& className, const std::string& text, HWND parent);
// Sends a message to a control as the system's control classes handle it.
LRESULT ControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);
// Forgets every window, and the drops and argument lists of the shell.
void ForgetStandinWindows();
void ForgetStandinShell();

std::string WideToUtf8(LPCWSTR wide);
std::wstring Utf8ToWide(const std::string& text);
// Decodes one UTF-8 sequence at text[*at]; an invalid byte stands for itself.
std::uint32_t DecodeUtf8(const unsigned char* text, std::size_t length, std::size_t* at);
