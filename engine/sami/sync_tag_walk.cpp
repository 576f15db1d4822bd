// Starting and ending a walk over the file window, and writing a new time.
#include "sync_tag_walk.h"

#include "result_codes.h"

namespace {

void StartWalk(SyncTagWalk* walk, OutputStream* out, RunCounts* counts) {
    walk->out = out;
    walk->position = walk->window.base;
    walk->counts = counts;
    ClearRunCounts(counts);
    counts->kind = walk->window.input.kind;
}

}  // namespace

void StartReadingWalk(SyncTagWalk* walk, std::FILE* input, const RunOptions& options,
                      RunCounts* counts) {
    OpenWindow(&walk->window, input, options.windowSize, options.readQuoted);
    StartProgress(&walk->progress, nullptr, nullptr, 0);
    StartWalk(walk, nullptr, counts);
}

void StartWritingWalk(SyncTagWalk* walk, std::FILE* input, std::int64_t inputSize,
                      OutputStream* out, std::FILE* output, const RunOptions& options,
                      RunCounts* counts) {
    StartOutput(out, output);
    OpenWindow(&walk->window, input, options.windowSize, options.readQuoted);
    StartProgress(&walk->progress, options.progress, options.progressContext, inputSize);
    StartWalk(walk, out, counts);
    const TextInput& text = walk->window.input;
    WriteOutput(out, reinterpret_cast<const char*>(text.mark),
                static_cast<std::size_t>(text.markLength));
}

int StartTailWalk(SyncTagWalk* walk, std::FILE* input, std::int64_t inputSize, int readQuoted,
                  std::int32_t tailUnits, RunCounts* counts) {
    if (!OpenTailWindow(&walk->window, input, inputSize, tailUnits, readQuoted)) {
        return 0;
    }
    StartProgress(&walk->progress, nullptr, nullptr, 0);
    StartWalk(walk, nullptr, counts);
    return 1;
}

void PutNewTime(FileWindow* window, std::int64_t* copyPosition, OutputStream* out,
                const SyncTagScan& scan, std::uint32_t time) {
    const int digits = DecimalDigits(time);
    const int quoted = scan.quote != 0 ? 1 : 0;
    const auto length = static_cast<std::size_t>(digits + 2 * quoted);
    // Straight over the old text in the window when it has the same length:
    // the window's text then leaves in one large write.
    char newText[kTokenTextSize];
    char* place = TimeTextInPlace(window, &scan, length);
    char* text = place != nullptr ? place : newText;
    if (quoted) {
        text[0] = static_cast<char>(scan.quote);
        text[digits + 1] = static_cast<char>(scan.quote);
    }
    WriteDigits(time, digits, text + quoted);
    if (place != nullptr) {
        FinishSyncTag(window, copyPosition, out, &scan, nullptr);
    } else {
        FinishSyncTagWith(window, copyPosition, out, &scan, newText, length);
    }
}

std::int32_t FinishWalk(SyncTagWalk* walk) {
    FinishFile(&walk->window, &walk->position, walk->out);
    FinishProgress(&walk->progress);
    const int saved = walk->out != nullptr ? FinishOutput(walk->out) : 1;
    if (walk->window.failed) {
        return RESULT_BAD_FILE;
    }
    return saved ? RESULT_OK : RESULT_CANNOT_SAVE;
}
