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
    std::wstring wideName;
    if (!WidenName(path, &wideName)) {
        return 0;
    }
    const HANDLE file =
        CreateFileW(wideName.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    LARGE_INTEGER size = {};
    const BOOL known = GetFileType(file) == FILE_TYPE_DISK && GetFileSizeEx(file, &size);
    CloseHandle(file);
    return known ? static_cast<std::int64_t>(size.QuadPart) : 0;
}
