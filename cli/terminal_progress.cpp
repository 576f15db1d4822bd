// The command line's progress: "tembrel-cli: NAME  42%" on stderr, the percent
// rewritten after a carriage return, the line ended at 100.
#include "terminal_progress.h"

#include <cstdio>

#include "terminal_check.h"

namespace {

struct ProgressLine {
    const char* name;
    int open;    // a percent stands on the line and no line end yet
    int active;  // between BeginProgress and EndProgress
};

int g_progressShown = 0;
ProgressLine g_progressLine = {"", 0, 0};

void ShowPercent(void* context, std::int32_t percent) {
    ProgressLine* line = static_cast<ProgressLine*>(context);
    std::fprintf(stderr, "\rtembrel-cli: %s %3d%%", line->name, static_cast<int>(percent));
    line->open = 1;
    if (percent >= 100) {
        std::fputc('\n', stderr);
        line->open = 0;
    }
    std::fflush(stderr);
}

}  // namespace

void InitTerminalProgress() {
    g_progressShown = IsErrorStreamTerminal();
}

void BeginProgress(const char* name) {
    g_progressLine.name = name;
    g_progressLine.open = 0;
    g_progressLine.active = 1;
}

void AddTerminalProgress(RunOptions* options) {
    const int shown = g_progressShown && g_progressLine.active;
    options->progress = shown ? ShowPercent : nullptr;
    options->progressContext = shown ? &g_progressLine : nullptr;
}

void EndProgress() {
    if (g_progressLine.open) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
        g_progressLine.open = 0;
    }
    g_progressLine.active = 0;
}
