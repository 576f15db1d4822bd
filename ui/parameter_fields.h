// The dialog's fields: reading the shift parameters and the append offset in
// the selected unit, writing their default texts, and the two path fields.
#pragma once

#include <cstdint>

#include "win_api.h"

// A path field is read with a count of 260: at most 259 characters.
inline constexpr int kPathBufferSize = 260;

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

// The path fields, into buffers of kPathBufferSize bytes.
void ReadFileNameField(HWND dialog, char* path);
void ReadAppendFileNameField(HWND dialog, char* path);
void SetPathField(HWND dialog, const char* text, int id);
