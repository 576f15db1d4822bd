// Field texts to milliseconds. A numeric field is read into 12 bytes with a
// count of 10, so only its first 9 characters count; no text is ever refused,
// what is not a number reads as 0.
#include "parameter_fields.h"

#include <cstring>
#include <limits>

#include "dialog_ids.h"
#include "result_codes.h"
#include "sync_shift.h"
#include "time_values.h"

namespace {

constexpr int kFieldBufferSize = 12;
constexpr int kFieldReadCount = 10;

void ReadField(HWND dialog, int id, char* text) {
    text[0] = '\0';
    GetWindowTextA(GetDlgItem(dialog, id), text, kFieldReadCount);
}

// The "msec" button alone decides: exactly BST_CHECKED means milliseconds.
int IsMillisecondsUnit(HWND dialog) {
    return IsDlgButtonChecked(dialog, IDC_UNIT_MSEC) == BST_CHECKED ? 1 : 0;
}

std::int32_t SaturateToInt32(std::int64_t value) {
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value > kMax ? kMax : value < kMin ? kMin : value);
}

std::int32_t ConvertField(const char* text, int milliseconds) {
    if (milliseconds) {
        return SaturateToInt32(ConvertInteger(text, std::strlen(text)));
    }
    return ParseClockTime(text);
}

std::int32_t ReadNumberField(HWND dialog, int id, int milliseconds) {
    char text[kFieldBufferSize];
    ReadField(dialog, id, text);
    return ConvertField(text, milliseconds);
}

}  // namespace

int ReadShiftParams(HWND dialog, const char* path, std::int32_t* rangeStart, std::int32_t* rangeEnd,
                    std::int32_t* shift, std::int32_t* stretch) {
    const int milliseconds = IsMillisecondsUnit(dialog);
    *rangeStart = ReadNumberField(dialog, IDC_RANGE_START, milliseconds);
    char end[kFieldBufferSize];
    ReadField(dialog, IDC_RANGE_END, end);
    // Only the first character is looked at: "End" and "e5" mean the last sync
    // time too, and a leading blank defeats it.
    int found = 1;
    if (end[0] == 'E' || end[0] == 'e') {
        *rangeEnd = 0;
        found = FindLastSyncTimeChecked(path, rangeEnd) == RESULT_OK ? 1 : 0;
    } else {
        *rangeEnd = ConvertField(end, milliseconds);
    }
    *shift = ReadNumberField(dialog, IDC_SHIFT, milliseconds);
    *stretch = ReadNumberField(dialog, IDC_STRETCH, milliseconds);
    return found;
}

void ReadAppendOffset(HWND dialog, std::int32_t* offset) {
    *offset = ReadNumberField(dialog, IDC_APPEND_OFFSET, IsMillisecondsUnit(dialog));
}

void ResetShiftFields(HWND dialog) {
    SetWindowTextA(GetDlgItem(dialog, IDC_RANGE_START), "0");
    SetWindowTextA(GetDlgItem(dialog, IDC_SHIFT), "0");
    SetWindowTextA(GetDlgItem(dialog, IDC_STRETCH), "0");
    SetWindowTextA(GetDlgItem(dialog, IDC_RANGE_END), "E");
}

void ResetAppendFields(HWND dialog) {
    SetWindowTextA(GetDlgItem(dialog, IDC_APPEND_OFFSET), "0");
}

void ReadFileNameField(HWND dialog, char* path) {
    path[0] = '\0';
    GetWindowTextA(GetDlgItem(dialog, IDC_FILE_NAME), path, kPathBufferSize);
}

void ReadAppendFileNameField(HWND dialog, char* path) {
    path[0] = '\0';
    GetWindowTextA(GetDlgItem(dialog, IDC_APPEND_FILE_NAME), path, kPathBufferSize);
}

void SetPathField(HWND dialog, const char* text, int id) {
    SetWindowTextA(GetDlgItem(dialog, id), text);
}
