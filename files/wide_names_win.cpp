// UTF-8 and UTF-16 names, converted by the system, long names in the
// verbatim "\\?\" form, and the look at a file by its name that reads no data.
#include "wide_names_win.h"

#include <windows.h>

#include <cerrno>

namespace {

constexpr wchar_t kVerbatimPrefix[] = L"\\\\?\\";
constexpr wchar_t kVerbatimUncPrefix[] = L"\\\\?\\UNC\\";

// "C:\x" becomes "\\?\C:\x" and "\\server\share\x" "\\?\UNC\server\share\x".
// The name is made absolute first, since the verbatim form is taken as it is:
// no "." or ".." steps, no forward slashes.
void MakeVerbatim(std::wstring* wide) {
    if (wide->compare(0, 4, kVerbatimPrefix) == 0) {
        return;
    }
    const DWORD size = GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return;
    }
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(wide->c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size) {
        return;
    }
    full.resize(length);
    if (full.compare(0, 2, L"\\\\") == 0) {
        *wide = kVerbatimUncPrefix + full.substr(2);
    } else {
        *wide = kVerbatimPrefix + full;
    }
}

}  // namespace

int WidenName(const char* path, std::wstring* wide) {
    const int size = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (size <= 0) {
        errno = EINVAL;
        return 0;
    }
    wide->assign(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, &(*wide)[0], size);
    wide->resize(static_cast<std::size_t>(size) - 1);
    if (wide->size() >= MAX_PATH) {
        MakeVerbatim(wide);
    }
    return 1;
}

std::string NarrowName(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return std::string();
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], size, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(size) - 1);
    return text;
}

HANDLE OpenForQueryByName(const char* path) {
    std::wstring wide;
    if (!WidenName(path, &wide)) {
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

int QueryFileByName(const char* path, BY_HANDLE_FILE_INFORMATION* information, DWORD* type) {
    const HANDLE handle = OpenForQueryByName(path);
    if (handle == INVALID_HANDLE_VALUE) {
        return 0;
    }
    *type = GetFileType(handle);
    const BOOL known = GetFileInformationByHandle(handle, information);
    CloseHandle(handle);
    return known ? 1 : 0;
}
