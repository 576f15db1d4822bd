// The file system's part of the stand-in, over POSIX: handles that are
// descriptors, a file's identity and final path, UTF-16 names, and the
// read-only, hidden and system attributes kept in an extended attribute.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cstdio>

#include "standin_internal.h"

namespace {

// A file handle is the descriptor, kept clear of null and INVALID_HANDLE_VALUE.
int DescriptorOf(HANDLE file) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(file) - 16);
}

constexpr char kAttributesName[] = "user.tembrel-attributes";

// A name for the system: UTF-8, and without the verbatim prefix "\\?\" that
// long names carry on Windows.
std::string SystemName(LPCWSTR path) {
    const std::wstring verbatim = L"\\\\?\\";
    const std::wstring wide = path;
    return WideToUtf8(wide.compare(0, verbatim.size(), verbatim) == 0
                          ? wide.c_str() + verbatim.size()
                          : wide.c_str());
}

}  // namespace

HANDLE CreateFileW(LPCWSTR path, DWORD /*access*/, DWORD /*share*/, void* /*security*/,
                   DWORD disposition, DWORD /*flags*/, HANDLE /*templateFile*/) {
    if (disposition != OPEN_EXISTING) {
        return INVALID_HANDLE_VALUE;
    }
    // Never waits for the writer of a FIFO, which Windows does not have.
    const int descriptor = open(SystemName(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return INVALID_HANDLE_VALUE;
    }
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(descriptor) + 16);
}

BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* information) {
    struct stat status;
    if (fstat(DescriptorOf(file), &status) != 0) {
        return FALSE;
    }
    const auto index = static_cast<std::uint64_t>(status.st_ino);
    *information = BY_HANDLE_FILE_INFORMATION{};
    information->dwFileAttributes = S_ISDIR(status.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0;
    information->dwVolumeSerialNumber = static_cast<DWORD>(status.st_dev);
    information->nNumberOfLinks = static_cast<DWORD>(status.st_nlink);
    information->nFileIndexHigh = static_cast<DWORD>(index >> 32);
    information->nFileIndexLow = static_cast<DWORD>(index & 0xFFFFFFFFu);
    return TRUE;
}

BOOL CloseHandle(HANDLE handle) {
    return close(DescriptorOf(handle)) == 0 ? TRUE : FALSE;
}

DWORD GetFileType(HANDLE file) {
    struct stat status;
    if (fstat(DescriptorOf(file), &status) != 0) {
        return FILE_TYPE_UNKNOWN;
    }
    if (S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) {
        return FILE_TYPE_DISK;
    }
    return S_ISCHR(status.st_mode) ? FILE_TYPE_CHAR : FILE_TYPE_PIPE;
}

// The name the descriptor's file has now, with the prefix that Windows puts
// before a final path.
DWORD GetFinalPathNameByHandleW(HANDLE file, LPWSTR path, DWORD size, DWORD /*flags*/) {
    const std::string link = "/proc/self/fd/" + std::to_string(DescriptorOf(file));
    char name[4096];
    const ssize_t length = readlink(link.c_str(), name, sizeof name);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof name) {
        return 0;
    }
    const std::wstring finalPath =
        L"\\\\?\\" + Utf8ToWide(std::string(name, static_cast<std::size_t>(length)));
    if (finalPath.size() >= size) {
        return static_cast<DWORD>(finalPath.size() + 1);
    }
    std::copy(finalPath.c_str(), finalPath.c_str() + finalPath.size() + 1, path);
    return static_cast<DWORD>(finalPath.size());
}

// Relative names are taken from the working folder; "." and ".." are left for
// the system to follow.
DWORD GetFullPathNameW(LPCWSTR path, DWORD size, LPWSTR full, LPWSTR* filePart) {
    std::wstring absolute = path;
    if (absolute.empty() || absolute[0] != L'/') {
        char folder[4096];
        if (getcwd(folder, sizeof folder) == nullptr) {
            return 0;
        }
        absolute = Utf8ToWide(folder) + L"/" + absolute;
    }
    if (filePart != nullptr) {
        *filePart = nullptr;
    }
    if (absolute.size() >= size) {
        return static_cast<DWORD>(absolute.size() + 1);
    }
    std::copy(absolute.c_str(), absolute.c_str() + absolute.size() + 1, full);
    return static_cast<DWORD>(absolute.size());
}

int _wrename(const wchar_t* from, const wchar_t* to) {
    return std::rename(SystemName(from).c_str(), SystemName(to).c_str());
}

int _wremove(const wchar_t* path) {
    return std::remove(SystemName(path).c_str());
}

DWORD GetFileAttributesW(LPCWSTR widePath) {
    const std::string name = SystemName(widePath);
    const char* path = name.c_str();
    struct stat status;
    if (lstat(path, &status) != 0) {
        return INVALID_FILE_ATTRIBUTES;
    }
    DWORD kind = 0;
    struct stat target;
    if (S_ISLNK(status.st_mode)) {
        kind =
            FILE_ATTRIBUTE_REPARSE_POINT |
            ((stat(path, &target) == 0 && S_ISDIR(target.st_mode)) ? FILE_ATTRIBUTE_DIRECTORY : 0);
    } else if (S_ISDIR(status.st_mode)) {
        kind = FILE_ATTRIBUTE_DIRECTORY;
    }
    DWORD set = 0;
    const ssize_t length = lgetxattr(path, kAttributesName, &set, sizeof set);
    const DWORD attributes =
        kind | (length == sizeof set ? set : (kind == 0 ? FILE_ATTRIBUTE_ARCHIVE : 0));
    return attributes != 0 ? attributes : FILE_ATTRIBUTE_NORMAL;
}

BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes) {
    const DWORD set = attributes & ~(FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY |
                                     FILE_ATTRIBUTE_REPARSE_POINT);
    return lsetxattr(SystemName(path).c_str(), kAttributesName, &set, sizeof set, 0) == 0 ? TRUE
                                                                                          : FALSE;
}

DWORD GetFileAttributesA(LPCSTR path) {
    return GetFileAttributesW(Utf8ToWide(path).c_str());
}

BOOL SetFileAttributesA(LPCSTR path, DWORD attributes) {
    return SetFileAttributesW(Utf8ToWide(path).c_str(), attributes);
}
