// The append run: the cues of a second SAMI file are inserted at the end of the
// body of a first one, the first sync time of each of their lines moved by an
// offset, and the result is written as a new file. All three files are streamed
// line by line, so memory stays the same whatever their sizes.
#pragma once

#include <cstdint>
#include <cstdio>

#include "run_counts.h"

// A line is read as a read with a count of 1,024 reads it: up to and including
// the next LF, but at most 1,023 bytes. Longer lines arrive as several pieces.
inline constexpr std::int32_t kPieceCount = 1024;
inline constexpr std::int32_t kMaxPieceLength = kPieceCount - 1;

// Writes to `output`: the first file up to its first line that begins with
// "</BODY>", the lines of the append file's body with their first sync time
// moved by `offset` (wrapping in signed 32 bits), the line "</BODY>" CR LF, and
// the rest of the first file. Both inputs are read from their current positions;
// the output is written from its own and flushed, not closed. Both files byte
// files, or both UTF-16 of one byte order (the first file's byte order mark
// kept, the append file's dropped); times in quotation marks read on request,
// progress told as the options ask, and what it did in *counts. The window
// size is not used: the run reads lines. The two sizes drive the progress rule
// (0 when unknown). Returns RESULT_OK; RESULT_MIXED_TEXT_KINDS, with nothing
// written, for files of two kinds; RESULT_BAD_FILE or RESULT_BAD_APPEND_FILE
// when a read of the first or the append file fails; RESULT_CANNOT_SAVE when a
// write or the flush fails (errno then is the failed call's).
std::int32_t AppendFileCues(std::FILE* first, std::int64_t firstSize, std::FILE* append,
                            std::int64_t appendSize, std::FILE* output, std::int32_t offset,
                            const RunOptions& options, RunCounts* counts);
