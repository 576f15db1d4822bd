// Moving files for a run, with the standard library's remove and rename, and
// telling two names of one file apart by the file's identity.
#include "backup_files.h"

#include <cstdio>

void FormBackupName(const char* path, char* backup) {
    std::snprintf(backup, kBackupNameSize, "%s.bak", path);
}

int MakeBackup(const char* path, const char* backup) {
    // A missing old backup is the usual case, so the removal may fail; only
    // the move decides.
    std::remove(backup);
    return std::rename(path, backup) == 0 ? 1 : 0;
}

void RestoreBackup(const char* path, const char* backup) {
    std::remove(path);
    std::rename(backup, path);
}

namespace {

// The volume and index that identify a file; 0 when it cannot be opened.
int ReadFileIdentity(const char* path, BY_HANDLE_FILE_INFORMATION* identity) {
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    const BOOL read = GetFileInformationByHandle(file, identity);
    CloseHandle(file);
    return read ? 1 : 0;
}

}  // namespace

int IsSameFile(const char* first, const char* second) {
    BY_HANDLE_FILE_INFORMATION a;
    BY_HANDLE_FILE_INFORMATION b;
    if (!ReadFileIdentity(first, &a) || !ReadFileIdentity(second, &b)) {
        return 0;
    }
    return (a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
            a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow)
               ? 1
               : 0;
}
