// Listing the sync tags through the file window, copying nothing.
#include "cue_tags.h"

#include "result_codes.h"
#include "sync_file_walk.h"
#include "sync_tag_search.h"
#include "time_values.h"

std::int32_t ReadCueTags(std::FILE* input, const RunOptions& options, CueTags* found,
                         const CueTagSink* sink) {
    ClearRunCounts(&found->counts);
    found->tags.clear();
    FileWindow window;
    OpenWindow(&window, input, options.windowSize, options.readQuoted);
    found->kind = window.input.kind;
    found->markLength = window.input.markLength;
    found->counts.kind = window.input.kind;
    std::int64_t position = 0;
    SyncTagScan scan;
    while (NextSyncTag(&window, &position, nullptr, &scan)) {
        CueTag tag = {scan.tagEnd - g_syncTagLength, scan.scanEnd, 0, 0};
        tag.hasTime = scan.hasTime && SyncTimeValue(scan.timeText, &tag.time);
        CountSyncTag(&found->counts, scan.hasTime, 0, scan.quote, options.readQuoted);
        if (sink == nullptr) {
            found->tags.push_back(tag);
        } else if (!sink->each(sink->context, tag)) {
            break;
        }
        FinishSyncTag(&window, &position, nullptr, &scan, nullptr);
    }
    return window.failed ? RESULT_BAD_FILE : RESULT_OK;
}
