// What the edit job asks of the platform (edit_job_posix.cpp,
// edit_job_win.cpp): an open file's handle with its stream, locks, the
// temporary file's creation, traits and flush, the steps of the swaps, and the
// name that an interruption removes.
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
// The steps of a swap (backup_swap.cpp), each one call to the system.
// Puts `from` under the name `to` in one step, replacing any file there (on
// Windows a read-only one too).
int ReplaceName(const char* from, const char* to, int* error);
// Gives the file `from` the second name `to` (a hard link). 0 with
// *unsupported set where none may be made here (another user's file where
// hard links are protected, a file system or share without them).
int MakeSecondName(const char* from, const char* to, int* unsupported, int* error);
// Removes an empty folder standing under `path`: 1 when no folder stands
// there any more (or none did), 0 for a folder with content or on an error.
int ClearEmptyFolder(const char* path, int* error);
// Exchanges the files of two names in one step; 0 with *unsupported set where
// the system or the file system has no such step.
int ExchangeInOneStep(const char* first, const char* second, int* unsupported, int* error);
// 1 when nothing holds the file open against its name being replaced (Windows:
// another program's handle without FILE_SHARE_DELETE); always 1 on POSIX.
int CanBeReplaced(const char* path, int* error);
// What a replacing rename takes from the file it replaces even where that file
// lives on under another name (Windows: the read-only attribute, lifted for
// the rename), read before and given back to it under its last name.
std::uint32_t ReadReplacedAttributes(const char* path);
void GiveBackAttributes(const char* path, std::uint32_t attributes);
// Puts the renames in the folder of `path` on disk, or leaves that to
// FlushEditedFolders while edits are in a row.
void FlushFolderOf(const char* path);
// 1 when a name stands that is no folder (a file a killed run left).
int LeftoverExists(const char* path);
// Removes a file left under a temporary name; a folder is left alone.
void RemoveLeftover(const char* path);
// The name an interruption removes (the new file while it is unfinished);
// "" for none. Copied into a fixed buffer, so the handler reads no heap.
void GuardName(const char* path);
// Before the swap: on Windows a file open here cannot be renamed over, so the
// input and the new file are closed (and their locks let go) first; POSIX
// keeps both, locked, to the end of the job.
void ReleaseBeforeSwap(EditFile* file);
// Holds interruptions back while the swap runs, and lets them in again.
void HoldInterruptions();
void LetInterruptionsIn();
