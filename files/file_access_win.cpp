// The engine's file access on Windows: UTF-8 names reach the file through the
// C library's _wfopen and the W functions, whatever the ANSI code page.
#include <windows.h>

#include "file_access.h"
#include "wide_names_win.h"

std::FILE* OpenFileByName(const char* path, const char* mode) {
    std::wstring wideName;
    std::wstring wideMode;
    if (!WidenName(path, &wideName)) {
        return nullptr;
    }
    for (const char* c = mode; *c != '\0'; ++c) {
        wideMode.push_back(static_cast<wchar_t>(*c));
    }
    return _wfopen(wideName.c_str(), wideMode.c_str());
}

// Through a handle, so that a symbolic link is followed to its file.
std::int64_t FileSizeByName(const char* path) {
    BY_HANDLE_FILE_INFORMATION information;
    DWORD type = 0;
    if (!QueryFileByName(path, &information, &type) || type != FILE_TYPE_DISK ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return 0;
    }
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) |
                                     information.nFileSizeLow);
}
