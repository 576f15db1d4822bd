// Conversions between time texts and milliseconds.
#include "time_values.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "token_scanner.h"

namespace {

// Far beyond any 32-bit value, small enough that one more digit cannot overflow.
constexpr std::int64_t kIntegerCeiling = std::int64_t{1} << 53;
constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();

bool IsSpace(unsigned char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' ||
           byte == '\r';
}

std::int32_t ClampToInt32(std::int64_t value) {
    if (value > kInt32Max) {
        return static_cast<std::int32_t>(kInt32Max);
    }
    if (value < kInt32Min) {
        return static_cast<std::int32_t>(kInt32Min);
    }
    return static_cast<std::int32_t>(value);
}

// Seconds text x 1000, truncated toward zero, kept within 64 bits.
std::int64_t SecondsToMilliseconds(const char* text, std::size_t length) {
    const double milliseconds = ConvertDecimal(text, length) * 1000.0;
    if (!(milliseconds < 9.0e15)) {
        return kIntegerCeiling;
    }
    return static_cast<std::int64_t>(milliseconds);
}

const char* SkipBlanks(const char* cursor) {
    while (IsBlank(static_cast<unsigned char>(*cursor))) {
        ++cursor;
    }
    return cursor;
}

// Scans a token and reports where its bytes begin, so that a number run longer
// than the token buffer is still read from the text itself.
TokenKind ScanTokenAt(const char** cursor, char* text, const char** start) {
    *start = SkipBlanks(*cursor);
    TokenKind kind;
    ScanToken(cursor, text, &kind);
    return kind;
}

}  // namespace

std::int64_t ConvertInteger(const char* text, std::size_t length) {
    std::size_t at = 0;
    while (at < length && IsSpace(static_cast<unsigned char>(text[at]))) {
        ++at;
    }
    bool negative = false;
    if (at < length && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    std::int64_t value = 0;
    for (; at < length && IsDigit(static_cast<unsigned char>(text[at])); ++at) {
        if (value < kIntegerCeiling) {
            value = value * 10 + (text[at] - '0');
        }
    }
    return negative ? -value : value;
}

double ConvertDecimal(const char* text, std::size_t length) {
    // Copy digits '.' digits into a short text for strtod. Leading zeros of the
    // whole part are dropped, a whole part too long for any time saturates, and
    // fraction digits past those a double can need are folded into one non-zero
    // digit so that rounding stays exact.
    constexpr std::size_t kWholeDigits = 20;
    constexpr std::size_t kFractionDigits = 800;
    char number[kWholeDigits + kFractionDigits + 4];
    std::size_t used = 0;
    std::size_t at = 0;
    bool anyDigit = false;
    while (at < length && text[at] == '0') {
        anyDigit = true;
        ++at;
    }
    for (; at < length && IsDigit(static_cast<unsigned char>(text[at])); ++at) {
        anyDigit = true;
        if (used == kWholeDigits) {
            return 1.0e20;
        }
        number[used++] = text[at];
    }
    if (used == 0) {
        number[used++] = '0';
    }
    if (at < length && text[at] == '.') {
        number[used++] = '.';
        ++at;
        std::size_t fraction = 0;
        bool sticky = false;
        for (; at < length && IsDigit(static_cast<unsigned char>(text[at])); ++at) {
            anyDigit = true;
            if (fraction < kFractionDigits) {
                number[used++] = text[at];
                ++fraction;
            } else if (text[at] != '0') {
                sticky = true;
            }
        }
        if (sticky) {
            number[used++] = '1';
        }
    }
    if (!anyDigit) {
        return 0.0;
    }
    number[used] = '\0';
    return std::strtod(number, nullptr);
}

int SyncTimeValue(const char* timeText, std::int32_t* value) {
    // A time text is a sign and at most 15 digits and dots, so 64 bits hold the
    // value of its digits exactly; it holds no white space.
    const bool negative = timeText[0] == '-';
    const char* at = (timeText[0] == '-' || timeText[0] == '+') ? timeText + 1 : timeText;
    std::int64_t wide = 0;
    for (int k = 0; k < kMaxTokenText && IsDigit(static_cast<unsigned char>(at[k])); ++k) {
        wide = wide * 10 + (at[k] - '0');
    }
    wide = negative ? -wide : wide;
    if (wide < kInt32Min || wide > kInt32Max) {
        return 0;
    }
    *value = static_cast<std::int32_t>(wide);
    return 1;
}

std::int32_t ParseClockTime(const char* text) {
    const char* cursor = text;
    const char* start = nullptr;
    const char* numberStart = nullptr;
    char first[kTokenTextSize];
    char second[kTokenTextSize];
    std::int64_t sign = 1;
    TokenKind kind = ScanTokenAt(&cursor, first, &start);
    if (kind == TOKEN_SIGN) {
        sign = (first[0] == '-') ? -1 : 1;
        kind = ScanTokenAt(&cursor, first, &start);
    }
    if (kind != TOKEN_NUMBER) {
        return 0;
    }
    numberStart = start;
    const std::size_t numberLength = static_cast<std::size_t>(cursor - numberStart);
    kind = ScanTokenAt(&cursor, second, &start);
    std::int64_t total;
    if (kind == TOKEN_COLON) {
        std::int64_t minutes = ConvertInteger(numberStart, numberLength);
        minutes = minutes > kInt32Max ? kInt32Max : minutes;
        std::int64_t milliseconds = 0;
        if (ScanTokenAt(&cursor, first, &start) == TOKEN_NUMBER) {
            milliseconds = SecondsToMilliseconds(start, static_cast<std::size_t>(cursor - start));
        }
        total = minutes * 60000 + milliseconds;
    } else {
        total = SecondsToMilliseconds(numberStart, numberLength);
    }
    return ClampToInt32(sign * total);
}

int DecimalDigits(std::uint32_t value) {
    int count = 1;
    for (std::uint64_t bound = 10; count < 10 && value >= bound; bound *= 10) {
        ++count;
    }
    return count;
}

void WriteDigits(std::uint32_t value, int count, char* text) {
    // The digits go straight to their places from the right, four at a time:
    // one division per four digits on the chain from one group to the next, the
    // two pairs of a group apart, and single byte stores that a later read of
    // the whole text can take straight from the store buffer.
    static const char kPairs[] =
        "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
        "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
        "8081828384858687888990919293949596979899";
    char* at = text + count;
    while (value >= 10000) {
        const std::uint32_t group = value % 10000;
        value /= 10000;
        const std::uint32_t high = (group / 100) * 2;
        const std::uint32_t low = (group % 100) * 2;
        at -= 4;
        at[0] = kPairs[high];
        at[1] = kPairs[high + 1];
        at[2] = kPairs[low];
        at[3] = kPairs[low + 1];
    }
    if (value >= 100) {
        const std::uint32_t low = (value % 100) * 2;
        value /= 100;
        at -= 2;
        at[0] = kPairs[low];
        at[1] = kPairs[low + 1];
    }
    if (value >= 10) {
        at[-2] = kPairs[value * 2];
        at[-1] = kPairs[value * 2 + 1];
    } else {
        at[-1] = static_cast<char>('0' + value);
    }
}

int FormatDecimal(std::uint32_t value, char* text) {
    const int count = DecimalDigits(value);
    WriteDigits(value, count, text);
    text[count] = '\0';
    return count;
}
