// Decoding to UTF-8 by hand, with tables for the code pages: the engine uses no
// platform library, and a file that is not what it seems must still decode to
// valid UTF-8, one replacement character per bad sequence.
#include "text_decoding.h"

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

// How much of the text reads as UTF-8: its sequences of two to four bytes in
// *valid, and the bytes that begin no valid sequence in *bad.
void CountUtf8(const char* bytes, std::size_t count, std::size_t* valid, std::size_t* bad) {
    *valid = 0;
    *bad = 0;
    std::size_t index = 0;
    while (index < count) {
        std::size_t length = 0;
        ReadUtf8Sequence(bytes, count, index, &length);
        *valid += length > 1 ? 1 : 0;
        *bad += length == 0 ? 1 : 0;
        index += length == 0 ? 1 : length;
    }
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

// 1 when the bytes of 0x80 and above pair up as CP949 characters, at most one
// pair in twenty failing (a stray byte in a Korean file), else 0.
int ReadsAsCp949(const char* bytes, std::size_t count) {
    std::size_t pairs = 0;
    std::size_t bad = 0;
    std::size_t index = 0;
    while (index < count) {
        if (ByteAt(bytes, index) < 0x80) {
            index += 1;
        } else if (ReadCp949Pair(bytes, count, index) != 0) {
            pairs += 1;
            index += 2;
        } else {
            bad += 1;
            index += 1;
        }
    }
    return bad * 20 <= pairs ? 1 : 0;
}

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
    if (kind == TEXT_UTF16_LE) {
        return ENCODING_UTF16_LE;
    }
    if (kind == TEXT_UTF16_BE) {
        return ENCODING_UTF16_BE;
    }
    std::size_t valid = 0;
    std::size_t bad = 0;
    CountUtf8(bytes, count, &valid, &bad);
    if (bad == 0) {
        return ENCODING_UTF8;
    }
    if (ReadsAsCp949(bytes, count)) {
        return ENCODING_CP949;
    }
    // A UTF-8 file with a stray byte or two is still UTF-8.
    return bad * 20 <= valid ? ENCODING_UTF8 : ENCODING_CP1252;
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
