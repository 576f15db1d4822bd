// The engine's runs over files given by their names: each opens its files,
// passes the inputs' sizes for the progress rule and closes what it opened.
// Tests, benchmarks and fuzzing run through them; the front ends use them for
// what writes no file of theirs (a dry run into the null device, `last`, the
// range end E looked up or guessed, a file's encoding) and edit through the
// edit job.
#pragma once

#include <cstdint>

#include "run_counts.h"
#include "sync_shift.h"
#include "text_input.h"

// The shift run from inputPath into outputPath (created or emptied). Returns
// RESULT_OK, RESULT_BAD_FILE when the input cannot be opened or read (then no
// output is created), RESULT_CANNOT_SAVE when the output cannot be created or
// any write, flush or close of it fails.
std::int32_t ShiftNamedFile(const char* inputPath, const char* outputPath,
                            const ShiftParams& params, const RunOptions& options,
                            RunCounts* counts);
std::int32_t ShiftSyncTimes(const char* inputPath, const char* outputPath, std::int32_t rangeStart,
                            std::int32_t rangeEnd, std::int32_t shift, std::int32_t stretch);
// The same run with a window smaller than the file buffer (16 bytes or more).
std::int32_t ShiftSyncTimesInWindow(const char* inputPath, const char* outputPath,
                                    const ShiftParams& params, std::int32_t windowSize);

// The largest plain sync time of the file: RESULT_OK with *last, or
// RESULT_BAD_FILE with *last untouched when it cannot be opened or read.
std::int32_t ReadNamedLastSyncTime(const char* path, const RunOptions& options, std::int32_t* last,
                                   RunCounts* counts = nullptr);
std::int32_t FindLastSyncTimeChecked(const char* path, std::int32_t* last);
std::int32_t FindLastSyncTimeCheckedInWindow(const char* path, std::int32_t windowSize,
                                             std::int32_t* last);
// The same, 0 when the file cannot be read.
std::int32_t FindLastSyncTime(const char* path);
std::int32_t FindLastSyncTimeInWindow(const char* path, std::int32_t windowSize);

// A guess at the file's largest plain sync time from its tail alone: 1 with
// *guess, or 0 when its tail holds none, or it is no regular file, or it
// cannot be read.
int GuessNamedLastSyncTime(const char* path, int readQuoted, std::int32_t* guess);

// The append run into outputPath. Returns the run's codes; RESULT_BAD_FILE or
// RESULT_BAD_APPEND_FILE, with no output created, when an input cannot be
// opened; RESULT_CANNOT_SAVE when the output cannot be created or closed.
std::int32_t AppendNamedFiles(const char* firstPath, const char* appendPath, const char* outputPath,
                              std::int32_t offset, const RunOptions& options, RunCounts* counts);
std::int32_t AppendSubtitles(const char* firstPath, const char* appendPath, const char* outputPath,
                             std::int32_t offset);

// The kind of the file at `path`: 1 and *kind, or 0 when it cannot be read.
int ReadTextKindOfFile(const char* path, TextKind* kind);
