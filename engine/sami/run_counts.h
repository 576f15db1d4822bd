// What a run found and did, counted by the engine once, for the front ends to
// report: a run that moved nothing, or left tags unread, says so.
#pragma once

#include <cstdint>

#include "progress.h"
#include "text_input.h"

struct RunCounts {
    TextKind kind;              // how the file's text was read
    std::int64_t tagsFound;     // sync tags (in the append run: in the appended body)
    std::int64_t timesMoved;    // times re-timed
    std::int64_t timesLeft;     // readable times left as they were: outside the range, or refused
    std::int64_t tagsUnread;    // tags with no readable time behind them
    std::int64_t quotedUnread;  // of those, a time in quotation marks, left unread by choice
    std::int64_t cuesAppended;  // the append run: lines of the appended body with a sync tag
    // The shift run: the largest plain sync time it read, never below 0, as the
    // range end E is looked up.
    std::int32_t largestTime = 0;
};

// How a run reads its files.
struct RunOptions {
    int readQuoted;           // a time in matching quotation marks is read too
    std::int32_t windowSize;  // units of file text in memory at once (16 or more)
    // Told each new whole percent of the run and 100 at its end; null: no progress.
    void (*progress)(void* context, std::int32_t percent) = nullptr;
    void* progressContext = nullptr;  // handed to `progress` unchanged
};

void ClearRunCounts(RunCounts* counts);

// A sync tag and what stood behind it: moved (1), left (0), or unread (no time).
void CountSyncTag(RunCounts* counts, int hasTime, int moved, int quote, int readQuoted);
