// Progress of a run on the terminal: the engine's percents on one line of the
// standard error stream, rewritten in place. Silent when that stream is not a
// terminal, so that redirected output holds only messages.
#pragma once

#include "run_counts.h"

// Decides once whether progress is shown.
void InitTerminalProgress();
// Makes the named file the one whose progress the next run reports.
void BeginProgress(const char* name);
// Points the run's progress at the terminal line between BeginProgress and
// EndProgress, when progress is shown at all; elsewhere the run reports none.
void AddTerminalProgress(RunOptions* options);
// Ends a progress line that a failed run left open, so that a message that
// follows starts on a line of its own.
void EndProgress();
