// The append run: the cues of a second SAMI file are inserted at the end of the
// body of a first one, the first sync time of each of their lines moved by an
// offset, and the result is written as a new file. All three files are streamed
// line by line, so memory stays the same whatever their sizes.
#pragma once

#include <cstdint>

#include "run_counts.h"

// A line is read as a read with a count of 1,024 reads it: up to and including
// the next LF, but at most 1,023 bytes. Longer lines arrive as several pieces.
inline constexpr std::int32_t kPieceCount = 1024;
inline constexpr std::int32_t kMaxPieceLength = kPieceCount - 1;

// Writes to outputPath: the first file up to its first line that begins with
// "</BODY>", the lines of the append file's body with their first sync time
// moved by `offset` (wrapping in signed 32 bits), the line "</BODY>" CR LF, and
// the rest of the first file. Returns RESULT_OK; RESULT_BAD_FILE when the first
// file cannot be opened or read; RESULT_BAD_APPEND_FILE when the append file
// cannot be opened or read; RESULT_CANNOT_SAVE when the output cannot be created
// or any write, flush or close of it fails.
std::int32_t AppendSubtitles(const char* firstPath, const char* appendPath, const char* outputPath,
                             std::int32_t offset);

// The append run as the front ends call it: both files byte files, or both
// UTF-16 of one byte order (the first file's byte order mark kept, the append
// file's dropped), times in quotation marks read on request, progress told as
// the options ask, and what it did in *counts. The window size is not used:
// the run reads lines. Files of two kinds give RESULT_MIXED_TEXT_KINDS with nothing written.
std::int32_t AppendFileCues(const char* firstPath, const char* appendPath, const char* outputPath,
                            std::int32_t offset, const RunOptions& options, RunCounts* counts);
