// Files on POSIX systems: the C library's names for opening, renaming and
// removing, stat and lstat for what a name is, device and inode numbers for a
// file's identity, readlink for symbolic links, and mode, owner and group as
// the traits an edited file keeps.
#include "file_system.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {

// More links in a row than the system itself follows: such a name never opened.
constexpr int kMaxLinkHops = 40;

}  // namespace

std::FILE* OpenFileByName(const char* path, const char* mode) {
    return std::fopen(path, mode);
}

int RenameFileByName(const char* from, const char* to) {
    return std::rename(from, to) == 0 ? 1 : 0;
}

int RemoveFileByName(const char* path) {
    return std::remove(path) == 0 ? 1 : 0;
}

int NameExists(const char* path) {
    struct stat status;
    return lstat(path, &status) == 0 ? 1 : 0;
}

int IsFolder(const char* path) {
    struct stat status;
    return (lstat(path, &status) == 0 && S_ISDIR(status.st_mode)) ? 1 : 0;
}

int IsSameFile(const char* first, const char* second) {
    struct stat firstStatus;
    struct stat secondStatus;
    if (stat(first, &firstStatus) != 0 || stat(second, &secondStatus) != 0) {
        return 0;
    }
    return (firstStatus.st_dev == secondStatus.st_dev && firstStatus.st_ino == secondStatus.st_ino)
               ? 1
               : 0;
}

int IsRegularFile(const char* path) {
    struct stat status;
    return (stat(path, &status) == 0 && S_ISREG(status.st_mode)) ? 1 : 0;
}

void FollowLinks(const char* path, std::string* file) {
    *file = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat status;
        if (lstat(file->c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return;
        }
        char text[PATH_MAX];
        const ssize_t length = readlink(file->c_str(), text, sizeof text);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof text) {
            return;
        }
        std::string next(text, static_cast<std::size_t>(length));
        // A relative link is relative to the folder that holds the link.
        const std::size_t slash = file->rfind('/');
        if (next[0] != '/' && slash != std::string::npos) {
            next = file->substr(0, slash + 1) + next;
        }
        *file = next;
    }
}

int ReadFileTraits(const char* path, FileTraits* traits) {
    struct stat status;
    if (stat(path, &status) != 0) {
        return 0;
    }
    traits->permissions = static_cast<std::uint32_t>(status.st_mode & 07777);
    traits->owner = static_cast<std::uint32_t>(status.st_uid);
    traits->group = static_cast<std::uint32_t>(status.st_gid);
    traits->attributes = 0;
    return 1;
}

int CreateWithTraits(const char* path, const FileTraits& traits) {
    // Made with no permission at all, so that the umask plays no part and no
    // other user can open it before its mode is set.
    const int file = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0);
    if (file < 0) {
        return 0;
    }
    // Root may give the file away; another user only to a group of their own.
    // The owner goes first: a change of owner clears the set-ID bits.
    const auto owner = static_cast<uid_t>(traits.owner);
    const auto group = static_cast<gid_t>(traits.group);
    if (fchown(file, owner, group) != 0 && fchown(file, static_cast<uid_t>(-1), group) != 0) {
        // Kept by whoever runs the program, as any new file is.
    }
    const auto mode = static_cast<mode_t>(traits.permissions | S_IWUSR);
    const int modeSet = fchmod(file, mode) == 0;
    const int modeError = errno;
    if (close(file) != 0 || !modeSet) {
        errno = modeSet ? errno : modeError;
        return 0;
    }
    return 1;
}

int FinishTraits(const char* path, const FileTraits& traits) {
    if ((traits.permissions & S_IWUSR) != 0) {
        return 1;
    }
    return chmod(path, static_cast<mode_t>(traits.permissions)) == 0 ? 1 : 0;
}
