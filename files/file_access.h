// Opening and sizing a file by its name, once per platform
// (file_access_posix.cpp, file_access_win.cpp). Names are UTF-8 on Windows and
// byte strings as given elsewhere.
#pragma once

#include <cstdint>
#include <cstdio>

// The C library's fopen, with its modes. Null with errno on failure.
std::FILE* OpenFileByName(const char* path, const char* mode);

// The size in bytes of the file the name leads to; 0 when it cannot be told
// (a pipe, a missing file).
std::int64_t FileSizeByName(const char* path);
