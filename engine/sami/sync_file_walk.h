// Walking the sync tags of a file of any size through the fixed file buffer,
// used as a window that moves along the file. Each tag and the time behind it
// are reported by file offsets exactly as if the whole file stood in memory: a
// tag cut by the window's edge is found in the next window, and a scan that
// reaches the edge is finished by reading on from the file itself. Offsets count
// text units: bytes of a byte file, 16-bit units of a UTF-16 file, whose
// narrowed text stands in the buffer and its own bytes beside it.
#pragma once

#include <cstdint>
#include <cstdio>

#include "output_stream.h"
#include "text_input.h"
#include "token_scanner.h"

inline constexpr std::int32_t kFileBufferSize = 1048576;
// The file data, and one spare byte for the NUL that ends a scan at its end.
extern char g_fileBuffer[kFileBufferSize + 1];
// A UTF-16 window holds half as many units, whose own bytes stand here.
inline constexpr std::int32_t kWideWindowSize = kFileBufferSize / 2;
extern char g_wideWindowBytes[2 * kWideWindowSize];

struct FileWindow {
    TextInput input;
    std::int64_t base;      // file offset of g_fileBuffer[0]
    std::int32_t length;    // bytes of file data in the buffer
    std::int32_t capacity;  // window size, at most kFileBufferSize
    int final;              // the data reaches the end of the file
    int failed;             // a read failed
    int overran;            // the last scan read on beyond the window
    int readQuoted;         // times in quotation marks are read too
    std::fpos_t windowEnd;  // file position of the window's end, kept by an overrun
    // Offset up to which the text stands in the output. The window's text from
    // there on is written when the window moves on, a new time of the old one's
    // length having taken its place in the window itself: most new times go out
    // inside one large write instead of two small copies each.
    std::int64_t written;
};

// One sync tag: where its time text begins and where the scan behind it ended.
struct SyncTagScan {
    std::int64_t tagEnd;   // offset of the byte behind the '='
    std::int64_t scanEnd;  // offset where the next search begins
    int hasTime;           // a time text of at most 15 bytes was read
    TokenKind kind;        // the deciding token kind
    int quote;             // the quotation mark first behind the tag, or 0
    char timeText[kTokenTextSize];
    char secondText[kTokenTextSize];
};

// Tells the kind of `file` and starts a window of `capacity` units (16 to
// kFileBufferSize; at most kWideWindowSize for UTF-16) at the start of its text.
void OpenWindow(FileWindow* window, std::FILE* file, std::int32_t capacity, int readQuoted);

// Starts a window over the last `units` units of text of `file` (`size` bytes
// from its current position; 1 to kWideWindowSize units) and nothing else: a
// scan that reaches its end ends there, as at the end of a file. 1, or 0 when
// the tail cannot be read.
int OpenTailWindow(FileWindow* window, std::FILE* file, std::int64_t size, std::int32_t units,
                   int readQuoted);

// Finds the next tag at or after *copyPosition. Bytes that the window leaves
// behind on its way are written to `out` (when not null) and *copyPosition moves
// past them. Returns 1 with *scan filled, or 0 at the end of the file.
int NextSyncTag(FileWindow* window, std::int64_t* copyPosition, OutputStream* out,
                SyncTagScan* scan);

// Where a new time of `length` bytes can be written straight over the tag's
// scanned text in the window: in a byte file whose scan stands whole in the
// window and is `length` long. Null otherwise; the tag is then finished with
// its new time by FinishSyncTagWith, and in any case by FinishSyncTag.
char* TimeTextInPlace(FileWindow* window, const SyncTagScan* scan, std::size_t length);

// Puts `newTime` (ASCII, written as units of the file's kind) where the tag's
// scanned text stood, or, when it is null, leaves that text unchanged; the text
// up to scanEnd is then the output's, and *copyPosition moves to scanEnd.
void FinishSyncTag(FileWindow* window, std::int64_t* copyPosition, OutputStream* out,
                   const SyncTagScan* scan, const char* newTime);
// The same with the new time's length given (no NUL needed).
void FinishSyncTagWith(FileWindow* window, std::int64_t* copyPosition, OutputStream* out,
                       const SyncTagScan* scan, const char* newTime, std::size_t newLength);

// Writes the rest of the text up to the end of the file's data.
void FinishFile(FileWindow* window, std::int64_t* copyPosition, OutputStream* out);
