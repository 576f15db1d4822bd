// Runs one shift on a file, for measuring the run's peak memory from outside
// (bench/memory.sh). Usage: shift_once INPUT OUTPUT
#include <cstdio>

#include "sync_shift.h"
#include "named_runs.h"
#include "sync_tag_search.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: shift_once INPUT OUTPUT\n", stderr);
        return 64;
    }
    BuildSyncTagTables();
    return ShiftSyncTimes(argv[1], argv[2], 0, 2000000000, 1500, 0);
}
