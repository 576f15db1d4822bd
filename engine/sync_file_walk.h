// Walking the sync tags of a file of any size through the fixed file buffer,
// used as a window that moves along the file. Each tag and the time behind it
// are reported by file offsets exactly as if the whole file stood in memory: a
// tag cut by the window's edge is found in the next window, and a scan that
// reaches the edge is finished by reading on from the file itself.
#pragma once

#include <cstdint>
#include <cstdio>

#include "output_stream.h"
#include "token_scanner.h"

inline constexpr std::int32_t kFileBufferSize = 1048576;
// The file data, and one spare byte for the NUL that ends a scan at its end.
extern char g_fileBuffer[kFileBufferSize + 1];

struct FileWindow {
    std::FILE* file;
    std::int64_t base;      // file offset of g_fileBuffer[0]
    std::int32_t length;    // bytes of file data in the buffer
    std::int32_t capacity;  // window size, at most kFileBufferSize
    int final;              // the data reaches the end of the file
    int failed;             // a read failed
    int overran;            // the last scan read on beyond the window
    std::fpos_t windowEnd;  // file position of the window's end, kept by an overrun
};

// One sync tag: where its time text begins and where the scan behind it ended.
struct SyncTagScan {
    std::int64_t tagEnd;   // offset of the byte behind the '='
    std::int64_t scanEnd;  // offset where the next search begins
    int hasTime;           // a time text of at most 15 bytes was read
    TokenKind kind;        // the deciding token kind
    char timeText[kTokenTextSize];
    char secondText[kTokenTextSize];
};

// Starts a window of `capacity` bytes (16 to kFileBufferSize) at the start of `file`.
void OpenWindow(FileWindow* window, std::FILE* file, std::int32_t capacity);

// Finds the next tag at or after *copyPosition. Bytes that the window leaves
// behind on its way are written to `out` (when not null) and *copyPosition moves
// past them. Returns 1 with *scan filled, or 0 at the end of the file.
int NextSyncTag(FileWindow* window, std::int64_t* copyPosition, OutputStream* out,
                SyncTagScan* scan);

// Writes the bytes from *copyPosition to the end of the tag, then `newTime`, or,
// when it is null, the scanned bytes unchanged; *copyPosition moves to scanEnd.
void FinishSyncTag(FileWindow* window, std::int64_t* copyPosition, OutputStream* out,
                   const SyncTagScan* scan, const char* newTime);

// Writes the bytes from *copyPosition to the end of the file's data.
void FinishFile(FileWindow* window, std::int64_t* copyPosition, OutputStream* out);
