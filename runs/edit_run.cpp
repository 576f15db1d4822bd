// Where a run writes: a stream is written straight into and FILE only read;
// otherwise the edit job locks FILE, has the run write beside it and swaps the
// result in. A shift or map that moves no time leaves FILE as it was, so that
// its older backup stays.
#include "edit_run.h"

#include <cerrno>

#include "edit_names.h"
#include "result_codes.h"

namespace {

void FailWith(RunResult* result, std::int32_t code, EditStep step, int error) {
    result->outcome = OUTCOME_FAILED;
    result->edit.code = code;
    result->edit.step = step;
    result->edit.error = error;
}

void RunIntoStream(const RunTarget& target, const char* appendFile, const RunValues& values,
                   RunResult* result) {
    errno = 0;
    const std::int32_t code = RunEngineIntoStream(target.file, appendFile, target.outputStream,
                                                  values, &result->edit.counts);
    if (code != RESULT_OK) {
        FailWith(result, code, EDIT_STEP_RUN, errno);
    }
}

}  // namespace

int EditTarget(const RunTarget& target, const char* appendFile, const RunValues& values,
               RunResult* result) {
    result->inPlace = 0;
    if (target.outputStream != nullptr && !target.dryRun) {
        RunIntoStream(target, appendFile, values, result);
        return 0;
    }
    EditNames names;
    PlanEditNames(target.file, appendFile, target.outputPath, &names);
    if (names.appendIsBackup) {
        result->outcome = OUTCOME_APPEND_IS_BACKUP;
        result->backup = names.backup;
        return 0;
    }
    if (target.dryRun) {
        RunIntoStream(target, appendFile, values, result);
        return 0;
    }
    result->inPlace = names.inPlace;
    RunValues context = values;
    const EditRequest request{
        target.file,        appendFile, target.outputPath, values.kind != RUN_APPEND,
        RunEngineOnStreams, &context,   target.waiting};
    RunEditJob(request, &result->edit);
    if (result->edit.code == RESULT_LAST_TIME_DIFFERS) {
        return 1;
    }
    if (result->edit.code != RESULT_OK) {
        result->outcome = OUTCOME_FAILED;
    } else if (result->edit.nothingMoved) {
        result->outcome = OUTCOME_NOTHING_MOVED;
    }
    return 0;
}
