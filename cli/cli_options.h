// Reading the command line into one request: the command, its times, the
// output name and the files. Nothing is opened here; every usage error is found
// before any file is touched.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum CliCommand : int {
    COMMAND_SHIFT = 1,
    COMMAND_APPEND = 2,
    COMMAND_LAST = 3,
    COMMAND_HELP = 4,
    COMMAND_VERSION = 5,
    COMMAND_SYNC = 6,
    COMMAND_LIST = 7,
};

struct CliRequest {
    CliCommand command;
    std::int32_t rangeStart;
    std::int32_t rangeEnd;
    int endIsLastSync;  // the range end is each file's last sync time ("E")
    std::int32_t shift;
    std::int32_t stretch;
    std::int32_t offset;
    int readQuoted;  // times in quotation marks are read too
    int verbose;     // one line of counts per file on stderr
    // sync: the two points OLD=NEW of --at, in the order given
    std::int32_t syncOld[2];
    std::int32_t syncNew[2];
    int syncPointCount;
    const char* referencePath;  // sync --to: the reference subtitle; null with --at
    // shift --fps FROM:TO; the stretch is then computed for each file
    int fpsGiven;
    double fpsFrom;
    double fpsTo;
    int stretchGiven;
    int dryRun;              // read and compute everything, write nothing
    int force;               // sync: write what a doubtful check would refuse
    const char* outputPath;  // null: each FILE is edited in place; "-": standard output
    std::vector<const char*> files;
};

// 1 with the request filled in, or 0 with the reason for a usage error.
int ParseCommandLine(int argc, char** argv, CliRequest* request, std::string* error);
