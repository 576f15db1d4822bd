// Staged writes to an output file, failures remembered.
#include "output_stream.h"

#include <cstring>

namespace {

void WriteThrough(OutputStream* out, const char* bytes, std::size_t count) {
    if (count != 0 && !out->failed && std::fwrite(bytes, 1, count, out->file) != count) {
        out->failed = 1;
    }
}

void FlushStaging(OutputStream* out) {
    WriteThrough(out, out->staging, out->used);
    out->used = 0;
}

}  // namespace

int OpenOutput(OutputStream* out, const char* path) {
    out->used = 0;
    out->failed = 0;
    out->file = std::fopen(path, "wb");
    return out->file != nullptr ? 1 : 0;
}

void WriteOutputSlowly(OutputStream* out, const char* bytes, std::size_t count) {
    FlushStaging(out);
    if (count < kOutputStagingSize) {
        std::memcpy(out->staging, bytes, count);
        out->used = count;
        return;
    }
    WriteThrough(out, bytes, count);
}

int CloseOutput(OutputStream* out) {
    FlushStaging(out);
    if (std::fflush(out->file) != 0) {
        out->failed = 1;
    }
    if (std::fclose(out->file) != 0) {
        out->failed = 1;
    }
    out->file = nullptr;
    return out->failed ? 0 : 1;
}
