// The four readers of a reference subtitle over its narrowed text. Each is
// lenient where files in the wild differ (',' or '.' before the milliseconds,
// any number of hour digits, blanks around the arrow, CR LF or LF) and counts
// an entry it cannot read instead of stopping.
#include "reference_cues.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kHighByte = 0x80;
// Digits read of one clock field at most: enough for any time, far from overflow.
constexpr std::size_t kMaxFieldDigits = 9;

bool IsAsciiDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

bool IsSpaceByte(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n' || byte == '\f' ||
           byte == '\v';
}

char Lower(char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte;
}

bool IsLetter(char byte) {
    const char lower = Lower(byte);
    return lower >= 'a' && lower <= 'z';
}

// Whether text[at ..] begins with `lowerWord`, letters in either case.
bool StartsWithNoCase(const std::string& text, std::size_t at, const char* lowerWord) {
    const std::size_t length = std::strlen(lowerWord);
    if (at + length > text.size()) {
        return false;
    }
    for (std::size_t k = 0; k < length; ++k) {
        if (Lower(text[at + k]) != lowerWord[k]) {
            return false;
        }
    }
    return true;
}

// The first occurrence of `lowerWord` starting in text[from, to), or npos.
std::size_t FindNoCaseIn(const std::string& text, std::size_t from, std::size_t to,
                         const char* lowerWord) {
    const char first = lowerWord[0];
    const std::size_t stop = std::min(to, text.size());
    for (std::size_t at = from; at < stop; ++at) {
        if (Lower(text[at]) == first && StartsWithNoCase(text, at, lowerWord)) {
            return at;
        }
    }
    return std::string::npos;
}

// The first `byte` in text[from, to), or npos: every search stays within its
// line or tag, so that no text makes the readers slow.
std::size_t FindByteIn(const std::string& text, std::size_t from, std::size_t to, char byte) {
    const std::size_t stop = std::min(to, text.size());
    for (std::size_t at = from; at < stop; ++at) {
        if (text[at] == byte) {
            return at;
        }
    }
    return std::string::npos;
}

// A tag's '>' is looked for this far at most.
constexpr std::size_t kTagReach = 4096;

std::size_t FindNoCase(const std::string& text, std::size_t from, const char* lowerWord) {
    return FindNoCaseIn(text, from, text.size(), lowerWord);
}

// A line of the text without its line end: [begin, end). 0 at the end.
int NextLine(const std::string& text, std::size_t* at, std::size_t* begin, std::size_t* end) {
    if (*at >= text.size()) {
        return 0;
    }
    *begin = *at;
    std::size_t stop = text.find('\n', *at);
    *at = stop == std::string::npos ? text.size() : stop + 1;
    stop = stop == std::string::npos ? text.size() : stop;
    if (stop > *begin && text[stop - 1] == '\r') {
        --stop;
    }
    *end = stop;
    return 1;
}

void TrimSpan(const std::string& text, std::size_t* begin, std::size_t* end) {
    while (*begin < *end && IsSpaceByte(text[*begin])) {
        ++*begin;
    }
    while (*end > *begin && IsSpaceByte(text[*end - 1])) {
        --*end;
    }
}

// The whole span is one clock time (blanks around it allowed).
int ReadWholeClock(const std::string& text, std::size_t begin, std::size_t end,
                   std::int64_t* milliseconds) {
    TrimSpan(text, &begin, &end);
    std::size_t used = 0;
    return begin < end && ReadClockText(text.data() + begin, end - begin, milliseconds, &used) &&
           used == end - begin;
}

void AddCue(std::int64_t start, std::int64_t end, ReferenceCues* reference) {
    if (start < 0 || end < start) {
        ++reference->skipped;
        return;
    }
    reference->cues.push_back(Cue{start, end});
}

// SubRip and WebVTT: a timing line "START --> END", settings after END.
void ReadArrowCues(const std::string& text, ReferenceCues* reference) {
    std::size_t at = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
    while (NextLine(text, &at, &begin, &end)) {
        const std::size_t arrow = FindNoCaseIn(text, begin, end, "-->");
        if (arrow == std::string::npos) {
            continue;
        }
        std::int64_t start = 0;
        std::int64_t stop = 0;
        std::size_t from = arrow + 3;
        while (from < end && IsSpaceByte(text[from])) {
            ++from;
        }
        std::size_t used = 0;
        const int read = ReadWholeClock(text, begin, arrow, &start) &&
                         ReadClockText(text.data() + from, end - from, &stop, &used) &&
                         (from + used == end || IsSpaceByte(text[from + used]));
        if (!read) {
            ++reference->skipped;
            continue;
        }
        AddCue(start, stop, reference);
    }
}

// The span of comma-separated field `index` of text[begin, end).
int FieldSpan(const std::string& text, std::size_t begin, std::size_t end, int index,
              std::size_t* fieldBegin, std::size_t* fieldEnd) {
    std::size_t from = begin;
    for (int field = 0; field < index; ++field) {
        const std::size_t comma = FindByteIn(text, from, end, ',');
        if (comma == std::string::npos) {
            return 0;
        }
        from = comma + 1;
    }
    const std::size_t comma = FindByteIn(text, from, end, ',');
    *fieldBegin = from;
    *fieldEnd = comma == std::string::npos ? end : comma;
    return 1;
}

struct EventFields {
    int start;
    int end;
};

// "Format: Layer, Start, End, ...": where Start and End stand.
void ReadFormatLine(const std::string& text, std::size_t begin, std::size_t end,
                    EventFields* fields) {
    EventFields found{-1, -1};
    std::size_t fieldBegin = begin;
    for (int index = 0; fieldBegin <= end; ++index) {
        const std::size_t comma = FindByteIn(text, fieldBegin, end, ',');
        std::size_t from = fieldBegin;
        std::size_t to = comma == std::string::npos ? end : comma;
        TrimSpan(text, &from, &to);
        if (to - from == 5 && StartsWithNoCase(text, from, "start")) {
            found.start = index;
        } else if (to - from == 3 && StartsWithNoCase(text, from, "end")) {
            found.end = index;
        }
        if (comma == std::string::npos) {
            break;
        }
        fieldBegin = comma + 1;
    }
    if (found.start >= 0 && found.end >= 0) {
        *fields = found;
    }
}

// SSA/ASS: "Dialogue:" lines, their fields in the order of the Format line of
// the events (Start and End second and third without one); the text, last,
// may hold commas and is never read.
void ReadDialogueCues(const std::string& text, ReferenceCues* reference) {
    EventFields fields{1, 2};
    int inEvents = 0;
    std::size_t at = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
    while (NextLine(text, &at, &begin, &end)) {
        TrimSpan(text, &begin, &end);
        if (begin < end && text[begin] == '[') {
            inEvents = StartsWithNoCase(text, begin, "[events]");
        } else if (inEvents && StartsWithNoCase(text, begin, "format:")) {
            ReadFormatLine(text, begin + 7, end, &fields);
        } else if (StartsWithNoCase(text, begin, "dialogue:")) {
            std::size_t startBegin = 0;
            std::size_t startEnd = 0;
            std::size_t endBegin = 0;
            std::size_t endEnd = 0;
            std::int64_t start = 0;
            std::int64_t stop = 0;
            if (FieldSpan(text, begin + 9, end, fields.start, &startBegin, &startEnd) &&
                FieldSpan(text, begin + 9, end, fields.end, &endBegin, &endEnd) &&
                ReadWholeClock(text, startBegin, startEnd, &start) &&
                ReadWholeClock(text, endBegin, endEnd, &stop)) {
                AddCue(start, stop, reference);
            } else {
                ++reference->skipped;
            }
        }
    }
}

// One sync point of a SAMI reference: its time, its class, and whether it
// shows text or only ends what was shown.
struct SamiPoint {
    std::int64_t time;
    std::string className;
    int blank;
};

// The value of attribute `lowerName` within the tag text[begin, end), lower
// case, quotation marks taken off; empty when it is absent.
std::string AttributeValue(const std::string& text, std::size_t begin, std::size_t end,
                           const char* lowerName) {
    std::size_t at = FindNoCaseIn(text, begin, end, lowerName);
    if (at == std::string::npos) {
        return std::string();
    }
    at += std::strlen(lowerName);
    while (at < end && IsSpaceByte(text[at])) {
        ++at;
    }
    if (at >= end || text[at] != '=') {
        return std::string();
    }
    ++at;
    while (at < end && IsSpaceByte(text[at])) {
        ++at;
    }
    if (at < end && (text[at] == '"' || text[at] == '\'')) {
        ++at;
    }
    std::string value;
    while (at < end && !IsSpaceByte(text[at]) && text[at] != '"' && text[at] != '\'' &&
           text[at] != '>') {
        value.push_back(Lower(text[at]));
        ++at;
    }
    return value;
}

// Whether text[begin, end) shows nothing: tags, blanks and &nbsp; only.
int IsBlankContent(const std::string& text, std::size_t begin, std::size_t end) {
    std::size_t at = begin;
    while (at < end) {
        if (IsSpaceByte(text[at])) {
            ++at;
        } else if (text[at] == '<') {
            const std::size_t close = FindByteIn(text, at, end, '>');
            at = close == std::string::npos ? end : close + 1;
        } else if (StartsWithNoCase(text, at, "&nbsp")) {
            at += 5;
            if (at < end && text[at] == ';') {
                ++at;
            }
        } else {
            return 0;
        }
    }
    return 1;
}

// The class of the first <P> of a cue's content, or "".
std::string ParagraphClass(const std::string& text, std::size_t begin, std::size_t end) {
    for (std::size_t at = FindNoCaseIn(text, begin, end, "<p"); at != std::string::npos;
         at = FindNoCaseIn(text, at + 2, end, "<p")) {
        if (at + 2 < text.size() && !IsLetter(text[at + 2])) {
            const std::size_t close = FindByteIn(text, at, end, '>');
            const std::size_t tagEnd = close == std::string::npos ? end : close;
            return AttributeValue(text, at + 2, tagEnd, "class");
        }
    }
    return std::string();
}

int ReadSyncStart(const std::string& text, std::size_t begin, std::size_t end, std::int64_t* time) {
    const std::string value = AttributeValue(text, begin, end, "start");
    if (value.empty() || value.size() > kMaxFieldDigits || !IsAsciiDigit(value[0])) {
        return 0;
    }
    std::int64_t whole = 0;
    for (std::size_t k = 0; k < value.size() && IsAsciiDigit(value[k]); ++k) {
        whole = whole * 10 + (value[k] - '0');
    }
    *time = whole;
    return 1;
}

// Each class's cues run from its sync point to the next one of the same class;
// a point that shows nothing only ends the cue before it.
void CuesOfClasses(const std::vector<SamiPoint>& points, ReferenceCues* reference) {
    // The points of each class together, each class in file order.
    std::vector<std::size_t> order(points.size());
    for (std::size_t k = 0; k < order.size(); ++k) {
        order[k] = k;
    }
    std::stable_sort(order.begin(), order.end(), [&points](std::size_t a, std::size_t b) {
        return points[a].className < points[b].className;
    });
    const SamiPoint* open = nullptr;
    for (std::size_t k = 0; k < order.size(); ++k) {
        const SamiPoint& point = points[order[k]];
        if (open != nullptr && open->className != point.className) {
            reference->cues.push_back(Cue{open->time, -1});
            open = nullptr;
        }
        if (open != nullptr) {
            reference->cues.push_back(Cue{open->time, point.time > open->time ? point.time : -1});
        }
        open = point.blank ? nullptr : &point;
    }
    if (open != nullptr) {
        reference->cues.push_back(Cue{open->time, -1});
    }
}

void ReadSamiCues(const std::string& text, ReferenceCues* reference) {
    std::vector<SamiPoint> points;
    const std::size_t bodyEnd = FindNoCase(text, 0, "</body");
    std::size_t at = FindNoCase(text, 0, "<sync");
    while (at != std::string::npos) {
        const std::size_t close = FindByteIn(text, at, at + kTagReach, '>');
        const std::size_t tagEnd =
            close == std::string::npos ? std::min(at + kTagReach, text.size()) : close;
        const std::size_t next = FindNoCase(text, tagEnd, "<sync");
        const std::size_t contentEnd =
            std::min(std::min(next, bodyEnd > tagEnd ? bodyEnd : text.size()), text.size());
        const std::size_t contentBegin = std::min(tagEnd + 1, contentEnd);
        SamiPoint point{0, std::string(), 0};
        if (ReadSyncStart(text, at + 5, tagEnd, &point.time)) {
            point.className = ParagraphClass(text, contentBegin, contentEnd);
            point.blank = IsBlankContent(text, contentBegin, contentEnd);
            points.push_back(point);
        } else {
            ++reference->skipped;
        }
        at = next;
    }
    CuesOfClasses(points, reference);
}

const char* ExtensionOf(const char* name) {
    if (name == nullptr) {
        return "";
    }
    const char* dot = nullptr;
    for (const char* at = name; *at != '\0'; ++at) {
        if (*at == '.') {
            dot = at + 1;
        } else if (*at == '/' || *at == '\\') {
            dot = nullptr;
        }
    }
    return dot != nullptr ? dot : "";
}

ReferenceFormat FormatOfName(const char* name) {
    const std::string extension = ExtensionOf(name);
    if (StartsWithNoCase(extension, 0, "srt") && extension.size() == 3) {
        return REFERENCE_SUBRIP;
    }
    if (StartsWithNoCase(extension, 0, "vtt") && extension.size() == 3) {
        return REFERENCE_WEBVTT;
    }
    if ((StartsWithNoCase(extension, 0, "ass") || StartsWithNoCase(extension, 0, "ssa")) &&
        extension.size() == 3) {
        return REFERENCE_ASS;
    }
    if (StartsWithNoCase(extension, 0, "smi") || StartsWithNoCase(extension, 0, "sami")) {
        return REFERENCE_SAMI;
    }
    return REFERENCE_UNKNOWN;
}

std::int64_t CountLinesStarting(const std::string& text, const char* lowerWord) {
    std::int64_t count = 0;
    std::size_t at = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
    while (NextLine(text, &at, &begin, &end)) {
        TrimSpan(text, &begin, &end);
        count += StartsWithNoCase(text, begin, lowerWord) ? 1 : 0;
    }
    return count;
}

std::int64_t CountOccurrences(const std::string& text, const char* lowerWord) {
    std::int64_t count = 0;
    for (std::size_t at = FindNoCase(text, 0, lowerWord); at != std::string::npos;
         at = FindNoCase(text, at + 1, lowerWord)) {
        ++count;
    }
    return count;
}

}  // namespace

int ReadClockText(const char* text, std::size_t length, std::int64_t* milliseconds,
                  std::size_t* used) {
    std::int64_t fields[3] = {0, 0, 0};
    int count = 0;
    std::size_t at = 0;
    for (;;) {
        const std::size_t from = at;
        std::int64_t value = 0;
        while (at < length && IsAsciiDigit(text[at]) && at - from < kMaxFieldDigits) {
            value = value * 10 + (text[at] - '0');
            ++at;
        }
        if (at == from || (at < length && IsAsciiDigit(text[at])) || count == 3) {
            return 0;
        }
        fields[count++] = value;
        if (at < length && text[at] == ':') {
            ++at;
            continue;
        }
        break;
    }
    if (count < 2) {
        return 0;
    }
    std::int64_t fraction = 0;
    if (at < length && (text[at] == '.' || text[at] == ',')) {
        ++at;
        std::int64_t scale = 100;
        const std::size_t from = at;
        while (at < length && IsAsciiDigit(text[at])) {
            fraction += (text[at] - '0') * scale;
            scale /= 10;
            ++at;
        }
        if (at == from) {
            return 0;
        }
    }
    const std::int64_t hours = count == 3 ? fields[0] : 0;
    const std::int64_t minutes = fields[count - 2];
    const std::int64_t seconds = fields[count - 1];
    if (seconds >= 60 || (count == 3 && minutes >= 60)) {
        return 0;
    }
    *milliseconds = ((hours * 60 + minutes) * 60 + seconds) * 1000 + fraction;
    *used = at;
    return 1;
}

int ReadWholeStream(std::FILE* file, std::string* bytes) {
    bytes->clear();
    char chunk[65536];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes->append(chunk, got);
        if (got < sizeof chunk) {
            return std::ferror(file) ? 0 : 1;
        }
    }
}

std::string NarrowReferenceText(const std::string& bytes) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        return bytes.substr(3);
    }
    int little = 0;
    std::size_t from = 0;
    if (size >= 2 &&
        ((data[0] == 0xFF && data[1] == 0xFE) || (data[0] == 0xFE && data[1] == 0xFF))) {
        little = data[0] == 0xFF;
        from = 2;
    } else {
        // No mark: UTF-16 shows as zero bytes on one side of most pairs.
        std::size_t zeroEven = 0;
        std::size_t zeroOdd = 0;
        const std::size_t look = std::min<std::size_t>(size, 1024);
        for (std::size_t k = 0; k < look; ++k) {
            if (data[k] == 0) {
                ++(k % 2 == 0 ? zeroEven : zeroOdd);
            }
        }
        if (look < 4 || (zeroEven + zeroOdd) * 4 < look) {
            return bytes;
        }
        little = zeroOdd > zeroEven;
    }
    std::string narrow;
    narrow.reserve((size - from) / 2);
    for (std::size_t k = from; k + 1 < size; k += 2) {
        const unsigned high = little ? data[k + 1] : data[k];
        const unsigned low = little ? data[k] : data[k + 1];
        narrow.push_back(static_cast<char>((high == 0 && low < 0x80) ? low : kHighByte));
    }
    return narrow;
}

ReferenceFormat TellReferenceFormat(const std::string& text, const char* name) {
    std::size_t first = 0;
    while (first < text.size() && IsSpaceByte(text[first])) {
        ++first;
    }
    if (text.compare(first, 6, "WEBVTT") == 0) {
        return REFERENCE_WEBVTT;
    }
    const std::int64_t arrows = CountOccurrences(text, "-->");
    const std::int64_t dialogues = CountLinesStarting(text, "dialogue:");
    const std::int64_t syncs = CountOccurrences(text, "<sync");
    const ReferenceFormat named = FormatOfName(name);
    const std::int64_t most = std::max(arrows, std::max(dialogues, syncs));
    // A text that shows no format's marks is none of them, whatever its name.
    if (most == 0) {
        return REFERENCE_UNKNOWN;
    }
    // A tie goes to the name when the name is one of the tied formats.
    const std::int64_t namedCount = named == REFERENCE_ASS       ? dialogues
                                    : named == REFERENCE_SAMI    ? syncs
                                    : named != REFERENCE_UNKNOWN ? arrows
                                                                 : -1;
    if (namedCount == most) {
        return named;
    }
    if (syncs == most) {
        return REFERENCE_SAMI;
    }
    return dialogues == most ? REFERENCE_ASS : REFERENCE_SUBRIP;
}

void ReadReferenceCues(const std::string& bytes, const char* name, ReferenceCues* reference) {
    reference->cues.clear();
    reference->skipped = 0;
    const std::string text = NarrowReferenceText(bytes);
    reference->format = TellReferenceFormat(text, name);
    switch (reference->format) {
        case REFERENCE_SUBRIP:
        case REFERENCE_WEBVTT:
            ReadArrowCues(text, reference);
            break;
        case REFERENCE_ASS:
            ReadDialogueCues(text, reference);
            break;
        case REFERENCE_SAMI:
            ReadSamiCues(text, reference);
            break;
        case REFERENCE_UNKNOWN:
            break;
    }
    std::vector<Cue>& cues = reference->cues;
    std::sort(cues.begin(), cues.end(), [](const Cue& a, const Cue& b) {
        return a.start != b.start ? a.start < b.start : a.end < b.end;
    });
    cues.erase(std::unique(
                   cues.begin(), cues.end(),
                   [](const Cue& a, const Cue& b) { return a.start == b.start && a.end == b.end; }),
               cues.end());
}

const char* ReferenceFormatName(ReferenceFormat format) {
    switch (format) {
        case REFERENCE_SUBRIP:
            return "SubRip";
        case REFERENCE_WEBVTT:
            return "WebVTT";
        case REFERENCE_ASS:
            return "SSA/ASS";
        case REFERENCE_SAMI:
            return "SAMI";
        case REFERENCE_UNKNOWN:
            break;
    }
    return "unknown";
}
