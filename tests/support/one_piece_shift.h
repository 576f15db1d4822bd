// The shift and the last sync time over a whole content held in memory, built
// from the engine's search, scanner and mapping alone: the measure that the
// windowed run through the file buffer must equal.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sync_shift.h"

struct OnePieceResult {
    std::string output;
    std::vector<std::int32_t> percents;  // what the progress bar is told, in order
    std::int32_t last;                   // the largest plain sync time
};

// Needs the search tables built. `lastPercent` is the progress rule's state at the start.
OnePieceResult ShiftInOnePiece(const std::string& input, const ShiftParams& p,
                               std::int32_t lastPercent);
