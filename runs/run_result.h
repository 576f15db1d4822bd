// What a run of either front end came to, for the front end to word: what
// moved and what was found, or which step failed with the system's error.
// Every decision that both front ends make about a run is made in runs/; the
// front ends read their inputs and say what this tells.
#pragma once

#include <cstdint>
#include <string>

#include "edit_job.h"
#include "run_counts.h"
#include "sync_shift.h"
#include "text_input.h"

enum RunOutcome : int {
    OUTCOME_DONE = 0,            // the result is written (a dry run: computed)
    OUTCOME_NOTHING_MOVED,       // no time moved: FILE is kept; an output name gets the same bytes
    OUTCOME_NO_SHIFT,            // shift and stretch are both 0: nothing to do
    OUTCOME_EMPTY_RANGE,         // the range start is not below the range end: nothing to do
    OUTCOME_TOO_LARGE,           // the derived shift or stretch does not fit in 32 bits
    OUTCOME_APPEND_IS_BACKUP,    // the file to append is the backup that the edit replaces
    OUTCOME_MIXED_KINDS,         // the two files' encodings differ
    OUTCOME_END_KEEPS_CHANGING,  // the last sync time changed with every run
    OUTCOME_NO_BACKUP,           // undo: there is no backup
    OUTCOME_NO_CUES,             // align: the file holds no cue
    OUTCOME_ALREADY_ALIGNED,     // align: no cue would move
    OUTCOME_NOT_CONFIDENT,       // align: the match is not clear; nothing written
    OUTCOME_UNREADABLE,          // FILE opened but could not be read to its end (edit.error)
    OUTCOME_FAILED,              // edit.code, edit.step, edit.path and edit.error say what failed
};

struct RunResult {
    RunOutcome outcome;
    EditResult edit;              // the edit's code, failing step, name and error, and its counts
    int inPlace;                  // FILE is edited in place and keeps a backup
    ShiftParams params;           // the values the shift used: its range end as found
    std::int64_t timesBelowZero;  // times the shift's line puts below 0, or -1 when not counted
    int lookedUp;                 // the range end was looked up by a pass of its own...
    RunCounts lookupCounts;       // ...which found these
    TextKind kind;                // for mixed encodings: FILE's and the file to append's
    TextKind appendKind;
    std::string backup;  // the backup named by OUTCOME_APPEND_IS_BACKUP or OUTCOME_NO_BACKUP
};

void ClearRunResult(RunResult* result);
// 1 when the outcome is a failure the user must hear of (not a run with nothing to do).
int RunFailed(const RunResult& result);
