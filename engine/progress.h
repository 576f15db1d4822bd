// The progress rule shared by the runs, and the one link from the engine to a
// front end: SetProgressBar, which every front end defines for itself.
#pragma once

#include <cstdint>

// A front end's window, opaque to the engine (a dialog handle on Windows).
using ProgressWindow = void*;

// The window that receives progress, stored by the front end before each run.
extern ProgressWindow g_progressWindow;
// The percent last sent to the bar; 0 at start and never reset by a run.
extern std::int32_t g_lastPercent;

// Tells the bar the whole percent of `processed` in `total` when it has changed.
// Sizes are 64-bit so that files beyond 2 GiB report correct percents too.
void ReportProgress(std::int64_t processed, std::int64_t total);

// Defined by each front end: shows `percent` (0 to 100) in the window's bar.
void SetProgressBar(ProgressWindow window, std::int32_t percent);
