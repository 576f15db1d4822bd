// The backup-and-replace protocol of a run: the file is moved to its backup
// name, the run reads the backup and writes the file anew, and a failed run is
// undone by moving the backup back.
#pragma once

#include "win_api.h"

// The path followed by ".bak": up to 259 + 4 characters and a NUL.
inline constexpr int kBackupNameSize = 264;

void FormBackupName(const char* path, char* backup);

// Deletes any old backup and moves the file to the backup name; 0 when the
// file could not be moved (it is then untouched).
int MakeBackup(const char* path, const char* backup);

// Removes what a failed run left under the path and moves the backup back.
void RestoreBackup(const char* path, const char* backup);

// 1 when both paths name one and the same file, however they are spelled.
int IsSameFile(const char* first, const char* second);
