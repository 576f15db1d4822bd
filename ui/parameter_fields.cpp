// Field texts to milliseconds. A numeric field is read into 12 bytes with a
// count of 10, so only its first 9 characters count; no text is ever refused,
// what is not a number reads as 0.
#include "parameter_fields.h"

#include <cstring>
#include <limits>

#include "dialog_ids.h"
#include "result_codes.h"
#include "sync_shift.h"
#include "named_runs.h"
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

// The text is read as UTF-16, so that no name passes through the ANSI code
// page; one unit more than a name may have tells a longer name apart.
int ReadPathField(HWND dialog, int id, char* path) {
    WCHAR wide[kPathChars + 1];
    wide[0] = 0;
    path[0] = '\0';
    const int length = GetWindowTextW(GetDlgItem(dialog, id), wide, kPathChars + 1);
    if (length >= kPathChars) {
        return 0;
    }
    if (WideCharToMultiByte(CP_UTF8, 0, wide, -1, path, kPathBytes, nullptr, nullptr) == 0) {
        path[0] = '\0';
        return 0;
    }
    return 1;
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

int ReadFileNameField(HWND dialog, char* path) {
    return ReadPathField(dialog, IDC_FILE_NAME, path);
}

int ReadAppendFileNameField(HWND dialog, char* path) {
    return ReadPathField(dialog, IDC_APPEND_FILE_NAME, path);
}

void SetPathField(HWND dialog, const WCHAR* text, int id) {
    SetWindowTextW(GetDlgItem(dialog, id), text);
}
