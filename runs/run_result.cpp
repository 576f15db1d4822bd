// Clearing a run's result, and the target of an edit in place.
#include "run_result.h"
#include "run_target.h"

void ClearRunResult(RunResult* result) {
    result->outcome = OUTCOME_DONE;
    result->edit.code = 0;
    result->edit.step = EDIT_STEP_NONE;
    result->edit.path.clear();
    result->edit.error = 0;
    result->edit.nothingMoved = 0;
    result->edit.waited = 0;
    ClearRunCounts(&result->edit.counts);
    result->inPlace = 0;
    result->params = ShiftParams{0, 0, 0, 0};
    result->timesBelowZero = -1;
    result->lookedUp = 0;
    ClearRunCounts(&result->lookupCounts);
    result->kind = TEXT_BYTES;
    result->appendKind = TEXT_BYTES;
    result->backup.clear();
}

int RunFailed(const RunResult& result) {
    switch (result.outcome) {
        case OUTCOME_DONE:
        case OUTCOME_NOTHING_MOVED:
        case OUTCOME_NO_SHIFT:
        case OUTCOME_EMPTY_RANGE:
        case OUTCOME_ALREADY_ALIGNED:
            return 0;
        default:
            return 1;
    }
}

RunTarget InPlaceTarget(const char* file, const RunOptions& options) {
    return RunTarget{file, nullptr, nullptr, 0, options, nullptr};
}
