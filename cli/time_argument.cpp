// TIME arguments. The dialog's fields read whatever they can and fall back to 0;
// a shell user gets told instead, so the text must have one of two exact shapes
// before the engine's own readings (ConvertInteger, ParseClockTime) take it.
#include "time_argument.h"

#include <cstddef>
#include <cstring>
#include <limits>

#include "time_values.h"
#include "token_scanner.h"

namespace {

constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();

std::size_t CountDigits(const char* text) {
    std::size_t count = 0;
    while (IsDigit(static_cast<unsigned char>(text[count]))) {
        ++count;
    }
    return count;
}

std::size_t SkipSign(const char* text) {
    return (text[0] == '+' || text[0] == '-') ? 1 : 0;
}

int FitsInt32(std::int64_t value) {
    return value >= kInt32Min && value <= kInt32Max;
}

// [sign] digits
int ReadMilliseconds(const char* text, std::int32_t* value) {
    const std::size_t signLength = SkipSign(text);
    const std::size_t digits = CountDigits(text + signLength);
    if (digits == 0 || text[signLength + digits] != '\0') {
        return 0;
    }
    // ConvertInteger saturates far beyond 32 bits, so the range test is exact.
    const std::int64_t wide = ConvertInteger(text, signLength + digits);
    if (!FitsInt32(wide)) {
        return 0;
    }
    *value = static_cast<std::int32_t>(wide);
    return 1;
}

// Seconds behind the colon: digits with an optional fraction, or '.' and digits.
int IsSecondsText(const char* text) {
    const std::size_t whole = CountDigits(text);
    if (text[whole] == '\0') {
        return whole > 0;
    }
    if (text[whole] != '.') {
        return 0;
    }
    const std::size_t fraction = CountDigits(text + whole + 1);
    return (whole + fraction > 0 && text[whole + 1 + fraction] == '\0') ? 1 : 0;
}

// The value ParseClockTime would give, in 64 bits, so that a text beyond the
// 32-bit range is refused rather than saturated.
int ClockTimeFits(const char* text, std::size_t signLength, std::size_t minuteDigits) {
    const std::int64_t minutes = ConvertInteger(text + signLength, minuteDigits);
    if (minutes > kInt32Max) {
        return 0;
    }
    const char* seconds = text + signLength + minuteDigits + 1;
    const double milliseconds = ConvertDecimal(seconds, std::strlen(seconds)) * 1000.0;
    if (!(milliseconds <= static_cast<double>(kInt32Max) + 1.0)) {
        return 0;
    }
    const std::int64_t total = minutes * 60000 + static_cast<std::int64_t>(milliseconds);
    return FitsInt32(text[0] == '-' ? -total : total);
}

// [sign] minutes ':' seconds
int ReadClockTime(const char* text, std::int32_t* value) {
    const std::size_t signLength = SkipSign(text);
    const std::size_t minuteDigits = CountDigits(text + signLength);
    if (minuteDigits == 0 || text[signLength + minuteDigits] != ':' ||
        !IsSecondsText(text + signLength + minuteDigits + 1) ||
        !ClockTimeFits(text, signLength, minuteDigits)) {
        return 0;
    }
    *value = ParseClockTime(text);
    return 1;
}

}  // namespace

int ReadTimeArgument(const char* text, std::int32_t* value) {
    if (std::strchr(text, ':') != nullptr) {
        return ReadClockTime(text, value);
    }
    return ReadMilliseconds(text, value);
}
