// The cues of the file being re-timed, read from its sync times by the same
// tag walk and time reading as every run, so that each cue's time is exactly
// the one a run maps. A sync point that shows only blanks and &nbsp; (the usual
// way SAMI ends a cue) is the end of the cue before it, not a cue of its own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "reference_cues.h"
#include "run_counts.h"

// Reads `input` from its current position: RESULT_OK with the cues sorted by
// start in *cues and the tags counted in *counts (every readable time as
// left), or RESULT_BAD_FILE when a read fails.
std::int32_t ReadFileCues(std::FILE* input, const RunOptions& options, std::vector<Cue>* cues,
                          RunCounts* counts);

// Whether the text behind a sync time, up to the next sync tag, shows nothing:
// the rest of the tag, other tags, blanks, line ends and &nbsp; only. 1 when
// it does, 0 when it shows text or when the `count` bytes end before that is
// known.
int ShowsNothing(const char* text, std::int32_t count);
