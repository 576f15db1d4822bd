// Files under the temporary folder named after the process, so that parallel
// fuzzing jobs do not share them.
#include "fuzz_files.h"

#include <unistd.h>

#include <cstdio>

std::string FuzzPath(const char* name) {
    return "/tmp/tembrel-fuzz-" + std::to_string(getpid()) + "-" + name;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

std::string ReadWhole(const std::string& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return bytes;
    }
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        bytes.append(chunk, got);
    }
    std::fclose(f);
    return bytes;
}
