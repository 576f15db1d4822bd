// One run of the engine on a target: into the front end's stream, or through
// the edit job, which writes beside FILE and swaps the result in whole.
#pragma once

#include "engine_dispatch.h"
#include "run_result.h"
#include "run_target.h"

// Fills *result: OUTCOME_DONE, OUTCOME_NOTHING_MOVED (a shift or a map that
// moved no time: in place nothing is written), OUTCOME_APPEND_IS_BACKUP or
// OUTCOME_FAILED, with the run's counts. Returns 1 instead, with nothing
// written and the largest time found in result->edit.counts, when the run
// found that its guessed E is not the file's largest time.
int EditTarget(const RunTarget& target, const char* appendFile, const RunValues& values,
               RunResult* result);
