// One font for every control, made once and kept for the life of the process.
#include "dialog_font.h"

#include "dialog_ids.h"

namespace {

HFONT g_hangulFont = nullptr;

BOOL CALLBACK SetControlFont(HWND control, LPARAM font) {
    SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
    return TRUE;
}

}  // namespace

void UseHangulFont(HWND dialog) {
    // The dialog's own window procedure keeps no font; its controls have the
    // template's.
    const auto templateFont =
        reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(dialog, IDC_FILE_NAME), WM_GETFONT, 0, 0));
    LOGFONTW font = {};
    if (templateFont == nullptr || GetObjectW(templateFont, sizeof font, &font) == 0) {
        return;
    }
    font.lfCharSet = HANGUL_CHARSET;
    // A face without Hangul would be kept whatever the character set asks.
    font.lfFaceName[0] = 0;
    if (g_hangulFont == nullptr) {
        g_hangulFont = CreateFontIndirectW(&font);
    }
    if (g_hangulFont != nullptr) {
        EnumChildWindows(dialog, SetControlFont, reinterpret_cast<LPARAM>(g_hangulFont));
    }
}
