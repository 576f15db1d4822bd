// Field texts to milliseconds and back. A number field is read whole, in the
// selected unit, and a text that is not a time in it is refused by naming its
// field; nothing is guessed from a part of it.
#include "parameter_fields.h"

#include <cstring>

#include "dialog_ids.h"
#include "field_time_text.h"
#include "result_codes.h"
#include "sync_shift.h"

namespace {

// Longer than any time in either form with blanks around it; a field that
// fills the buffer is refused as too long.
constexpr int kFieldBufferSize = 64;
constexpr int kNumberFieldIds[] = {IDC_RANGE_START, IDC_RANGE_END, IDC_SHIFT, IDC_STRETCH,
                                   IDC_APPEND_OFFSET};

// The unit the numbers in the fields are written in: it changes with them
// when the user switches the unit.
int g_fieldsInMilliseconds = 1;

void ReadField(HWND dialog, int id, char* text) {
    text[0] = '\0';
    GetWindowTextA(GetDlgItem(dialog, id), text, kFieldBufferSize);
}

int IsTooLong(const char* text) {
    return std::strlen(text) >= static_cast<std::size_t>(kFieldBufferSize - 1) ? 1 : 0;
}

int ConvertField(const char* text, int milliseconds, std::int32_t* value) {
    if (IsTooLong(text)) {
        return 0;
    }
    return milliseconds ? ReadMillisecondsFieldText(text, value) : ReadClockFieldText(text, value);
}

int ReadNumberField(HWND dialog, int id, int milliseconds, std::int32_t* value) {
    char text[kFieldBufferSize];
    ReadField(dialog, id, text);
    return ConvertField(text, milliseconds, value);
}

// "E" or "e", blanks around it allowed: the file's last sync time.
int MeansLastSyncTime(const char* text) {
    const char* at = text;
    while (*at == ' ' || *at == '\t') {
        ++at;
    }
    if (*at != 'E' && *at != 'e') {
        return 0;
    }
    ++at;
    while (*at == ' ' || *at == '\t') {
        ++at;
    }
    return *at == '\0' ? 1 : 0;
}

void RewriteField(HWND dialog, int id, int fromMilliseconds) {
    char text[kFieldBufferSize];
    ReadField(dialog, id, text);
    std::int32_t value = 0;
    if (!ConvertField(text, fromMilliseconds, &value)) {
        return;
    }
    char rewritten[kFieldBufferSize];
    if (fromMilliseconds) {
        FormatClockFieldText(value, rewritten, sizeof rewritten);
    } else {
        FormatMillisecondsFieldText(value, rewritten, sizeof rewritten);
    }
    SetWindowTextA(GetDlgItem(dialog, id), rewritten);
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

int ReadShiftParams(HWND dialog, std::int32_t* rangeStart, std::int32_t* rangeEnd,
                    std::int32_t* shift, std::int32_t* stretch, int* endIsLast) {
    const int milliseconds = IsMillisecondsUnit(dialog);
    if (!ReadNumberField(dialog, IDC_RANGE_START, milliseconds, rangeStart)) {
        return IDC_RANGE_START;
    }
    char end[kFieldBufferSize];
    ReadField(dialog, IDC_RANGE_END, end);
    *endIsLast = MeansLastSyncTime(end);
    if (*endIsLast) {
        *rangeEnd = 0;
    } else if (!ConvertField(end, milliseconds, rangeEnd)) {
        return IDC_RANGE_END;
    }
    if (!ReadNumberField(dialog, IDC_SHIFT, milliseconds, shift)) {
        return IDC_SHIFT;
    }
    if (!ReadNumberField(dialog, IDC_STRETCH, milliseconds, stretch)) {
        return IDC_STRETCH;
    }
    return kFieldsRead;
}

int ReadAppendOffset(HWND dialog, std::int32_t* offset) {
    return ReadNumberField(dialog, IDC_APPEND_OFFSET, IsMillisecondsUnit(dialog), offset)
               ? kFieldsRead
               : IDC_APPEND_OFFSET;
}

int IsMillisecondsUnit(HWND dialog) {
    return IsDlgButtonChecked(dialog, IDC_UNIT_MSEC) == BST_CHECKED ? 1 : 0;
}

void SelectMillisecondsUnit(HWND dialog) {
    CheckDlgButton(dialog, IDC_UNIT_MSEC, BST_CHECKED);
    g_fieldsInMilliseconds = 1;
}

void ConvertFieldsToUnit(HWND dialog, int milliseconds) {
    const int to = milliseconds ? 1 : 0;
    if (to == g_fieldsInMilliseconds) {
        return;
    }
    for (int id : kNumberFieldIds) {
        RewriteField(dialog, id, g_fieldsInMilliseconds);
    }
    g_fieldsInMilliseconds = to;
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

int ReadReferenceFileNameField(HWND dialog, char* path) {
    return ReadPathField(dialog, IDC_REFERENCE_FILE_NAME, path);
}

int ReadAppendFileNameField(HWND dialog, char* path) {
    return ReadPathField(dialog, IDC_APPEND_FILE_NAME, path);
}

void SetPathField(HWND dialog, const WCHAR* text, int id) {
    SetWindowTextW(GetDlgItem(dialog, id), text);
}
