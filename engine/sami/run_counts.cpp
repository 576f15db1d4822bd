// Counting the sync tags of a run.
#include "run_counts.h"

void ClearRunCounts(RunCounts* counts) {
    *counts = RunCounts{TEXT_BYTES, 0, 0, 0, 0, 0, 0};
}

void CountSyncTag(RunCounts* counts, int hasTime, int moved, int quote, int readQuoted) {
    ++counts->tagsFound;
    if (!hasTime) {
        ++counts->tagsUnread;
        if (quote != 0 && !readQuoted) {
            ++counts->quotedUnread;
        }
    } else if (moved) {
        ++counts->timesMoved;
    } else {
        ++counts->timesLeft;
    }
}
