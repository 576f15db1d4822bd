// The shift run and the largest sync time, over the windowed file walk.
#include "sync_shift.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

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

// The input's size for the progress rule; 0 (no progress until the end) when
// it cannot be told, as for a pipe.
std::int64_t FileSize(const char* path) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(std::filesystem::path(path), error);
    return error ? 0 : static_cast<std::int64_t>(size);
}

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

std::int32_t ShiftSyncTimesInWindow(const char* inputPath, const char* outputPath,
                                    const ShiftParams& params, std::int32_t windowSize) {
    std::FILE* input = std::fopen(inputPath, "rb");
    if (input == nullptr) {
        return RESULT_BAD_FILE;
    }
    OutputStream* out = &g_shiftOutput;
    if (!OpenOutput(out, outputPath)) {
        std::fclose(input);
        return RESULT_CANNOT_SAVE;
    }
    const double ratio = StretchRatio(params.rangeStart, params.rangeEnd, params.stretch);
    const std::int64_t total = FileSize(inputPath);
    FileWindow window;
    OpenWindow(&window, input, windowSize);
    std::int64_t copyPosition = 0;
    SyncTagScan scan;
    while (NextSyncTag(&window, &copyPosition, out, &scan)) {
        char newText[kTokenTextSize];
        const int accepted = scan.hasTime && RetimeValue(scan.timeText, newText, params.rangeStart,
                                                         params.rangeEnd, params.shift, ratio);
        FinishSyncTag(&window, &copyPosition, out, &scan, accepted ? newText : nullptr);
        ReportProgress(copyPosition, total);
    }
    FinishFile(&window, &copyPosition, out);
    SetProgressBar(g_progressWindow, 100);
    const int readFailed = window.failed;
    std::fclose(input);
    const int saved = CloseOutput(out);
    if (readFailed) {
        return RESULT_BAD_FILE;
    }
    return saved ? RESULT_OK : RESULT_CANNOT_SAVE;
}

std::int32_t ShiftSyncTimes(const char* inputPath, const char* outputPath, std::int32_t rangeStart,
                            std::int32_t rangeEnd, std::int32_t shift, std::int32_t stretch) {
    const ShiftParams params{rangeStart, rangeEnd, shift, stretch};
    return ShiftSyncTimesInWindow(inputPath, outputPath, params, kFileBufferSize);
}

std::int32_t FindLastSyncTimeCheckedInWindow(const char* path, std::int32_t windowSize,
                                             std::int32_t* largest) {
    std::FILE* input = std::fopen(path, "rb");
    if (input == nullptr) {
        return RESULT_BAD_FILE;
    }
    FileWindow window;
    OpenWindow(&window, input, windowSize);
    std::int64_t position = 0;
    std::int32_t last = 0;
    SyncTagScan scan;
    while (NextSyncTag(&window, &position, nullptr, &scan)) {
        // Only a plain number counts: a time written with a sign is passed over.
        std::int32_t value = 0;
        if (scan.hasTime && scan.timeText[0] != '+' && scan.timeText[0] != '-' &&
            SyncTimeValue(scan.timeText, &value) && value > last) {
            last = value;
        }
        FinishSyncTag(&window, &position, nullptr, &scan, nullptr);
    }
    const int readFailed = window.failed;
    std::fclose(input);
    if (readFailed) {
        return RESULT_BAD_FILE;
    }
    *largest = last;
    return RESULT_OK;
}

std::int32_t FindLastSyncTimeInWindow(const char* path, std::int32_t windowSize) {
    // A file that cannot be read gives 0.
    std::int32_t last = 0;
    FindLastSyncTimeCheckedInWindow(path, windowSize, &last);
    return last;
}

std::int32_t FindLastSyncTime(const char* path) {
    return FindLastSyncTimeInWindow(path, kFileBufferSize);
}

std::int32_t FindLastSyncTimeChecked(const char* path, std::int32_t* last) {
    return FindLastSyncTimeCheckedInWindow(path, kFileBufferSize, last);
}
