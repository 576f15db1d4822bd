// The dialog's messages and commands. A run executes inside its WM_COMMAND
// handler: it reads the fields, hands the request to the runs layer and tells
// the user what the run came to.
#include "main_dialog.h"

#include <cstdio>
#include <string>

#include "align_run.h"
#include "alignment_report.h"
#include "append_run.h"
#include "dialog_ids.h"
#include "file_chooser.h"
#include "file_intake.h"
#include "result_codes.h"
#include "shift_run.h"
#include "sync_tag_search.h"
#include "undo_run.h"
#include "warning_messages.h"

WCHAR g_mainPath[kPathChars];
WCHAR g_appendPath[kPathChars];
WCHAR g_referencePath[kPathChars];
std::int32_t g_busy = 0;

void SetProgressBar(HWND dialog, std::int32_t percent) {
    SendMessageA(GetDlgItem(dialog, IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

namespace {

// The runs' progress reaches the bar of the dialog that started them.
void ShowRunProgress(void* dialog, std::int32_t percent) {
    SetProgressBar(static_cast<HWND>(dialog), percent);
}

RunOptions DialogRunOptions(HWND dialog) {
    RunOptions options = FrontEndRunOptions(0);
    options.progress = ShowRunProgress;
    options.progressContext = dialog;
    return options;
}

int CanOpenForReading(const char* path) {
    RunResult unused;
    ClearRunResult(&unused);
    return CheckReadableFile(path, RESULT_BAD_FILE, &unused);
}

// A number field that does not read: its own warning, before anything runs.
constexpr std::int32_t kResultBadField = 100;
int g_badField = 0;

std::int32_t RefuseField(int id) {
    g_badField = id;
    return kResultBadField;
}

// The result code the user is told of for a run's outcome (0 says nothing)
// and, when the run took place, what it did in *counts. A request with
// nothing to do ends silently.
std::int32_t ResultCodeOf(const RunResult& run, RunCounts* counts) {
    switch (run.outcome) {
        case OUTCOME_DONE:
        case OUTCOME_NOTHING_MOVED:
            *counts = run.edit.counts;
            return RESULT_OK;
        case OUTCOME_NO_SHIFT:
        case OUTCOME_EMPTY_RANGE:
            return RESULT_OK;
        case OUTCOME_APPEND_IS_BACKUP:
            return RESULT_BAD_APPEND_FILE;
        case OUTCOME_MIXED_KINDS:
            return RESULT_MIXED_TEXT_KINDS;
        case OUTCOME_END_KEEPS_CHANGING:
            return RESULT_CANNOT_SAVE;
        default:
            if (run.edit.step == EDIT_STEP_RUN) {
                *counts = run.edit.counts;
            }
            return run.edit.code != RESULT_OK ? run.edit.code : RESULT_BAD_FILE;
    }
}

// Each run reports the result code that the user is told of (0 says nothing)
// and, when it ran, what it did in *counts. The file is edited by the one edit
// job of both front ends: locked against other runs, written beside itself
// and swapped in whole; a failure leaves FILE and FILE.bak as they were.
std::int32_t RunShift(HWND dialog, RunCounts* counts) {
    char path[kPathBytes];
    if (!ReadFileNameField(dialog, path) || !CanOpenForReading(path)) {
        return RESULT_BAD_FILE;
    }
    ShiftRequest request{};
    ShiftParams& params = request.params;
    const int read = ReadShiftParams(dialog, &params.rangeStart, &params.rangeEnd, &params.shift,
                                     &params.stretch, &request.endIsLast);
    if (read != kFieldsRead) {
        return RefuseField(read);
    }
    RunResult run;
    ShiftTarget(InPlaceTarget(path, DialogRunOptions(dialog)), request, &run);
    return ResultCodeOf(run, counts);
}

std::int32_t RunAppend(HWND dialog, RunCounts* counts) {
    char path[kPathBytes];
    if (!ReadFileNameField(dialog, path) || !CanOpenForReading(path)) {
        return RESULT_BAD_FILE;
    }
    char appendPath[kPathBytes];
    if (!ReadAppendFileNameField(dialog, appendPath) || !CanOpenForReading(appendPath)) {
        return RESULT_BAD_APPEND_FILE;
    }
    std::int32_t offset = 0;
    if (ReadAppendOffset(dialog, &offset) != kFieldsRead) {
        return RefuseField(IDC_APPEND_OFFSET);
    }
    RunResult run;
    AppendTarget(InPlaceTarget(path, DialogRunOptions(dialog)), appendPath, offset, &run);
    return ResultCodeOf(run, counts);
}

// Align (1022): what the alignment of field 1000 to field 1020 found is shown
// and written only when it is clear and the user says yes.
std::int32_t RunAlign(HWND dialog, RunCounts* counts) {
    char path[kPathBytes];
    if (!ReadFileNameField(dialog, path) || !CanOpenForReading(path)) {
        return RESULT_BAD_FILE;
    }
    char referencePath[kPathBytes];
    Alignment alignment;
    if (!ReadReferenceFileNameField(dialog, referencePath) ||
        !FindAlignment(dialog, path, referencePath, &alignment)) {
        return RESULT_OK;
    }
    if (!ConfirmAlignment(dialog, alignment)) {
        return RESULT_OK;
    }
    RunResult run;
    MapTarget(InPlaceTarget(path, DialogRunOptions(dialog)), alignment.map, &run);
    return ResultCodeOf(run, counts);
}

// Undo (1023): the file of field 1000 and its backup change places; a second
// press swaps them back.
std::int32_t RunUndo(HWND dialog, RunCounts* /*counts*/) {
    char path[kPathBytes];
    if (!ReadFileNameField(dialog, path) || !CanOpenForReading(path)) {
        return RESULT_BAD_FILE;
    }
    RunResult run;
    UndoFile(path, &run);
    if (run.outcome == OUTCOME_NO_BACKUP) {
        ShowNoBackup(dialog);
        return RESULT_OK;
    }
    RunCounts unused;
    return ResultCodeOf(run, &unused);
}

// The busy flag guards the whole handler, message box included. A run that
// ended well says so only when it moved nothing or left tags unread.
void HandleRunCommand(HWND dialog, std::int32_t (*run)(HWND, RunCounts*)) {
    if (g_busy == 1) {
        return;
    }
    g_busy = 1;
    RunCounts counts;
    ClearRunCounts(&counts);
    counts.tagsFound = -1;  // stays below 0 when no run took place
    const std::int32_t result = run(dialog, &counts);
    if (result == kResultBadField) {
        ShowFieldWarning(dialog, g_badField, IsMillisecondsUnit(dialog));
    } else if (result != RESULT_OK) {
        ShowWarning(dialog, result);
    } else if (counts.tagsFound >= 0) {
        ShowRunWarning(dialog, counts);
    }
    g_busy = 0;
}

// Switching the unit relabels the fields and writes their times in it.
void SwitchUnit(HWND dialog, int milliseconds, const char* unit) {
    ConvertFieldsToUnit(dialog, milliseconds);
    SetWindowTextA(GetDlgItem(dialog, IDC_RANGE_UNIT), unit);
    SetWindowTextA(GetDlgItem(dialog, IDC_SHIFT_UNIT), unit);
    SetWindowTextA(GetDlgItem(dialog, IDC_STRETCH_UNIT), unit);
    SetWindowTextA(GetDlgItem(dialog, IDC_APPEND_UNIT), unit);
}

// The notification code in the high word is not looked at.
void HandleCommand(HWND dialog, WORD id) {
    switch (id) {
        case IDC_OPEN_FILE:
            ChooseMainFile(dialog);
            break;
        case IDC_START_SYNC:
            HandleRunCommand(dialog, RunShift);
            break;
        case IDC_START_APPEND:
            HandleRunCommand(dialog, RunAppend);
            break;
        case IDC_CLOSE:
            if (g_busy == 0) {
                PostQuitMessage(0);
            }
            break;
        case IDC_UNIT_CLOCK:
            SwitchUnit(dialog, 0, "mm:ss.sss");
            break;
        case IDC_UNIT_MSEC:
            SwitchUnit(dialog, 1, "msec");
            break;
        case IDC_OPEN_APPEND_FILE:
            ChooseAppendFile(dialog);
            break;
        case IDC_OPEN_REFERENCE_FILE:
            ChooseReferenceFile(dialog);
            break;
        case IDC_ALIGN:
            HandleRunCommand(dialog, RunAlign);
            break;
        case IDC_UNDO:
            HandleRunCommand(dialog, RunUndo);
            break;
        default:
            break;
    }
}

}  // namespace

LRESULT CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            // The controls do not exist yet.
            g_busy = 0;
            InitFileChooser();
            BuildSyncTagTables();
            return 0;
        case WM_SHOWWINDOW:
            ResetShiftFields(window);
            SelectMillisecondsUnit(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_COMMAND:
            HandleCommand(window, LOWORD(wParam));
            return 0;
        case WM_DROPFILES:
            // Like the choosers, a drop is taken while a run's message shows;
            // it never starts a run.
            TakeDroppedFile(window, reinterpret_cast<HDROP>(wParam));
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}
