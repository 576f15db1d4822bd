// The progress rule shared by the runs. A front end hears of a run's progress
// through the callback and context it passes with the run (RunOptions); the
// engine knows nothing of what shows it.
#pragma once

#include <cstdint>

// Shows `percent` (0 to 100) of a run; `context` is the front end's own.
using ProgressCallback = void (*)(void* context, std::int32_t percent);

// One run's progress: the percent last told, and the byte count at which the
// next whole percent is reached, so that a report costs one compare until then.
struct ProgressRule {
    ProgressCallback progress;  // null: nobody listens
    void* context;
    std::int64_t total;     // bytes in total; 0 or less: no percent before the end
    std::int32_t last;      // the percent last told, 0 when the run starts
    std::int64_t nextStep;  // the fewest bytes processed that make a new percent
};

// Starts the rule of a run over `total` bytes.
void StartProgress(ProgressRule* rule, ProgressCallback progress, void* context,
                   std::int64_t total);

// Tells the whole percent of the bytes processed when it has changed.
void CrossProgressStep(ProgressRule* rule, std::int64_t processed);
inline void ReportProgress(ProgressRule* rule, std::int64_t processed) {
    if (processed >= rule->nextStep) {
        CrossProgressStep(rule, processed);
    }
}

// Every run ends by telling 100, whatever it told last.
void FinishProgress(const ProgressRule* rule);
