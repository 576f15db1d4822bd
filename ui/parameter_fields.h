// The dialog's fields: reading the shift parameters and the append offset in
// the selected unit, converting them when the unit changes, writing their
// default texts, and the two path fields.
#pragma once

#include <cstdint>

#include "win_api.h"

// A path field holds a name of at most kPathChars - 1 UTF-16 units, well
// beyond the 259 of a short Windows path; a longer name is refused, never cut.
inline constexpr int kPathChars = 4096;
// The same name in UTF-8, the form every file function of the program takes:
// at most 4 bytes for each character.
inline constexpr int kPathBytes = 4 * (kPathChars - 1) + 1;

// What reading the number fields gives: kFieldsRead, the id of the first
// field whose text is no time in the selected unit.
inline constexpr int kFieldsRead = 0;
// Reads range start, range end, shift and stretch, in milliseconds, in that
// order, each whole in the selected unit (field_time_text.h). A range end of
// "E" or "e", blanks around it allowed, stands for the file's last sync time,
// whatever the unit: *endIsLast is 1 and the run finds that time. Reading
// stops at the first field that does not read.
int ReadShiftParams(HWND dialog, std::int32_t* rangeStart, std::int32_t* rangeEnd,
                    std::int32_t* shift, std::int32_t* stretch, int* endIsLast);
// kFieldsRead or IDC_APPEND_OFFSET.
int ReadAppendOffset(HWND dialog, std::int32_t* offset);

// 1 when the fields are read in milliseconds: the "msec" button alone
// decides, exactly BST_CHECKED; else they are clock times.
int IsMillisecondsUnit(HWND dialog);
// Checks "msec", the unit the fields start in.
void SelectMillisecondsUnit(HWND dialog);
// After the user switched the unit (1 for msec): every number field that reads
// in the unit before is written anew in the other, 1500 as 0:01.500; "E" and
// any text that does not read stay as they are. Nothing happens when the unit
// did not change.
void ConvertFieldsToUnit(HWND dialog, int milliseconds);

// "0" into range start, shift and stretch, then "E" into range end.
void ResetShiftFields(HWND dialog);
// "0" into the append offset.
void ResetAppendFields(HWND dialog);

// The path fields as UTF-8, into buffers of kPathBytes bytes; 0 when the
// field holds a name longer than kPathChars - 1 (`path` is then empty).
int ReadFileNameField(HWND dialog, char* path);
int ReadAppendFileNameField(HWND dialog, char* path);
int ReadReferenceFileNameField(HWND dialog, char* path);
void SetPathField(HWND dialog, const WCHAR* text, int id);
