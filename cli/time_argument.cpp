// TIME arguments. The dialog's fields read whatever they can and fall back to 0;
// a shell user gets told instead, so the text must have one of a few exact
// shapes: whole milliseconds, or a clock time of two or three fields. The
// fraction of a second is read digit by digit, so a time that `list` printed
// reads back as the same millisecond.
#include "time_argument.h"

#include <cstddef>
#include <cstdio>
#include <limits>

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
// Far beyond any 32-bit time even as hours; ten times it, as hours in
// milliseconds, stays far below the 64-bit limit.
constexpr std::int64_t kDigitsCap = std::int64_t{1} << 36;

int IsDigitByte(char byte) {
    return byte >= '0' && byte <= '9';
}

// The value of the digits at *cursor, moved past them, capped at kDigitsCap;
// *count receives how many there were.
std::int64_t ReadDigits(const char** cursor, std::size_t* count) {
    std::int64_t value = 0;
    *count = 0;
    while (IsDigitByte(**cursor)) {
        if (value < kDigitsCap) {
            value = value * 10 + (**cursor - '0');
        }
        *cursor += 1;
        *count += 1;
    }
    return value;
}

// A fraction behind '.' or ',' at *cursor, in whole milliseconds (digits beyond
// the third are cut); 0 when there is none. *count receives its digits.
std::int64_t ReadFraction(const char** cursor, std::size_t* count) {
    *count = 0;
    if (**cursor != '.' && **cursor != ',') {
        return 0;
    }
    *cursor += 1;
    std::int64_t milliseconds = 0;
    std::int64_t scale = 100;
    while (IsDigitByte(**cursor)) {
        milliseconds += (**cursor - '0') * scale;
        scale /= 10;
        *cursor += 1;
        *count += 1;
    }
    return milliseconds;
}

// Seconds with an optional fraction ("5", "5.25", ".5", "5."), at least one
// digit; `twoDigits` asks for exactly two whole digits below 60, as the last
// field of hours:minutes:seconds has them.
int ReadSecondsField(const char** cursor, int twoDigits, std::int64_t* milliseconds) {
    std::size_t whole = 0;
    std::size_t fraction = 0;
    const std::int64_t seconds = ReadDigits(cursor, &whole);
    const std::int64_t part = ReadFraction(cursor, &fraction);
    if (whole + fraction == 0 || (twoDigits && (whole != 2 || seconds >= 60))) {
        return 0;
    }
    *milliseconds = seconds * 1000 + part;
    return 1;
}

// [h:]mm:ss[.fff] after the sign: two fields (minutes of any size, seconds of
// any size) or three (hours, then two-digit minutes and seconds below 60).
int ReadClockFields(const char* text, std::int64_t* milliseconds) {
    const char* cursor = text;
    std::size_t firstDigits = 0;
    const std::int64_t first = ReadDigits(&cursor, &firstDigits);
    if (firstDigits == 0 || *cursor != ':') {
        return 0;
    }
    cursor += 1;
    const char* secondStart = cursor;
    std::size_t secondDigits = 0;
    const std::int64_t second = ReadDigits(&cursor, &secondDigits);
    std::int64_t seconds = 0;
    if (*cursor == ':') {
        cursor += 1;
        if (secondDigits != 2 || second >= 60 || !ReadSecondsField(&cursor, 1, &seconds)) {
            return 0;
        }
        *milliseconds = first * 3600000 + second * 60000 + seconds;
    } else {
        cursor = secondStart;
        if (!ReadSecondsField(&cursor, 0, &seconds)) {
            return 0;
        }
        *milliseconds = first * 60000 + seconds;
    }
    return *cursor == '\0' ? 1 : 0;
}

int HasColon(const char* text) {
    for (const char* cursor = text; *cursor != '\0'; ++cursor) {
        if (*cursor == ':') {
            return 1;
        }
    }
    return 0;
}

}  // namespace

int ReadTimeArgument(const char* text, std::int32_t* value) {
    const int negative = text[0] == '-';
    const char* body = (text[0] == '+' || text[0] == '-') ? text + 1 : text;
    std::int64_t magnitude = 0;
    if (HasColon(body)) {
        if (!ReadClockFields(body, &magnitude)) {
            return 0;
        }
    } else {
        const char* cursor = body;
        std::size_t digits = 0;
        magnitude = ReadDigits(&cursor, &digits);
        if (digits == 0 || *cursor != '\0') {
            return 0;
        }
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue < kInt32Min || signedValue > kInt32Max) {
        return 0;
    }
    *value = static_cast<std::int32_t>(signedValue);
    return 1;
}

std::string FormatClockTime(std::int32_t milliseconds) {
    const std::int64_t value = milliseconds;
    const std::int64_t magnitude = value < 0 ? -value : value;
    char text[32];
    std::snprintf(
        text, sizeof text, "%s%lld:%02lld:%02lld.%03lld", value < 0 ? "-" : "",
        static_cast<long long>(magnitude / 3600000), static_cast<long long>(magnitude / 60000 % 60),
        static_cast<long long>(magnitude / 1000 % 60), static_cast<long long>(magnitude % 1000));
    return text;
}
