// The one edit job of both front ends: it checks the file, decides the names,
// locks the file against other runs, has the engine write the new content into
// a temporary file beside it, gives that file the original's traits, flushes it
// to disk and swaps it in (backup_swap.h), so that FILE is always whole. After
// a success FILE is the new content and FILE.bak the content before the run;
// after any failure or an interruption FILE and FILE.bak are as they were.
// After a kill or a power cut inside the swap, the next run on the file
// completes the swap or takes it back before anything else. The front ends
// only read their inputs and word the result.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "edit_names.h"
#include "run_counts.h"

// The step at which a job failed.
enum EditStep : int {
    EDIT_STEP_NONE = 0,
    EDIT_STEP_OPEN,       // opening FILE (or the file to append) for reading
    EDIT_STEP_CHECK,      // FILE is no regular file
    EDIT_STEP_LOCK,       // taking the lock
    EDIT_STEP_CREATE,     // creating the temporary file
    EDIT_STEP_RUN,        // the engine's run (its result code says which file)
    EDIT_STEP_TRAITS,     // giving the new file the original's traits
    EDIT_STEP_FLUSH,      // flushing the new file to disk
    EDIT_STEP_BACKUP,     // the backup could not be put in place
    EDIT_STEP_SWAP,       // putting the new content in place
    EDIT_STEP_NO_BACKUP,  // undo: FILE.bak is missing
};

// What a job did.
struct EditResult {
    std::int32_t code;   // RESULT_OK or the result code the user is told of
    EditStep step;       // where it failed (EDIT_STEP_NONE on success)
    std::string path;    // the name the failing call was given
    std::string target;  // the name the result takes (EditNames::target)
    std::string backup;  // its backup; empty unless the edit is in place
    int error;           // errno (GetLastError on Windows) of the failing call
    int nothingMoved;    // the run moved no time (in place: nothing was written)
    int waited;          // another run held the file first
    RunCounts counts;    // what the run found and did
};

// The streams an engine run reads and writes, opened by the job.
struct EditStreams {
    std::FILE* input;
    std::int64_t inputSize;
    std::FILE* append;  // null without a file to append
    std::int64_t appendSize;
    std::FILE* output;
    // The output is a new file that a failed run leaves unseen; not so a
    // device or standard output written straight into.
    int discardable;
};

// The engine run a job makes, with the front end's own values in `context`. It
// may read the input first (a last sync time) and must then rewind it. Returns
// the engine's result code.
using EditRun = std::int32_t (*)(void* context, const EditStreams& streams, RunCounts* counts);

struct EditRequest {
    const char* file;        // FILE
    const char* appendFile;  // the file to append, or null
    const char* outputPath;  // -o OUT, or null to edit FILE in place
    // In place, a run that moves no time writes nothing; an output name is
    // written all the same.
    int keepWhenUnmoved;
    EditRun run;
    void* context;
    // Called once when another run holds the file and this one waits for it.
    void (*waiting)(const char* file);
};

// 1 when the name leads to a regular file that opens for reading, directly or
// through a link; else 0 with *notRegular set for a device, pipe, socket or
// folder (none of which is read or waited on), or the error in *error.
int CheckEditableFile(const char* path, int* notRegular, int* error);
// The same file opened as the job opens it: a stream to read and close, with
// the file's size; null as above.
std::FILE* OpenRegularFile(const char* path, std::int64_t* size, int* notRegular, int* error);

// Runs the job; the result code as in result_codes.h.
std::int32_t RunEditJob(const EditRequest& request, EditResult* result);

// Swaps FILE and FILE.bak in one step, under the same lock, each keeping its
// traits: a second undo redoes. RESULT_BAD_FILE with EDIT_STEP_NO_BACKUP when
// there is no FILE.bak.
std::int32_t UndoEdit(const char* file, EditResult* result);

// The names a job gives its temporary files beside FILE, so that a file left
// by a killed run says what it is.
std::string UnfinishedName(const std::string& target);
std::string BackupLinkName(const std::string& target);

// Edits in a row (many files in one command): the flush of each folder, which
// puts the renames in it on disk, waits for FlushEditedFolders and is made once
// per folder. Each file's new content is on disk before it is swapped in either
// way, so a crash in between leaves every file whole, old or new.
void DeferFolderFlushes();
// Flushes the folders of the edits since DeferFolderFlushes, and ends the
// deferring: 1 when every flush succeeded.
int FlushEditedFolders();

// Removes the temporary files and ends the process on SIGINT, SIGTERM and
// SIGHUP (Ctrl+C and closing the console on Windows), exit 128 + the signal.
void InstallEditInterruptHandlers();
