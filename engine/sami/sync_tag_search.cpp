// Boyer-Moore search for the sync tag. The tables hold the upper-case tag; a
// lower-case text byte is looked up through its upper-case form, and a byte
// matches a tag position in either case through the lowercase tag.
#include "sync_tag_search.h"

std::int32_t g_syncTagLength = 0;
std::int32_t g_badCharacterTable[256];
std::int32_t g_goodSuffixTable[kMaxPatternLength];
char g_lowercaseTag[kSyncTagSize + 1];

namespace {

// The bad-character entry of each byte's upper-case form, so that the search
// folds the case of a text byte with one lookup.
std::int32_t g_foldedBadCharacterTable[256];
std::ptrdiff_t g_skipTable[256];

int IsPatternLength(std::int32_t length) {
    return length >= 1 && length <= kMaxPatternLength;
}

unsigned char UpperCase(unsigned char byte) {
    return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - ('a' - 'A')) : byte;
}

char LowerCase(char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte + ('a' - 'A')) : byte;
}

// Steps alignments on by the bad-character entry of their last byte while that
// byte is not the tag's last one, whose entry is 0. A byte of 0x80 or above never
// occurs in the tag, so its entry is the tag length; taking that by a branch
// rather than from the table lets the next byte be read before the entry is
// known, which matters in Korean text, made mostly of such bytes. While the text
// holds more than one tag length from the position, the step and the next read
// stay inside it. Returns where the careful loop goes on.
std::int32_t SkipToLastTagByte(const char* text, std::int32_t count, std::int32_t n) {
    if (count - n <= kSyncTagSize) {
        return n;
    }
    const std::ptrdiff_t* skip = g_skipTable;
    const auto* first = reinterpret_cast<const unsigned char*>(text);
    const unsigned char* at = first + n;
    const unsigned char* const stop = first + (count - kSyncTagSize);
    while (at < stop) {
        const unsigned char byte = *at;
        if (byte >= 0x80) {
            at += kSyncTagSize;
            continue;
        }
        const std::ptrdiff_t step = skip[byte];
        if (step == 0) {
            break;
        }
        at += step;
    }
    return static_cast<std::int32_t>(at - first);
}

}  // namespace

int BuildBadCharacterTable(const char* pattern, std::int32_t length, std::int32_t* table) {
    if (!IsPatternLength(length)) {
        return 0;
    }
    for (int byte = 0; byte < 256; ++byte) {
        table[byte] = length;
    }
    for (std::int32_t j = 0; j < length; ++j) {
        table[static_cast<unsigned char>(pattern[j])] = length - 1 - j;
    }
    return 1;
}

int BuildGoodSuffixTable(const char* pattern, std::int32_t length, std::int32_t* table) {
    if (!IsPatternLength(length)) {
        return 0;
    }
    const std::int32_t m = length - 1;
    table[m] = 1;
    for (std::int32_t k = 0; k < m; ++k) {
        table[k] = 2 * m + 1 - k;
    }
    // Positions up to here were already lowered by a smaller shift whose pattern
    // prefix is also a suffix; a larger one only reaches the positions above.
    std::int32_t covered = -1;
    for (std::int32_t s = 1; s <= m; ++s) {
        std::int32_t q = m;
        while (q - s >= 0 && pattern[q] == pattern[q - s]) {
            --q;
        }
        if (q == m) {
            continue;
        }
        if (q - s >= 0) {
            const std::int32_t candidate = (m - q) + s;
            if (candidate < table[q]) {
                table[q] = candidate;
            }
            continue;
        }
        for (std::int32_t k = s - 1; k > covered; --k) {
            const std::int32_t candidate = (m - k) + s;
            if (candidate < table[k]) {
                table[k] = candidate;
            }
        }
        covered = s - 1;
    }
    return 1;
}

int BuildSyncTagTables() {
    g_syncTagLength = kSyncTagSize;
    BuildBadCharacterTable(kSyncTag, g_syncTagLength, g_badCharacterTable);
    BuildGoodSuffixTable(kSyncTag, g_syncTagLength, g_goodSuffixTable);
    for (std::int32_t k = 0; k < kSyncTagSize; ++k) {
        g_lowercaseTag[k] = LowerCase(kSyncTag[k]);
    }
    g_lowercaseTag[kSyncTagSize] = '\0';
    for (int byte = 0; byte < 256; ++byte) {
        g_foldedBadCharacterTable[byte] =
            g_badCharacterTable[UpperCase(static_cast<unsigned char>(byte))];
        g_skipTable[byte] = g_foldedBadCharacterTable[byte];
    }
    return 1;
}

int FindSyncTag(const char* text, std::int32_t count, const char* pattern,
                std::int32_t patternLength, std::int32_t* matchOffset) {
    if (kVectorSearch) {
        return FindSyncTagVector(text, count, pattern, patternLength, matchOffset);
    }
    return FindSyncTagPortable(text, count, pattern, patternLength, matchOffset);
}

int FindSyncTagPortable(const char* text, std::int32_t count, const char* pattern,
                        std::int32_t patternLength, std::int32_t* matchOffset) {
    // The tables and the lowercase tag exist for the sync tag alone.
    if (g_syncTagLength == 0 || patternLength != g_syncTagLength) {
        return 0;
    }
    const std::int32_t m = patternLength - 1;
    const char last = pattern[m];
    const char lastLower = g_lowercaseTag[m];
    std::int32_t n = m;
    while (n < count) {
        n = SkipToLastTagByte(text, count, n);
        // A fresh alignment: its last byte decides most steps alone, and a
        // mismatch there moves by the bad-character entry (the good-suffix
        // entry of the last position is 1, never more).
        const char t = text[n];
        if (t != last && t != lastLower) {
            const std::int32_t bad = g_foldedBadCharacterTable[static_cast<unsigned char>(t)];
            const std::int32_t step = bad > 1 ? bad : 1;
            if (step >= count - n) {
                return 0;
            }
            n += step;
            continue;
        }
        std::int32_t i = m - 1;
        std::int32_t at = n - 1;
        while (i >= 0 && (text[at] == pattern[i] || text[at] == g_lowercaseTag[i])) {
            --i;
            --at;
        }
        if (i < 0) {
            *matchOffset = at + 1;
            return 1;
        }
        const std::int32_t bad = g_foldedBadCharacterTable[static_cast<unsigned char>(text[at])];
        const std::int32_t good = g_goodSuffixTable[i];
        const std::int32_t step = (good > bad) ? good : bad;
        if (step >= count - at) {
            return 0;
        }
        n = at + step;
    }
    return 0;
}

int StartsWithTag(const char* text, std::int32_t textLength, const char* tag,
                  std::int32_t tagLength) {
    if (textLength < tagLength) {
        return 0;
    }
    for (std::int32_t k = tagLength - 1; k >= 0; --k) {
        if (text[k] != tag[k]) {
            return 0;
        }
    }
    return 1;
}
