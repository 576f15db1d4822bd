// The shift of one file: sync is a shift over 0 .. E whose shift and stretch
// come from a line, as --fps gives the stretch of a shift.
#include "shift_run.h"

#include <cerrno>
#include <cstring>

#include "edit_run.h"
#include "named_runs.h"
#include "null_device.h"
#include "result_codes.h"
#include "retime_plan.h"

namespace {

// What a check that stops the run says. `quiet` with a guessed E: the guess
// may be wrong, so E is looked up before anything is told.
enum Stop : int { GO_ON = 0, STOPPED, GUESS_MISSED };

std::int64_t CountTimesBelowZero(const char* file, const RunValues& values);

int DeriveParams(const ShiftRequest& request, ShiftParams* params) {
    if (request.derive == DERIVE_LINE) {
        SyncLine line;
        return LineThroughPoints(request.lineOld, request.lineNew, &line) &&
               ParamsForLine(line, params->rangeEnd, params, nullptr);
    }
    return StretchForRates(params->rangeStart, params->rangeEnd, request.rateFrom, request.rateTo,
                           &params->stretch);
}

// The checks before a run, on the values with the range end known or guessed.
Stop CheckValues(const ShiftRequest& request, int quiet, ShiftParams* params, RunResult* result) {
    const int derived = request.derive != DERIVE_NONE;
    RunOutcome stop = OUTCOME_DONE;
    // Values computed from the range need the range first.
    if (!derived && params->shift == 0 && params->stretch == 0) {
        stop = OUTCOME_NO_SHIFT;
    } else if (params->rangeStart >= params->rangeEnd) {
        stop = OUTCOME_EMPTY_RANGE;
    } else if (derived && !DeriveParams(request, params)) {
        stop = OUTCOME_TOO_LARGE;
    } else if (derived && params->shift == 0 && params->stretch == 0) {
        stop = OUTCOME_NO_SHIFT;
    }
    if (stop == OUTCOME_DONE) {
        return GO_ON;
    }
    if (quiet) {
        return GUESS_MISSED;
    }
    result->outcome = stop;
    result->params = *params;
    return STOPPED;
}

// One run once the range end is known or guessed: 1 when the run found
// another largest time than the guessed E, which it leaves in *found (0 when a
// check stopped a guessed E before any run).
int ShiftWithinRange(const RunTarget& target, const ShiftRequest& request, RunValues values,
                     int quiet, std::int32_t* found, RunResult* result) {
    *found = 0;
    const Stop stop = CheckValues(request, quiet, &values.params, result);
    if (stop != GO_ON) {
        return stop == GUESS_MISSED;
    }
    // Counted from FILE before a real run replaces it.
    const std::int64_t timesBelowZero =
        request.countBelowZero ? CountTimesBelowZero(target.file, values) : -1;
    if (EditTarget(target, nullptr, values, result)) {
        *found = result->edit.counts.largestTime;
        return 1;
    }
    result->params = values.params;
    result->timesBelowZero = timesBelowZero;
    return 0;
}

// How many times of the file the run leaves because they would go below 0, or
// -1 when the file cannot be read. They are the range's first times (the
// mapping never falls), so the engine counts them in a run over just those
// times that keeps each one as it is and writes nowhere.
std::int64_t CountTimesBelowZero(const char* file, const RunValues& values) {
    const std::int64_t firstKept = FirstTimeNotBelowZero(values.params);
    if (firstKept <= values.params.rangeStart) {
        return 0;
    }
    RunValues below = values;
    below.params = {values.params.rangeStart, static_cast<std::int32_t>(firstKept - 1), 0, 0};
    below.endGuessed = 0;
    below.options.progress = nullptr;
    RunCounts counts;
    if (ShiftNamedFile(file, NullDevicePath(), below.params, below.options, &counts) != RESULT_OK) {
        return -1;
    }
    return counts.timesMoved;
}

// E is checked by the run itself only where the run writes a file through the
// edit job, which throws a run away unseen: not for a dry run, a stream, or an
// output that is a pipe or device (opened twice, a pipe would tell its reader
// of an end after the first run).
int RunChecksLastTime(const RunTarget& target) {
    if (target.outputStream != nullptr) {
        return 0;
    }
    if (target.outputPath == nullptr) {
        return 1;
    }
    int notRegular = 0;
    int error = 0;
    return CheckEditableFile(target.outputPath, &notRegular, &error) || !notRegular;
}

}  // namespace

int CheckReadableFile(const char* file, std::int32_t failCode, RunResult* result) {
    int notRegular = 0;
    int error = 0;
    if (CheckEditableFile(file, &notRegular, &error)) {
        return 1;
    }
    result->outcome = OUTCOME_FAILED;
    result->edit.code = failCode;
    result->edit.step = notRegular ? EDIT_STEP_CHECK : EDIT_STEP_OPEN;
    result->edit.path = file;
    result->edit.error = error;
    return 0;
}

int LookUpLastSyncTime(const char* file, const RunOptions& options, std::int32_t* last,
                       RunResult* result) {
    // A device or pipe is refused before it is read (a pipe would hold the
    // lookup, /dev/zero would never end it).
    if (!CheckReadableFile(file, RESULT_BAD_FILE, result)) {
        return 0;
    }
    errno = 0;
    RunOptions quietOptions = options;
    quietOptions.progress = nullptr;
    if (ReadNamedLastSyncTime(file, quietOptions, last, &result->lookupCounts) == RESULT_OK) {
        result->lookedUp = 1;
        return 1;
    }
    const int lookupError = errno;
    // The check names a file that cannot be opened; a read that fails part-way
    // is told with its own cause.
    if (CheckReadableFile(file, RESULT_BAD_FILE, result)) {
        result->outcome = OUTCOME_UNREADABLE;
        result->edit.code = RESULT_BAD_FILE;
        result->edit.path = file;
        result->edit.error = lookupError;
    }
    return 0;
}

void ShiftTarget(const RunTarget& target, const ShiftRequest& request, RunResult* result) {
    ClearRunResult(result);
    RunValues values{RUN_SHIFT, request.params, 0, 0, nullptr, target.options};
    ShiftParams& params = values.params;
    std::int32_t found = 0;
    if (!request.endIsLast) {
        if (CheckReadableFile(target.file, RESULT_BAD_FILE, result)) {
            ShiftWithinRange(target, request, values, 0, &found, result);
        }
        return;
    }
    values.endGuessed = RunChecksLastTime(target);
    // A device or pipe is refused before anything opens it to read.
    if (values.endGuessed && !CheckReadableFile(target.file, RESULT_BAD_FILE, result)) {
        return;
    }
    int quiet = values.endGuessed &&
                GuessNamedLastSyncTime(target.file, target.options.readQuoted, &params.rangeEnd);
    int known = quiet;
    for (int attempt = 0; attempt < kRangeEndAttempts; ++attempt) {
        // The last sync time is looked up before the check: a file gone between
        // the check and the lookup is told, not taken for an empty range.
        if (!known && (!LookUpLastSyncTime(target.file, target.options, &params.rangeEnd, result) ||
                       !CheckReadableFile(target.file, RESULT_BAD_FILE, result))) {
            return;
        }
        if (!ShiftWithinRange(target, request, values, quiet, &found, result)) {
            return;
        }
        // A run that read the whole file found E itself; when a check stopped
        // the guess before any run (found is 0), E is looked up.
        params.rangeEnd = found;
        known = found != 0;
        quiet = 0;
        ClearRunCounts(&result->edit.counts);
    }
    result->outcome = OUTCOME_END_KEEPS_CHANGING;
}
