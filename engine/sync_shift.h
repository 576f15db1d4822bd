// The shift run: every sync time in a range is moved by a shift and, with a
// stretch, scaled so that the range end moves by the stretch too; all other
// bytes are copied unchanged. Also the largest sync time of a file.
#pragma once

#include <cstdint>

#include "run_counts.h"

// The four values a shift run takes, in milliseconds.
struct ShiftParams {
    std::int32_t rangeStart;
    std::int32_t rangeEnd;
    std::int32_t shift;
    std::int32_t stretch;
};

// Re-times inputPath into outputPath. Returns RESULT_OK, RESULT_BAD_FILE when the
// input cannot be opened or read, RESULT_CANNOT_SAVE when the output cannot be
// created or any write, flush or close of it fails.
std::int32_t ShiftSyncTimes(const char* inputPath, const char* outputPath, std::int32_t rangeStart,
                            std::int32_t rangeEnd, std::int32_t shift, std::int32_t stretch);

// The same run with a window smaller than the file buffer (16 bytes or more),
// so that the window's edges can be exercised on small files.
std::int32_t ShiftSyncTimesInWindow(const char* inputPath, const char* outputPath,
                                    const ShiftParams& params, std::int32_t windowSize);

// How the front ends run: the whole file buffer, quoted times as asked.
RunOptions FrontEndRunOptions(int readQuoted);

// The shift run as the front ends call it: a byte file or a UTF-16 file (its
// byte order mark and an odd last byte copied unchanged), times in quotation
// marks read on request, and what it found and did in *counts.
std::int32_t ShiftFileTimes(const char* inputPath, const char* outputPath,
                            const ShiftParams& params, const RunOptions& options,
                            RunCounts* counts);

// (span + stretch) / span in double precision; exactly 1.0 for a stretch of 0.
double StretchRatio(std::int32_t rangeStart, std::int32_t rangeEnd, std::int32_t stretch);

// Maps one time text through range, ratio and shift: 1 with the new time's
// decimal text in newText (16 bytes), or 0 with newText untouched when the time
// lies outside the range, does not fit in 32 bits, or would leave 0..2^31-1.
int RetimeValue(const char* timeText, char* newText, std::int32_t rangeStart, std::int32_t rangeEnd,
                std::int32_t shift, double ratio);

// The largest plain sync time in the file, never below 0; 0 when the file
// cannot be read.
std::int32_t FindLastSyncTime(const char* path);
std::int32_t FindLastSyncTimeInWindow(const char* path, std::int32_t windowSize);

// The same, telling a file that cannot be read: RESULT_OK with *last, or
// RESULT_BAD_FILE with *last untouched. *counts (when not null) tells the tags
// found, their readable times as left, and the tags without one.
std::int32_t ReadLastSyncTime(const char* path, const RunOptions& options, std::int32_t* last,
                              RunCounts* counts = nullptr);

// The lookup telling a file that cannot be read from one without sync times:
// RESULT_OK with the time in *last, or RESULT_BAD_FILE with *last untouched
// when the file cannot be opened or a read fails on the way.
std::int32_t FindLastSyncTimeChecked(const char* path, std::int32_t* last);
std::int32_t FindLastSyncTimeCheckedInWindow(const char* path, std::int32_t windowSize,
                                             std::int32_t* last);
