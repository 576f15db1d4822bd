// Listing the sync tags: a read-only step of the one tag walk.
#include "cue_tags.h"

#include "sync_tag_search.h"
#include "sync_tag_walk.h"

std::int32_t ReadCueTags(std::FILE* input, const RunOptions& options, CueTags* found,
                         const CueTagSink* sink) {
    found->tags.clear();
    // A sink that has seen enough hears of no more tags; the walk still counts them.
    int listening = 1;
    SyncTagWalk walk;
    StartReadingWalk(&walk, input, options, &found->counts);
    found->kind = walk.window.input.kind;
    found->markLength = walk.window.input.markLength;
    WalkSyncTags(&walk, [found, sink, &listening](const SyncTag& tag, std::uint32_t* /*newTime*/) {
        const SyncTagScan& scan = *tag.scan;
        const CueTag cue{scan.tagEnd - g_syncTagLength, scan.scanEnd, tag.readable, tag.time};
        if (sink == nullptr) {
            found->tags.push_back(cue);
        } else if (listening) {
            listening = sink->each(sink->context, cue);
        }
        return 0;
    });
    return FinishWalk(&walk);
}
