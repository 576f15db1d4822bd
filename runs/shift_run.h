// A shift of one file, as both front ends ask for it: its range end E found,
// the values that depend on the range derived, the checks that say there is
// nothing to do, and the run through the edit job.
#pragma once

#include <cstdint>

#include "run_result.h"
#include "run_target.h"
#include "sync_shift.h"

enum ShiftDerivation : int {
    DERIVE_NONE = 0,   // the shift and stretch as given
    DERIVE_LINE = 1,   // both from the line through two points (sync --at)
    DERIVE_RATES = 2,  // the stretch from two frame rates (--fps)
};

struct ShiftRequest {
    ShiftParams params;  // the range end is each file's own when endIsLast
    int endIsLast;       // the range end is the file's largest sync time ("E")
    ShiftDerivation derive;
    std::int32_t lineOld[2];  // DERIVE_LINE: the points OLD=NEW
    std::int32_t lineNew[2];
    double rateFrom;  // DERIVE_RATES
    double rateTo;
    int countBelowZero;  // count the times the line puts below 0 (told by -v and -n)
};

// Runs of one file whose E was found different by the run each time: another
// program (or run) keeps changing the file.
inline constexpr int kRangeEndAttempts = 8;

// Shifts the target's file. E, the file's largest sync time, is mostly its
// last cue's: guessed from the file's tail, it lets the one run start at once.
// Where the run can be taken back it checks E against every time it reads,
// under the file's lock; when they differ the file runs again with the E the
// run found. What goes into a stream cannot be taken back: E is looked up
// first there.
void ShiftTarget(const RunTarget& target, const ShiftRequest& request, RunResult* result);

// The file's largest plain sync time: 1 with *last and what the lookup found in
// result->lookupCounts, or 0 with result->outcome telling why it is not known.
int LookUpLastSyncTime(const char* file, const RunOptions& options, std::int32_t* last,
                       RunResult* result);

// 1 when the name leads to a regular file that opens for reading; else 0 with
// the failing step (a device, pipe or folder is refused unread) in *result,
// under `failCode`.
int CheckReadableFile(const char* file, std::int32_t failCode, RunResult* result);
