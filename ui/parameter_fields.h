// The dialog's fields: reading the shift parameters and the append offset in
// the selected unit, writing their default texts, and the two path fields.
#pragma once

#include <cstdint>

#include "win_api.h"

// A path field holds a name of at most kPathChars - 1 UTF-16 units, well
// beyond the 259 of a short Windows path; a longer name is refused, never cut.
inline constexpr int kPathChars = 4096;
// The same name in UTF-8, the form every file function of the program takes:
// at most 4 bytes for each character.
inline constexpr int kPathBytes = 4 * (kPathChars - 1) + 1;

// Reads range start, range end, shift and stretch, in milliseconds, in that
// order. A range end whose first character is 'E' or 'e' is the last sync time
// of the file at `path`, whatever the unit. 1 when all four are read, 0 when
// that file cannot be read for its last sync time.
int ReadShiftParams(HWND dialog, const char* path, std::int32_t* rangeStart, std::int32_t* rangeEnd,
                    std::int32_t* shift, std::int32_t* stretch);
void ReadAppendOffset(HWND dialog, std::int32_t* offset);

// "0" into range start, shift and stretch, then "E" into range end.
void ResetShiftFields(HWND dialog);
// "0" into the append offset.
void ResetAppendFields(HWND dialog);

// The path fields as UTF-8, into buffers of kPathBytes bytes; 0 when the
// field holds a name longer than kPathChars - 1 (`path` is then empty).
int ReadFileNameField(HWND dialog, char* path);
int ReadAppendFileNameField(HWND dialog, char* path);
void SetPathField(HWND dialog, const WCHAR* text, int id);
