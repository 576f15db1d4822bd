// SetProgressBar for the tests: every percent the engine sends is kept in order.
#include "progress_recorder.h"

#include "progress.h"

std::vector<std::int32_t> g_recordedPercents;

void SetProgressBar(ProgressWindow /*window*/, std::int32_t percent) {
    g_recordedPercents.push_back(percent);
}

void ResetProgress(std::int32_t lastPercent) {
    g_recordedPercents.clear();
    g_lastPercent = lastPercent;
}
