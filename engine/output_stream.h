// An output file written through a staging buffer, so that a run's many small
// writes (a few bytes per cue) become few large stream writes, and any failed
// write, flush or close is remembered and reported once at the end.
#pragma once

#include <cstddef>
#include <cstdio>

inline constexpr std::size_t kOutputStagingSize = 1048576;

struct OutputStream {
    std::FILE* file;
    std::size_t used;
    int failed;
    char staging[kOutputStagingSize];
};

// Creates or empties the file ("wb"); 1 on success, else 0.
int OpenOutput(OutputStream* out, const char* path);
void WriteOutput(OutputStream* out, const char* bytes, std::size_t count);
// Flushes and closes; 1 when every write, the flush and the close succeeded.
int CloseOutput(OutputStream* out);
