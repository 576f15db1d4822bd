// File identity on POSIX systems: device and inode numbers from stat.
#include "file_identity.h"

#include <sys/stat.h>

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
