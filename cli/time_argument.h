// Reading a TIME given on the command line: whole milliseconds with an optional
// sign, or a clock time: minutes:seconds or hours:mm:ss, with an optional
// fraction of a second behind '.' or ','.
#pragma once

#include <cstdint>
#include <string>

// 1 and the milliseconds in *value when the text is a TIME that fits in signed
// 32 bits; 0 with *value untouched for any other text (blanks, fractions of a
// millisecond, trailing bytes, values out of range). The forms: 1500, -250,
// 1:30.5, 1:30,5, 90:00, 1:02:30.250 (minutes and seconds of two digits each
// when hours are given). Fraction digits beyond milliseconds are cut.
int ReadTimeArgument(const char* text, std::int32_t* value);

// The time as h:mm:ss.mmm ("0:01:02.345", "-0:00:00.250", "596:31:23.647"),
// a form ReadTimeArgument reads back to the same value.
std::string FormatClockTime(std::int32_t milliseconds);
