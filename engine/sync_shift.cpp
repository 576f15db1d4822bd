// The shift run and the largest sync time, over the windowed file walk.
#include "sync_shift.h"

#include <cstdio>
#include <cstring>

#include "output_stream.h"
#include "progress.h"
#include "result_codes.h"
#include "sync_file_walk.h"
#include "time_values.h"

namespace {

// A mapped time truncates toward zero into 0 .. 2^31 - 1 exactly when it lies
// strictly between these two.
constexpr double kBelowZero = -1.0;
constexpr double kBeyondInt32 = 2147483648.0;

OutputStream g_shiftOutput;

int Accept(std::int64_t result, char* newText) {
    if (result < 0 || result > 2147483647) {
        return 0;
    }
    FormatDecimal(static_cast<std::uint32_t>(result), newText);
    return 1;
}

}  // namespace

double StretchRatio(std::int32_t rangeStart, std::int32_t rangeEnd, std::int32_t stretch) {
    if (stretch == 0) {
        return 1.0;
    }
    const std::int64_t span = std::int64_t{rangeEnd} - rangeStart;
    return static_cast<double>(span + stretch) / static_cast<double>(span);
}

int RetimeValue(const char* timeText, char* newText, std::int32_t rangeStart, std::int32_t rangeEnd,
                std::int32_t shift, double ratio) {
    std::int32_t value = 0;
    if (!SyncTimeValue(timeText, &value) || value < rangeStart || value > rangeEnd) {
        return 0;
    }
    if (ratio == 1.0) {
        return Accept(std::int64_t{value} + shift, newText);
    }
    const double offset = static_cast<double>(std::int64_t{value} - rangeStart);
    const double mapped = (offset * ratio + rangeStart) + shift;
    // Also refuses the NaN of a ratio over an empty span.
    if (!(mapped > kBelowZero && mapped < kBeyondInt32)) {
        return 0;
    }
    return Accept(static_cast<std::int64_t>(mapped), newText);
}

namespace {

// The input's bytes the progress rule counts, for a position in its text.
std::int64_t BytesOfText(const TextInput& input, std::int64_t position) {
    return input.markLength + position * input.unitSize;
}

// A re-timed time in quotation marks keeps them.
void AddQuoteMarks(int quote, char* newText) {
    if (quote == 0) {
        return;
    }
    const std::size_t length = std::strlen(newText);
    std::memmove(newText + 1, newText, length);
    newText[0] = static_cast<char>(quote);
    newText[length + 1] = static_cast<char>(quote);
    newText[length + 2] = '\0';
}

}  // namespace

RunOptions FrontEndRunOptions(int readQuoted) {
    return RunOptions{readQuoted, kFileBufferSize};
}

std::int32_t ShiftFileTimes(std::FILE* input, std::int64_t inputSize, std::FILE* output,
                            const ShiftParams& params, const RunOptions& options,
                            RunCounts* counts) {
    ClearRunCounts(counts);
    OutputStream* out = &g_shiftOutput;
    StartOutput(out, output);
    const double ratio = StretchRatio(params.rangeStart, params.rangeEnd, params.stretch);
    ProgressRule progress;
    StartProgress(&progress, options.progress, options.progressContext, inputSize);
    FileWindow window;
    OpenWindow(&window, input, options.windowSize, options.readQuoted);
    counts->kind = window.input.kind;
    WriteOutput(out, reinterpret_cast<const char*>(window.input.mark),
                static_cast<std::size_t>(window.input.markLength));
    std::int64_t copyPosition = 0;
    SyncTagScan scan;
    while (NextSyncTag(&window, &copyPosition, out, &scan)) {
        // Room for the marks around the digits of a new time.
        char newText[kTokenTextSize];
        const int accepted = scan.hasTime && RetimeValue(scan.timeText, newText, params.rangeStart,
                                                         params.rangeEnd, params.shift, ratio);
        if (accepted) {
            AddQuoteMarks(scan.quote, newText);
        }
        CountSyncTag(counts, scan.hasTime, accepted, scan.quote, options.readQuoted);
        FinishSyncTag(&window, &copyPosition, out, &scan, accepted ? newText : nullptr);
        ReportProgress(&progress, BytesOfText(window.input, copyPosition));
    }
    FinishFile(&window, &copyPosition, out);
    FinishProgress(&progress);
    const int readFailed = window.failed;
    const int saved = FinishOutput(out);
    if (readFailed) {
        return RESULT_BAD_FILE;
    }
    return saved ? RESULT_OK : RESULT_CANNOT_SAVE;
}

std::int32_t ReadLastSyncTime(std::FILE* input, const RunOptions& options, std::int32_t* last,
                              RunCounts* counts) {
    RunCounts found;
    ClearRunCounts(&found);
    FileWindow window;
    OpenWindow(&window, input, options.windowSize, options.readQuoted);
    found.kind = window.input.kind;
    std::int64_t position = 0;
    std::int32_t largest = 0;
    SyncTagScan scan;
    while (NextSyncTag(&window, &position, nullptr, &scan)) {
        // Only a plain number counts: a time written with a sign is passed over.
        std::int32_t value = 0;
        if (scan.hasTime && scan.timeText[0] != '+' && scan.timeText[0] != '-' &&
            SyncTimeValue(scan.timeText, &value) && value > largest) {
            largest = value;
        }
        CountSyncTag(&found, scan.hasTime, 0, scan.quote, options.readQuoted);
        FinishSyncTag(&window, &position, nullptr, &scan, nullptr);
    }
    if (window.failed) {
        return RESULT_BAD_FILE;
    }
    *last = largest;
    if (counts != nullptr) {
        *counts = found;
    }
    return RESULT_OK;
}
