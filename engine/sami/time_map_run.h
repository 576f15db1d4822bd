// The map run: every readable sync time is replaced by its image under a
// monotone piecewise-linear map (an alignment's), all other bytes copied
// unchanged, by the same tag walk and byte rules as the shift run.
#pragma once

#include <cstdint>
#include <cstdio>

#include "cue_alignment.h"
#include "run_counts.h"

// Reads `input` from its current position to its end and writes the result to
// `output`, which it flushes but does not close. A byte file or a UTF-16 file
// (its byte order mark and an odd last byte copied unchanged), times in
// quotation marks read on request, and what it found and did in *counts; a
// time whose image leaves 0 .. 2^31 - 1 is left as it was. `inputSize` (the
// input's bytes from that position) drives the progress rule; 0 shows none
// before the end. Returns RESULT_OK, RESULT_BAD_FILE when a read fails, or
// RESULT_CANNOT_SAVE when a write or the flush fails.
std::int32_t MapFileTimes(std::FILE* input, std::int64_t inputSize, std::FILE* output,
                          const TimeMap& map, const RunOptions& options, RunCounts* counts);
