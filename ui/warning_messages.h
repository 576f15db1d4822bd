// The messages the user reads: one warning per result code, and the notice that
// the program could not start. Shown with MessageBoxW, so that the Korean texts
// read right whatever the system's code page is.
#pragma once

#include <cstdint>

#include "run_counts.h"
#include "win_api.h"

// Shows the warning of a non-zero result code, owned by the dialog.
void ShowWarning(HWND owner, std::int32_t code);

// After a run that ended well: a warning when it moved no time, or left sync
// tags without a readable time, saying which and how many; nothing otherwise.
void ShowRunWarning(HWND owner, const RunCounts& counts);

// A number field whose text is no time in the selected unit (1: msec): names
// the field and the forms its text may take.
void ShowFieldWarning(HWND owner, int fieldId, int milliseconds);

// Undo found no backup of the file.
void ShowNoBackup(HWND owner);

// Tells the user that the dialog could not be opened.
void ShowStartFailure();
