// Where a run reads and writes, and the backup that keeps an edited file safe,
// for both front ends. Editing in place: a file named through a symbolic link
// is edited where it lives. An older backup (the name followed by ".bak") is set
// aside under an unused name in its folder, the file is renamed to its backup,
// a new file with the file's traits takes its name, and the run writes into it,
// reading from the backup. After a run that succeeds the older backup is
// removed; after one that fails the partial output is removed and the file and
// the older backup are put back under their names, unchanged.
#pragma once

#include <string>

#include "file_system.h"

struct SavePlan {
    std::string target;       // the name the result is written under
    std::string backup;       // the target's backup; empty when the target is no input
    std::string input;        // where the run reads FILE
    std::string appendInput;  // where it reads the file to append (empty for a shift)
    std::string olderBackup;  // where the older backup waits during the run; empty without one
    FileTraits traits;        // the edited file's, kept by its new content
};

// Decides the names. Without an output name FILE is edited in place. An output
// name that leads to FILE itself (the same path, a link, another spelling) is in
// place as well, and one that leads to the file to append edits that file in
// place: no input is ever emptied before it is read.
void PlanSave(const char* file, const char* appendFile, const char* outputPath, SavePlan* plan);

// 1 when the file to append is the older backup that the run replaces: it would
// be gone before it is read.
int ReplacesAppendFile(const SavePlan& plan, const char* appendFile);

// Before the run: makes the backup and the new file, or, with no backup, checks
// that an existing target can be written. 1 when the run may start, else 0
// with the cause and everything as it was.
int PrepareSave(SavePlan* plan, std::string* cause);

// After a run that succeeded: the new file's final traits, and the older backup
// removed. 1 when done, else 0 with the cause (the result stands all the same).
int FinishSave(const SavePlan& plan, std::string* cause);

// After a failed run: removes the partial output (a regular file only: an output
// such as /dev/full is never removed), renames the backup back to the target
// and the older backup back to the backup. 1 when all is back as it was, else
// 0 with the cause.
int UndoSave(const SavePlan& plan, std::string* cause);
