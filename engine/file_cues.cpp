// A read-only walk over the sync tags that keeps each readable time and looks
// at what the window shows behind it.
#include "file_cues.h"

#include <algorithm>

#include "result_codes.h"
#include "sync_file_walk.h"
#include "time_values.h"

namespace {

char LowerByte(char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// Whether text[at ..] (count bytes in all) begins with `lowerWord`.
int HasWord(const char* text, std::int32_t count, std::int32_t at, const char* lowerWord) {
    for (std::int32_t k = 0; lowerWord[k] != '\0'; ++k) {
        if (at + k >= count || LowerByte(text[at + k]) != lowerWord[k]) {
            return 0;
        }
    }
    return 1;
}

int IsSpace(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n' || byte == '\f';
}

// 1 when the point shows nothing; the whole window is read as text otherwise.
int PointShowsNothing(const FileWindow& window, std::int64_t position) {
    const std::int64_t offset = position - window.base;
    if (offset < 0 || offset > window.length) {
        return 0;
    }
    const auto at = static_cast<std::int32_t>(offset);
    return ShowsNothing(g_fileBuffer + at, window.length - at);
}

struct SyncPoint {
    std::int32_t time;
    int blank;
};

void CuesOfPoints(const std::vector<SyncPoint>& points, std::vector<Cue>* cues) {
    cues->clear();
    for (std::size_t k = 0; k < points.size(); ++k) {
        if (points[k].blank) {
            continue;
        }
        std::int64_t end = -1;
        if (k + 1 < points.size() && points[k + 1].time > points[k].time) {
            end = points[k + 1].time;
        }
        cues->push_back(Cue{points[k].time, end});
    }
    std::stable_sort(cues->begin(), cues->end(),
                     [](const Cue& a, const Cue& b) { return a.start < b.start; });
}

}  // namespace

int ShowsNothing(const char* text, std::int32_t count) {
    std::int32_t at = 0;
    // The rest of the sync tag itself.
    while (at < count && text[at] != '>') {
        ++at;
    }
    if (at == count) {
        return 0;
    }
    ++at;
    while (at < count) {
        if (IsSpace(text[at])) {
            ++at;
        } else if (text[at] == '<') {
            if (HasWord(text, count, at + 1, "sync") || HasWord(text, count, at + 1, "/body")) {
                return 1;
            }
            while (at < count && text[at] != '>') {
                ++at;
            }
            if (at == count) {
                return 0;
            }
            ++at;
        } else if (HasWord(text, count, at, "&nbsp")) {
            at += 5;
            at += (at < count && text[at] == ';') ? 1 : 0;
        } else {
            return 0;
        }
    }
    return 0;
}

std::int32_t ReadFileCues(std::FILE* input, const RunOptions& options, std::vector<Cue>* cues,
                          RunCounts* counts) {
    ClearRunCounts(counts);
    FileWindow window;
    OpenWindow(&window, input, options.windowSize, options.readQuoted);
    counts->kind = window.input.kind;
    std::vector<SyncPoint> points;
    std::int64_t position = 0;
    SyncTagScan scan;
    while (NextSyncTag(&window, &position, nullptr, &scan)) {
        std::int32_t value = 0;
        const int readable = scan.hasTime && SyncTimeValue(scan.timeText, &value);
        CountSyncTag(counts, scan.hasTime, 0, scan.quote, options.readQuoted);
        FinishSyncTag(&window, &position, nullptr, &scan, nullptr);
        if (readable) {
            points.push_back(SyncPoint{value, PointShowsNothing(window, position)});
        }
    }
    if (window.failed) {
        return RESULT_BAD_FILE;
    }
    CuesOfPoints(points, cues);
    return RESULT_OK;
}
