// Where a run reads and writes, and the backup that keeps an edited file safe.
// Editing in place: the old backup (the name followed by ".bak") is removed, the
// file is renamed to its backup, and the run writes the result under the file's
// own name, reading from the backup. When the run fails, its partial output is
// removed and the backup goes back under the file's own name, unchanged.
#pragma once

#include <string>

struct SavePlan {
    std::string target;       // the name the result is written under
    std::string backup;       // the target's backup; empty when the target is no input
    std::string input;        // where the run reads FILE
    std::string appendInput;  // where it reads the file to append (empty for a shift)
};

// Decides the names. Without an output name FILE is edited in place. An output
// name that leads to FILE itself (the same path, a link, another spelling) is in
// place as well, and one that leads to the file to append edits that file in
// place: no input is ever emptied before it is read.
void PlanSave(const char* file, const char* appendFile, const char* outputPath, SavePlan* plan);

// Before the run: makes the backup, or, with no backup, checks that an existing
// target can be written. 1 when the run may start, else 0 with the cause and
// nothing changed (beyond the old backup, which was to be replaced anyway).
int PrepareSave(const SavePlan& plan, std::string* cause);

// After a failed run: removes the partial output (a regular file only: an output
// such as /dev/full is never removed) and renames the backup back to the
// target. 1 when the target is back as it was, else 0 with the cause.
int UndoSave(const SavePlan& plan, std::string* cause);
