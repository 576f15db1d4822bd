// The engine's file access on POSIX systems: a name is a byte string that the
// system takes as it is.
#include <filesystem>
#include <system_error>

#include "file_access.h"

std::FILE* OpenFileByName(const char* path, const char* mode) {
    return std::fopen(path, mode);
}

std::int64_t FileSizeByName(const char* path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(path), error);
    return error ? 0 : static_cast<std::int64_t>(size);
}
