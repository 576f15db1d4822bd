// An output file written through a staging buffer, so that a run's many small
// writes (a few bytes per cue) become few large stream writes, and any failed
// write, flush or close is remembered and reported once at the end.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>

inline constexpr std::size_t kOutputStagingSize = 1048576;

struct OutputStream {
    std::FILE* file;
    std::size_t used;
    int failed;
    char staging[kOutputStagingSize];
};

// Creates or empties the file ("wb"); 1 on success, else 0.
int OpenOutput(OutputStream* out, const char* path);
// Writes that do not fit the staging buffer's free room.
void WriteOutputSlowly(OutputStream* out, const char* bytes, std::size_t count);

// Most writes are a few bytes and are staged here, inline.
inline void WriteOutput(OutputStream* out, const char* bytes, std::size_t count) {
    if (count <= kOutputStagingSize - out->used) {
        std::memcpy(out->staging + out->used, bytes, count);
        out->used += count;
        return;
    }
    WriteOutputSlowly(out, bytes, count);
}
// Flushes and closes; 1 when every write, the flush and the close succeeded.
int CloseOutput(OutputStream* out);
