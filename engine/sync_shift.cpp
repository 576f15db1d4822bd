// The shift run and the largest sync time, over the windowed file walk.
#include "sync_shift.h"

#include <cstdio>
#include <cstring>

#include "output_stream.h"
#include "progress.h"
#include "result_codes.h"
#include "sync_file_walk.h"
#include "sync_tag_search.h"
#include "time_values.h"

namespace {

// A mapped time truncates toward zero into 0 .. 2^31 - 1 exactly when it lies
// strictly between these two.
constexpr double kBelowZero = -1.0;
constexpr double kBeyondInt32 = 2147483648.0;

OutputStream g_shiftOutput;

// A run's mapping, worked out once: without a stretch, integer arithmetic alone.
struct TimeMapping {
    std::int32_t rangeStart;
    std::int32_t rangeEnd;
    std::int32_t shift;
    double ratio;
    int stretched;  // the ratio is not exactly 1
};

TimeMapping MappingOf(std::int32_t rangeStart, std::int32_t rangeEnd, std::int32_t shift,
                      double ratio) {
    return TimeMapping{rangeStart, rangeEnd, shift, ratio, ratio != 1.0 ? 1 : 0};
}

// The new value of a time in the range: 1 and *result in 0 .. 2^31 - 1, or 0
// when it would leave that.
int MapValue(std::int32_t value, const TimeMapping& m, std::uint32_t* result) {
    if (!m.stretched) {
        const std::int64_t moved = std::int64_t{value} + m.shift;
        if (moved < 0 || moved > 2147483647) {
            return 0;
        }
        *result = static_cast<std::uint32_t>(moved);
        return 1;
    }
    const double offset = static_cast<double>(std::int64_t{value} - m.rangeStart);
    const double mapped = (offset * m.ratio + m.rangeStart) + m.shift;
    // Also refuses the NaN of a ratio over an empty span.
    if (!(mapped > kBelowZero && mapped < kBeyondInt32)) {
        return 0;
    }
    *result = static_cast<std::uint32_t>(static_cast<std::int64_t>(mapped));
    return 1;
}

// The new text of a tag's time, inside the quotation marks it stood in: its
// length, or 0 when the time is left as it is. newText holds 16 bytes.
std::size_t RetimeTag(const TimeMapping& m, std::int32_t value, int quote, char* newText) {
    std::uint32_t result = 0;
    if (value < m.rangeStart || value > m.rangeEnd || !MapValue(value, m, &result)) {
        return 0;
    }
    const int quoted = quote != 0 ? 1 : 0;
    const auto digits = static_cast<std::size_t>(FormatDecimal(result, newText + quoted));
    if (!quoted) {
        return digits;
    }
    newText[0] = static_cast<char>(quote);
    newText[digits + 1] = static_cast<char>(quote);
    return digits + 2;
}

// Writes a tag's new time inside the quotation marks it stood in: straight
// over the old one in the window when it has the same length, else through the
// output.
void PutNewTime(FileWindow* window, std::int64_t* copyPosition, OutputStream* out,
                const SyncTagScan& scan, std::uint32_t time) {
    const int digits = DecimalDigits(time);
    const int quoted = scan.quote != 0 ? 1 : 0;
    const auto length = static_cast<std::size_t>(digits + 2 * quoted);
    // Room for the marks around the digits.
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

// A plain time counts towards the largest: one written with a sign is passed over.
int IsPlainTime(const SyncTagScan& scan) {
    return (scan.timeText[0] != '+' && scan.timeText[0] != '-') ? 1 : 0;
}

void TrackLargest(const SyncTagScan& scan, int valueRead, std::int32_t value,
                  std::int32_t* largest) {
    if (valueRead && IsPlainTime(scan) && value > *largest) {
        *largest = value;
    }
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
    if (!SyncTimeValue(timeText, &value)) {
        return 0;
    }
    return RetimeTag(MappingOf(rangeStart, rangeEnd, shift, ratio), value, 0, newText) != 0 ? 1 : 0;
}

namespace {

// The input's bytes the progress rule counts, for a position in its text.
std::int64_t BytesOfText(const TextInput& input, std::int64_t position) {
    return input.markLength + position * input.unitSize;
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
    const TimeMapping mapping =
        MappingOf(params.rangeStart, params.rangeEnd, params.shift,
                  StretchRatio(params.rangeStart, params.rangeEnd, params.stretch));
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
        std::int32_t value = 0;
        const int valueRead = scan.hasTime && SyncTimeValue(scan.timeText, &value);
        std::uint32_t result = 0;
        const int moved = valueRead && value >= mapping.rangeStart && value <= mapping.rangeEnd &&
                          MapValue(value, mapping, &result);
        TrackLargest(scan, valueRead, value, &counts->largestTime);
        CountSyncTag(counts, scan.hasTime, moved, scan.quote, options.readQuoted);
        if (moved) {
            PutNewTime(&window, &copyPosition, out, scan, result);
        } else {
            FinishSyncTag(&window, &copyPosition, out, &scan, nullptr);
        }
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

std::int32_t ShiftFileTimesToGuessedEnd(std::FILE* input, std::int64_t inputSize, std::FILE* output,
                                        const ShiftParams& params, const RunOptions& options,
                                        RunCounts* counts) {
    const std::int32_t result = ShiftFileTimes(input, inputSize, output, params, options, counts);
    if (result == RESULT_OK && counts->largestTime != params.rangeEnd) {
        return RESULT_LAST_TIME_DIFFERS;
    }
    return result;
}

namespace {

// The largest plain time of the tags in text[0 .. count-1] (NUL behind it), as
// the file walk reads them: each search starts where the scan before it ended.
int LargestTimeInText(const char* text, std::int32_t count, int readQuoted, std::int32_t* largest) {
    int found = 0;
    std::int32_t position = 0;
    std::int32_t offset = 0;
    while (FindSyncTag(text + position, count - position, kSyncTag, g_syncTagLength, &offset)) {
        SyncTagScan scan;
        const char* cursor = text + position + offset + g_syncTagLength;
        scan.hasTime = ReadTagTime(&cursor, readQuoted, scan.timeText, scan.secondText, &scan.kind,
                                   &scan.quote);
        std::int32_t value = 0;
        if (scan.hasTime && IsPlainTime(scan) && SyncTimeValue(scan.timeText, &value)) {
            found = 1;
            *largest = value > *largest ? value : *largest;
        }
        position = static_cast<std::int32_t>(cursor - text);
    }
    return found;
}

}  // namespace

int GuessLastSyncTime(std::FILE* input, std::int64_t inputSize, int readQuoted,
                      std::int32_t tailUnits, std::int32_t* guess) {
    if (tailUnits < 1 || tailUnits > kTailUnits) {
        return 0;
    }
    TextInput text;
    OpenTextInput(&text, input);
    const std::int64_t units = (inputSize - text.markLength) / text.unitSize;
    const std::int64_t skipped = units > tailUnits ? units - tailUnits : 0;
    if (text.failed || !SkipTextUnits(&text, skipped)) {
        return 0;
    }
    const std::size_t got =
        ReadTextUnits(&text, g_fileBuffer, g_wideWindowBytes, static_cast<std::size_t>(tailUnits));
    if (text.failed) {
        return 0;
    }
    g_fileBuffer[got] = '\0';
    std::int32_t largest = 0;
    if (!LargestTimeInText(g_fileBuffer, static_cast<std::int32_t>(got), readQuoted, &largest)) {
        return 0;
    }
    *guess = largest;
    return 1;
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
        std::int32_t value = 0;
        const int valueRead = scan.hasTime && SyncTimeValue(scan.timeText, &value);
        TrackLargest(scan, valueRead, value, &largest);
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
