// The test front end's progress: every percent a run tells it is recorded.
#pragma once

#include <cstdint>
#include <vector>

#include "run_counts.h"

extern std::vector<std::int32_t> g_recordedPercents;

// Forgets the recorded percents.
void ResetProgress();

// The options with their progress going to g_recordedPercents.
RunOptions RecordingProgress(RunOptions options);
