// Listing the sync tags: a read-only step of the one tag walk.
#include "cue_tags.h"

#include "sync_tag_search.h"
#include "sync_tag_walk.h"

std::int32_t ReadCueTags(std::FILE* input, const RunOptions& options, CueTags* found) {
    found->tags.clear();
    SyncTagWalk walk;
    StartReadingWalk(&walk, input, options, &found->counts);
    found->kind = walk.window.input.kind;
    found->markLength = walk.window.input.markLength;
    WalkSyncTags(&walk, [found](const SyncTag& tag, std::uint32_t* /*newTime*/) {
        const SyncTagScan& scan = *tag.scan;
        found->tags.push_back(
            CueTag{scan.tagEnd - g_syncTagLength, scan.scanEnd, tag.readable, tag.time});
        return 0;
    });
    return FinishWalk(&walk);
}
