// Decoding to UTF-8 by hand, with tables for the code pages: the engine uses no
// platform library, and a file that is not what it seems must still decode to
// valid UTF-8, one replacement character per bad sequence.
#include "text_decoding.h"

#include <cstring>

#include "code_page_tables.h"

namespace {

constexpr std::uint32_t kReplacement = 0xFFFD;

unsigned char ByteAt(const char* bytes, std::size_t index) {
    return static_cast<unsigned char>(bytes[index]);
}

// The code point of a valid UTF-8 sequence at bytes[index] and its length in
// *length; 0 (and *length 0) when the sequence there is not valid UTF-8:
// overlong forms, surrogates and values beyond U+10FFFF are not.
std::uint32_t ReadUtf8Sequence(const char* bytes, std::size_t count, std::size_t index,
                               std::size_t* length) {
    *length = 0;
    const unsigned lead = ByteAt(bytes, index);
    std::size_t needed = 0;
    std::uint32_t codePoint = 0;
    std::uint32_t lowest = 0;
    if (lead < 0x80) {
        *length = 1;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 1;
        codePoint = lead & 0x1Fu;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 2;
        codePoint = lead & 0x0Fu;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 3;
        codePoint = lead & 0x07u;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (count - index <= needed) {
        return 0;
    }
    for (std::size_t k = 1; k <= needed; ++k) {
        const unsigned next = ByteAt(bytes, index + k);
        if ((next & 0xC0u) != 0x80u) {
            return 0;
        }
        codePoint = (codePoint << 6) | (next & 0x3Fu);
    }
    if (codePoint < lowest || codePoint > 0x10FFFF ||
        (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        return 0;
    }
    *length = needed + 1;
    return codePoint;
}

// Counts how the text reads as UTF-8 from `index` on, over the sequences
// that begin before `limit`: its sequences of two to four bytes in utf8Valid,
// the bytes that begin no valid sequence in utf8Bad. Returns where the next
// sequence begins.
std::size_t CountUtf8(const char* bytes, std::size_t count, std::size_t index, std::size_t limit,
                      EncodingTally* tally) {
    while (index < limit) {
        std::size_t length = 0;
        ReadUtf8Sequence(bytes, count, index, &length);
        tally->utf8Valid += length > 1 ? 1 : 0;
        tally->utf8Bad += length == 0 ? 1 : 0;
        index += length == 0 ? 1 : length;
    }
    return index;
}

// The character of the CP949 pair at bytes[index], or 0 when there is no
// mapped pair there.
std::uint32_t ReadCp949Pair(const char* bytes, std::size_t count, std::size_t index) {
    const unsigned lead = ByteAt(bytes, index);
    if (lead < kCp949FirstLead || lead > kCp949LastLead || index + 1 >= count) {
        return 0;
    }
    const unsigned trail = ByteAt(bytes, index + 1);
    if (trail < kCp949FirstTrail || trail > kCp949LastTrail) {
        return 0;
    }
    return kCp949Table[(lead - kCp949FirstLead) * kCp949TrailCount + (trail - kCp949FirstTrail)];
}

// The same for CP949: the mapped pairs in cp949Pairs, the bytes of 0x80 and
// above in no mapped pair in cp949Bad.
std::size_t CountCp949(const char* bytes, std::size_t count, std::size_t index, std::size_t limit,
                       EncodingTally* tally) {
    while (index < limit) {
        if (ByteAt(bytes, index) < 0x80) {
            index += 1;
        } else if (ReadCp949Pair(bytes, count, index) != 0) {
            tally->cp949Pairs += 1;
            index += 2;
        } else {
            tally->cp949Bad += 1;
            index += 1;
        }
    }
    return index;
}

using TallyCount = std::size_t (*)(const char* bytes, std::size_t count, std::size_t index,
                                   std::size_t limit, EncodingTally* tally);

// The positions of `count` bytes whose next `ahead` bytes are all there.
std::size_t DecidedBelow(std::size_t count, std::size_t ahead) {
    return count >= ahead ? count - ahead + 1 : 0;
}

// Counts on from `at`, a position in the carried bytes and the block behind
// them, over every position with `ahead` bytes known from it: those among the
// carried bytes in `joint` (the carried bytes and the block's first ones),
// the rest in the block itself. Returns the position reached.
std::size_t CountOn(TallyCount countFrom, std::size_t ahead, const char* joint,
                    std::size_t jointCount, std::size_t carried, const char* bytes,
                    std::size_t count, std::size_t at, EncodingTally* tally) {
    const std::size_t jointLimit = DecidedBelow(jointCount, ahead);
    at = countFrom(joint, jointCount, at, jointLimit < carried ? jointLimit : carried, tally);
    if (at < carried) {
        return at;
    }
    return carried + countFrom(bytes, count, at - carried, DecidedBelow(count, ahead), tally);
}

constexpr std::size_t kUtf8Ahead = 4;
constexpr std::size_t kCp949Ahead = 2;

void AppendUtf8Bytes(const char* bytes, std::size_t count, std::string* out) {
    std::size_t index = 0;
    while (index < count) {
        std::size_t length = 0;
        ReadUtf8Sequence(bytes, count, index, &length);
        if (length == 0) {
            AppendCodePoint(kReplacement, out);
            index += 1;
        } else {
            out->append(bytes + index, length);
            index += length;
        }
    }
}

void AppendCp949(const char* bytes, std::size_t count, std::string* out) {
    std::size_t index = 0;
    while (index < count) {
        const unsigned byte = ByteAt(bytes, index);
        if (byte < 0x80) {
            out->push_back(static_cast<char>(byte));
            index += 1;
            continue;
        }
        const std::uint32_t codePoint = ReadCp949Pair(bytes, count, index);
        AppendCodePoint(codePoint != 0 ? codePoint : kReplacement, out);
        index += codePoint != 0 ? 2 : 1;
    }
}

void AppendCp1252(const char* bytes, std::size_t count, std::string* out) {
    for (std::size_t index = 0; index < count; ++index) {
        const unsigned byte = ByteAt(bytes, index);
        if (byte < 0x80) {
            out->push_back(static_cast<char>(byte));
            continue;
        }
        const std::uint32_t codePoint = kCp1252HighTable[byte - 0x80];
        AppendCodePoint(codePoint != 0 ? codePoint : kReplacement, out);
    }
}

void AppendUtf16(int bigEndian, const char* bytes, std::size_t count, std::string* out) {
    const std::size_t units = count / 2;
    std::size_t index = 0;
    while (index < units) {
        const unsigned a = ByteAt(bytes, 2 * index);
        const unsigned b = ByteAt(bytes, 2 * index + 1);
        const std::uint32_t unit = bigEndian ? (a << 8) | b : (b << 8) | a;
        index += 1;
        if (unit >= 0xD800 && unit <= 0xDBFF && index < units) {
            const unsigned c = ByteAt(bytes, 2 * index);
            const unsigned d = ByteAt(bytes, 2 * index + 1);
            const std::uint32_t low = bigEndian ? (c << 8) | d : (d << 8) | c;
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendCodePoint(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00), out);
                index += 1;
                continue;
            }
        }
        AppendCodePoint(unit, out);
    }
    if (count % 2 != 0) {
        AppendCodePoint(kReplacement, out);
    }
}

}  // namespace

TextEncoding TellTextEncoding(TextKind kind, const char* bytes, std::size_t count) {
    EncodingTally tally;
    StartEncodingTally(&tally);
    if (kind == TEXT_BYTES) {
        FeedEncodingTally(&tally, bytes, count);
    }
    return FinishEncodingTally(kind, &tally);
}

void StartEncodingTally(EncodingTally* tally) {
    *tally = EncodingTally{};
}

void FeedEncodingTally(EncodingTally* tally, const char* bytes, std::size_t count) {
    char joint[kTallyCarry + kUtf8Ahead];
    const std::size_t carried = tally->carryCount;
    const std::size_t taken = count < kUtf8Ahead ? count : kUtf8Ahead;
    std::memcpy(joint, tally->carry, carried);
    if (taken > 0) {
        std::memcpy(joint + carried, bytes, taken);
    }
    const std::size_t jointCount = carried + taken;
    const std::size_t utf8At = CountOn(CountUtf8, kUtf8Ahead, joint, jointCount, carried, bytes,
                                       count, tally->utf8At, tally);
    const std::size_t cp949At = CountOn(CountCp949, kCp949Ahead, joint, jointCount, carried, bytes,
                                        count, tally->cp949At, tally);
    // What neither count has passed waits for the next block: at most
    // kTallyCarry bytes, from the joint bytes only when the block was shorter.
    const std::size_t from = utf8At < cp949At ? utf8At : cp949At;
    const std::size_t left = carried + count - from;
    const char* rest = from < carried ? joint + from : bytes + (from - carried);
    if (left > 0) {
        std::memcpy(tally->carry, rest, left);
    }
    tally->carryCount = left;
    tally->utf8At = utf8At - from;
    tally->cp949At = cp949At - from;
}

TextEncoding FinishEncodingTally(TextKind kind, EncodingTally* tally) {
    if (kind == TEXT_UTF16_LE) {
        return ENCODING_UTF16_LE;
    }
    if (kind == TEXT_UTF16_BE) {
        return ENCODING_UTF16_BE;
    }
    const std::size_t count = tally->carryCount;
    CountUtf8(tally->carry, count, tally->utf8At, count, tally);
    CountCp949(tally->carry, count, tally->cp949At, count, tally);
    tally->carryCount = 0;
    tally->utf8At = 0;
    tally->cp949At = 0;
    if (tally->utf8Bad == 0) {
        return ENCODING_UTF8;
    }
    // The bytes of 0x80 and above pair up as CP949 characters, at most one pair
    // in twenty failing (a stray byte in a Korean file).
    if (tally->cp949Bad * 20 <= tally->cp949Pairs) {
        return ENCODING_CP949;
    }
    // A UTF-8 file with a stray byte or two is still UTF-8.
    return tally->utf8Bad * 20 <= tally->utf8Valid ? ENCODING_UTF8 : ENCODING_CP1252;
}

void AppendAsUtf8(TextEncoding encoding, const char* bytes, std::size_t count, std::string* out) {
    switch (encoding) {
        case ENCODING_UTF8:
            AppendUtf8Bytes(bytes, count, out);
            return;
        case ENCODING_CP949:
            AppendCp949(bytes, count, out);
            return;
        case ENCODING_CP1252:
            AppendCp1252(bytes, count, out);
            return;
        case ENCODING_UTF16_LE:
        case ENCODING_UTF16_BE:
            AppendUtf16(encoding == ENCODING_UTF16_BE, bytes, count, out);
            return;
    }
}

void AppendCodePoint(std::uint32_t codePoint, std::string* out) {
    if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
        codePoint = kReplacement;
    }
    if (codePoint < 0x80) {
        out->push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out->push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out->push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}
