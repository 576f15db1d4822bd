// What the edit job asks of the platform (edit_job_posix.cpp,
// edit_job_win.cpp): an open file's handle with its stream, locks, the
// temporary file's creation, traits, flush and the swaps, and the names that an
// interruption removes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "edit_job.h"

struct EditFile {
    std::intptr_t handle;  // descriptor or HANDLE; -1 when closed
    std::FILE* stream;     // over the handle, owned here
    std::int64_t size;
    FileIdentity identity;
};

void ClearEditFile(EditFile* file);
// Opens a name for reading and checks it is a regular file before reading a
// byte (a pipe or device is not waited on). 1 when open; 0 with the error,
// *notRegular set for anything but a regular file.
int OpenForReading(const char* path, EditFile* file, int* notRegular, int* error);
// Waits for the exclusive lock of an open file; when it has to, `waiting`
// (when not null) hears of it first and *waited is set.
int LockFile(EditFile* file, void (*waiting)(const char* path), const char* path, int* waited,
             int* error);
// Creates a new file exclusively, never through a link, readable and writable
// by its owner only, with a stream for writing.
int CreateUnfinished(const char* path, EditFile* file, int* error);
// The original's permission bits, owner, group, extended attributes (or the
// Windows attributes), set through the new file's handle.
int CopyTraits(const EditFile& from, EditFile* to, int* error);
// Writes what the stream holds and flushes the file to disk.
int FlushToDisk(EditFile* file, int* error);
void CloseEditFile(EditFile* file);
// Makes `backup` the content of `target` now and `unfinished` the new target,
// with no instant without a whole target; `link` is a spare name beside them.
// *failedStep (EDIT_STEP_BACKUP or EDIT_STEP_SWAP) and *failedAt receive the
// failing step and the name of the failing call.
int SwapInWithBackup(const char* target, const char* unfinished, const char* link,
                     const char* backup, EditStep* failedStep, std::string* failedAt, int* error);
// Puts `unfinished` under `target`, replacing any file there in one step.
int MoveInPlace(const char* target, const char* unfinished, int* error);
// Exchanges two names' files in one step, or with no instant without either.
int ExchangeNames(const char* first, const char* second, const char* link, int* error);
// Removes a file left under a temporary name; a folder is left alone.
void RemoveLeftover(const char* path);
// The names an interruption removes; empty names are skipped. Copied into
// fixed buffers, so the handler reads no heap.
void GuardNames(const char* first, const char* second);
// Before the swap: on Windows a file open here cannot be renamed over, so the
// input is closed (and its lock let go) first; POSIX keeps both to the end.
void ReleaseBeforeSwap(EditFile* input);
// Holds interruptions back while the swap runs, and lets them in again.
void HoldInterruptions();
void LetInterruptionsIn();
