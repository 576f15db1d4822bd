// What tembrel-cli says about a run that ended well, from the engine's counts:
// with --verbose one line per file; without it, only a warning when a file
// holds no sync tag or tags were left without a readable time.
#pragma once

#include <cstdint>

#include "run_counts.h"

enum ReportedRun : int {
    REPORTED_SHIFT = 1,
    REPORTED_APPEND = 2,
    REPORTED_LAST = 3,
};

// `file` is the file whose tags were counted: FILE, or APPEND_FILE for append.
// For sync, timesBelowZero (0 or more) says how many of the times left are
// those its line puts below 0; a negative value leaves that out.
void ReportRunCounts(ReportedRun run, const char* file, const RunCounts& counts, int verbose,
                     std::int64_t timesBelowZero = -1);
