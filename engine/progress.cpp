// Progress in whole percents; the bar hears of a percent only when it changes.
#include "progress.h"

ProgressWindow g_progressWindow = nullptr;
std::int32_t g_lastPercent = 0;

void ReportProgress(std::int64_t processed, std::int64_t total) {
    if (total <= 0 || processed < 0) {
        return;
    }
    // A file that grew while it was read could pass its own total.
    const std::int64_t bounded = processed < total ? processed : total;
    // Files are far below 2^56 bytes, so the product cannot overflow.
    const auto percent = static_cast<std::int32_t>(bounded * 100 / total);
    if (percent != g_lastPercent) {
        SetProgressBar(g_progressWindow, percent);
        g_lastPercent = percent;
    }
}
