// Where a run reads and writes, and how it reports, as each front end gives it.
#pragma once

#include <cstdio>

#include "run_counts.h"

struct RunTarget {
    const char* file;         // FILE
    const char* outputPath;   // -o OUT, or null to edit FILE in place
    std::FILE* outputStream;  // not null: the result goes into this stream (standard
                              // output, or the null device of a dry run); FILE is only read
    int dryRun;               // the stream stands for the output a real run would write
    RunOptions options;       // quoted times, progress
    void (*waiting)(const char* file);  // told when another run holds FILE
};

// The target that edits `file` in place with `options`.
RunTarget InPlaceTarget(const char* file, const RunOptions& options);
