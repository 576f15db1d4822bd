// An output stream written through a staging buffer, so that a run's many small
// writes (a few bytes per cue) become few large stream writes, and any failed
// write or flush is remembered, with its errno, and reported once at the end.
// The stream is the caller's: the engine writes and flushes it, never closes it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>

inline constexpr std::size_t kOutputStagingSize = 1048576;
// A write this large goes to the stream straight from the caller's bytes: a
// copy into the staging buffer would gain nothing.
inline constexpr std::size_t kDirectWriteSize = 65536;

struct OutputStream {
    std::FILE* file;
    std::size_t used;
    int failed;
    int error;  // errno of the first failed write or flush
    char staging[kOutputStagingSize];
};

// Starts writing to `file` at its current position.
void StartOutput(OutputStream* out, std::FILE* file);
// Writes that do not fit the staging buffer's free room.
void WriteOutputSlowly(OutputStream* out, const char* bytes, std::size_t count);

// Most writes are a few bytes and are staged here, inline.
inline void WriteOutput(OutputStream* out, const char* bytes, std::size_t count) {
    if (count < kDirectWriteSize && count <= kOutputStagingSize - out->used) {
        std::memcpy(out->staging + out->used, bytes, count);
        out->used += count;
        return;
    }
    WriteOutputSlowly(out, bytes, count);
}
// Writes what is staged and flushes the stream; 1 when every write and the
// flush succeeded, else 0 with errno set to the first failure's.
int FinishOutput(OutputStream* out);
