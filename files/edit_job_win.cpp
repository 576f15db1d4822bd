// The edit job's platform steps on Windows: CreateFileW with the file's type
// checked before any read, LockFileEx on the open handle, the temporary file
// made with CREATE_NEW (a name that exists, a link included, is refused),
// the attributes set through the handle, FlushFileBuffers, and
// CreateHardLinkW, MoveFileExW (MOVEFILE_REPLACE_EXISTING |
// MOVEFILE_WRITE_THROUGH) and RemoveDirectoryW for the swap's steps. A console
// control handler removes the new file while it is unfinished on Ctrl+C and
// when the console closes.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "edit_platform.h"
#include "wide_names_win.h"

namespace {

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr std::size_t kGuardedNameSize = 32768;

wchar_t g_guarded[kGuardedNameSize];
volatile LONG g_guarding = 0;
volatile LONG g_holding = 0;

void CopyName(wchar_t* to, const char* from) {
    std::wstring wide;
    if (from[0] == '\0' || !WidenName(from, &wide) || wide.size() >= kGuardedNameSize) {
        to[0] = L'\0';
        return;
    }
    std::memcpy(to, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

BOOL WINAPI RemoveGuardedAndExit(DWORD event) {
    // During a swap the names are in use: the swap finishes first.
    while (g_holding != 0) {
        Sleep(1);
    }
    if (g_guarding != 0) {
        DeleteFileW(g_guarded);
    }
    ExitProcess(event == CTRL_C_EVENT ? 130u : 129u);
    return TRUE;
}

HANDLE HandleOf(const EditFile& file) {
    return reinterpret_cast<HANDLE>(file.handle);
}

int WithWide(const char* path, std::wstring* wide, int* error) {
    if (!WidenName(path, wide)) {
        *error = ERROR_INVALID_NAME;
        return 0;
    }
    return 1;
}

// A stream over the handle; the stream owns it from then on.
std::FILE* StreamOver(HANDLE handle, int flags, const char* mode) {
    const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), flags);
    if (descriptor < 0) {
        return nullptr;
    }
    std::FILE* stream = _fdopen(descriptor, mode);
    if (stream == nullptr) {
        _close(descriptor);
    }
    return stream;
}

}  // namespace

int OpenForReading(const char* path, EditFile* file, int* notRegular, int* error) {
    ClearEditFile(file);
    *notRegular = 0;
    std::wstring wide;
    if (!WithWide(path, &wide, error)) {
        return 0;
    }
    const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = static_cast<int>(GetLastError());
        return 0;
    }
    BY_HANDLE_FILE_INFORMATION information;
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(handle, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        // A folder is told by its errno, as the portable steps ask.
        *error = (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                     ? EISDIR
                     : static_cast<int>(ERROR_INVALID_FUNCTION);
        *notRegular = 1;
        CloseHandle(handle);
        return 0;
    }
    std::FILE* stream = StreamOver(handle, _O_RDONLY | _O_BINARY, "rb");
    if (stream == nullptr) {
        *error = static_cast<int>(GetLastError());
        CloseHandle(handle);
        return 0;
    }
    file->handle = reinterpret_cast<std::intptr_t>(handle);
    file->stream = stream;
    file->size = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow);
    file->identity = FileIdentity{
        information.dwVolumeSerialNumber,
        (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
    return 1;
}

int LockFile(EditFile* file, void (*waiting)(const char* path), const char* path, int* waited,
             int* error) {
    // The lock covers no byte of the content (it starts past any size a file
    // can have), so the run's own reads and other readers are not stopped.
    OVERLAPPED at = {};
    at.Offset = 0xFFFFFFFEu;
    at.OffsetHigh = 0x7FFFFFFFu;
    *waited = 0;
    if (LockFileEx(HandleOf(*file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                   &at)) {
        return 1;
    }
    if (GetLastError() != ERROR_LOCK_VIOLATION) {
        *error = static_cast<int>(GetLastError());
        return 0;
    }
    *waited = 1;
    if (waiting != nullptr) {
        waiting(path);
    }
    if (!LockFileEx(HandleOf(*file), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &at)) {
        *error = static_cast<int>(GetLastError());
        return 0;
    }
    return 1;
}

int CreateUnfinished(const char* path, EditFile* file, int* error) {
    ClearEditFile(file);
    std::wstring wide;
    if (!WithWide(path, &wide, error)) {
        return 0;
    }
    const HANDLE handle =
        CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE | WRITE_DAC, FILE_SHARE_READ,
                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = static_cast<int>(GetLastError());
        return 0;
    }
    std::FILE* stream = StreamOver(handle, _O_WRONLY | _O_BINARY, "wb");
    if (stream == nullptr) {
        *error = static_cast<int>(GetLastError());
        CloseHandle(handle);
        DeleteFileW(wide.c_str());
        return 0;
    }
    file->handle = reinterpret_cast<std::intptr_t>(handle);
    file->stream = stream;
    return 1;
}

int CopyTraits(const EditFile& from, EditFile* to, int* error) {
    BY_HANDLE_FILE_INFORMATION information;
    if (!GetFileInformationByHandle(HandleOf(from), &information)) {
        *error = static_cast<int>(GetLastError());
        return 0;
    }
    // Written and flushed before the attributes: a read-only file takes no
    // more writes. The handle's own writes go on.
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = information.dwFileAttributes & kKeptAttributes;
    if (basic.FileAttributes == 0) {
        basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    }
    if (!SetFileInformationByHandle(HandleOf(*to), FileBasicInfo, &basic, sizeof basic)) {
        *error = static_cast<int>(GetLastError());
        return 0;
    }
    return 1;
}

int FlushToDisk(EditFile* file, int* error) {
    if (std::fflush(file->stream) != 0 || !FlushFileBuffers(HandleOf(*file))) {
        *error = static_cast<int>(GetLastError());
        return 0;
    }
    return 1;
}

void CloseEditFile(EditFile* file) {
    if (file->stream != nullptr) {
        std::fclose(file->stream);
    } else if (file->handle != -1) {
        CloseHandle(HandleOf(*file));
    }
    ClearEditFile(file);
}

namespace {

int Replace(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
               ? 1
               : 0;
}

int LastError(int* error) {
    *error = static_cast<int>(GetLastError());
    return 0;
}

}  // namespace

// A read-only file cannot be replaced by a rename: its attribute is lifted for
// the rename (and put back when the rename fails).
int ReplaceName(const char* from, const char* to, int* error) {
    std::wstring wideFrom;
    std::wstring wideTo;
    if (!WithWide(from, &wideFrom, error) || !WithWide(to, &wideTo, error)) {
        return 0;
    }
    const DWORD attributes = GetFileAttributesW(wideTo.c_str());
    const int readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) {
        SetFileAttributesW(wideTo.c_str(),
                           attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    if (Replace(wideFrom, wideTo)) {
        return 1;
    }
    LastError(error);
    if (readOnly) {
        SetFileAttributesW(wideTo.c_str(), attributes);
    }
    return 0;
}

int MakeSecondName(const char* from, const char* to, int* unsupported, int* error) {
    std::wstring wideFrom;
    std::wstring wideTo;
    *unsupported = 0;
    if (!WithWide(from, &wideFrom, error) || !WithWide(to, &wideTo, error)) {
        return 0;
    }
    if (CreateHardLinkW(wideTo.c_str(), wideFrom.c_str(), nullptr)) {
        return 1;
    }
    const DWORD code = GetLastError();
    *unsupported = code == ERROR_NOT_SUPPORTED || code == ERROR_INVALID_FUNCTION ||
                   code == ERROR_TOO_MANY_LINKS || code == ERROR_NOT_SAME_DEVICE;
    return LastError(error);
}

int ClearEmptyFolder(const char* path, int* error) {
    std::wstring wide;
    if (!WithWide(path, &wide, error)) {
        return 0;
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return 1;
    }
    return RemoveDirectoryW(wide.c_str()) ? 1 : LastError(error);
}

int ExchangeInOneStep(const char*, const char*, int* unsupported, int* error) {
    *unsupported = 1;
    *error = ERROR_NOT_SUPPORTED;
    return 0;
}

// Found before the file gets a second name, which could not be removed again
// while another program holds the file.
int CanBeReplaced(const char* path, int* error) {
    std::wstring wide;
    if (!WithWide(path, &wide, error)) {
        return 0;
    }
    HANDLE probe =
        CreateFileW(wide.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        return LastError(error);
    }
    CloseHandle(probe);
    return 1;
}

// Attributes belong to the file, not to a name: the read-only attribute that
// a rename over the file lifted is lifted under its other name too.
std::uint32_t ReadReplacedAttributes(const char* path) {
    std::wstring wide;
    const DWORD attributes =
        WidenName(path, &wide) ? GetFileAttributesW(wide.c_str()) : INVALID_FILE_ATTRIBUTES;
    return attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes;
}

void GiveBackAttributes(const char* path, std::uint32_t attributes) {
    std::wstring wide;
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0 && WidenName(path, &wide)) {
        SetFileAttributesW(wide.c_str(), attributes);
    }
}

// MOVEFILE_WRITE_THROUGH puts each rename on disk before it returns.
void FlushFolderOf(const char*) {}

int LeftoverExists(const char* path) {
    std::wstring wide;
    const DWORD attributes =
        WidenName(path, &wide) ? GetFileAttributesW(wide.c_str()) : INVALID_FILE_ATTRIBUTES;
    return (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
               ? 1
               : 0;
}

void RemoveLeftover(const char* path) {
    std::wstring wide;
    if (!LeftoverExists(path) || !WidenName(path, &wide)) {
        return;
    }
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(wide.c_str());
}

void GuardName(const char* path) {
    InterlockedExchange(&g_guarding, 0);
    CopyName(g_guarded, path);
    InterlockedExchange(&g_guarding, path[0] != '\0' ? 1 : 0);
}

void ReleaseBeforeSwap(EditFile* file) {
    CloseEditFile(file);
}

void HoldInterruptions() {
    InterlockedExchange(&g_holding, 1);
}

void LetInterruptionsIn() {
    InterlockedExchange(&g_holding, 0);
}

void InstallEditInterruptHandlers() {
    SetConsoleCtrlHandler(RemoveGuardedAndExit, TRUE);
}

// Renames need no flush of their folder here: both are no-ops.
void DeferFolderFlushes() {}

int FlushEditedFolders() {
    return 1;
}
