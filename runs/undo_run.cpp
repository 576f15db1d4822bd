// Undo through the edit job's swap.
#include "undo_run.h"

#include "result_codes.h"

void UndoFile(const char* file, RunResult* result) {
    ClearRunResult(result);
    result->inPlace = 1;
    if (UndoEdit(file, &result->edit) == RESULT_OK) {
        return;
    }
    if (result->edit.step == EDIT_STEP_NO_BACKUP) {
        result->outcome = OUTCOME_NO_BACKUP;
        result->backup = result->edit.path;
        return;
    }
    result->outcome = OUTCOME_FAILED;
}
