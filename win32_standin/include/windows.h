// The stand-in for <windows.h> where Windows is absent: the types, constants
// and functions of the window manager, the shell and the text conversions that
// the dialog calls, with Win32's names so that its sources compile unchanged
// against either. A test drives it through win32_standin.h. A resource script
// reads the style numbers alone (RC_INVOKED, as the resource compiler defines
// it). Files are not stood in: the dialog's native build edits them through
// the POSIX code of files/, as tembrel-cli does.
#pragma once

// --- Styles, for resource scripts too ---

#define WS_POPUP 0x80000000L
#define WS_CHILD 0x40000000L
#define WS_VISIBLE 0x10000000L
#define WS_CAPTION 0x00C00000L
#define WS_BORDER 0x00800000L
#define WS_SYSMENU 0x00080000L
#define WS_GROUP 0x00020000L
#define WS_TABSTOP 0x00010000L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define SS_LEFT 0x0000L
#define SS_BITMAP 0x000EL
#define SS_ETCHEDHORZ 0x0010L
#define SS_NOTIFY 0x0100L
#define SS_CENTERIMAGE 0x0200L
#define SS_SUNKEN 0x1000L
#define ES_LEFT 0x0000L
#define ES_AUTOHSCROLL 0x0080L
#define BS_PUSHBUTTON 0x0000L
#define BS_AUTORADIOBUTTON 0x0009L
#define BS_TYPEMASK 0x000FL

#ifndef RC_INVOKED

#include <cstddef>
#include <cstdint>

// --- Types ---

using BOOL = int;
using UINT = unsigned int;
using LONG = std::int32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using ATOM = WORD;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using INT_PTR = std::intptr_t;
using CHAR = char;
using LPSTR = char*;
using LPCSTR = const char*;
using WCHAR = wchar_t;
using LPWSTR = WCHAR*;
using LPCWSTR = const WCHAR*;
using HLOCAL = void*;

struct StandinWindow;
struct StandinInstance;
struct StandinIcon;
struct StandinBrush;
struct StandinMenu;
struct StandinFont;
struct StandinDeviceContext;
using HWND = StandinWindow*;
using HINSTANCE = StandinInstance*;
using HICON = StandinIcon*;
using HCURSOR = StandinIcon*;
using HBRUSH = StandinBrush*;
using HMENU = StandinMenu*;
using HFONT = StandinFont*;
using HDC = StandinDeviceContext*;
using BYTE = std::uint8_t;

#define CALLBACK
#define WINAPI
#define TRUE 1
#define FALSE 0

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);

struct LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[32];
};

inline constexpr int LF_FACESIZE = 32;
inline constexpr LONG FW_NORMAL = 400;

// Only the fields the program reads.
struct TEXTMETRICW {
    LONG tmHeight;
};

using FONTENUMPROCW = int (*)(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM);

struct POINT {
    LONG x;
    LONG y;
};

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct MSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct WNDCLASSEXW {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
    HICON hIconSm;
};

// --- Constants ---

inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_DESTROY = 0x0002;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_GETTEXTLENGTH = 0x000E;
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_SETFONT = 0x0030;
inline constexpr UINT WM_GETFONT = 0x0031;
inline constexpr UINT WM_QUIT = 0x0012;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_DROPFILES = 0x0233;
inline constexpr UINT WM_USER = 0x0400;
inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT BM_CLICK = 0x00F5;

inline constexpr UINT BST_UNCHECKED = 0;
inline constexpr UINT BST_CHECKED = 1;
inline constexpr WORD BN_CLICKED = 0;
inline constexpr UINT CS_VREDRAW = 0x0001;
inline constexpr UINT CS_HREDRAW = 0x0002;
inline constexpr int DLGWINDOWEXTRA = 30;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_ICONERROR = 0x00000010;
inline constexpr UINT MB_ICONWARNING = 0x00000030;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONINFORMATION = 0x00000040;
inline constexpr int IDOK = 1;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;
inline constexpr UINT CP_UTF8 = 65001;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE HANGUL_CHARSET = 129;

inline WORD LOWORD(std::uintptr_t value) {
    return static_cast<WORD>(value & 0xFFFF);
}
inline WORD HIWORD(std::uintptr_t value) {
    return static_cast<WORD>((value >> 16) & 0xFFFF);
}
inline WPARAM MAKEWPARAM(WORD low, WORD high) {
    return static_cast<WPARAM>(low) | (static_cast<WPARAM>(high) << 16);
}
inline LPSTR MAKEINTRESOURCEA(int id) {
    return reinterpret_cast<LPSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id)));
}
inline LPWSTR MAKEINTRESOURCEW(int id) {
    return reinterpret_cast<LPWSTR>(static_cast<std::uintptr_t>(static_cast<WORD>(id)));
}
#define IDC_ARROW MAKEINTRESOURCEA(32512)

// --- Functions ---

ATOM RegisterClassExW(const WNDCLASSEXW* windowClass);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC procedure,
                        LPARAM parameter);
BOOL ShowWindow(HWND window, int showCommand);
BOOL DestroyWindow(HWND window);
// A disabled button takes no click.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL GetMessageW(MSG* message, HWND window, UINT first, UINT last);
BOOL TranslateMessage(const MSG* message);
LRESULT DispatchMessageW(const MSG* message);
BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The same for messages that carry no text.
LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
HWND GetDlgItem(HWND dialog, int id);
int GetWindowTextA(HWND window, LPSTR text, int count);
BOOL SetWindowTextA(HWND window, LPCSTR text);
int GetWindowTextW(HWND window, LPWSTR text, int count);
int GetWindowTextLengthW(HWND window);
BOOL SetWindowTextW(HWND window, LPCWSTR text);
// Control rectangles are the template's, in dialog units, as pixels; the
// dialog's client area starts at kStandinDialogOrigin on the screen.
BOOL GetWindowRect(HWND window, RECT* rect);
BOOL ScreenToClient(HWND window, POINT* point);
BOOL EnumChildWindows(HWND parent, WNDENUMPROC procedure, LPARAM parameter);
// The template's controls start with the template's font, "System" at 13
// pixels; fonts live until the process ends.
HFONT CreateFontIndirectW(const LOGFONTW* font);
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC context);
// Lists the faces of g_standin.fontFaces that have the character set asked for
// (all of them for DEFAULT_CHARSET), in their order.
int EnumFontFamiliesExW(HDC context, LOGFONTW* font, FONTENUMPROCW procedure, LPARAM parameter,
                        DWORD flags);
int GetObjectW(HFONT font, int size, void* object);
BOOL CheckDlgButton(HWND dialog, int id, UINT check);
UINT IsDlgButtonChecked(HWND dialog, int id);
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide,
                        int wideCount);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int length, LPSTR text,
                        int textSize, LPCSTR defaultChar, BOOL* usedDefaultChar);
LPWSTR GetCommandLineW();
HLOCAL LocalFree(HLOCAL memory);

#endif  // RC_INVOKED
