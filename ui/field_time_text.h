// The two forms a time takes in the dialog's number fields: a whole number of
// milliseconds ("1500", "-250") and minutes:seconds.milliseconds ("0:01.500",
// "-1:30.5", "90.5"). A text is read whole or refused: a reading that kept the
// leading digits and dropped the rest would run with a time nobody typed.
#pragma once

#include <cstddef>
#include <cstdint>

// Blanks around the text are allowed in both forms.

// [sign] digits, within the signed 32-bit range: 1 with *value, else 0.
int ReadMillisecondsFieldText(const char* text, std::int32_t* value);

// [sign] [minutes ':'] seconds ['.' one to three digits], seconds below 60
// when minutes are given, the whole within the signed 32-bit range: 1 with
// *value in milliseconds, else 0.
int ReadClockFieldText(const char* text, std::int32_t* value);

// The same value in each form, NUL-terminated into `text` of `size` bytes (16
// hold any 32-bit value): "-1500" and "-0:01.500"; minutes are not limited.
void FormatMillisecondsFieldText(std::int32_t value, char* text, std::size_t size);
void FormatClockFieldText(std::int32_t value, char* text, std::size_t size);
