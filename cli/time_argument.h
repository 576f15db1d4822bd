// Reading a TIME given on the command line: whole milliseconds with an optional
// sign, or a clock time with a colon in the dialog's "mm:ss.sss" reading.
#pragma once

#include <cstdint>

// 1 and the milliseconds in *value when the text is a TIME that fits in signed
// 32 bits; 0 with *value untouched for any other text (blanks, fractions of a
// millisecond, trailing bytes, values out of range).
int ReadTimeArgument(const char* text, std::int32_t* value);
