// Writes a generated SAMI file of a given size. Usage: make_sami PATH MEBIBYTES
#include <cstdio>
#include <cstdlib>

#include "sami_generator.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: make_sami PATH MEBIBYTES\n", stderr);
        return 64;
    }
    const long mebibytes = std::strtol(argv[2], nullptr, 10);
    return WriteGeneratedSami(argv[1], static_cast<std::int64_t>(mebibytes) << 20, 42) ? 0 : 1;
}
