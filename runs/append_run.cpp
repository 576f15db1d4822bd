// The append's checks come before the backup is made, so that a refusal
// changes nothing.
#include "append_run.h"

#include "edit_run.h"
#include "named_runs.h"
#include "result_codes.h"
#include "shift_run.h"

void AppendTarget(const RunTarget& target, const char* appendFile, std::int32_t offset,
                  RunResult* result) {
    ClearRunResult(result);
    if (!CheckReadableFile(target.file, RESULT_BAD_FILE, result) ||
        !CheckReadableFile(appendFile, RESULT_BAD_APPEND_FILE, result)) {
        return;
    }
    if (ReadTextKindOfFile(target.file, &result->kind) &&
        ReadTextKindOfFile(appendFile, &result->appendKind) && result->kind != result->appendKind) {
        result->outcome = OUTCOME_MIXED_KINDS;
        return;
    }
    const RunValues values{RUN_APPEND, ShiftParams{0, 0, 0, 0}, 0, offset, nullptr, target.options};
    EditTarget(target, appendFile, values, result);
}
