// The one walk over the sync tags of a file that every run takes: the shift,
// the map run, the largest time and its guess from the tail, the cue list and
// the file's cues. The walk reads each tag's time, counts the tag, writes a new
// time over the old one where the run's step gives one, copies every other
// byte to the output of a run that writes, and tells the progress. A run brings
// only its step: the per-tag rule, inlined into the loop by the template.
#pragma once

#include <cstdint>
#include <cstdio>

#include "output_stream.h"
#include "progress.h"
#include "run_counts.h"
#include "sync_file_walk.h"
#include "time_values.h"

// One sync tag as every run reads it.
struct SyncTag {
    const SyncTagScan* scan;  // where it stands, and its time text
    int readable;             // a time was read and fits in 32 bits
    std::int32_t time;        // that time, in milliseconds
};

struct SyncTagWalk {
    FileWindow window;
    OutputStream* out;      // the run's output, or null for a walk that only reads
    std::int64_t position;  // text units passed (and, with an output, written)
    ProgressRule progress;
    RunCounts* counts;  // each tag is counted here
};

// Starts a walk that only reads `input`, from its current position; *counts
// cleared and told the file's kind. No progress is told.
void StartReadingWalk(SyncTagWalk* walk, std::FILE* input, const RunOptions& options,
                      RunCounts* counts);

// Starts a walk that writes `input` (`inputSize` bytes from its current
// position, for the progress) to `output` through `out`, the byte order mark
// first; otherwise as StartReadingWalk.
void StartWritingWalk(SyncTagWalk* walk, std::FILE* input, std::int64_t inputSize,
                      OutputStream* out, std::FILE* output, const RunOptions& options,
                      RunCounts* counts);

// Starts a walk that reads the last `tailUnits` units of `input`'s text alone
// (1 to kWideWindowSize; `inputSize` bytes from its current position): 1, or 0
// when the tail cannot be read.
int StartTailWalk(SyncTagWalk* walk, std::FILE* input, std::int64_t inputSize, int readQuoted,
                  std::int32_t tailUnits, RunCounts* counts);

// Writes the tag's new `time`, in the quotation marks the old one stood in,
// and passes the tag, as FinishSyncTag does.
void PutNewTime(FileWindow* window, std::int64_t* copyPosition, OutputStream* out,
                const SyncTagScan& scan, std::uint32_t time);

// Ends the walk: the rest of the text goes to the output, which is flushed,
// and the progress is told 100. RESULT_OK, RESULT_BAD_FILE when a read failed,
// or RESULT_CANNOT_SAVE when a write or the flush failed.
std::int32_t FinishWalk(SyncTagWalk* walk);

// A step that leaves every time as it is.
inline int LeaveTime(const SyncTag& /*tag*/, std::uint32_t* /*newTime*/) {
    return 0;
}

// An after-tag step that looks at nothing.
inline void PassTag(const SyncTag& /*tag*/, const SyncTagWalk& /*walk*/) {}

// The text the window holds behind the tag just passed, *count bytes of it (0
// when it holds none): for a UTF-16 file, its narrowed text.
inline const char* TextBehindTag(const SyncTagWalk& walk, std::int32_t* count) {
    const FileWindow& window = walk.window;
    const std::int64_t behind = walk.position - window.base;
    *count = (behind >= 0 && behind <= window.length)
                 ? window.length - static_cast<std::int32_t>(behind)
                 : 0;
    return g_fileBuffer + (window.length - *count);
}

// Walks every tag to the end of the file. `newTime(tag, &time)` is the run's
// step: 1 with the time that takes the tag's place, or 0 to leave the tag as
// it is. `afterTag(tag, walk)` is told once the tag has been passed, when the
// window holds the text behind it (TextBehindTag).
template <typename NewTime, typename AfterTag>
void WalkSyncTags(SyncTagWalk* walk, NewTime newTime, AfterTag afterTag) {
    FileWindow* window = &walk->window;
    OutputStream* out = walk->out;
    RunCounts* counts = walk->counts;
    const int readQuoted = window->readQuoted;
    SyncTagScan scan;
    while (NextSyncTag(window, &walk->position, out, &scan)) {
        SyncTag tag{&scan, 0, 0};
        tag.readable = scan.hasTime && SyncTimeValue(scan.timeText, &tag.time);
        std::uint32_t time = 0;
        const int moved = newTime(tag, &time) ? 1 : 0;
        CountSyncTag(counts, scan.hasTime, moved, scan.quote, readQuoted);
        if (moved) {
            PutNewTime(window, &walk->position, out, scan, time);
        } else {
            FinishSyncTag(window, &walk->position, out, &scan, nullptr);
        }
        afterTag(tag, *walk);
        ReportProgress(&walk->progress,
                       window->input.markLength + walk->position * window->input.unitSize);
    }
}

template <typename NewTime>
void WalkSyncTags(SyncTagWalk* walk, NewTime newTime) {
    WalkSyncTags(walk, newTime, PassTag);
}
