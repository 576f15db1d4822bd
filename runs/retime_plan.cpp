// Shift and stretch from two points or two frame rates. The engine maps a time
// t of the range 0 .. E to trunc(t * (E + stretch) / E + shift), so the line
// a * t + b is met by a stretch near (a - 1) * E and a shift near b. The cut to
// whole milliseconds moves a time down by less than 1 ms; the two values are
// chosen together so that the error before the cut is as near half a
// millisecond as whole numbers allow at both ends of the range, where it is
// largest.
#include "retime_plan.h"

#include <cmath>
#include <string>

namespace {

constexpr double kInt32Min = -2147483648.0;
constexpr double kInt32Max = 2147483647.0;

int FitsInt32(double value) {
    return value >= kInt32Min && value <= kInt32Max;
}

// The largest |moved time - line| over the range for one pair of values. With
// a stretch of 0 the engine adds the shift exactly; otherwise the moved time
// lies between the error before the cut and that error less 1, and the error
// before the cut is linear in t, so both ends bound it.
double DeviationBound(const SyncLine& line, std::int32_t lastSync, double stretch, double shift) {
    const double atStart = shift - line.intercept;
    const double atEnd = stretch + shift - line.intercept - (line.slope - 1.0) * lastSync;
    if (stretch == 0.0) {
        return std::fmax(std::fabs(atStart), std::fabs(atEnd));
    }
    const double start = std::fmax(std::fabs(atStart), std::fabs(atStart - 1.0));
    const double end = std::fmax(std::fabs(atEnd), std::fabs(atEnd - 1.0));
    return std::fmax(start, end);
}

// 1 when the run refuses t because it would go below 0. RetimeValue decides the
// refusal; the sign of the mapped value only tells it from one beyond 32 bits.
int GoesBelowZero(std::int64_t t, const ShiftParams& params, double ratio) {
    char newText[16];
    if (RetimeValue(std::to_string(t).c_str(), newText, params.rangeStart, params.rangeEnd,
                    params.shift, ratio)) {
        return 0;
    }
    const double mapped =
        static_cast<double>(t - params.rangeStart) * ratio + params.rangeStart + params.shift;
    return mapped < 0.0 ? 1 : 0;
}

}  // namespace

int LineThroughPoints(const std::int32_t oldTimes[2], const std::int32_t newTimes[2],
                      SyncLine* line) {
    const std::int64_t oldSpan = std::int64_t{oldTimes[1]} - oldTimes[0];
    const std::int64_t newSpan = std::int64_t{newTimes[1]} - newTimes[0];
    if (oldSpan == 0) {
        return 0;
    }
    const double slope = static_cast<double>(newSpan) / static_cast<double>(oldSpan);
    if (!(slope > 0.0)) {
        return 0;
    }
    line->slope = slope;
    line->intercept = static_cast<double>(newTimes[0]) - slope * static_cast<double>(oldTimes[0]);
    return 1;
}

int ParamsForLine(const SyncLine& line, std::int32_t lastSync, ShiftParams* params,
                  double* worstDeviation) {
    const double idealStretch = (line.slope - 1.0) * lastSync;
    // Beyond 32 bits (with a margin for the candidates) there is nothing to try.
    if (!FitsInt32(idealStretch) || !FitsInt32(line.intercept)) {
        return 0;
    }
    const std::int64_t baseStretch = static_cast<std::int64_t>(std::floor(idealStretch));
    const std::int64_t baseShift = static_cast<std::int64_t>(std::floor(line.intercept));
    double bestBound = HUGE_VAL;
    std::int64_t bestStretch = 0;
    std::int64_t bestShift = 0;
    // The best pair lies within a millisecond or two of the ideal values; a
    // tie goes to the shift nearer the line's own.
    for (std::int64_t shift = baseShift - 1; shift <= baseShift + 2; ++shift) {
        for (std::int64_t stretch = baseStretch - 1; stretch <= baseStretch + 2; ++stretch) {
            // A stretch below -E would turn the range around.
            if (!FitsInt32(static_cast<double>(shift)) ||
                !FitsInt32(static_cast<double>(stretch)) || stretch < -std::int64_t{lastSync}) {
                continue;
            }
            const double bound = DeviationBound(line, lastSync, static_cast<double>(stretch),
                                                static_cast<double>(shift));
            const int nearer = std::fabs(static_cast<double>(shift) - line.intercept) <
                               std::fabs(static_cast<double>(bestShift) - line.intercept);
            if (bound < bestBound || (bound == bestBound && nearer)) {
                bestBound = bound;
                bestStretch = stretch;
                bestShift = shift;
            }
        }
    }
    if (bestBound == HUGE_VAL) {
        return 0;
    }
    params->rangeStart = 0;
    params->rangeEnd = lastSync;
    params->shift = static_cast<std::int32_t>(bestShift);
    params->stretch = static_cast<std::int32_t>(bestStretch);
    if (worstDeviation != nullptr) {
        *worstDeviation = bestBound;
    }
    return 1;
}

int StretchForRates(std::int32_t rangeStart, std::int32_t rangeEnd, double fromRate, double toRate,
                    std::int32_t* stretch) {
    const double span = static_cast<double>(std::int64_t{rangeEnd} - rangeStart);
    const double value = std::round(span * fromRate / toRate) - span;
    if (!FitsInt32(value)) {
        return 0;
    }
    *stretch = static_cast<std::int32_t>(value);
    return 1;
}

std::int64_t FirstTimeNotBelowZero(const ShiftParams& params) {
    const double ratio = StretchRatio(params.rangeStart, params.rangeEnd, params.stretch);
    std::int64_t low = params.rangeStart;
    std::int64_t high = std::int64_t{params.rangeEnd} + 1;
    while (low < high) {
        const std::int64_t middle = low + (high - low) / 2;
        if (GoesBelowZero(middle, params, ratio)) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}
