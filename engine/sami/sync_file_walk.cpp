// The file buffer as a window over the file. The window only moves forward:
// bytes it leaves are written out first. A tag whose time scan reaches the end
// of a window that is not the end of the file starts the next window, and is
// scanned again there. Only a scan longer than half a window is read on byte by
// byte from the stream, and its units are then read once more from the saved
// position (copied when they stay unchanged), so no scan is ever cut short and
// the file stands at the scan's end for the next window.
#include "sync_file_walk.h"

#include <cstring>

#include "sync_tag_search.h"

char g_fileBuffer[kFileBufferSize + 1];
char g_wideWindowBytes[2 * kWideWindowSize];

namespace {

// Bytes of a window kept for the next one when no tag was found: a tag cut by
// the edge has at most this many bytes before it.
constexpr std::int32_t kTagTail = kSyncTagSize - 1;
// Large reads end at a multiple of the page size in the file, so that the C
// library hands each one to the system whole instead of splitting off a last
// page through its own buffer.
constexpr std::int64_t kPageSize = 4096;

// The units to ask for when `wanted` would fit and `handedOut` units of text
// have been read: a large read is cut back to end on a page of the file.
std::size_t AlignedUnits(const FileWindow* window, std::int64_t handedOut, std::size_t wanted) {
    const std::int64_t unit = window->input.unitSize;
    const auto wantedBytes = static_cast<std::int64_t>(wanted) * unit;
    if (wantedBytes < 4 * kPageSize) {
        return wanted;
    }
    const std::int64_t end = window->input.markLength + handedOut * unit + wantedBytes;
    // Offsets of text units are even in a UTF-16 file, so whole units come off.
    return wanted - static_cast<std::size_t>((end % kPageSize) / unit);
}

void FillWindow(FileWindow* window, std::int32_t keepFrom) {
    const std::int32_t kept = window->length - keepFrom;
    const std::int64_t handedOut = window->base + window->length;
    const int wide = window->input.kind != TEXT_BYTES;
    std::memmove(g_fileBuffer, g_fileBuffer + keepFrom, static_cast<std::size_t>(kept));
    if (wide) {
        std::memmove(g_wideWindowBytes, g_wideWindowBytes + 2 * keepFrom,
                     2 * static_cast<std::size_t>(kept));
    }
    window->base += keepFrom;
    const std::size_t wanted =
        AlignedUnits(window, handedOut, static_cast<std::size_t>(window->capacity - kept));
    const std::size_t got =
        ReadTextUnits(&window->input, g_fileBuffer + kept, g_wideWindowBytes + 2 * kept, wanted);
    window->length = kept + static_cast<std::int32_t>(got);
    if (got < wanted) {
        window->final = 1;
        if (window->input.failed) {
            window->failed = 1;
        }
    }
    g_fileBuffer[window->length] = '\0';
}

// Writes the window's text from `written` up to `to`.
void WriteUpTo(FileWindow* window, OutputStream* out, std::int64_t to) {
    if (out != nullptr && to > window->written) {
        const auto at = static_cast<std::size_t>(window->written - window->base);
        WriteTextUnits(out, window->input.kind, g_fileBuffer + at, g_wideWindowBytes + 2 * at,
                       static_cast<std::size_t>(to - window->written));
    }
    if (to > window->written) {
        window->written = to;
    }
}

// The rest of the window's units, then the file, one unit at a time. At the end
// of the file it yields NUL, which ends a scan as the buffer's spare byte does.
struct StreamSource {
    const char* at;
    const char* end;
    TextInput* input;
    std::int64_t position;
    int pending;  // a unit read from the file but not yet passed, or EOF

    unsigned char Peek() {
        if (at < end) {
            return static_cast<unsigned char>(*at);
        }
        if (pending == EOF) {
            pending = ReadOneUnit(input);
        }
        return pending == EOF ? 0 : static_cast<unsigned char>(pending);
    }
    void Advance() {
        ++position;
        if (at < end) {
            ++at;
        } else {
            pending = EOF;
        }
    }
};

// Scans the time behind a tag whose scan reached the window's end, reading on
// from the file. FinishSyncTag puts the file at the scan's end afterwards.
void ScanPastWindow(FileWindow* window, std::int32_t tagEnd, SyncTagScan* scan) {
    window->overran = 1;
    // Without the position the units could not be read again: a stream that
    // cannot tell it (a pipe) fails the run instead of losing them.
    if (std::fgetpos(window->input.file, &window->windowEnd) != 0) {
        window->failed = 1;
    }
    StreamSource source{g_fileBuffer + tagEnd, g_fileBuffer + window->length, &window->input,
                        window->base + tagEnd, EOF};
    scan->hasTime = ReadTagTimeFrom(source, window->readQuoted, scan->timeText, scan->secondText,
                                    &scan->kind, &scan->quote);
    if (std::ferror(window->input.file)) {
        window->failed = 1;
    }
    scan->scanEnd = source.position;
}

// Reads the scanned units beyond the window's end from the file once more,
// copying them to `out` unless it is null, so that the file then stands at the
// scan's end.
void ReadPastWindow(FileWindow* window, OutputStream* out, std::int64_t count) {
    std::FILE* file = window->input.file;
    if (window->failed || std::fsetpos(file, &window->windowEnd) != 0) {
        window->failed = 1;
        return;
    }
    std::int64_t bytes = count * window->input.unitSize;
    char chunk[4096];
    while (bytes > 0) {
        const auto wanted = static_cast<std::size_t>(bytes < 4096 ? bytes : 4096);
        if (std::fread(chunk, 1, wanted, file) != wanted) {
            window->failed = 1;
            return;
        }
        if (out != nullptr) {
            WriteOutput(out, chunk, wanted);
        }
        bytes -= static_cast<std::int64_t>(wanted);
    }
}

}  // namespace

void OpenWindow(FileWindow* window, std::FILE* file, std::int32_t capacity, int readQuoted) {
    OpenTextInput(&window->input, file);
    window->base = 0;
    window->length = 0;
    const int wide = window->input.kind != TEXT_BYTES;
    window->capacity = (wide && capacity > kWideWindowSize) ? kWideWindowSize : capacity;
    window->readQuoted = readQuoted;
    window->final = 0;
    window->failed = window->input.failed;
    window->overran = 0;
    window->written = 0;
    FillWindow(window, 0);
}

int OpenTailWindow(FileWindow* window, std::FILE* file, std::int64_t size, std::int32_t units,
                   int readQuoted) {
    OpenTextInput(&window->input, file);
    const std::int64_t all = (size - window->input.markLength) / window->input.unitSize;
    const std::int64_t skipped = all > units ? all - units : 0;
    if (window->input.failed || !SkipTextUnits(&window->input, skipped)) {
        return 0;
    }
    // The tail is read in one piece, page alignment or not: the window never moves.
    const std::size_t got = ReadTextUnits(&window->input, g_fileBuffer, g_wideWindowBytes,
                                          static_cast<std::size_t>(units));
    g_fileBuffer[got] = '\0';
    window->base = skipped;
    window->length = static_cast<std::int32_t>(got);
    window->capacity = units;
    window->final = 1;
    window->failed = window->input.failed;
    window->overran = 0;
    window->readQuoted = readQuoted;
    window->written = skipped;
    return window->failed ? 0 : 1;
}

int NextSyncTag(FileWindow* window, std::int64_t* copyPosition, OutputStream* out,
                SyncTagScan* scan) {
    for (;;) {
        const auto start = static_cast<std::int32_t>(*copyPosition - window->base);
        std::int32_t offset = 0;
        if (FindSyncTag(g_fileBuffer + start, window->length - start, kSyncTag, g_syncTagLength,
                        &offset)) {
            const std::int32_t tagEnd = start + offset + g_syncTagLength;
            scan->tagEnd = window->base + tagEnd;
            const char* cursor = g_fileBuffer + tagEnd;
            scan->hasTime = ReadTagTime(&cursor, window->readQuoted, scan->timeText,
                                        scan->secondText, &scan->kind, &scan->quote);
            const auto scanEnd = static_cast<std::int32_t>(cursor - g_fileBuffer);
            if (scanEnd < window->length || window->final) {
                scan->scanEnd = window->base + scanEnd;
                return 1;
            }
            // The scan ran to the window's edge: the window moves on to start
            // at the tag when that leaves the scan at least half of it, so the
            // file is never read twice; only a scan longer than that reads on
            // from the stream.
            const std::int32_t tagStart = start + offset;
            if (tagStart > 0 && window->length - tagStart <= window->capacity / 2) {
                WriteUpTo(window, out, window->base + tagStart);
                *copyPosition = window->base + tagStart;
                FillWindow(window, tagStart);
                continue;
            }
            ScanPastWindow(window, tagEnd, scan);
            return 1;
        }
        if (window->final) {
            return 0;
        }
        const std::int32_t tail = window->length - kTagTail;
        const std::int32_t keepFrom = tail > start ? tail : start;
        WriteUpTo(window, out, window->base + keepFrom);
        *copyPosition = window->base + keepFrom;
        FillWindow(window, keepFrom);
    }
}

char* TimeTextInPlace(FileWindow* window, const SyncTagScan* scan, std::size_t length) {
    if (window->input.kind != TEXT_BYTES || window->overran ||
        scan->scanEnd - scan->tagEnd != static_cast<std::int64_t>(length)) {
        return nullptr;
    }
    return g_fileBuffer + (scan->tagEnd - window->base);
}

void FinishSyncTag(FileWindow* window, std::int64_t* copyPosition, OutputStream* out,
                   const SyncTagScan* scan, const char* newTime) {
    FinishSyncTagWith(window, copyPosition, out, scan, newTime,
                      newTime != nullptr ? std::strlen(newTime) : 0);
}

void FinishSyncTagWith(FileWindow* window, std::int64_t* copyPosition, OutputStream* out,
                       const SyncTagScan* scan, const char* newTime, std::size_t newLength) {
    const std::int64_t windowEnd = window->base + window->length;
    *copyPosition = scan->scanEnd;
    if (newTime != nullptr && !window->overran &&
        scan->scanEnd - scan->tagEnd == static_cast<std::int64_t>(newLength)) {
        const auto at = static_cast<std::size_t>(scan->tagEnd - window->base);
        PlaceAsciiText(window->input.kind, g_fileBuffer + at, g_wideWindowBytes + 2 * at, newTime,
                       newLength);
        return;
    }
    if (newTime != nullptr) {
        WriteUpTo(window, out, scan->tagEnd);
        if (out != nullptr) {
            WriteAsciiText(out, window->input.kind, newTime, newLength);
        }
        window->written = scan->scanEnd;
    }
    if (window->overran) {
        WriteUpTo(window, out, windowEnd);
        ReadPastWindow(window, newTime == nullptr ? out : nullptr, scan->scanEnd - windowEnd);
        // The file stands at the scan's end: the next window starts there.
        window->overran = 0;
        window->base = scan->scanEnd;
        window->written = scan->scanEnd;
        window->length = 0;
        FillWindow(window, 0);
    }
}

void FinishFile(FileWindow* window, std::int64_t* copyPosition, OutputStream* out) {
    const std::int64_t windowEnd = window->base + window->length;
    WriteUpTo(window, out, windowEnd);
    *copyPosition = windowEnd;
    if (out != nullptr && window->input.hasOddByte) {
        const char odd = static_cast<char>(window->input.oddByte);
        WriteOutput(out, &odd, 1);
    }
}
