// UTF-8 and UTF-16 names, converted by the system, and long names in the
// verbatim "\\?\" form.
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
