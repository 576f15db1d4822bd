// Writes a generated SAMI file of a given size, in CP949 or in UTF-16 LE.
// Usage: make_sami PATH MEBIBYTES [utf16]
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sami_generator.h"

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 4 && std::strcmp(argv[3], "utf16") == 0)) {
        std::fputs("usage: make_sami PATH MEBIBYTES [utf16]\n", stderr);
        return 64;
    }
    const std::int64_t size = static_cast<std::int64_t>(std::strtol(argv[2], nullptr, 10)) << 20;
    const bool written = argc == 4 ? WriteGeneratedSamiUtf16(argv[1], size, 42)
                                   : WriteGeneratedSami(argv[1], size, 42);
    return written ? 0 : 1;
}
