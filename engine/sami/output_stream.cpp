// Staged writes to an output stream, failures remembered.
#include "output_stream.h"

#include <cerrno>
#include <cstring>

namespace {

void NoteFailure(OutputStream* out) {
    if (!out->failed) {
        out->failed = 1;
        out->error = errno;
    }
}

void WriteThrough(OutputStream* out, const char* bytes, std::size_t count) {
    if (count != 0 && !out->failed && std::fwrite(bytes, 1, count, out->file) != count) {
        NoteFailure(out);
    }
}

void FlushStaging(OutputStream* out) {
    WriteThrough(out, out->staging, out->used);
    out->used = 0;
}

}  // namespace

void StartOutput(OutputStream* out, std::FILE* file) {
    out->file = file;
    out->used = 0;
    out->failed = 0;
    out->error = 0;
}

void WriteOutputSlowly(OutputStream* out, const char* bytes, std::size_t count) {
    FlushStaging(out);
    if (count < kDirectWriteSize) {
        std::memcpy(out->staging, bytes, count);
        out->used = count;
        return;
    }
    WriteThrough(out, bytes, count);
}

int FinishOutput(OutputStream* out) {
    FlushStaging(out);
    if (!out->failed && std::fflush(out->file) != 0) {
        NoteFailure(out);
    }
    if (out->failed) {
        errno = out->error;
        return 0;
    }
    return 1;
}
