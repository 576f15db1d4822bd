// Files on Windows: the C library's _wrename and _wremove (they set errno),
// the volume and index of an open handle for a file's identity, the final path
// of a handle for a symbolic link, and the read-only, hidden and system
// attributes as the traits an edited file keeps. Names are UTF-8 and reach the
// system as UTF-16 (wide_names_win.h), whatever the ANSI code page. Elsewhere
// the same code builds over the Win32 stand-in (win32_standin/), so that the dialog's
// tests run it natively.
#include "file_system.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

#include "wide_names_win.h"

namespace {

constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

DWORD AttributesOf(const char* path) {
    std::wstring wide;
    return WidenName(path, &wide) ? GetFileAttributesW(wide.c_str()) : INVALID_FILE_ATTRIBUTES;
}

int SetAttributesOf(const char* path, DWORD attributes) {
    std::wstring wide;
    return (WidenName(path, &wide) && SetFileAttributesW(wide.c_str(), attributes)) ? 1 : 0;
}

// A handle that reads no data, so that files open elsewhere (and folders,
// through FILE_FLAG_BACKUP_SEMANTICS) can be looked at too. A link is followed.
HANDLE OpenForQuery(const char* path) {
    std::wstring wide;
    if (!WidenName(path, &wide)) {
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

int RemoveName(const char* path) {
    std::wstring wide;
    return (WidenName(path, &wide) && _wremove(wide.c_str()) == 0) ? 1 : 0;
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

// The final path as the usual functions take it: "\\?\C:\x" is "C:\x" and
// "\\?\UNC\server\x" is "\\server\x".
std::string PlainPath(const char* finalPath) {
    if (std::strncmp(finalPath, "\\\\?\\UNC\\", 8) == 0) {
        return std::string("\\\\") + (finalPath + 8);
    }
    if (std::strncmp(finalPath, "\\\\?\\", 4) == 0) {
        return finalPath + 4;
    }
    return finalPath;
}

}  // namespace

int RenameFileByName(const char* from, const char* to) {
    std::wstring wideFrom;
    std::wstring wideTo;
    return (WidenName(from, &wideFrom) && WidenName(to, &wideTo) &&
            _wrename(wideFrom.c_str(), wideTo.c_str()) == 0)
               ? 1
               : 0;
}

int RemoveFileByName(const char* path) {
    if (RemoveName(path)) {
        return 1;
    }
    const int error = errno;
    const DWORD attributes = AttributesOf(path);
    // A read-only folder is left as it is: the mark means something else there.
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY) == 0 ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
        !SetAttributesOf(path, attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY))) {
        errno = error;
        return 0;
    }
    return RemoveName(path);
}

int NameExists(const char* path) {
    return AttributesOf(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

int IsFolder(const char* path) {
    const DWORD attributes = AttributesOf(path);
    return (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
            (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
               ? 1
               : 0;
}

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

void FollowLinks(const char* path, std::string* file) {
    *file = path;
    // Only a link is renamed in place of its file; other names stay as typed.
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return;
    }
    const HANDLE handle = OpenForQuery(path);
    if (handle == INVALID_HANDLE_VALUE) {
        return;
    }
    constexpr DWORD kFlags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
    // The first call tells the size, NUL included.
    const DWORD size = GetFinalPathNameByHandleW(handle, nullptr, 0, kFlags);
    std::wstring finalPath(size, L'\0');
    const DWORD length =
        size > 0 ? GetFinalPathNameByHandleW(handle, &finalPath[0], size, kFlags) : 0;
    CloseHandle(handle);
    if (length > 0 && length < size) {
        finalPath.resize(length);
        *file = PlainPath(NarrowName(finalPath.c_str()).c_str());
    }
}

int ReadFileTraits(const char* path, FileTraits* traits) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return 0;
    }
    *traits = FileTraits{0, 0, 0, attributes & kKeptAttributes};
    return 1;
}

int CreateWithTraits(const char* /*path*/, const FileTraits& /*traits*/) {
    // A new file takes the folder's permissions; the attributes wait for the
    // end, since a read-only file could not be written at all.
    return 1;
}

int FinishTraits(const char* path, const FileTraits& traits) {
    if (traits.attributes == 0) {
        return 1;
    }
    // "Normal" stands only for no attribute at all.
    const DWORD attributes = AttributesOf(path);
    const DWORD kept =
        (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL)) | traits.attributes;
    if (attributes == INVALID_FILE_ATTRIBUTES || !SetAttributesOf(path, kept)) {
        // The system's own error code has no errno of its own.
        errno = EACCES;
        return 0;
    }
    return 1;
}
