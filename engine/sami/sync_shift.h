// The shift run: every sync time in a range is moved by a shift and, with a
// stretch, scaled so that the range end moves by the stretch too; all other
// bytes are copied unchanged. Also the largest sync time of a file.
#pragma once

#include <cstdint>
#include <cstdio>

#include "run_counts.h"

// The four values a shift run takes, in milliseconds.
struct ShiftParams {
    std::int32_t rangeStart;
    std::int32_t rangeEnd;
    std::int32_t shift;
    std::int32_t stretch;
};

// How the front ends run: the whole file buffer, quoted times as asked.
RunOptions FrontEndRunOptions(int readQuoted);

// The shift run: reads `input` from its current position to its end and writes
// the result to `output`, which it flushes but does not close. A byte file or a
// UTF-16 file (its byte order mark and an odd last byte copied unchanged), times
// in quotation marks read on request, and what it found and did in *counts.
// `inputSize` (the input's bytes from that position) drives the progress rule;
// 0 shows no progress before the end. Returns RESULT_OK, RESULT_BAD_FILE when a
// read fails, RESULT_CANNOT_SAVE when a write or the flush fails (errno then
// is the failed call's).
std::int32_t ShiftFileTimes(std::FILE* input, std::int64_t inputSize, std::FILE* output,
                            const ShiftParams& params, const RunOptions& options,
                            RunCounts* counts);

// Units of text at a file's end that the front ends' guess reads.
inline constexpr std::int32_t kTailUnits = 65536;

// A guess at the largest plain sync time of `input` (`inputSize` bytes from its
// current position), read as ReadLastSyncTime reads the whole file but from its
// last `tailUnits` units of text alone (1 to kTailUnits): the last cue's time,
// in a file whose times rise. 1 with *guess, or 0 when the tail holds no
// readable plain time or cannot be read. Leaves the stream at no position to
// rely on.
int GuessLastSyncTime(std::FILE* input, std::int64_t inputSize, int readQuoted,
                      std::int32_t tailUnits, std::int32_t* guess);

// The shift run whose range end is a guess at the file's largest plain sync
// time (E): when the run finds another largest, its output is not what the true
// E gives, and RESULT_LAST_TIME_DIFFERS tells the caller to throw it away and
// run again with counts->largestTime as the range end. Otherwise as
// ShiftFileTimes.
std::int32_t ShiftFileTimesToGuessedEnd(std::FILE* input, std::int64_t inputSize, std::FILE* output,
                                        const ShiftParams& params, const RunOptions& options,
                                        RunCounts* counts);

// (span + stretch) / span in double precision; exactly 1.0 for a stretch of 0.
double StretchRatio(std::int32_t rangeStart, std::int32_t rangeEnd, std::int32_t stretch);

// Maps one time text through range, ratio and shift: 1 with the new time's
// decimal text in newText (16 bytes), or 0 with newText untouched when the time
// lies outside the range, does not fit in 32 bits, or would leave 0..2^31-1.
int RetimeValue(const char* timeText, char* newText, std::int32_t rangeStart, std::int32_t rangeEnd,
                std::int32_t shift, double ratio);

// The largest plain sync time in `input`, read from its current position,
// never below 0: RESULT_OK with *last, or RESULT_BAD_FILE with *last untouched
// when a read fails. *counts (when not null) tells the tags found, their
// readable times as left, and the tags without one.
std::int32_t ReadLastSyncTime(std::FILE* input, const RunOptions& options, std::int32_t* last,
                              RunCounts* counts = nullptr);
