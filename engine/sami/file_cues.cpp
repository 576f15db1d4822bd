// A read-only step of the one tag walk that keeps each readable time and looks
// at what the window shows behind it.
#include "file_cues.h"

#include <algorithm>

#include "result_codes.h"
#include "sync_tag_walk.h"

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
    SyncTagWalk walk;
    StartReadingWalk(&walk, input, options, counts);
    std::vector<SyncPoint> points;
    // What a point shows is read once the walk has passed its tag: the window
    // then holds the text behind it, even when the tag's scan overran.
    WalkSyncTags(&walk, LeaveTime, [&points](const SyncTag& tag, const SyncTagWalk& passed) {
        if (tag.readable) {
            std::int32_t count = 0;
            const char* behind = TextBehindTag(passed, &count);
            points.push_back(SyncPoint{tag.time, ShowsNothing(behind, count)});
        }
    });
    if (FinishWalk(&walk) != RESULT_OK) {
        return RESULT_BAD_FILE;
    }
    CuesOfPoints(points, cues);
    return RESULT_OK;
}
