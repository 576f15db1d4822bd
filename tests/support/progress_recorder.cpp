// The progress callback for the tests: every percent is kept in order.
#include "progress_recorder.h"

std::vector<std::int32_t> g_recordedPercents;

namespace {

void RecordPercent(void* context, std::int32_t percent) {
    static_cast<std::vector<std::int32_t>*>(context)->push_back(percent);
}

}  // namespace

void ResetProgress() {
    g_recordedPercents.clear();
}

RunOptions RecordingProgress(RunOptions options) {
    options.progress = RecordPercent;
    options.progressContext = &g_recordedPercents;
    return options;
}
