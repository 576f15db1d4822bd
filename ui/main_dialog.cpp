// The dialog's messages and commands. A run executes inside its WM_COMMAND
// handler: it reads the fields and hands the file to the edit job, which lets
// the engine write the new content beside it and swaps it in whole.
#include "main_dialog.h"

#include <cstdio>
#include <string>

#include "alignment_report.h"
#include "time_map_run.h"
#include "dialog_ids.h"
#include "edit_job.h"
#include "edit_names.h"
#include "file_access.h"
#include "file_chooser.h"
#include "file_intake.h"
#include "named_runs.h"
#include "result_codes.h"
#include "subtitle_append.h"
#include "sync_shift.h"
#include "sync_tag_search.h"
#include "text_input.h"
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
    std::FILE* file = OpenFileByName(path, "rb");
    if (file == nullptr) {
        return 0;
    }
    std::fclose(file);
    return 1;
}

// A number field that does not read: its own warning, before anything runs.
constexpr std::int32_t kResultBadField = 100;
int g_badField = 0;

std::int32_t RefuseField(int id) {
    g_badField = id;
    return kResultBadField;
}

// What a dialog run asks of the engine, handed to the edit job's run.
enum DialogRunKind : int { DIALOG_RUN_SHIFT, DIALOG_RUN_APPEND, DIALOG_RUN_MAP };

struct DialogRun {
    HWND dialog;
    DialogRunKind kind;
    ShiftParams params;
    std::int32_t offset;
    const TimeMap* map;
    int endGuessed;  // params.rangeEnd stands for E, as guessed or looked up
};

// The engine's run over the streams the edit job opened.
std::int32_t RunOnStreams(void* context, const EditStreams& streams, RunCounts* counts) {
    const DialogRun& run = *static_cast<const DialogRun*>(context);
    const RunOptions options = DialogRunOptions(run.dialog);
    if (run.kind == DIALOG_RUN_APPEND) {
        return AppendFileCues(streams.input, streams.inputSize, streams.append, streams.appendSize,
                              streams.output, run.offset, options, counts);
    }
    if (run.kind == DIALOG_RUN_MAP) {
        return MapFileTimes(streams.input, streams.inputSize, streams.output, *run.map, options,
                            counts);
    }
    if (run.endGuessed) {
        return ShiftFileTimesToGuessedEnd(streams.input, streams.inputSize, streams.output,
                                          run.params, options, counts);
    }
    return ShiftFileTimes(streams.input, streams.inputSize, streams.output, run.params, options,
                          counts);
}

// The file is edited by the one edit job of both front ends: locked against
// other runs, written beside itself and swapped in whole. A run that moves no
// time writes nothing, so the older backup stays; its counts still reach the
// warning about no time moved. A failure leaves FILE and FILE.bak as they were
// and is told by its result code.
std::int32_t EditThroughJob(const char* path, const char* appendPath, DialogRun* run,
                            RunCounts* counts) {
    const EditRequest request{path,         appendPath, nullptr, run->kind != DIALOG_RUN_APPEND,
                              RunOnStreams, run,        nullptr};
    EditResult result;
    const std::int32_t code = RunEditJob(request, &result);
    if (code == RESULT_OK || result.step == EDIT_STEP_RUN) {
        *counts = result.counts;
    }
    return code;
}

// Runs of one file whose E was found different by the run each time: another
// program keeps changing the file.
constexpr int kRangeEndAttempts = 8;

// A shift to E keeps its output only when the run, under the file's lock,
// found that same largest time; otherwise (times out of order, or the file
// changed since E was read) the file runs again with the E it found, the
// first output thrown away unseen.
std::int32_t ShiftThroughJob(const char* path, DialogRun* run, RunCounts* counts) {
    for (int attempt = 0; attempt < kRangeEndAttempts; ++attempt) {
        const std::int32_t code = EditThroughJob(path, nullptr, run, counts);
        if (code != RESULT_LAST_TIME_DIFFERS) {
            return code;
        }
        run->params.rangeEnd = counts->largestTime;
        ClearRunCounts(counts);
        if (run->params.rangeStart >= run->params.rangeEnd) {
            return RESULT_OK;
        }
    }
    return RESULT_CANNOT_SAVE;
}

// Each run reports the result code that the user is told of (0 says nothing)
// and, when it ran, what it did in *counts.
std::int32_t RunShift(HWND dialog, RunCounts* counts) {
    char path[kPathBytes];
    if (!ReadFileNameField(dialog, path) || !CanOpenForReading(path)) {
        return RESULT_BAD_FILE;
    }
    DialogRun run{dialog, DIALOG_RUN_SHIFT, ShiftParams{0, 0, 0, 0}, 0, nullptr, 0};
    ShiftParams& params = run.params;
    int endSource = END_TYPED;
    const int read = ReadShiftParams(dialog, path, &params.rangeStart, &params.rangeEnd,
                                     &params.shift, &params.stretch, &endSource);
    if (read != kFieldsRead) {
        return read == kLastSyncTimeUnread ? RESULT_BAD_FILE : RefuseField(read);
    }
    // Requests that change nothing end silently, before any file is moved.
    if (params.shift == 0 && params.stretch == 0) {
        return RESULT_OK;
    }
    // An empty range by a guessed E is decided by the E looked up.
    if (params.rangeStart >= params.rangeEnd && endSource == END_GUESSED &&
        FindLastSyncTimeChecked(path, &params.rangeEnd) != RESULT_OK) {
        return RESULT_BAD_FILE;
    }
    if (params.rangeStart >= params.rangeEnd) {
        return RESULT_OK;
    }
    run.endGuessed = endSource != END_TYPED;
    return ShiftThroughJob(path, &run, counts);
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
    // The file to append may not be the backup this edit replaces: it would
    // be gone before it is read.
    EditNames names;
    PlanEditNames(path, appendPath, nullptr, &names);
    if (names.appendIsBackup) {
        return RESULT_BAD_APPEND_FILE;
    }
    // Refused before the backup is made, so that the file stays as it was.
    TextKind kind = TEXT_BYTES;
    TextKind appendKind = TEXT_BYTES;
    if (ReadTextKindOfFile(path, &kind) && ReadTextKindOfFile(appendPath, &appendKind) &&
        kind != appendKind) {
        return RESULT_MIXED_TEXT_KINDS;
    }
    DialogRun run{dialog, DIALOG_RUN_APPEND, ShiftParams{0, 0, 0, 0}, offset, nullptr, 0};
    return EditThroughJob(path, appendPath, &run, counts);
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
    DialogRun run{dialog, DIALOG_RUN_MAP, ShiftParams{0, 0, 0, 0}, 0, &alignment.map, 0};
    return EditThroughJob(path, nullptr, &run, counts);
}

// Undo (1023): the file of field 1000 and its backup change places; a second
// press swaps them back.
std::int32_t RunUndo(HWND dialog, RunCounts* /*counts*/) {
    char path[kPathBytes];
    if (!ReadFileNameField(dialog, path) || !CanOpenForReading(path)) {
        return RESULT_BAD_FILE;
    }
    EditResult result;
    const std::int32_t code = UndoEdit(path, &result);
    if (code != RESULT_OK && result.step == EDIT_STEP_NO_BACKUP) {
        ShowNoBackup(dialog);
        return RESULT_OK;
    }
    return code;
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
