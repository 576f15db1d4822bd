// Carrying out a parsed request: the open tests, the file's own range end, the
// engine's run under the backup protocol, and the messages of each outcome.
#pragma once

#include "cli_options.h"
#include "cue_alignment.h"
#include "run_counts.h"

// Runs shift, sync, append or last over the request's files; returns the exit code,
// for several files the first failure's.
int RunRequest(const CliRequest& request);

// Re-times `file` by `map` through the same save path as the other commands
// (the request's -o, -n and --quoted); the exit code, and on success what the
// run did in *counts.
int SaveMappedFile(const CliRequest& request, const char* file, const TimeMap& map,
                   RunCounts* counts);
