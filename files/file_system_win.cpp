// File identity on Windows: volume serial number and file index of an open
// handle. The ANSI calls take the names in the system code page, as the
// command line and the C library's fopen do.
#include "file_identity.h"

#include <windows.h>

namespace {

// A handle that reads no data, so that files open elsewhere (and directories,
// through FILE_FLAG_BACKUP_SEMANTICS) can be looked at too.
HANDLE OpenForQuery(const char* path) {
    return CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

int QueryFile(const char* path, BY_HANDLE_FILE_INFORMATION* information, DWORD* type) {
    const HANDLE handle = OpenForQuery(path);
    if (handle == INVALID_HANDLE_VALUE) {
        return 0;
    }
    *type = GetFileType(handle);
    const BOOL known = GetFileInformationByHandle(handle, information);
    CloseHandle(handle);
    return known ? 1 : 0;
}

}  // namespace

int IsSameFile(const char* first, const char* second) {
    BY_HANDLE_FILE_INFORMATION firstInformation;
    BY_HANDLE_FILE_INFORMATION secondInformation;
    DWORD firstType = 0;
    DWORD secondType = 0;
    if (!QueryFile(first, &firstInformation, &firstType) ||
        !QueryFile(second, &secondInformation, &secondType)) {
        return 0;
    }
    return (firstInformation.dwVolumeSerialNumber == secondInformation.dwVolumeSerialNumber &&
            firstInformation.nFileIndexHigh == secondInformation.nFileIndexHigh &&
            firstInformation.nFileIndexLow == secondInformation.nFileIndexLow)
               ? 1
               : 0;
}

int IsRegularFile(const char* path) {
    BY_HANDLE_FILE_INFORMATION information;
    DWORD type = 0;
    if (!QueryFile(path, &information, &type)) {
        return 0;
    }
    return (type == FILE_TYPE_DISK &&
            (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
               ? 1
               : 0;
}
