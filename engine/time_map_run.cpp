// The map run over the windowed file walk.
#include "time_map_run.h"

#include <cstring>

#include "output_stream.h"
#include "progress.h"
#include "result_codes.h"
#include "sync_file_walk.h"
#include "time_values.h"

namespace {

OutputStream g_mapOutput;

// The mapped time's digits, in the quotation marks it stood in: 1, or 0 when
// the time is left as it was.
int MappedText(const TimeMap& map, const SyncTagScan& scan, char* newText) {
    std::int32_t value = 0;
    std::int32_t mapped = 0;
    if (!scan.hasTime || !SyncTimeValue(scan.timeText, &value) || !MapTime(map, value, &mapped)) {
        return 0;
    }
    const int quoted = scan.quote != 0 ? 1 : 0;
    const int length = FormatDecimal(static_cast<std::uint32_t>(mapped), newText + quoted);
    if (quoted) {
        newText[0] = static_cast<char>(scan.quote);
        newText[length + 1] = static_cast<char>(scan.quote);
        newText[length + 2] = '\0';
    }
    return 1;
}

}  // namespace

std::int32_t MapFileTimes(std::FILE* input, std::int64_t inputSize, std::FILE* output,
                          const TimeMap& map, const RunOptions& options, RunCounts* counts) {
    ClearRunCounts(counts);
    OutputStream* out = &g_mapOutput;
    StartOutput(out, output);
    FileWindow window;
    OpenWindow(&window, input, options.windowSize, options.readQuoted);
    ProgressRule progress;
    StartProgress(&progress, options.progress, options.progressContext, inputSize);
    counts->kind = window.input.kind;
    WriteOutput(out, reinterpret_cast<const char*>(window.input.mark),
                static_cast<std::size_t>(window.input.markLength));
    std::int64_t copyPosition = 0;
    SyncTagScan scan;
    while (NextSyncTag(&window, &copyPosition, out, &scan)) {
        // Room for the marks around the digits of a new time.
        char newText[kTokenTextSize];
        const int moved = MappedText(map, scan, newText);
        CountSyncTag(counts, scan.hasTime, moved, scan.quote, options.readQuoted);
        FinishSyncTag(&window, &copyPosition, out, &scan, moved ? newText : nullptr);
        ReportProgress(&progress, window.input.markLength + copyPosition * window.input.unitSize);
    }
    FinishFile(&window, &copyPosition, out);
    FinishProgress(&progress);
    const int saved = FinishOutput(out);
    if (window.failed) {
        return RESULT_BAD_FILE;
    }
    return saved ? RESULT_OK : RESULT_CANNOT_SAVE;
}
