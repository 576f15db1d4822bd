// The sync tags of a file as a list, for showing the cues: where each tag
// stands and the time behind it, found by the same tag walk and time reading
// as every run, so that a listed time is the one a run would move.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "run_counts.h"

struct CueTag {
    std::int64_t tagStart;   // text units from the start of the text to the tag's '<'
    std::int64_t textStart;  // text units to where the scan behind the tag ended
    int hasTime;             // a time was read and fits in 32 bits
    std::int32_t time;       // that time, in milliseconds
};

struct CueTags {
    TextKind kind;
    int markLength;  // bytes of a byte order mark before the text
    std::vector<CueTag> tags;
    RunCounts counts;  // tags found, readable times as left, tags unread
};

// Takes each tag in file order, in place of found->tags, so that no list of a
// file's tags is held: `each` returns 1 to go on, 0 to stop there.
struct CueTagSink {
    int (*each)(void* context, const CueTag& tag);
    void* context;  // handed to `each` unchanged
};

// Reads `input` from its current position to its end: RESULT_OK with *found
// filled, or RESULT_BAD_FILE when a read fails. The search tables must be
// built (BuildSyncTagTables). With a sink, found->tags stays empty, the kind
// and mark are set before the first tag is handed over, and the counts cover
// the tags handed over.
std::int32_t ReadCueTags(std::FILE* input, const RunOptions& options, CueTags* found,
                         const CueTagSink* sink = nullptr);
