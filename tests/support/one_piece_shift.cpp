// The whole content in one buffer with a NUL behind it, as a file that fits.
#include "one_piece_shift.h"

#include "sync_tag_search.h"
#include "time_values.h"
#include "token_scanner.h"

OnePieceResult ShiftInOnePiece(const std::string& input, const ShiftParams& p,
                               std::int32_t lastPercent) {
    OnePieceResult r{"", {}, 0};
    const std::string data = input + '\0';
    const auto n = static_cast<std::int32_t>(input.size());
    const double ratio = StretchRatio(p.rangeStart, p.rangeEnd, p.stretch);
    std::int32_t position = 0;
    std::int32_t offset = 0;
    while (FindSyncTag(data.data() + position, n - position, kSyncTag, g_syncTagLength, &offset)) {
        const std::int32_t tagEnd = position + offset + g_syncTagLength;
        const char* cursor = data.data() + tagEnd;
        char timeText[kTokenTextSize];
        char second[kTokenTextSize];
        char newText[kTokenTextSize];
        TokenKind kind;
        const int hasTime = ReadSyncTime(&cursor, timeText, second, &kind);
        const auto scanEnd = static_cast<std::int32_t>(cursor - data.data());
        std::int32_t value = 0;
        if (hasTime && timeText[0] != '-' && timeText[0] != '+' &&
            SyncTimeValue(timeText, &value) && value > r.last) {
            r.last = value;
        }
        if (hasTime && RetimeValue(timeText, newText, p.rangeStart, p.rangeEnd, p.shift, ratio)) {
            r.output.append(data, static_cast<std::size_t>(position),
                            static_cast<std::size_t>(tagEnd - position));
            r.output += newText;
        } else {
            r.output.append(data, static_cast<std::size_t>(position),
                            static_cast<std::size_t>(scanEnd - position));
        }
        position = scanEnd;
        const auto percent = static_cast<std::int32_t>(std::int64_t{position} * 100 / n);
        if (percent != lastPercent) {
            r.percents.push_back(percent);
            lastPercent = percent;
        }
    }
    r.output.append(data, static_cast<std::size_t>(position),
                    static_cast<std::size_t>(n - position));
    r.percents.push_back(100);
    return r;
}
