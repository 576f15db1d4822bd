// The shift run and the largest sync time: steps of the one tag walk.
#include "sync_shift.h"

#include <cstdio>

#include "result_codes.h"
#include "sync_tag_walk.h"
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

// A plain time counts towards the largest: one written with a sign is passed over.
int IsPlainTime(const SyncTagScan& scan) {
    return (scan.timeText[0] != '+' && scan.timeText[0] != '-') ? 1 : 0;
}

void TrackLargest(const SyncTag& tag, std::int32_t* largest) {
    if (tag.readable && IsPlainTime(*tag.scan) && tag.time > *largest) {
        *largest = tag.time;
    }
}

// Walks the tags for the largest plain time above `largest`.
std::int32_t LargestTime(SyncTagWalk* walk, std::int32_t largest) {
    WalkSyncTags(walk, [&largest](const SyncTag& tag, std::uint32_t* /*newTime*/) {
        TrackLargest(tag, &largest);
        return 0;
    });
    return largest;
}

// The shift's step: the tag's new time, when it is in the range and its image
// stays in 0 .. 2^31 - 1.
int MoveTime(const TimeMapping& m, const SyncTag& tag, std::uint32_t* newTime) {
    return tag.readable && tag.time >= m.rangeStart && tag.time <= m.rangeEnd &&
           MapValue(tag.time, m, newTime);
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

RunOptions FrontEndRunOptions(int readQuoted) {
    return RunOptions{readQuoted, kFileBufferSize};
}

std::int32_t ShiftFileTimes(std::FILE* input, std::int64_t inputSize, std::FILE* output,
                            const ShiftParams& params, const RunOptions& options,
                            RunCounts* counts) {
    const TimeMapping mapping =
        MappingOf(params.rangeStart, params.rangeEnd, params.shift,
                  StretchRatio(params.rangeStart, params.rangeEnd, params.stretch));
    SyncTagWalk walk;
    StartWritingWalk(&walk, input, inputSize, &g_shiftOutput, output, options, counts);
    std::int32_t* largest = &counts->largestTime;
    WalkSyncTags(&walk, [&mapping, largest](const SyncTag& tag, std::uint32_t* newTime) {
        TrackLargest(tag, largest);
        return MoveTime(mapping, tag, newTime);
    });
    return FinishWalk(&walk);
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

int GuessLastSyncTime(std::FILE* input, std::int64_t inputSize, int readQuoted,
                      std::int32_t tailUnits, std::int32_t* guess) {
    if (tailUnits < 1 || tailUnits > kTailUnits) {
        return 0;
    }
    RunCounts counts;
    SyncTagWalk walk;
    if (!StartTailWalk(&walk, input, inputSize, readQuoted, tailUnits, &counts)) {
        return 0;
    }
    // Below every time, so that a time of 0 is found too.
    const std::int32_t largest = LargestTime(&walk, -1);
    if (largest < 0) {
        return 0;
    }
    *guess = largest;
    return 1;
}

std::int32_t ReadLastSyncTime(std::FILE* input, const RunOptions& options, std::int32_t* last,
                              RunCounts* counts) {
    RunCounts found;
    SyncTagWalk walk;
    StartReadingWalk(&walk, input, options, &found);
    const std::int32_t largest = LargestTime(&walk, 0);
    if (FinishWalk(&walk) != RESULT_OK) {
        return RESULT_BAD_FILE;
    }
    *last = largest;
    if (counts != nullptr) {
        *counts = found;
    }
    return RESULT_OK;
}
