// The edit job's platform steps on POSIX systems: open with O_NONBLOCK and
// fstat before any read, flock on the open descriptor, the temporary file made
// with O_CREAT | O_EXCL | O_NOFOLLOW and mode 0600, traits through fchown,
// fchmod and the *xattr calls on descriptors, fsync of the file and its folder,
// link, rename and rmdir for the swap's steps (renameat2 RENAME_EXCHANGE for
// undo on Linux), and signal handlers that remove the new file while it is
// unfinished. Every call that changes a name or puts a file on disk goes
// through the table of edit_system_calls.h.
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/syscall.h>
#include <sys/xattr.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "edit_platform.h"
#include "edit_system_calls.h"

namespace {

constexpr std::size_t kGuardedNameSize = PATH_MAX + 64;

// The name an interruption removes, in a fixed buffer: the handler may only
// make async-signal-safe calls.
char g_guarded[kGuardedNameSize];
volatile sig_atomic_t g_guarding = 0;
sigset_t g_heldSignals;

void CopyName(char* to, const char* from) {
    std::size_t length = std::strlen(from);
    if (length >= kGuardedNameSize) {
        length = 0;  // such a name was never created
    }
    std::memcpy(to, from, length);
    to[length] = '\0';
}

extern "C" void RemoveGuardedAndExit(int signal) {
    if (g_guarding) {
        unlink(g_guarded);
    }
    _exit(128 + signal);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Folders whose flush waits for FlushEditedFolders, while edits are in a row.
int g_deferFolderFlushes = 0;
std::vector<std::string> g_foldersToFlush;

int FlushFolder(const std::string& folderPath) {
    const int folder = open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0) {
        return 0;
    }
    const int synced = EditJobSystemCalls()->fsync(folder) == 0 || errno == EINVAL;
    close(folder);
    return synced ? 1 : 0;
}

// A rename is on disk once its folder is.
int SyncFolder(const std::string& path) {
    const std::string folder = FolderOf(path);
    if (!g_deferFolderFlushes) {
        return FlushFolder(folder);
    }
    for (const std::string& pending : g_foldersToFlush) {
        if (pending == folder) {
            return 1;
        }
    }
    g_foldersToFlush.push_back(folder);
    return 1;
}

#ifdef __linux__
// Extended attributes hold ACLs and security labels. One that the file system
// or the user may not set (a label only root may give) is left behind.
int CopyExtendedAttributes(int from, int to, int* error) {
    const ssize_t listSize = flistxattr(from, nullptr, 0);
    if (listSize <= 0) {
        return 1;
    }
    std::vector<char> names(static_cast<std::size_t>(listSize));
    const ssize_t got = flistxattr(from, names.data(), names.size());
    if (got < 0) {
        return 1;
    }
    std::vector<char> value;
    for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
        const char* name = names.data() + at;
        at += std::strlen(name) + 1;
        const ssize_t valueSize = fgetxattr(from, name, nullptr, 0);
        if (valueSize < 0) {
            continue;
        }
        value.resize(static_cast<std::size_t>(valueSize) + 1);
        const ssize_t read = fgetxattr(from, name, value.data(), value.size());
        if (read < 0) {
            continue;
        }
        if (fsetxattr(to, name, value.data(), static_cast<std::size_t>(read), 0) != 0 &&
            errno != EPERM && errno != ENOTSUP && errno != EACCES) {
            *error = errno;
            return 0;
        }
    }
    return 1;
}
#else
int CopyExtendedAttributes(int, int, int*) {
    return 1;
}
#endif

int ExchangeByRenameat2(const char* first, const char* second) {
#if defined(__linux__) && defined(SYS_renameat2)
    constexpr unsigned kRenameExchange = 2;  // RENAME_EXCHANGE
    return static_cast<int>(
        syscall(SYS_renameat2, AT_FDCWD, first, AT_FDCWD, second, kRenameExchange));
#else
    static_cast<void>(first);
    static_cast<void>(second);
    errno = ENOSYS;
    return -1;
#endif
}

int Fsync(int descriptor) {
    return fsync(descriptor);
}

EditSystemCalls g_systemCalls = {link, std::rename, unlink, rmdir, Fsync, ExchangeByRenameat2};

int Failing(int* error) {
    *error = errno;
    return 0;
}

}  // namespace

EditSystemCalls* EditJobSystemCalls() {
    return &g_systemCalls;
}

void DeferFolderFlushes() {
    g_deferFolderFlushes = 1;
}

int FlushEditedFolders() {
    int flushed = 1;
    for (const std::string& folder : g_foldersToFlush) {
        flushed &= FlushFolder(folder);
    }
    g_foldersToFlush.clear();
    g_deferFolderFlushes = 0;
    return flushed;
}

int OpenForReading(const char* path, EditFile* file, int* notRegular, int* error) {
    ClearEditFile(file);
    *notRegular = 0;
    // O_NONBLOCK: a FIFO with no writer does not hold the open; O_NOCTTY: a
    // terminal does not become ours. Nothing is read before fstat says what it is.
    const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        *error = errno;
        *notRegular = errno == ENXIO ? 1 : 0;
        return 0;
    }
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        *error = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        *notRegular = 1;
        close(descriptor);
        return 0;
    }
    const int flags = fcntl(descriptor, F_GETFL);
    std::FILE* stream = flags < 0 || fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0
                            ? nullptr
                            : fdopen(descriptor, "rb");
    if (stream == nullptr) {
        *error = errno;
        close(descriptor);
        return 0;
    }
    file->handle = descriptor;
    file->stream = stream;
    file->size = static_cast<std::int64_t>(status.st_size);
    file->identity = FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                                  static_cast<std::uint64_t>(status.st_ino)};
    return 1;
}

int LockFile(EditFile* file, void (*waiting)(const char* path), const char* path, int* waited,
             int* error) {
    const int descriptor = static_cast<int>(file->handle);
    *waited = 0;
    if (flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
        return 1;
    }
    if (errno != EWOULDBLOCK) {
        *error = errno;
        return 0;
    }
    *waited = 1;
    if (waiting != nullptr) {
        waiting(path);
    }
    while (flock(descriptor, LOCK_EX) != 0) {
        if (errno != EINTR) {
            *error = errno;
            return 0;
        }
    }
    return 1;
}

int CreateUnfinished(const char* path, EditFile* file, int* error) {
    ClearEditFile(file);
    const int descriptor =
        open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600);
    if (descriptor < 0) {
        *error = errno;
        return 0;
    }
    std::FILE* stream = fdopen(descriptor, "wb");
    if (stream == nullptr) {
        *error = errno;
        close(descriptor);
        EditJobSystemCalls()->unlink(path);
        return 0;
    }
    file->handle = descriptor;
    file->stream = stream;
    return 1;
}

int CopyTraits(const EditFile& from, EditFile* to, int* error) {
    struct stat status;
    const int source = static_cast<int>(from.handle);
    const int target = static_cast<int>(to->handle);
    if (fstat(source, &status) != 0) {
        *error = errno;
        return 0;
    }
    // Root may give the file away; another user only to a group of their own,
    // else it stays theirs as any new file would. The owner goes first: a
    // change of owner clears the set-ID bits that fchmod then sets.
    if (fchown(target, status.st_uid, status.st_gid) != 0 &&
        fchown(target, static_cast<uid_t>(-1), status.st_gid) != 0) {
        // Kept by whoever runs the program.
    }
    if (fchmod(target, status.st_mode & 07777) != 0) {
        *error = errno;
        return 0;
    }
    return CopyExtendedAttributes(source, target, error);
}

int FlushToDisk(EditFile* file, int* error) {
    if (std::fflush(file->stream) != 0 ||
        EditJobSystemCalls()->fsync(static_cast<int>(file->handle)) != 0) {
        *error = errno;
        return 0;
    }
    return 1;
}

void CloseEditFile(EditFile* file) {
    if (file->stream != nullptr) {
        std::fclose(file->stream);
    } else if (file->handle >= 0) {
        close(static_cast<int>(file->handle));
    }
    ClearEditFile(file);
}

int ReplaceName(const char* from, const char* to, int* error) {
    return EditJobSystemCalls()->rename(from, to) == 0 ? 1 : Failing(error);
}

int MakeSecondName(const char* from, const char* to, int* unsupported, int* error) {
    *unsupported = 0;
    if (EditJobSystemCalls()->link(from, to) == 0) {
        return 1;
    }
    *unsupported =
        errno == EPERM || errno == EXDEV || errno == ENOTSUP || errno == EMLINK || errno == ENOSYS;
    return Failing(error);
}

int ClearEmptyFolder(const char* path, int* error) {
    // rmdir takes away nothing but an empty folder: a file, a link or no name
    // at all is told by its error.
    if (EditJobSystemCalls()->rmdir(path) == 0 || errno == ENOTDIR || errno == ENOENT) {
        return 1;
    }
    return Failing(error);
}

int ExchangeInOneStep(const char* first, const char* second, int* unsupported, int* error) {
    *unsupported = 0;
    if (EditJobSystemCalls()->exchange(first, second) == 0) {
        return 1;
    }
    *unsupported = errno == ENOSYS || errno == EINVAL || errno == ENOTSUP;
    return Failing(error);
}

int CanBeReplaced(const char*, int*) {
    return 1;
}

std::uint32_t ReadReplacedAttributes(const char*) {
    return 0;
}

void GiveBackAttributes(const char*, std::uint32_t) {}

void FlushFolderOf(const char* path) {
    SyncFolder(path);
}

int LeftoverExists(const char* path) {
    struct stat status;
    return (lstat(path, &status) == 0 && !S_ISDIR(status.st_mode)) ? 1 : 0;
}

void RemoveLeftover(const char* path) {
    if (LeftoverExists(path)) {
        EditJobSystemCalls()->unlink(path);
    }
}

void GuardName(const char* path) {
    g_guarding = 0;
    CopyName(g_guarded, path);
    g_guarding = path[0] != '\0' ? 1 : 0;
}

void ReleaseBeforeSwap(EditFile*) {}

void HoldInterruptions() {
    sigset_t held;
    sigemptyset(&held);
    sigaddset(&held, SIGINT);
    sigaddset(&held, SIGTERM);
    sigaddset(&held, SIGHUP);
    sigprocmask(SIG_BLOCK, &held, &g_heldSignals);
}

void LetInterruptionsIn() {
    sigprocmask(SIG_SETMASK, &g_heldSignals, nullptr);
}

void InstallEditInterruptHandlers() {
    struct sigaction action;
    std::memset(&action, 0, sizeof action);
    action.sa_handler = RemoveGuardedAndExit;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaddset(&action.sa_mask, SIGHUP);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
}
