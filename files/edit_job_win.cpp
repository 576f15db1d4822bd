// The edit job's platform steps on Windows: CreateFileW with the file's type
// checked before any read, LockFileEx on the open handle, the temporary file
// made with CREATE_NEW (a name that exists, a link included, is refused),
// the attributes set through the handle, FlushFileBuffers, and
// CreateHardLinkW with MoveFileExW (MOVEFILE_REPLACE_EXISTING |
// MOVEFILE_WRITE_THROUGH) for the swap. A console control handler removes the
// temporary files on Ctrl+C and when the console closes.
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

wchar_t g_guardedFirst[kGuardedNameSize];
wchar_t g_guardedSecond[kGuardedNameSize];
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
        DeleteFileW(g_guardedFirst);
        DeleteFileW(g_guardedSecond);
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

// A read-only file cannot be replaced by a rename: its attribute is lifted for
// the rename and put back after it.
int ReplaceKeepingReadOnly(const std::wstring& from, const std::wstring& to) {
    const DWORD attributes = GetFileAttributesW(to.c_str());
    const int readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly) {
        SetFileAttributesW(to.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
    if (Replace(from, to)) {
        return 1;
    }
    const DWORD error = GetLastError();
    if (readOnly) {
        SetFileAttributesW(to.c_str(), attributes);
    }
    SetLastError(error);
    return 0;
}

// 1 when nothing holds the file open against its being renamed.
int CanBeRenamed(const std::wstring& name) {
    HANDLE probe =
        CreateFileW(name.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        return 0;
    }
    CloseHandle(probe);
    return 1;
}

}  // namespace

int SwapInWithBackup(const char* target, const char* unfinished, const char* link,
                     const char* backup, EditStep* failedStep, std::string* failedAt, int* error) {
    std::wstring wideTarget;
    std::wstring wideUnfinished;
    std::wstring wideLink;
    std::wstring wideBackup;
    if (!WithWide(target, &wideTarget, error) || !WithWide(unfinished, &wideUnfinished, error) ||
        !WithWide(link, &wideLink, error) || !WithWide(backup, &wideBackup, error)) {
        *failedAt = target;
        return 0;
    }
    // A file another program holds open without letting it be renamed cannot
    // be swapped: found before a second name is made for it, which could not
    // be removed again while it is held.
    if (!CanBeRenamed(wideTarget)) {
        *error = static_cast<int>(GetLastError());
        *failedAt = target;
        return 0;
    }
    // Attributes belong to the file, not to a name: the read-only attribute
    // lifted from FILE for the last rename is lifted from the backup too, and
    // is given back to it afterwards.
    const DWORD attributes = GetFileAttributesW(wideTarget.c_str());
    if (!CreateHardLinkW(wideLink.c_str(), wideTarget.c_str(), nullptr)) {
        *error = static_cast<int>(GetLastError());
        *failedAt = target;
        return 0;
    }
    // An empty folder under the backup's name gives way, as a backup would.
    if (!ReplaceKeepingReadOnly(wideLink, wideBackup) &&
        !(RemoveDirectoryW(wideBackup.c_str()) && ReplaceKeepingReadOnly(wideLink, wideBackup))) {
        *error = static_cast<int>(GetLastError());
        *failedStep = EDIT_STEP_BACKUP;
        *failedAt = backup;
        DeleteFileW(wideLink.c_str());
        return 0;
    }
    if (!ReplaceKeepingReadOnly(wideUnfinished, wideTarget)) {
        *error = static_cast<int>(GetLastError());
        *failedAt = target;
        return 0;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        SetFileAttributesW(wideBackup.c_str(), attributes);
    }
    return 1;
}

int MoveInPlace(const char* target, const char* unfinished, int* error) {
    std::wstring wideTarget;
    std::wstring wideUnfinished;
    if (!WithWide(target, &wideTarget, error) || !WithWide(unfinished, &wideUnfinished, error)) {
        return 0;
    }
    if (!ReplaceKeepingReadOnly(wideUnfinished, wideTarget)) {
        *error = static_cast<int>(GetLastError());
        return 0;
    }
    return 1;
}

int ExchangeNames(const char* first, const char* second, const char* link, int* error) {
    std::wstring wideFirst;
    std::wstring wideSecond;
    std::wstring wideLink;
    if (!WithWide(first, &wideFirst, error) || !WithWide(second, &wideSecond, error) ||
        !WithWide(link, &wideLink, error)) {
        return 0;
    }
    if (!CreateHardLinkW(wideLink.c_str(), wideFirst.c_str(), nullptr) ||
        !ReplaceKeepingReadOnly(wideSecond, wideFirst)) {
        *error = static_cast<int>(GetLastError());
        DeleteFileW(wideLink.c_str());
        return 0;
    }
    if (!ReplaceKeepingReadOnly(wideLink, wideSecond)) {
        *error = static_cast<int>(GetLastError());
        return 0;
    }
    return 1;
}

void RemoveLeftover(const char* path) {
    std::wstring wide;
    if (!WidenName(path, &wide)) {
        return;
    }
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return;
    }
    SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(wide.c_str());
}

void GuardNames(const char* first, const char* second) {
    InterlockedExchange(&g_guarding, 0);
    CopyName(g_guardedFirst, first);
    CopyName(g_guardedSecond, second);
    InterlockedExchange(&g_guarding, (first[0] != '\0' || second[0] != '\0') ? 1 : 0);
}

void ReleaseBeforeSwap(EditFile* input) {
    CloseEditFile(input);
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
