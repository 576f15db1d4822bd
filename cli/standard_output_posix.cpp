// Standard output on POSIX systems: bytes are bytes, and a terminal reads UTF-8.
#include "standard_output.h"

#include <cstdio>

void UseBinaryStandardOutput() {}

int WriteTextLine(const std::string& utf8) {
    return (std::fwrite(utf8.data(), 1, utf8.size(), stdout) == utf8.size() &&
            std::fputc('\n', stdout) != EOF)
               ? 1
               : 0;
}
