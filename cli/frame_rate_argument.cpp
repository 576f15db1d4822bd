// Frame rates. A rate is digits with an optional fraction, or two of them
// joined by '/'; signs, blanks and exponents are refused, as is a rate of 0.
#include "frame_rate_argument.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <string>

#include "time_values.h"
#include "token_scanner.h"

namespace {

// digits ['.' digits] or '.' digits over exactly `length` bytes.
int IsDecimalText(const char* text, std::size_t length) {
    std::size_t index = 0;
    std::size_t digits = 0;
    while (index < length && IsDigit(static_cast<unsigned char>(text[index]))) {
        ++index;
        ++digits;
    }
    if (index < length && text[index] == '.') {
        ++index;
        while (index < length && IsDigit(static_cast<unsigned char>(text[index]))) {
            ++index;
            ++digits;
        }
    }
    return (digits > 0 && index == length) ? 1 : 0;
}

int ReadDecimal(const char* text, std::size_t length, double* value) {
    if (!IsDecimalText(text, length)) {
        return 0;
    }
    *value = ConvertDecimal(text, length);
    return 1;
}

}  // namespace

int ReadFrameRate(const char* text, double* rate) {
    const std::size_t length = std::strlen(text);
    const char* slash = std::strchr(text, '/');
    double numerator = 0.0;
    double denominator = 1.0;
    const std::size_t numeratorLength =
        slash != nullptr ? static_cast<std::size_t>(slash - text) : length;
    if (!ReadDecimal(text, numeratorLength, &numerator) ||
        (slash != nullptr && !ReadDecimal(slash + 1, length - numeratorLength - 1, &denominator))) {
        return 0;
    }
    const double value = numerator / denominator;
    // A zero denominator gives infinity or NaN; both are refused with 0.
    if (!(value > 0.0 && std::isfinite(value))) {
        return 0;
    }
    *rate = value;
    return 1;
}

int ReadFrameRatePair(const char* text, double* fromRate, double* toRate) {
    const char* colon = std::strchr(text, ':');
    if (colon == nullptr) {
        return 0;
    }
    const std::string from(text, static_cast<std::size_t>(colon - text));
    double first = 0.0;
    double second = 0.0;
    if (!ReadFrameRate(from.c_str(), &first) || !ReadFrameRate(colon + 1, &second)) {
        return 0;
    }
    *fromRate = first;
    *toRate = second;
    return 1;
}
