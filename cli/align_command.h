// sync --to=REF: each FILE aligned to a reference subtitle that is already
// right for the video, what was found said as a person reads it, and the file
// re-timed only when the match is clear (or on --force).
#pragma once

#include <cstdint>

#include "cli_options.h"
#include "cue_alignment.h"
#include "run_counts.h"

// Runs sync --to over the request's files; the exit code, for several files
// the first failure's. A file whose alignment is not confident is left as it
// was with exit code 1, unless the request says --force.
int AlignFiles(const CliRequest& request);

// The map run from the file at inputPath into outputPath (created or emptied):
// the engine's result codes, RESULT_BAD_FILE when the input cannot be opened and
// RESULT_CANNOT_SAVE when the output cannot be created or closed.
std::int32_t MapNamedFile(const char* inputPath, const char* outputPath, const TimeMap& map,
                          const RunOptions& options, RunCounts* counts);
