// What a name leads to on POSIX systems: stat for a file's device and inode,
// lstat and readlink for symbolic links.
#include "file_system.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// More links in a row than the system itself follows: such a name never opened.
constexpr int kMaxLinkHops = 40;

}  // namespace

int ReadFileIdentity(const char* path, FileIdentity* identity) {
    struct stat status;
    if (stat(path, &status) != 0) {
        return 0;
    }
    *identity = FileIdentity{static_cast<std::uint64_t>(status.st_dev),
                             static_cast<std::uint64_t>(status.st_ino)};
    return 1;
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
