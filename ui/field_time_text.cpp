// Field texts to milliseconds and back, in the dialog's two time forms.
#include "field_time_text.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
// Beyond any 32-bit value: the sum stops there instead of overflowing.
constexpr std::int64_t kDigitsCap = std::int64_t{1} << 40;

int IsBlank(char c) {
    return c == ' ' || c == '\t';
}

int IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The text without the blanks around it: [*begin, *end).
void TrimBlanks(const char* text, const char** begin, const char** end) {
    const char* first = text;
    while (IsBlank(*first)) {
        ++first;
    }
    const char* last = first + std::strlen(first);
    while (last > first && IsBlank(last[-1])) {
        --last;
    }
    *begin = first;
    *end = last;
}

// -1 for '-', 1 for '+' or no sign; the cursor moves past it.
std::int64_t ReadSign(const char** at, const char* end) {
    if (*at < end && (**at == '-' || **at == '+')) {
        const std::int64_t sign = **at == '-' ? -1 : 1;
        ++*at;
        return sign;
    }
    return 1;
}

// One or more digits: 1 with their value (held at kDigitsCap) and count and
// the cursor past them, else 0.
int ReadDigits(const char** at, const char* end, std::int64_t* value, int* count) {
    std::int64_t sum = 0;
    int digits = 0;
    while (*at < end && IsDigit(**at)) {
        sum = sum * 10 + (**at - '0');
        sum = sum > kDigitsCap ? kDigitsCap : sum;
        ++digits;
        ++*at;
    }
    *value = sum;
    *count = digits;
    return digits > 0 ? 1 : 0;
}

int StoreInRange(std::int64_t value, std::int32_t* out) {
    if (value < kInt32Min || value > kInt32Max) {
        return 0;
    }
    *out = static_cast<std::int32_t>(value);
    return 1;
}

// ".5" is 500 ms, ".05" 50 and ".005" 5; an empty fraction or a fourth digit
// is refused, so that no typed digit is dropped.
int ReadFraction(const char** at, const char* end, std::int64_t* milliseconds) {
    *milliseconds = 0;
    if (*at == end || **at != '.') {
        return 1;
    }
    ++*at;
    std::int64_t digits = 0;
    int count = 0;
    if (!ReadDigits(at, end, &digits, &count) || count > 3) {
        return 0;
    }
    for (int k = count; k < 3; ++k) {
        digits *= 10;
    }
    *milliseconds = digits;
    return 1;
}

}  // namespace

int ReadMillisecondsFieldText(const char* text, std::int32_t* value) {
    const char* at;
    const char* end;
    TrimBlanks(text, &at, &end);
    const std::int64_t sign = ReadSign(&at, end);
    std::int64_t digits = 0;
    int count = 0;
    if (!ReadDigits(&at, end, &digits, &count) || at != end) {
        return 0;
    }
    return StoreInRange(sign * digits, value);
}

int ReadClockFieldText(const char* text, std::int32_t* value) {
    const char* at;
    const char* end;
    TrimBlanks(text, &at, &end);
    const std::int64_t sign = ReadSign(&at, end);
    std::int64_t first = 0;
    int count = 0;
    if (!ReadDigits(&at, end, &first, &count)) {
        return 0;
    }
    std::int64_t minutes = 0;
    std::int64_t seconds = first;
    if (at < end && *at == ':') {
        ++at;
        minutes = first;
        if (!ReadDigits(&at, end, &seconds, &count) || seconds >= 60) {
            return 0;
        }
    }
    std::int64_t fraction = 0;
    if (!ReadFraction(&at, end, &fraction) || at != end) {
        return 0;
    }
    return StoreInRange(sign * (minutes * 60000 + seconds * 1000 + fraction), value);
}

void FormatMillisecondsFieldText(std::int32_t value, char* text, std::size_t size) {
    std::snprintf(text, size, "%" PRId32, value);
}

void FormatClockFieldText(std::int32_t value, char* text, std::size_t size) {
    const std::int64_t wide = value;
    const std::int64_t magnitude = wide < 0 ? -wide : wide;
    std::snprintf(text, size, "%s%" PRId64 ":%02" PRId64 ".%03" PRId64, wide < 0 ? "-" : "",
                  magnitude / 60000, magnitude / 1000 % 60, magnitude % 1000);
}
