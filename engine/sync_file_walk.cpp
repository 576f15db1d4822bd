// The file buffer as a window over the file. The window only moves forward:
// bytes it leaves are written out first. A tag whose time scan reaches the end
// of a window that is not the end of the file is scanned again byte by byte from
// the stream, and when its bytes are to be copied unchanged they are read once
// more from the saved position, so no scan is ever cut short.
#include "sync_file_walk.h"

#include <cstring>

#include "sync_tag_search.h"

char g_fileBuffer[kFileBufferSize + 1];

namespace {

// Bytes of a window kept for the next one when no tag was found: a tag cut by
// the edge has at most this many bytes before it.
constexpr std::int32_t kTagTail = kSyncTagSize - 1;

void FillWindow(FileWindow* window, std::int32_t keepFrom) {
    const std::int32_t kept = window->length - keepFrom;
    std::memmove(g_fileBuffer, g_fileBuffer + keepFrom, static_cast<std::size_t>(kept));
    window->base += keepFrom;
    const auto wanted = static_cast<std::size_t>(window->capacity - kept);
    const std::size_t got = std::fread(g_fileBuffer + kept, 1, wanted, window->file);
    window->length = kept + static_cast<std::int32_t>(got);
    if (got < wanted) {
        window->final = 1;
        if (std::ferror(window->file)) {
            window->failed = 1;
        }
    }
    g_fileBuffer[window->length] = '\0';
}

void WriteSpan(OutputStream* out, std::int64_t from, std::int64_t to, const FileWindow* window) {
    if (out != nullptr && to > from) {
        WriteOutput(out, g_fileBuffer + (from - window->base), static_cast<std::size_t>(to - from));
    }
}

// The rest of the window's bytes, then the file, one byte at a time. At the end
// of the file it yields NUL, which ends a scan as the buffer's spare byte does.
struct StreamSource {
    const char* at;
    const char* end;
    std::FILE* file;
    std::int64_t position;
    int pending;  // a byte read from the file but not yet passed, or EOF

    unsigned char Peek() {
        if (at < end) {
            return static_cast<unsigned char>(*at);
        }
        if (pending == EOF) {
            pending = std::getc(file);
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
// from the file. Leaves the file positioned at the scan's end.
void ScanPastWindow(FileWindow* window, std::int32_t tagEnd, SyncTagScan* scan) {
    window->overran = 1;
    // Without the position the bytes could not be copied again: a stream that
    // cannot tell it (a pipe) fails the run instead of losing them.
    if (std::fgetpos(window->file, &window->windowEnd) != 0) {
        window->failed = 1;
    }
    StreamSource source{g_fileBuffer + tagEnd, g_fileBuffer + window->length, window->file,
                        window->base + tagEnd, EOF};
    scan->hasTime = ReadSyncTimeFrom(source, scan->timeText, scan->secondText, &scan->kind);
    if (source.pending != EOF) {
        std::ungetc(source.pending, window->file);
    }
    if (std::ferror(window->file)) {
        window->failed = 1;
    }
    scan->scanEnd = source.position;
}

// Copies the scanned bytes beyond the window's end from the file once more.
void CopyPastWindow(FileWindow* window, OutputStream* out, std::int64_t count) {
    if (window->failed || std::fsetpos(window->file, &window->windowEnd) != 0) {
        window->failed = 1;
        return;
    }
    char chunk[4096];
    while (count > 0) {
        const auto wanted = static_cast<std::size_t>(count < 4096 ? count : 4096);
        if (std::fread(chunk, 1, wanted, window->file) != wanted) {
            window->failed = 1;
            return;
        }
        WriteOutput(out, chunk, wanted);
        count -= static_cast<std::int64_t>(wanted);
    }
}

}  // namespace

void OpenWindow(FileWindow* window, std::FILE* file, std::int32_t capacity) {
    window->file = file;
    window->base = 0;
    window->length = 0;
    window->capacity = capacity;
    window->final = 0;
    window->failed = 0;
    window->overran = 0;
    FillWindow(window, 0);
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
            scan->hasTime = ReadSyncTime(&cursor, scan->timeText, scan->secondText, &scan->kind);
            const auto scanEnd = static_cast<std::int32_t>(cursor - g_fileBuffer);
            if (scanEnd < window->length || window->final) {
                scan->scanEnd = window->base + scanEnd;
                return 1;
            }
            ScanPastWindow(window, tagEnd, scan);
            return 1;
        }
        if (window->final) {
            return 0;
        }
        const std::int32_t tail = window->length - kTagTail;
        const std::int32_t keepFrom = tail > start ? tail : start;
        WriteSpan(out, *copyPosition, window->base + keepFrom, window);
        *copyPosition = window->base + keepFrom;
        FillWindow(window, keepFrom);
    }
}

void FinishSyncTag(FileWindow* window, std::int64_t* copyPosition, OutputStream* out,
                   const SyncTagScan* scan, const char* newTime) {
    const std::int64_t windowEnd = window->base + window->length;
    if (newTime != nullptr) {
        WriteSpan(out, *copyPosition, scan->tagEnd, window);
        if (out != nullptr) {
            WriteOutput(out, newTime, std::strlen(newTime));
        }
    } else {
        const std::int64_t inWindow = scan->scanEnd < windowEnd ? scan->scanEnd : windowEnd;
        WriteSpan(out, *copyPosition, inWindow, window);
        if (window->overran && out != nullptr) {
            CopyPastWindow(window, out, scan->scanEnd - windowEnd);
        }
    }
    *copyPosition = scan->scanEnd;
    if (window->overran) {
        // The file stands at the scan's end: the next window starts there.
        window->overran = 0;
        window->base = scan->scanEnd;
        window->length = 0;
        FillWindow(window, 0);
    }
}

void FinishFile(FileWindow* window, std::int64_t* copyPosition, OutputStream* out) {
    const std::int64_t windowEnd = window->base + window->length;
    WriteSpan(out, *copyPosition, windowEnd, window);
    *copyPosition = windowEnd;
}
