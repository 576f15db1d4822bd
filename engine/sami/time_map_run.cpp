// The map run: a step of the one tag walk.
#include "time_map_run.h"

#include "output_stream.h"
#include "sync_tag_walk.h"

namespace {

OutputStream g_mapOutput;

}  // namespace

std::int32_t MapFileTimes(std::FILE* input, std::int64_t inputSize, std::FILE* output,
                          const TimeMap& map, const RunOptions& options, RunCounts* counts) {
    SyncTagWalk walk;
    StartWritingWalk(&walk, input, inputSize, &g_mapOutput, output, options, counts);
    WalkSyncTags(&walk, [&map](const SyncTag& tag, std::uint32_t* newTime) {
        std::int32_t mapped = 0;
        if (!tag.readable || !MapTime(map, tag.time, &mapped)) {
            return 0;
        }
        *newTime = static_cast<std::uint32_t>(mapped);
        return 1;
    });
    return FinishWalk(&walk);
}
