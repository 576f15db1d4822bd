// Undo: FILE and its backup change places under the edit job's lock, each
// keeping its traits, so that a second undo redoes.
#pragma once

#include "run_result.h"

// OUTCOME_DONE, OUTCOME_NO_BACKUP (result->backup names it) or OUTCOME_FAILED.
void UndoFile(const char* file, RunResult* result);
