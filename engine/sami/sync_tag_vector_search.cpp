// The sync tag search 16 bytes at a time with SSE2, which every processor the
// Windows builds run on has. A byte can only start the tag when it is '<' and
// the byte four further on is 'C' or 'c'; such candidates are rare in subtitle
// text, and each is confirmed or refused by two word compares over the tag's
// twelve bytes with the case bit of its letters set. Processors without SSE2
// get the Boyer-Moore search.
#include <cstring>

#include "sync_tag_search.h"

#if defined(__SSE2__)
#include <emmintrin.h>

namespace {

// The tag in lower case, and the case bit at each of its letters: a byte
// matches a letter of the tag in either case exactly when, with that bit set,
// it equals the lower-case letter; other tag bytes must match as they are.
struct FoldedTag {
    char lower[kSyncTagSize];
    char caseBits[kSyncTagSize];
};

constexpr FoldedTag FoldTag() {
    FoldedTag folded{};
    for (std::int32_t k = 0; k < kSyncTagSize; ++k) {
        const char byte = kSyncTag[k];
        const bool letter = byte >= 'A' && byte <= 'Z';
        folded.lower[k] = letter ? static_cast<char>(byte + ('a' - 'A')) : byte;
        folded.caseBits[k] = letter ? static_cast<char>('a' - 'A') : '\0';
    }
    return folded;
}

constexpr FoldedTag kFolded = FoldTag();
// The candidate test: '<' here and the tag's fifth byte four further on.
constexpr std::int32_t kLetterAt = 4;

std::uint64_t Load64(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

std::uint32_t Load32(const char* bytes) {
    std::uint32_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// 1 when the twelve bytes at `at` are the tag, letters in either case.
int IsTagAt(const char* at) {
    const std::uint64_t head = Load64(at) | Load64(kFolded.caseBits);
    const std::uint32_t tail = Load32(at + 8) | Load32(kFolded.caseBits + 8);
    return head == Load64(kFolded.lower) && tail == Load32(kFolded.lower + 8);
}

int LowestBit(unsigned mask) {
    return __builtin_ctz(mask);
}

// The candidates among text[at .. at+15] as a bit mask; text[at+4 .. at+19]
// must be readable.
unsigned CandidatesAt(const char* text) {
    const __m128i opening = _mm_set1_epi8('<');
    const __m128i letter = _mm_set1_epi8(kFolded.lower[kLetterAt]);
    const __m128i caseBit = _mm_set1_epi8(kFolded.caseBits[kLetterAt]);
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text));
    const __m128i fifth = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + kLetterAt));
    const __m128i hits = _mm_and_si128(_mm_cmpeq_epi8(first, opening),
                                       _mm_cmpeq_epi8(_mm_or_si128(fifth, caseBit), letter));
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

}  // namespace

int FindSyncTagVector(const char* text, std::int32_t count, const char* pattern,
                      std::int32_t patternLength, std::int32_t* matchOffset) {
    if (g_syncTagLength == 0 || patternLength != g_syncTagLength) {
        return 0;
    }
    // The folded tag stands for the sync tag alone.
    if (std::memcmp(pattern, kSyncTag, kSyncTagSize) != 0) {
        return FindSyncTagPortable(text, count, pattern, patternLength, matchOffset);
    }
    // The last position where a tag can start.
    const std::int32_t lastStart = count - kSyncTagSize;
    std::int32_t at = 0;
    // Whole blocks while their bytes four further on are inside the text too.
    for (; count >= 20 && at <= count - 20; at += 16) {
        unsigned candidates = CandidatesAt(text + at);
        while (candidates != 0) {
            const std::int32_t start = at + LowestBit(candidates);
            if (start > lastStart) {
                return 0;
            }
            if (IsTagAt(text + start)) {
                *matchOffset = start;
                return 1;
            }
            candidates &= candidates - 1;
        }
    }
    for (; at <= lastStart; ++at) {
        if (text[at] == '<' && IsTagAt(text + at)) {
            *matchOffset = at;
            return 1;
        }
    }
    return 0;
}

#else

int FindSyncTagVector(const char* text, std::int32_t count, const char* pattern,
                      std::int32_t patternLength, std::int32_t* matchOffset) {
    return FindSyncTagPortable(text, count, pattern, patternLength, matchOffset);
}

#endif
