// The window class "Tembrel" is registered by the program, so that all of the
// dialog's messages reach MainDialogProc; there is no dialog procedure. Class,
// dialog and message loop are Unicode: the template's texts reach the controls
// as the UTF-16 they are stored in, whatever the system's code page.
#include "dialog_program.h"

#include <cstdint>

#include "dialog_font.h"
#include "dialog_ids.h"
#include "file_intake.h"
#include "main_dialog.h"
#include "warning_messages.h"

namespace {

constexpr int kStartFailureExitCode = 1;

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(WNDCLASSEXW) == 48, "the window class record is 48 bytes on Win32");
#endif

int RegisterDialogClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = MainDialogProc;
    windowClass.cbClsExtra = 0;
    // The dialog manager keeps its own data in these bytes of the window.
    windowClass.cbWndExtra = DLGWINDOWEXTRA;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TEMBREL));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground =
        reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_BTNFACE + 1));
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = L"Tembrel";
    windowClass.hIconSm = windowClass.hIcon;
    return RegisterClassExW(&windowClass) != 0 ? 1 : 0;
}

// The template names the progress bar's class, so it must exist before the
// dialog is created.
int PrepareProgressBarClass() {
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_PROGRESS_CLASS;
    return InitCommonControlsEx(&controls) ? 1 : 0;
}

// Messages are not passed through IsDialogMessage: the dialog manager's
// keyboard handling (Tab, Enter) does not take place.
int RunMessageLoop() {
    MSG message = {};
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : kStartFailureExitCode;
}

}  // namespace

int RunDialogProgram(HINSTANCE instance, int showCommand) {
    if (!PrepareProgressBarClass() || !RegisterDialogClass(instance)) {
        ShowStartFailure();
        return kStartFailureExitCode;
    }
    HWND dialog = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_TEMBREL), nullptr, nullptr, 0);
    if (dialog == nullptr) {
        ShowStartFailure();
        return kStartFailureExitCode;
    }
    DragAcceptFiles(dialog, TRUE);
    UseHangulFont(dialog);
    ShowWindow(dialog, showCommand);
    // After the fields have their defaults, as if the file were chosen then.
    TakeCommandLineFile(dialog);
    return RunMessageLoop();
}
