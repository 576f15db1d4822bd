// The stand-in Win32 layer: one in-memory dialog with the template's controls,
// a posted-message queue, and records of what the program showed.
#include "winapi_standin.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>

struct StandinWindow {
    int id;  // the control id; 0 for the dialog
    const char* className;
    std::string text;
    UINT checked;
    int position;  // of a progress bar
    int visible;
    int radio;  // an auto radio button of the unit group
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

StandinState g_standin;

namespace {

struct TemplateControl {
    int id;
    const char* className;
    const char* text;
    int radio;
    RECT rect;  // left, top, right, bottom in dialog units
};

// The controls of dialog 102 that carry an id, as the resource script has them.
constexpr TemplateControl kTemplateControls[] = {
    {1000, "Edit", "", 0, {45, 5, 150, 17}},
    {1001, "Button", "파일열기", 0, {155, 5, 195, 17}},
    {1002, "Edit", "", 0, {45, 50, 90, 62}},
    {1014, "Static", "msec", 0, {95, 50, 135, 60}},
    {1003, "Edit", "", 0, {45, 35, 90, 47}},
    {1004, "Edit", "", 0, {105, 35, 150, 47}},
    {1005, "Button", "Start Synchronization", 0, {45, 110, 150, 123}},
    {1009, "Static", "msec", 0, {155, 35, 195, 45}},
    {1006, "msctls_progress32", "Progress1", 0, {45, 95, 195, 105}},
    {1008, "Button", "Close", 0, {155, 110, 195, 123}},
    {1010, "Button", "mm:ss.sss", 1, {95, 80, 145, 90}},
    {1011, "Button", "msec", 1, {45, 80, 75, 90}},
    {1012, "Edit", "", 0, {45, 65, 90, 77}},
    {1013, "Static", "msec", 0, {95, 65, 135, 75}},
    {1015, "Edit", "", 0, {45, 135, 150, 147}},
    {1016, "Button", "파일열기", 0, {155, 135, 195, 147}},
    {1017, "Edit", "", 0, {45, 150, 90, 162}},
    {1018, "Static", "msec", 0, {95, 150, 135, 160}},
    {1007, "Button", "추가하기", 0, {155, 150, 195, 163}},
};
constexpr int kDialogTemplateId = 102;
constexpr char kDialogClassName[] = "Tembrel";

// Windows live until the next reset, so handles stay valid within a test.
std::vector<std::unique_ptr<StandinWindow>> g_windows;
std::vector<std::unique_ptr<StandinDrop>> g_drops;
// Never freed: a program may keep a font across tests.
std::deque<StandinFont> g_fonts;

StandinFont* TemplateFont() {
    static StandinFont font = [] {
        StandinFont made{};
        made.log.lfHeight = -13;
        made.log.lfWeight = 400;
        made.log.lfCharSet = DEFAULT_CHARSET;
        const wchar_t face[] = L"System";
        std::copy(face, face + sizeof(face) / sizeof(face[0]), made.log.lfFaceName);
        return made;
    }();
    return &font;
}
std::wstring g_commandLine;
// The one argument list CommandLineToArgvW hands out until LocalFree.
std::vector<std::wstring> g_arguments;
std::vector<LPWSTR> g_argumentPointers;

HWND NewWindow(int id, const char* className, const char* text, HWND parent) {
    auto window = std::make_unique<StandinWindow>();
    window->id = id;
    window->className = className;
    window->text = text;
    window->checked = BST_UNCHECKED;
    window->position = 0;
    window->visible = 0;
    window->radio = 0;
    window->rect = RECT{0, 0, 0, 0};
    window->font = parent != nullptr ? TemplateFont() : nullptr;
    window->procedure = nullptr;
    window->parent = parent;
    g_windows.push_back(std::move(window));
    return g_windows.back().get();
}

bool IsClass(HWND window, const char* className) {
    return std::strcmp(window->className, className) == 0;
}

void AppendUtf8(std::string* text, std::uint32_t code) {
    if (code < 0x80) {
        text->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        text->push_back(static_cast<char>(0xC0 | (code >> 6)));
        text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        text->push_back(static_cast<char>(0xE0 | (code >> 12)));
        text->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        text->push_back(static_cast<char>(0xF0 | (code >> 18)));
        text->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        text->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

std::string WideToUtf8(LPCWSTR wide) {
    std::string text;
    for (; wide != nullptr && *wide != 0; ++wide) {
        AppendUtf8(&text, static_cast<std::uint32_t>(*wide));
    }
    return text;
}

// Decodes one UTF-8 sequence at text[*at]; an invalid byte stands for itself.
std::uint32_t DecodeUtf8(const unsigned char* text, std::size_t length, std::size_t* at) {
    const unsigned char lead = text[*at];
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (*at + static_cast<std::size_t>(extra) >= length) {
        extra = 0;
    }
    std::uint32_t code = extra == 0 ? lead : (lead & (0x3Fu >> extra));
    for (int k = 1; k <= extra; ++k) {
        code = (code << 6) | (text[*at + static_cast<std::size_t>(k)] & 0x3Fu);
    }
    *at += 1 + static_cast<std::size_t>(extra);
    return code;
}

std::wstring Utf8ToWide(const std::string& text) {
    std::wstring wide;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0; at < text.size();) {
        wide.push_back(static_cast<WCHAR>(DecodeUtf8(bytes, text.size(), &at)));
    }
    return wide;
}

// Handles a message to a control as the system's control classes do.
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
            if (!IsClass(control, "Button")) {
                return 0;
            }
            if (control->radio) {
                CheckDlgButton(control->parent, 1010, BST_UNCHECKED);
                CheckDlgButton(control->parent, 1011, BST_UNCHECKED);
                control->checked = BST_CHECKED;
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

}  // namespace

void ResetStandin() {
    g_windows.clear();
    g_drops.clear();
    g_arguments.clear();
    g_argumentPointers.clear();
    g_standin = StandinState{};
    g_standin.commandLine = "Tembrel.exe";
    // As a Korean Windows lists them.
    g_standin.fontFaces = {{"System", 0},
                           {"Arial", 0},
                           {"@맑은 고딕", HANGUL_CHARSET},
                           {"맑은 고딕", HANGUL_CHARSET},
                           {"굴림", HANGUL_CHARSET}};
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

HWND CreateDialogParamW(HINSTANCE /*instance*/, LPCWSTR templateName, HWND /*owner*/,
                        DLGPROC /*procedure*/, LPARAM /*parameter*/) {
    const bool classReady = g_standin.classRegistered &&
                            WideToUtf8(g_standin.registeredClass.lpszClassName) == kDialogClassName;
    if (g_standin.failDialogCreation || !classReady ||
        templateName != MAKEINTRESOURCEW(kDialogTemplateId)) {
        return nullptr;
    }
    HWND dialog = NewWindow(0, kDialogClassName, "Tembrel", nullptr);
    dialog->procedure = g_standin.registeredClass.lpfnWndProc;
    g_standin.dialog = dialog;
    // As with a real dialog: WM_CREATE reaches the class procedure before any
    // control exists.
    if (dialog->procedure(dialog, WM_CREATE, 0, 0) == -1) {
        return nullptr;
    }
    for (const TemplateControl& control : kTemplateControls) {
        HWND window = NewWindow(control.id, control.className, control.text, dialog);
        window->radio = control.radio;
        window->rect = control.rect;
        window->visible = 1;
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
    for (const auto& window : g_windows) {
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
    for (const auto& window : g_windows) {
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
    return IDOK;
}

// Only CP_UTF8 with a NUL-terminated text, which is all the program converts.
int MultiByteToWideChar(UINT codePage, DWORD /*flags*/, LPCSTR text, int length, LPWSTR wide,
                        int wideCount) {
    if (codePage != CP_UTF8 || length != -1) {
        return 0;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const std::size_t size = std::strlen(text);
    int needed = 0;
    std::size_t at = 0;
    for (;;) {
        const std::uint32_t code = at < size ? DecodeUtf8(bytes, size, &at) : 0;
        if (wideCount != 0) {
            if (needed >= wideCount) {
                return 0;
            }
            wide[needed] = static_cast<WCHAR>(code);
        }
        ++needed;
        if (code == 0) {
            return needed;
        }
    }
}

// Only CP_UTF8 with a NUL-terminated text, as for MultiByteToWideChar.
int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWSTR wide, int length, LPSTR text,
                        int textSize, LPCSTR /*defaultChar*/, BOOL* /*usedDefaultChar*/) {
    if (codePage != CP_UTF8 || length != -1) {
        return 0;
    }
    const std::string encoded = WideToUtf8(wide);
    const auto needed = static_cast<int>(encoded.size()) + 1;
    if (textSize == 0) {
        return needed;
    }
    if (needed > textSize) {
        return 0;
    }
    std::memcpy(text, encoded.c_str(), encoded.size() + 1);
    return needed;
}

BOOL GetOpenFileNameW(OPENFILENAMEW* record) {
    StandinChooserCall call{*record, std::string(), WideToUtf8(record->lpstrFile)};
    for (LPCWSTR entry = record->lpstrFilter; entry != nullptr && *entry != 0;
         entry += std::wcslen(entry) + 1) {
        call.filter += WideToUtf8(entry);
        call.filter.push_back('\0');
    }
    call.filter.push_back('\0');
    g_standin.chooserCalls.push_back(call);
    if (g_standin.chooserAnswers.empty()) {
        return FALSE;
    }
    const StandinChooserAnswer answer = g_standin.chooserAnswers.front();
    g_standin.chooserAnswers.pop_front();
    const std::wstring path = Utf8ToWide(answer.path);
    if (!answer.confirm || path.size() >= record->nMaxFile) {
        return FALSE;
    }
    std::copy(path.c_str(), path.c_str() + path.size() + 1, record->lpstrFile);
    // As the system's chooser does: the filter in use when the user confirmed
    // stays in the record.
    record->nFilterIndex = 2;
    return TRUE;
}

namespace {

// A file handle is the descriptor, kept clear of null and INVALID_HANDLE_VALUE.
int DescriptorOf(HANDLE file) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(file) - 16);
}

constexpr char kAttributesName[] = "user.tembrel-attributes";

// A name for the system: UTF-8, and without the verbatim prefix "\\?\" that
// long names carry on Windows.
std::string SystemName(LPCWSTR path) {
    const std::wstring verbatim = L"\\\\?\\";
    const std::wstring wide = path;
    return WideToUtf8(wide.compare(0, verbatim.size(), verbatim) == 0
                          ? wide.c_str() + verbatim.size()
                          : wide.c_str());
}

}  // namespace

HANDLE CreateFileW(LPCWSTR path, DWORD /*access*/, DWORD /*share*/, void* /*security*/,
                   DWORD disposition, DWORD /*flags*/, HANDLE /*templateFile*/) {
    if (disposition != OPEN_EXISTING) {
        return INVALID_HANDLE_VALUE;
    }
    // Never waits for the writer of a FIFO, which Windows does not have.
    const int descriptor = open(SystemName(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return INVALID_HANDLE_VALUE;
    }
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(descriptor) + 16);
}

BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* information) {
    struct stat status;
    if (fstat(DescriptorOf(file), &status) != 0) {
        return FALSE;
    }
    const auto index = static_cast<std::uint64_t>(status.st_ino);
    *information = BY_HANDLE_FILE_INFORMATION{};
    information->dwFileAttributes = S_ISDIR(status.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0;
    information->dwVolumeSerialNumber = static_cast<DWORD>(status.st_dev);
    information->nNumberOfLinks = static_cast<DWORD>(status.st_nlink);
    information->nFileIndexHigh = static_cast<DWORD>(index >> 32);
    information->nFileIndexLow = static_cast<DWORD>(index & 0xFFFFFFFFu);
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    return close(DescriptorOf(handle)) == 0 ? TRUE : FALSE;
}

DWORD GetFileType(HANDLE file) {
    struct stat status;
    if (fstat(DescriptorOf(file), &status) != 0) {
        return FILE_TYPE_UNKNOWN;
    }
    if (S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) {
        return FILE_TYPE_DISK;
    }
    return S_ISCHR(status.st_mode) ? FILE_TYPE_CHAR : FILE_TYPE_PIPE;
}

// The name the descriptor's file has now, with the prefix that Windows puts
// before a final path.
DWORD GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD size, DWORD /*flags*/) {
    const std::string link = "/proc/self/fd/" + std::to_string(DescriptorOf(file));
    char name[4096];
    const ssize_t length = readlink(link.c_str(), name, sizeof name);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof name) {
        return 0;
    }
    const std::wstring finalPath =
        L"\\\\?\\" + Utf8ToWide(std::string(name, static_cast<std::size_t>(length)));
    if (finalPath.size() >= size) {
        return static_cast<DWORD>(finalPath.size() + 1);
    }
    std::copy(finalPath.c_str(), finalPath.c_str() + finalPath.size() + 1, path);
    return static_cast<DWORD>(finalPath.size());
}

// Relative names are taken from the working folder; "." and ".." are left for
// the system to follow.
DWORD GetFullPathNameW(LPCWSTR path, DWORD size, LPWSTR full, LPWSTR* filePart) {
    std::wstring absolute = path;
    if (absolute.empty() || absolute[0] != L'/') {
        char folder[4096];
        if (getcwd(folder, sizeof folder) == nullptr) {
            return 0;
        }
        absolute = Utf8ToWide(folder) + L"/" + absolute;
    }
    if (filePart != nullptr) {
        *filePart = nullptr;
    }
    if (absolute.size() >= size) {
        return static_cast<DWORD>(absolute.size() + 1);
    }
    std::copy(absolute.c_str(), absolute.c_str() + absolute.size() + 1, full);
    return static_cast<DWORD>(absolute.size());
}

int _wrename(const wchar_t* from, const wchar_t* to) {
    return std::rename(SystemName(from).c_str(), SystemName(to).c_str());
}

int _wremove(const wchar_t* path) {
    return std::remove(SystemName(path).c_str());
}

DWORD GetFileAttributesW(LPCWSTR widePath) {
    const std::string name = SystemName(widePath);
    const char* path = name.c_str();
    struct stat status;
    if (lstat(path, &status) != 0) {
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD kind = 0;
    struct stat target;
    if (S_ISLNK(status.st_mode)) {
        kind =
            FILE_ATTRIBUTE_REPARSE_POINT |
            ((stat(path, &target) == 0 && S_ISDIR(target.st_mode)) ? FILE_ATTRIBUTE_DIRECTORY : 0);
    } else if (S_ISDIR(status.st_mode)) {
        kind = FILE_ATTRIBUTE_DIRECTORY;
    }
    DWORD set = 0;
    const ssize_t length = lgetxattr(path, kAttributesName, &set, sizeof set);
    const DWORD attributes =
        kind | (length == sizeof set ? set : (kind == 0 ? FILE_ATTRIBUTE_ARCHIVE : 0));
    return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes) {
    const DWORD set = attributes & ~(FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY |
                                     FILE_ATTRIBUTE_REPARSE_POINT);
    return lsetxattr(SystemName(path).c_str(), kAttributesName, &set, sizeof set, 0) == 0 ? TRUE
                                                                                          : FALSE;
}

DWORD GetFileAttributesA(LPCSTR path) {
    return GetFileAttributesW(Utf8ToWide(path).c_str());
}

BOOL SetFileAttributesA(LPCSTR path, DWORD attributes) {
    return SetFileAttributesW(Utf8ToWide(path).c_str(), attributes);
}

void DragAcceptFiles(HWND window, BOOL accept) {
    if (window != nullptr && window == g_standin.dialog) {
        g_standin.acceptsFiles = accept ? 1 : 0;
    }
}

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT count) {
    if (drop == nullptr || drop->finished) {
        return 0;
    }
    if (index == 0xFFFFFFFFu) {
        return static_cast<UINT>(drop->files.size());
    }
    if (index >= drop->files.size()) {
        return 0;
    }
    const std::wstring& name = drop->files[index];
    if (file == nullptr) {
        return static_cast<UINT>(name.size());
    }
    if (count == 0) {
        return 0;
    }
    const std::size_t copied = std::min(static_cast<std::size_t>(count) - 1, name.size());
    std::copy(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(copied), file);
    file[copied] = 0;
    return static_cast<UINT>(copied);
}

BOOL DragQueryPoint(HDROP drop, POINT* point) {
    if (drop == nullptr || drop->finished) {
        return FALSE;
    }
    *point = drop->point;
    return TRUE;
}

void DragFinish(HDROP drop) {
    if (drop != nullptr && !drop->finished) {
        drop->finished = 1;
        --g_standin.openDrops;
    }
}

LPWSTR GetCommandLineW() {
    g_commandLine = Utf8ToWide(g_standin.commandLine);
    return &g_commandLine[0];
}

// Blanks separate the arguments, double quotes group them; backslashes are
// taken as they are, which is all a test's command lines need.
LPWSTR* CommandLineToArgvW(LPCWSTR commandLine, int* count) {
    g_arguments.clear();
    std::wstring argument;
    bool inArgument = false;
    bool quoted = false;
    for (LPCWSTR c = commandLine; *c != 0; ++c) {
        if (*c == L'"') {
            quoted = !quoted;
            inArgument = true;
        } else if ((*c == L' ' || *c == L'\t') && !quoted) {
            if (inArgument) {
                g_arguments.push_back(argument);
            }
            argument.clear();
            inArgument = false;
        } else {
            argument.push_back(*c);
            inArgument = true;
        }
    }
    if (inArgument) {
        g_arguments.push_back(argument);
    }
    g_argumentPointers.clear();
    for (std::wstring& each : g_arguments) {
        g_argumentPointers.push_back(&each[0]);
    }
    g_argumentPointers.push_back(nullptr);
    ++g_standin.openArgumentLists;
    *count = static_cast<int>(g_arguments.size());
    return g_argumentPointers.data();
}

HLOCAL LocalFree(HLOCAL memory) {
    if (memory != nullptr && memory == static_cast<void*>(g_argumentPointers.data())) {
        --g_standin.openArgumentLists;
        g_arguments.clear();
        g_argumentPointers.clear();
        return nullptr;
    }
    return memory;
}

void DropFiles(HWND dialog, const std::vector<std::string>& files, POINT point) {
    auto drop = std::make_unique<StandinDrop>();
    for (const std::string& file : files) {
        drop->files.push_back(Utf8ToWide(file));
    }
    drop->point = point;
    drop->finished = 0;
    g_drops.push_back(std::move(drop));
    ++g_standin.openDrops;
    SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(g_drops.back().get()), 0);
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
