// The message texts live here and nowhere else: UTF-8 in the source, each
// converted once to UTF-16 when it is first shown.
#include "warning_messages.h"

#include <cinttypes>
#include <cstdio>

#include "dialog_ids.h"
#include "result_codes.h"

namespace {

constexpr int kWideTextSize = 64;
constexpr int kRunWarningSize = 512;

struct MessageText {
    const char* text;
    WCHAR wide[kWideTextSize];
    int converted;
};

MessageText g_caption = {"Tembrel", {}, 0};

// Indexed by result code.
MessageText g_resultTexts[] = {
    {"", {}, 0},
    {"파일 이름이 잘못 되었습니다.", {}, 0},
    {"Append할 파일 이름이 잘못 되었습니다.", {}, 0},
    {"파일을 저장할 수 없습니다.", {}, 0},
    {"두 파일의 인코딩이 달라서 붙일 수 없습니다.", {}, 0},
};
constexpr std::int32_t kResultTextCount =
    static_cast<std::int32_t>(sizeof(g_resultTexts) / sizeof(g_resultTexts[0]));

MessageText g_noBackup = {"되돌릴 백업 파일(.bak)이 없습니다.", {}, 0};
MessageText g_startFailure = {"Tembrel 창을 열 수 없습니다.", {}, 0};

LPCWSTR WideText(MessageText* message) {
    if (!message->converted) {
        if (MultiByteToWideChar(CP_UTF8, 0, message->text, -1, message->wide, kWideTextSize) == 0) {
            message->wide[0] = 0;
        }
        message->converted = 1;
    }
    return message->wide;
}

}  // namespace

void ShowWarning(HWND owner, std::int32_t code) {
    // Every failed run leaves the file unsaved; a code without a text of its
    // own is reported as such.
    const std::int32_t index = (code > 0 && code < kResultTextCount) ? code : RESULT_CANNOT_SAVE;
    MessageBoxW(owner, WideText(&g_resultTexts[index]), WideText(&g_caption), MB_ICONWARNING);
}

void ShowRunWarning(HWND owner, const RunCounts& counts) {
    char text[kRunWarningSize];
    int length = 0;
    if (counts.tagsFound == 0) {
        length = std::snprintf(text, sizeof text,
                               "싱크 태그(<SYNC Start=...>)가 없습니다. SAMI 파일이 맞습니까?");
    } else if (counts.timesMoved == 0) {
        length =
            std::snprintf(text, sizeof text, "싱크 태그 %" PRId64 "개 가운데 옮긴 시간이 없습니다.",
                          counts.tagsFound);
    }
    if (counts.tagsUnread > 0 && length >= 0 && length < kRunWarningSize) {
        std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length),
                      "%s시간을 읽을 수 없는 싱크 태그 %" PRId64 "개는 그대로 두었습니다.",
                      length > 0 ? "\n" : "", counts.tagsUnread);
    } else if (length == 0) {
        return;
    }
    WCHAR wide[kRunWarningSize];
    if (MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, kRunWarningSize) == 0) {
        return;
    }
    MessageBoxW(owner, wide, WideText(&g_caption), MB_ICONWARNING);
}

void ShowFieldWarning(HWND owner, int fieldId, int milliseconds) {
    const char* name = fieldId == IDC_RANGE_START ? "설정구간 시작"
                       : fieldId == IDC_RANGE_END ? "설정구간 끝"
                       : fieldId == IDC_SHIFT     ? "Shift 시간"
                       : fieldId == IDC_STRETCH   ? "가감시간"
                                                  : "추가시간";
    const char* forms = milliseconds ? "단위가 msec일 때는 밀리초를 정수로 적습니다. 예: 1500, -250"
                                     : "단위가 mm:ss.sss일 때는 분:초.밀리초로 적습니다. "
                                       "예: 0:01.500, -1:30.5, 90.5";
    char text[kRunWarningSize];
    std::snprintf(text, sizeof text, "\"%s\" 칸의 시간을 읽을 수 없습니다.\n%s%s", name, forms,
                  fieldId == IDC_RANGE_END ? "\n파일의 마지막 싱크 시간까지는 E로 적습니다." : "");
    WCHAR wide[kRunWarningSize];
    if (MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, kRunWarningSize) == 0) {
        return;
    }
    MessageBoxW(owner, wide, WideText(&g_caption), MB_ICONWARNING);
}

void ShowNoBackup(HWND owner) {
    MessageBoxW(owner, WideText(&g_noBackup), WideText(&g_caption), MB_ICONWARNING);
}

void ShowStartFailure() {
    MessageBoxW(nullptr, WideText(&g_startFailure), WideText(&g_caption), MB_ICONERROR);
}
