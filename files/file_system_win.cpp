// What a name leads to on Windows: the volume and index of a handle for a
// file's identity, the final path of a handle for a symbolic link. Names are
// UTF-8 and reach the system as UTF-16 (wide_names_win.h), whatever the ANSI
// code page.
#include "file_system.h"

#include <windows.h>

#include <cstring>

#include "wide_names_win.h"

namespace {

// The final path as the usual functions take it: "\\?\C:\x" is "C:\x" and
// "\\?\UNC\server\x" is "\\server\x". A long name gets its prefix back where
// it reaches the system (WidenName), and messages show the name as users
// know it.
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

int ReadFileIdentity(const char* path, FileIdentity* identity) {
    BY_HANDLE_FILE_INFORMATION information;
    DWORD type = 0;
    if (!QueryFileByName(path, &information, &type)) {
        return 0;
    }
    *identity = FileIdentity{
        information.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
    return 1;
}

void FollowLinks(const char* path, std::string* file) {
    *file = path;
    std::wstring wide;
    // Only a link is renamed in place of its file; other names stay as typed.
    const DWORD attributes =
        WidenName(path, &wide) ? GetFileAttributesW(wide.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        return;
    }
    const HANDLE handle = OpenForQueryByName(path);
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
