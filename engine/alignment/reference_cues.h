// Reading the cues of a reference subtitle, one that is already timed right
// for the video: SubRip, WebVTT, SSA/ASS or SAMI, from its bytes. Times and tags
// are ASCII in every encoding that keeps ASCII as it is and in UTF-16, so the
// text is narrowed to one byte per character first and its code page never
// matters. The format is told by the content; the name only breaks a tie.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum ReferenceFormat : int {
    REFERENCE_UNKNOWN = 0,
    REFERENCE_SUBRIP = 1,
    REFERENCE_WEBVTT = 2,
    REFERENCE_ASS = 3,
    REFERENCE_SAMI = 4,
};

// One cue in milliseconds. `end` is -1 where the file does not tell it (the
// last cue of a SAMI class).
struct Cue {
    std::int64_t start;
    std::int64_t end;
};

struct ReferenceCues {
    ReferenceFormat format;
    std::vector<Cue> cues;  // sorted by start, exact duplicates dropped
    std::int64_t skipped;   // entries passed over as malformed
};

// Reads `file` from its current position to its end into *bytes: 1, or 0 when a
// read fails.
int ReadWholeStream(std::FILE* file, std::string* bytes);

// The text with one byte per character: UTF-16 (told by its byte order mark or
// by its zero bytes) narrowed as the engine narrows it, every non-ASCII unit to
// 0x80; a UTF-8 byte order mark dropped; any other text as it is.
std::string NarrowReferenceText(const std::string& bytes);

// The format of a narrowed text, by the marks of each format it shows;
// `name` (may be null) breaks a tie by its extension.
ReferenceFormat TellReferenceFormat(const std::string& text, const char* name);

// Reads the cues of a reference file's bytes into *reference.
void ReadReferenceCues(const std::string& bytes, const char* name, ReferenceCues* reference);

// The format's name as a person reads it ("SubRip", ...).
const char* ReferenceFormatName(ReferenceFormat format);

// Milliseconds of a clock text at `text` such as 1:02:03,456, 02:03.456,
// 0:02:03.45 or 123:00:00.000 (hours optional, any number of their digits; ','
// or '.' before the fraction): 1 with *milliseconds and *used (the bytes read),
// or 0 when it is no such time.
int ReadClockText(const char* text, std::size_t length, std::int64_t* milliseconds,
                  std::size_t* used);
