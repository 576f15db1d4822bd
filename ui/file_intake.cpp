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
#include "progress.h"
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

FileGroup AppendGroup() {
    return FileGroup{g_appendPath, IDC_APPEND_FILE_NAME, ResetAppendFields, RESULT_BAD_APPEND_FILE};
}

void ShowTakenFile(HWND dialog, const FileGroup& group) {
    SetPathField(dialog, group.path, group.fieldId);
    group.resetFields(dialog);
    SetProgressBar(dialog, 0);
}

void ChooseInto(HWND dialog, const FileGroup& group) {
    if (ChooseSubtitleFile(dialog, group.path)) {
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
    RECT area = {0, 0, 0, 0};
    int first = 1;
    for (int id : ids) {
        RECT rect;
        if (!GetWindowRect(GetDlgItem(dialog, id), &rect)) {
            continue;
        }
        POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
        ScreenToClient(dialog, &corners[0]);
        ScreenToClient(dialog, &corners[1]);
        if (first) {
            area = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
            first = 0;
        }
        area.top = corners[0].y < area.top ? corners[0].y : area.top;
        area.bottom = corners[1].y > area.bottom ? corners[1].y : area.bottom;
        area.right = corners[1].x > area.right ? corners[1].x : area.right;
    }
    if (first) {
        return 0;
    }
    return (point.x >= 0 && point.x < area.right && point.y >= area.top && point.y < area.bottom)
               ? 1
               : 0;
}

}  // namespace

void ChooseMainFile(HWND dialog) {
    ChooseInto(dialog, MainGroup());
}

void ChooseAppendFile(HWND dialog) {
    ChooseInto(dialog, AppendGroup());
}

void TakeDroppedFile(HWND dialog, HDROP drop) {
    POINT point = {0, 0};
    DragQueryPoint(drop, &point);
    const FileGroup group = IsOverAppendGroup(dialog, point) ? AppendGroup() : MainGroup();
    // One unit more than a field holds tells a longer name apart.
    WCHAR name[kPathChars + 1];
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    const UINT length = count > 0 ? DragQueryFileW(drop, 0, name, kPathChars + 1) : 0;
    // The shell's memory goes back before any message box holds the dialog.
    DragFinish(drop);
    if (count == 0 || length == 0) {
        return;
    }
    TakeName(dialog, group, name);
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
