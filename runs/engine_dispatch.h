// The engine's run for each kind of edit: over the streams the edit job
// opened, or from a file opened here by name into a stream.
#pragma once

#include <cstdint>
#include <cstdio>

#include "cue_alignment.h"
#include "edit_job.h"
#include "run_counts.h"
#include "sync_shift.h"

enum RunKind : int { RUN_SHIFT, RUN_APPEND, RUN_MAP };

struct RunValues {
    RunKind kind;
    ShiftParams params;   // RUN_SHIFT
    int endGuessed;       // params.rangeEnd stands for E and is checked by the run
    std::int32_t offset;  // RUN_APPEND
    const TimeMap* map;   // RUN_MAP
    RunOptions options;
};

// The EditRun of the edit job; `values` is a RunValues. A run whose guessed E
// differs from the largest time it finds gives RESULT_LAST_TIME_DIFFERS, as
// does one whose output cannot be thrown away.
std::int32_t RunEngineOnStreams(void* values, const EditStreams& streams, RunCounts* counts);

// The same run from `file` (and `appendFile` for an append), opened here by
// name, into `output`, which stays open. RESULT_BAD_FILE or
// RESULT_BAD_APPEND_FILE when an input cannot be opened.
std::int32_t RunEngineIntoStream(const char* file, const char* appendFile, std::FILE* output,
                                 const RunValues& values, RunCounts* counts);
