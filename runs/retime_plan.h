// Turning what a user knows about a drift into the engine's range, shift and
// stretch: two cues whose right times are known (a straight line through two
// points), or the frame rate the subtitles were made for and the one they are
// played with.
#pragma once

#include <cstdint>

#include "sync_shift.h"

// t -> slope * t + intercept, in milliseconds.
struct SyncLine {
    double slope;
    double intercept;
};

// The line through (oldTimes[0], newTimes[0]) and (oldTimes[1], newTimes[1]).
// 0 when the two old times are equal or the line does not rise (slope <= 0).
int LineThroughPoints(const std::int32_t oldTimes[2], const std::int32_t newTimes[2],
                      SyncLine* line);

// The range 0 .. lastSync with the whole-millisecond shift and stretch whose
// run comes closest to the line over that range. 1 with *params filled, or 0
// when the shift or the stretch does not fit in 32 bits. *worstDeviation (when
// not null) receives the bound on |moved time - line| that the choice
// guarantees, in milliseconds.
int ParamsForLine(const SyncLine& line, std::int32_t lastSync, ShiftParams* params,
                  double* worstDeviation);

// The stretch that makes every time of the range move as if its distance from
// the range start were multiplied by fromRate / toRate: the range's span times
// the ratio, to the nearest millisecond, less the span. 0 when it does not fit
// in 32 bits.
int StretchForRates(std::int32_t rangeStart, std::int32_t rangeEnd, double fromRate, double toRate,
                    std::int32_t* stretch);

// The first time of the range that the run does not refuse as going below 0
// (the range end + 1 when it refuses them all). The run's mapping never falls
// as the time grows, so the times it puts below 0 are the range's first ones,
// from the range start up to this one.
std::int64_t FirstTimeNotBelowZero(const ShiftParams& params);
