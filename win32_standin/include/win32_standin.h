// What a test sees of the Win32 stand-in and how it scripts it: the program's
// module, the dialog in memory with its template's controls, the
// posted-message queue, every message box and progress position, the file
// chooser's and the message boxes' answers, the installed fonts and the
// command line.
#pragma once

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// A module as the stand-in knows it: its resources are a resource script,
// preprocessed as the resource compiler reads it. CreateDialogParamW builds a
// dialog from the template of that number in it.
struct StandinInstance {
    const char* resourceScript;
};

// The program's own module, what Windows hands to WinMain. It is defined where
// the build links the program's resource script in, with
// standin_compile_resources() (win32_standin/CMakeLists.txt).
HINSTANCE StandinProgramInstance();

struct StandinMessageBox {
    HWND owner;
    std::string text;  // UTF-8
    std::string caption;
    UINT type;
};

struct StandinChooserCall {
    OPENFILENAMEW record;     // as the program passed it
    std::string filter;       // the filter list up to its closing double NUL, UTF-8
    std::string initialFile;  // what lpstrFile held, UTF-8
};

struct StandinChooserAnswer {
    int confirm;       // 0: the user cancels
    std::string path;  // the chosen file
};

struct StandinFontFace {
    std::string face;  // UTF-8
    BYTE charSet;
};

struct StandinState {
    // scripted by the test
    int failCommonControls;
    int failClassRegistration;
    int failDialogCreation;
    std::deque<StandinChooserAnswer> chooserAnswers;
    std::function<void()> onMessageBox;   // runs while a message box is open
    std::deque<int> messageBoxAnswers;    // the buttons pressed, in turn (IDYES, IDNO...)
    std::function<void(int)> onProgress;  // runs for every PBM_SETPOS
    std::function<void()> onIdle;         // runs when the loop finds the queue empty
    std::function<void(int)> onReadText;  // runs before GetWindowTextA reads a control, with its id
    std::string commandLine;              // what GetCommandLineW returns, UTF-8
    std::vector<StandinFontFace> fontFaces;  // the installed faces, as the system lists them
    // recorded
    DWORD commonControlClasses;
    int classRegistered;
    WNDCLASSEXW registeredClass;
    int acceptsFiles;        // DragAcceptFiles was called for the dialog
    int openDrops;           // drops not yet released with DragFinish
    int openArgumentLists;   // CommandLineToArgvW lists not yet released with LocalFree
    int openDeviceContexts;  // GetDC without ReleaseDC
    HWND dialog;
    std::vector<StandinMessageBox> messageBoxes;
    std::vector<int> progressPositions;
    std::vector<StandinChooserCall> chooserCalls;
    std::deque<MSG> queue;
};

extern StandinState g_standin;

// Forgets every window, class, script and record.
void ResetStandin();
// Clicks a control as BM_CLICK does: a radio button is checked, then the
// dialog hears WM_COMMAND with BN_CLICKED.
void ClickControl(HWND dialog, int id);
void TypeIntoControl(HWND dialog, int id, const char* text);
std::string ControlText(HWND dialog, int id);
// A control's class as its template named it, and its styles.
std::string ControlClassName(HWND dialog, int id);
DWORD ControlStyle(HWND dialog, int id);
// Drops files (UTF-8 names) at a point of the dialog's client area, as the
// shell does: WM_DROPFILES with a drop handle that the dialog must release.
void DropFiles(HWND dialog, const std::vector<std::string>& files, POINT point);
// The centre of a control in the dialog's client area.
POINT ControlCentre(HWND dialog, int id);
inline constexpr LONG kStandinDialogOrigin = 100;
