// The swap that puts a new file under a file's name and the file as it was
// under its backup name, in the same steps on every platform, and the
// recovery that completes or takes back a swap that a kill or a power cut cut
// short. The steps, each one call to the system (edit_platform.h):
//   1. an empty folder under the backup name is removed; one with content
//      stops the swap before anything moved;
//   2. the file gets a second name, `link` (a hard link; where none may be
//      made, the file is renamed to `link` and its own name stays empty until
//      step 3);
//   3. the new file is renamed over the file's name;
//   4. `link` is renamed over the backup name.
// Before step 3 the new content stands only under its own name, and the swap
// is taken back by removing `link` (or renaming it back). From step 3 on,
// `link` holds the only copy of the file as it was and is never removed: the
// swap is completed by step 4. So after any instant, and at the latest after
// the next run's recovery, the file and its backup are both as before the
// swap or both as after it.
#pragma once

#include <string>

#include "edit_job.h"

struct SwapNames {
    const char* target;    // FILE
    const char* newcomer;  // what takes FILE's name: the new file, or FILE.bak for an undo
    const char* link;      // the second name of FILE while the swap lasts
    const char* backup;    // FILE.bak
};

// Runs the four steps. 1 when done; else 0 with the failing step
// (EDIT_STEP_BACKUP or EDIT_STEP_SWAP), the name and the error, with the
// names as before the swap: a failed step is taken back, and should that fail
// too, `link` is left for the recovery.
int SwapWithBackup(const SwapNames& names, EditStep* failedStep, std::string* failedAt, int* error);

// Under the lock of the file, before anything is written beside it: what a
// swap cut short left under `link` is taken back (the file's name still leads
// to it, or is empty) or put under the backup name (the new file took the
// name). 1 when nothing is left to do; 0 with the name and the error when
// `link` cannot be put in place, which then stays.
int RecoverSwap(const SwapNames& names, std::string* failedAt, int* error);
