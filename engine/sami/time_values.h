// Time values: the integer and decimal readings of a number text (as the C
// library's atoi and atof read the texts that reach them here), the value of a
// sync time text, and the clock time typed as minutes:seconds.milliseconds.
#pragma once

#include <cstddef>
#include <cstdint>

// atoi of text[0 .. length-1]: leading white space, an optional sign, digits up
// to the first other byte. Saturates far beyond the 32-bit range instead of
// overflowing, so the callers can tell a value that does not fit.
std::int64_t ConvertInteger(const char* text, std::size_t length);

// atof of a number token's text: digits, optionally '.', optionally digits (a
// second '.' ends it), brought to the nearest double; 0 without any digit.
double ConvertDecimal(const char* text, std::size_t length);

// The value of a sync time text (sign and number, at most 15 bytes): 1 and the
// value when it fits in signed 32 bits, else 0 with *value untouched.
int SyncTimeValue(const char* timeText, std::int32_t* value);

// Milliseconds of a clock text: [sign] minutes ':' seconds, or [sign] seconds.
// Saturates to the signed 32-bit range instead of overflowing.
std::int32_t ParseClockTime(const char* text);

// Writes `value` (0 or more) in decimal, no sign, no leading zeros, NUL-terminated
// into `text`, which holds at least 11 bytes; returns the number of digits.
int FormatDecimal(std::uint32_t value, char* text);
// The number of decimal digits of `value` (1 to 10).
int DecimalDigits(std::uint32_t value);
// Writes the `count` digits of `value` into text[0 .. count-1], no NUL.
void WriteDigits(std::uint32_t value, int count, char* text);
