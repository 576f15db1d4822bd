// A subtitle file read as a stream of text units: the bytes of a byte file (any
// code page, UTF-8 included), or the 16-bit code units of a UTF-16 file. Every
// unit is handed out narrowed to one byte, so that one search and one scanner
// serve both kinds: an ASCII unit becomes its byte and any other unit the byte
// 0x80, which, like every byte of 0x80 or above, is no letter, digit, blank or
// sign. For UTF-16 the file's own bytes come along, to be copied unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "output_stream.h"

enum TextKind : int {
    TEXT_BYTES = 0,
    TEXT_UTF16_LE = 1,
    TEXT_UTF16_BE = 2,
};

// The byte that stands for every non-ASCII code unit in the narrowed text.
inline constexpr unsigned char kNarrowedUnit = 0x80;

struct TextInput {
    std::FILE* file;
    TextKind kind;
    int unitSize;           // bytes per unit: 1 or 2
    int markLength;         // bytes of the byte order mark: 0 or 2
    unsigned char mark[2];  // the byte order mark, not part of the text
    unsigned char held[2];  // bytes read to tell the kind, not yet handed out
    int heldCount;
    int hasOddByte;         // a UTF-16 file ended with half a unit
    unsigned char oddByte;  // that last byte, copied unchanged at the end
    int failed;             // a read failed
};

// The kind a file's first bytes show: FF FE or 3C 00 is UTF-16 LE, FE FF or
// 00 3C is UTF-16 BE ('<' opens a SAMI file); everything else is a byte file.
TextKind TellTextKind(const unsigned char* first, std::size_t count);

// Reads the first two bytes of `file` to tell its kind; a byte order mark is
// kept aside, any other byte is handed out as text.
void OpenTextInput(TextInput* input, std::FILE* file);

// Reads up to `count` units: narrowed into `narrow`, and for UTF-16 the units'
// own bytes into `raw` (2 * count bytes; unused for a byte file). Fewer than
// `count` only at the end of the file or on a read failure (then `failed`).
std::size_t ReadTextUnits(TextInput* input, char* narrow, char* raw, std::size_t count);

// Passes over `count` units without handing them out, by a seek where the held
// bytes do not cover them: 1, or 0 when the file cannot be positioned there.
int SkipTextUnits(TextInput* input, std::int64_t count);

// Reads one unit straight from the file, narrowed; EOF at the end, on a read
// failure, and on an odd last byte. Only for reading past what ReadTextUnits
// handed out: it keeps no state of its own.
int ReadOneUnit(TextInput* input);

// The narrowed form of one UTF-16 unit given by its two bytes in file order.
inline unsigned char NarrowUnit(const TextInput* input, unsigned char a, unsigned char b) {
    const unsigned high = input->kind == TEXT_UTF16_LE ? b : a;
    const unsigned low = input->kind == TEXT_UTF16_LE ? a : b;
    return (high == 0 && low < 0x80) ? static_cast<unsigned char>(low) : kNarrowedUnit;
}

// Writes `count` units of text: from `narrow` for a byte file, from `raw` for
// UTF-16.
void WriteTextUnits(OutputStream* out, TextKind kind, const char* narrow, const char* raw,
                    std::size_t count);

// Puts ASCII text in place of `count` units of text held in memory: into
// `narrow`, and for UTF-16 as the units' own bytes into `raw`.
void PlaceAsciiText(TextKind kind, char* narrow, char* raw, const char* text, std::size_t count);

// Writes ASCII text the program makes (a new time, the closing line) as units
// of `kind`.
void WriteAsciiText(OutputStream* out, TextKind kind, const char* text, std::size_t count);
