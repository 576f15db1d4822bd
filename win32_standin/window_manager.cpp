// The window manager's part of the stand-in: a dialog made from a template of
// the module's resource script, its messages and the posted-message queue, the
// controls' texts, checks, fonts and rectangles, and the message boxes a test
// answers.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <deque>

#include "standin_internal.h"

std::vector<std::unique_ptr<StandinWindow>> g_standinWindows;

namespace {

// Never freed: a program may keep a font across tests.
std::deque<StandinFont> g_fonts;

// Class names, as the system's, are the same in any case.
bool SameClassName(const std::string& first, const std::string& second) {
    return first.size() == second.size() &&
           std::equal(first.begin(), first.end(), second.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

bool IsClass(HWND window, const char* className) {
    return SameClassName(window->className, className);
}

bool IsAutoRadioButton(HWND window) {
    return IsClass(window, "Button") && (window->style & BS_TYPEMASK) == BS_AUTORADIOBUTTON;
}

// The template's font at the screen's 96 pixels per inch, as the dialog
// manager makes it for DS_SETFONT.
HFONT MakeTemplateFont(const StandinDialogTemplate& dialog) {
    StandinFont made{};
    made.log.lfHeight = -((dialog.fontPoints * 96 + 36) / 72);
    made.log.lfWeight = FW_NORMAL;
    made.log.lfCharSet = DEFAULT_CHARSET;
    const std::wstring face = Utf8ToWide(dialog.fontFace);
    const std::size_t length = std::min(face.size(), static_cast<std::size_t>(LF_FACESIZE - 1));
    std::copy(face.begin(), face.begin() + static_cast<std::ptrdiff_t>(length),
              made.log.lfFaceName);
    g_fonts.push_back(made);
    return &g_fonts.back();
}

// An auto radio button unchecks the others of its group: the controls from one
// with WS_GROUP up to the next one with it.
void CheckRadioButtonOfGroup(HWND button) {
    std::vector<HWND> siblings;
    for (const auto& window : g_standinWindows) {
        if (window->parent == button->parent) {
            siblings.push_back(window.get());
        }
    }
    const auto at = std::find(siblings.begin(), siblings.end(), button);
    auto first = at;
    while (first != siblings.begin() && ((*first)->style & WS_GROUP) == 0) {
        --first;
    }
    auto last = at + 1;
    while (last != siblings.end() && ((*last)->style & WS_GROUP) == 0) {
        ++last;
    }
    for (auto sibling = first; sibling != last; ++sibling) {
        if (IsAutoRadioButton(*sibling)) {
            (*sibling)->checked = BST_UNCHECKED;
        }
    }
    button->checked = BST_CHECKED;
}

}  // namespace

HWND NewStandinWindow(int id, const std::string& className, const std::string& text, HWND parent) {
    auto window = std::make_unique<StandinWindow>();
    window->id = id;
    window->className = className;
    window->text = text;
    window->style = 0;
    window->checked = BST_UNCHECKED;
    window->position = 0;
    window->visible = 0;
    window->enabled = 1;
    window->rect = RECT{0, 0, 0, 0};
    window->font = nullptr;
    window->procedure = nullptr;
    window->parent = parent;
    g_standinWindows.push_back(std::move(window));
    return g_standinWindows.back().get();
}

void ForgetStandinWindows() {
    g_standinWindows.clear();
}

LRESULT ControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            control->text = reinterpret_cast<LPCSTR>(lParam);
            return TRUE;
        case WM_GETTEXT: {
            const auto count = static_cast<std::size_t>(wParam);
            if (count == 0) {
                return 0;
            }
            const std::size_t copied = std::min(count - 1, control->text.size());
            std::memcpy(reinterpret_cast<LPSTR>(lParam), control->text.data(), copied);
            reinterpret_cast<LPSTR>(lParam)[copied] = '\0';
            return static_cast<LRESULT>(copied);
        }
        case WM_GETTEXTLENGTH:
            return static_cast<LRESULT>(control->text.size());
        case WM_SETFONT:
            control->font = reinterpret_cast<HFONT>(wParam);
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(control->font);
        case BM_GETCHECK:
            return control->checked;
        case BM_SETCHECK:
            control->checked = static_cast<UINT>(wParam);
            return 0;
        case BM_CLICK:
            if (!IsClass(control, "Button") || !control->enabled) {
                return 0;
            }
            if (IsAutoRadioButton(control)) {
                CheckRadioButtonOfGroup(control);
            }
            return SendMessageA(control->parent, WM_COMMAND,
                                MAKEWPARAM(static_cast<WORD>(control->id), BN_CLICKED),
                                reinterpret_cast<LPARAM>(control));
        case PBM_SETPOS: {
            if (!IsClass(control, "msctls_progress32")) {
                return 0;
            }
            const int previous = control->position;
            control->position = static_cast<int>(wParam);
            g_standin.progressPositions.push_back(control->position);
            if (g_standin.onProgress) {
                g_standin.onProgress(control->position);
            }
            return previous;
        }
        case PBM_GETPOS:
            return control->position;
        default:
            return 0;
    }
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) {
    if (g_standin.failCommonControls || controls->dwSize != sizeof(INITCOMMONCONTROLSEX)) {
        return FALSE;
    }
    g_standin.commonControlClasses |= controls->dwICC;
    return TRUE;
}

ATOM RegisterClassExW(const WNDCLASSEXW* windowClass) {
    if (g_standin.failClassRegistration || windowClass->cbSize != sizeof(WNDCLASSEXW)) {
        return 0;
    }
    g_standin.registeredClass = *windowClass;
    g_standin.classRegistered = 1;
    return 0xC001;
}

// Icons and cursors are told apart by their resource numbers alone.
HICON LoadIconA(HINSTANCE /*instance*/, LPCSTR name) {
    return reinterpret_cast<HICON>(0x10000 + reinterpret_cast<std::uintptr_t>(name));
}

HCURSOR LoadCursorA(HINSTANCE /*instance*/, LPCSTR name) {
    return reinterpret_cast<HCURSOR>(0x20000 + reinterpret_cast<std::uintptr_t>(name));
}

HWND CreateDialogParamW(HINSTANCE instance, LPCWSTR templateName, HWND /*owner*/,
                        DLGPROC /*procedure*/, LPARAM /*parameter*/) {
    const auto templateId = reinterpret_cast<std::uintptr_t>(templateName);
    StandinDialogTemplate made;
    if (g_standin.failDialogCreation || instance == nullptr || templateId > 0xFFFF ||
        !ReadDialogTemplate(instance->resourceScript, static_cast<int>(templateId), &made) ||
        !g_standin.classRegistered ||
        !SameClassName(WideToUtf8(g_standin.registeredClass.lpszClassName), made.className)) {
        return nullptr;
    }
    HWND dialog = NewStandinWindow(0, made.className, made.caption, nullptr);
    dialog->style = made.style;
    dialog->procedure = g_standin.registeredClass.lpfnWndProc;
    g_standin.dialog = dialog;
    // As with a real dialog: WM_CREATE reaches the class procedure before any
    // control exists.
    if (dialog->procedure(dialog, WM_CREATE, 0, 0) == -1) {
        return nullptr;
    }
    HFONT font = MakeTemplateFont(made);
    for (const StandinControlTemplate& control : made.controls) {
        HWND window = NewStandinWindow(control.id, control.className, control.text, dialog);
        window->style = control.style;
        window->rect = control.rect;
        window->font = font;
        window->visible = (control.style & WS_VISIBLE) != 0 ? 1 : 0;
    }
    return dialog;
}

BOOL ShowWindow(HWND window, int showCommand) {
    const int wasVisible = window->visible;
    const int show = showCommand != SW_HIDE ? 1 : 0;
    if (show != wasVisible && window->procedure != nullptr) {
        window->procedure(window, WM_SHOWWINDOW, static_cast<WPARAM>(show), 0);
    }
    window->visible = show;
    return wasVisible;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    if (window == nullptr) {
        return FALSE;
    }
    const BOOL wasDisabled = window->enabled ? FALSE : TRUE;
    window->enabled = enable ? 1 : 0;
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
    return window != nullptr && window->enabled ? TRUE : FALSE;
}

BOOL DestroyWindow(HWND window) {
    if (window->procedure != nullptr) {
        window->procedure(window, WM_DESTROY, 0, 0);
    }
    window->visible = 0;
    return TRUE;
}

// An empty queue is the moment the test acts, as a user would; when it posts
// nothing, the loop stops as if GetMessageW failed, so that a test never waits
// for input that will not come.
BOOL GetMessageW(MSG* message, HWND /*window*/, UINT /*first*/, UINT /*last*/) {
    if (g_standin.queue.empty() && g_standin.onIdle) {
        const std::function<void()> act = g_standin.onIdle;
        g_standin.onIdle = nullptr;
        act();
    }
    if (g_standin.queue.empty()) {
        return -1;
    }
    *message = g_standin.queue.front();
    g_standin.queue.pop_front();
    return message->message == WM_QUIT ? FALSE : TRUE;
}

BOOL TranslateMessage(const MSG* /*message*/) {
    return FALSE;
}

LRESULT DispatchMessageW(const MSG* message) {
    return SendMessageA(message->hwnd, message->message, message->wParam, message->lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    g_standin.queue.push_back(MSG{window, message, wParam, lParam});
    return TRUE;
}

void PostQuitMessage(int exitCode) {
    PostMessageA(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == nullptr) {
        return 0;
    }
    if (window->procedure != nullptr) {
        return window->procedure(window, message, wParam, lParam);
    }
    return ControlMessage(window, message, wParam, lParam);
}

LRESULT SendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(window, message, wParam, lParam);
}

LRESULT DefWindowProcW(HWND window, UINT message, WPARAM /*wParam*/, LPARAM /*lParam*/) {
    if (message == WM_CLOSE) {
        DestroyWindow(window);
    }
    return 0;
}

HWND GetDlgItem(HWND dialog, int id) {
    for (const auto& window : g_standinWindows) {
        if (window->parent == dialog && window->id == id) {
            return window.get();
        }
    }
    return nullptr;
}

int GetWindowTextA(HWND window, LPSTR text, int count) {
    if (window == nullptr || count <= 0) {
        return 0;
    }
    if (g_standin.onReadText) {
        g_standin.onReadText(window->id);
    }
    return static_cast<int>(ControlMessage(window, WM_GETTEXT, static_cast<WPARAM>(count),
                                           reinterpret_cast<LPARAM>(text)));
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
    if (window == nullptr) {
        return FALSE;
    }
    window->text = text;
    return TRUE;
}

int GetWindowTextW(HWND window, LPWSTR text, int count) {
    if (window == nullptr || count <= 0) {
        return 0;
    }
    if (g_standin.onReadText) {
        g_standin.onReadText(window->id);
    }
    const std::wstring wide = Utf8ToWide(window->text);
    const std::size_t copied = std::min(static_cast<std::size_t>(count) - 1, wide.size());
    std::copy(wide.begin(), wide.begin() + static_cast<std::ptrdiff_t>(copied), text);
    text[copied] = 0;
    return static_cast<int>(copied);
}

int GetWindowTextLengthW(HWND window) {
    return window == nullptr ? 0 : static_cast<int>(Utf8ToWide(window->text).size());
}

BOOL SetWindowTextW(HWND window, LPCWSTR text) {
    if (window == nullptr) {
        return FALSE;
    }
    window->text = WideToUtf8(text);
    return TRUE;
}

BOOL GetWindowRect(HWND window, RECT* rect) {
    if (window == nullptr) {
        return FALSE;
    }
    *rect = window->rect;
    if (window->parent != nullptr) {
        rect->left += kStandinDialogOrigin;
        rect->right += kStandinDialogOrigin;
        rect->top += kStandinDialogOrigin;
        rect->bottom += kStandinDialogOrigin;
    }
    return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
    if (window == nullptr || window->parent != nullptr) {
        return FALSE;
    }
    point->x -= kStandinDialogOrigin;
    point->y -= kStandinDialogOrigin;
    return TRUE;
}

BOOL EnumChildWindows(HWND parent, WNDENUMPROC procedure, LPARAM parameter) {
    for (const auto& window : g_standinWindows) {
        if (window->parent == parent && !procedure(window.get(), parameter)) {
            break;
        }
    }
    return TRUE;
}

HFONT CreateFontIndirectW(const LOGFONTW* font) {
    g_fonts.push_back(StandinFont{*font});
    return &g_fonts.back();
}

HDC GetDC(HWND window) {
    static StandinDeviceContext context;
    context.window = window;
    ++g_standin.openDeviceContexts;
    return &context;
}

int ReleaseDC(HWND /*window*/, HDC context) {
    if (context == nullptr) {
        return 0;
    }
    --g_standin.openDeviceContexts;
    return 1;
}

int EnumFontFamiliesExW(HDC context, LOGFONTW* font, FONTENUMPROCW procedure, LPARAM parameter,
                        DWORD /*flags*/) {
    int result = 1;
    for (const StandinFontFace& face : g_standin.fontFaces) {
        if (context == nullptr ||
            (font->lfCharSet != DEFAULT_CHARSET && face.charSet != font->lfCharSet)) {
            continue;
        }
        LOGFONTW listed = {};
        listed.lfCharSet = face.charSet;
        const std::wstring wide = Utf8ToWide(face.face);
        const std::size_t length = std::min(wide.size(), static_cast<std::size_t>(LF_FACESIZE - 1));
        std::copy(wide.begin(), wide.begin() + static_cast<std::ptrdiff_t>(length),
                  listed.lfFaceName);
        const TEXTMETRICW metrics = {13};
        result = procedure(&listed, &metrics, 4 /* TRUETYPE_FONTTYPE */, parameter);
        if (result == 0) {
            break;
        }
    }
    return result;
}

int GetObjectW(HFONT font, int size, void* object) {
    if (font == nullptr || size < static_cast<int>(sizeof(LOGFONTW))) {
        return 0;
    }
    std::memcpy(object, &font->log, sizeof(LOGFONTW));
    return static_cast<int>(sizeof(LOGFONTW));
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND button = GetDlgItem(dialog, id);
    if (button == nullptr) {
        return FALSE;
    }
    button->checked = check;
    return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    return button == nullptr ? BST_UNCHECKED : button->checked;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    g_standin.messageBoxes.push_back(
        StandinMessageBox{owner, WideToUtf8(text), WideToUtf8(caption), type});
    if (g_standin.onMessageBox) {
        g_standin.onMessageBox();
    }
    // Unscripted, a question is answered No: nothing is written unasked.
    if (g_standin.messageBoxAnswers.empty()) {
        return (type & MB_YESNO) == MB_YESNO ? IDNO : IDOK;
    }
    const int answer = g_standin.messageBoxAnswers.front();
    g_standin.messageBoxAnswers.pop_front();
    return answer;
}
