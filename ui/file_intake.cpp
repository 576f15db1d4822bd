// Picking, dropping or passing a file: the name lands in its group's path
// field and the group's last-picked path, the group's number fields show their
// defaults again and the bar returns to 0. Nothing runs. A name longer than a
// path field holds is refused with the group's warning, never cut.
#include "file_intake.h"

#include <cwchar>

#include "dialog_ids.h"
#include "file_chooser.h"
#include "main_dialog.h"
#include "parameter_fields.h"
#include "result_codes.h"
#include "warning_messages.h"

namespace {

struct FileGroup {
    WCHAR* path;  // the last-picked path, kPathChars units
    int fieldId;
    void (*resetFields)(HWND);
    std::int32_t badNameCode;
};

FileGroup MainGroup() {
    return FileGroup{g_mainPath, IDC_FILE_NAME, ResetShiftFields, RESULT_BAD_FILE};
}

void KeepFields(HWND /*dialog*/) {}

// The reference has no number fields of its own.
FileGroup ReferenceGroup() {
    return FileGroup{g_referencePath, IDC_REFERENCE_FILE_NAME, KeepFields, RESULT_BAD_FILE};
}

// SubRip, WebVTT and SSA/ASS files, by their extension in any case: only a
// reference can be one. A SAMI file may be either and goes by where it fell.
int IsReferenceOnlyName(const WCHAR* name) {
    const WCHAR* dot = std::wcsrchr(name, L'.');
    if (dot == nullptr || std::wcschr(dot, L'\\') != nullptr || std::wcschr(dot, L'/') != nullptr) {
        return 0;
    }
    WCHAR extension[5] = {};
    for (int k = 0; k < 4 && dot[k + 1] != 0; ++k) {
        const WCHAR c = dot[k + 1];
        extension[k] = (c >= L'A' && c <= L'Z') ? static_cast<WCHAR>(c - L'A' + L'a') : c;
    }
    const std::size_t length = std::wcslen(dot + 1);
    return length == 3 &&
                   (std::wcscmp(extension, L"srt") == 0 || std::wcscmp(extension, L"vtt") == 0 ||
                    std::wcscmp(extension, L"ass") == 0 || std::wcscmp(extension, L"ssa") == 0)
               ? 1
               : 0;
}

FileGroup AppendGroup() {
    return FileGroup{g_appendPath, IDC_APPEND_FILE_NAME, ResetAppendFields, RESULT_BAD_APPEND_FILE};
}

void ShowTakenFile(HWND dialog, const FileGroup& group) {
    SetPathField(dialog, group.path, group.fieldId);
    group.resetFields(dialog);
    SetProgressBar(dialog, 0);
}

void ChooseInto(HWND dialog, const FileGroup& group,
                int (*choose)(HWND, WCHAR*) = ChooseSubtitleFile) {
    if (choose(dialog, group.path)) {
        ShowTakenFile(dialog, group);
    }
}

void TakeName(HWND dialog, const FileGroup& group, const WCHAR* name) {
    const std::size_t length = std::wcslen(name);
    if (length >= static_cast<std::size_t>(kPathChars)) {
        ShowWarning(dialog, group.badNameCode);
        return;
    }
    std::wmemcpy(group.path, name, length + 1);
    ShowTakenFile(dialog, group);
}

// The append group's controls, with the labels to their left: the band from
// the dialog's left edge to the right of its buttons.
int IsOverAppendGroup(HWND dialog, POINT point) {
    const int ids[] = {IDC_APPEND_FILE_NAME, IDC_OPEN_APPEND_FILE, IDC_APPEND_OFFSET,
                       IDC_APPEND_UNIT, IDC_START_APPEND};
    LONG top = 0;
    LONG bottom = 0;
    LONG right = 0;
    int found = 0;
    for (int id : ids) {
        RECT rect;
        if (!GetWindowRect(GetDlgItem(dialog, id), &rect)) {
            continue;
        }
        POINT topLeft = {rect.left, rect.top};
        POINT bottomRight = {rect.right, rect.bottom};
        ScreenToClient(dialog, &topLeft);
        ScreenToClient(dialog, &bottomRight);
        top = (!found || topLeft.y < top) ? topLeft.y : top;
        bottom = (!found || bottomRight.y > bottom) ? bottomRight.y : bottom;
        right = (!found || bottomRight.x > right) ? bottomRight.x : right;
        found = 1;
    }
    return (found && point.x >= 0 && point.x < right && point.y >= top && point.y < bottom) ? 1 : 0;
}

}  // namespace

void ChooseMainFile(HWND dialog) {
    ChooseInto(dialog, MainGroup());
}

void ChooseAppendFile(HWND dialog) {
    ChooseInto(dialog, AppendGroup());
}

void ChooseReferenceFile(HWND dialog) {
    ChooseInto(dialog, ReferenceGroup(), ChooseReferenceSubtitle);
}

void TakeDroppedFile(HWND dialog, HDROP drop) {
    POINT point = {0, 0};
    DragQueryPoint(drop, &point);
    const FileGroup sami = IsOverAppendGroup(dialog, point) ? AppendGroup() : MainGroup();
    // One unit more than a field holds tells a longer name apart.
    WCHAR name[kPathChars + 1];
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    const UINT length = count > 0 ? DragQueryFileW(drop, 0, name, kPathChars + 1) : 0;
    // The shell's memory goes back before any message box holds the dialog.
    DragFinish(drop);
    if (count == 0 || length == 0) {
        return;
    }
    TakeName(dialog, IsReferenceOnlyName(name) ? ReferenceGroup() : sami, name);
}

void TakeCommandLineFile(HWND dialog) {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) {
        return;
    }
    if (count >= 2 && arguments[1][0] != 0) {
        TakeName(dialog, MainGroup(), arguments[1]);
    }
    LocalFree(arguments);
}
