// One font for every control of the dialog, kept for the life of the process
// (the program opens one dialog): a face with Hangul and Latin letters picked
// by name from those installed.
#include "dialog_font.h"

#include <cwchar>

#include "dialog_ids.h"

namespace {

// The faces that draw the dialog alike on every system, best first: the Korean
// faces of every Windows since 7, each under its English and Korean name (a
// system lists one of them), then those found where Wine runs.
constexpr const WCHAR* kPreferredFaces[] = {
    L"Malgun Gothic",
    L"맑은 고딕",
    L"Gulim",
    L"굴림",
    L"Dotum",
    L"돋움",
    L"NanumGothic",
    L"나눔고딕",
    L"Batang",
    L"바탕",
    L"NanumBarunGothic",
    L"나눔바른고딕",
};
constexpr int kNoRank = static_cast<int>(sizeof kPreferredFaces / sizeof kPreferredFaces[0]) + 1;

struct FaceChoice {
    WCHAR face[LF_FACESIZE];
    int rank;  // index in kPreferredFaces; kNoRank - 1 for any other Hangul face
};

int RankOfFace(const WCHAR* face) {
    for (int k = 0; k < kNoRank - 1; ++k) {
        if (std::wcscmp(face, kPreferredFaces[k]) == 0) {
            return k;
        }
    }
    return kNoRank - 1;
}

int CALLBACK WeighFace(const LOGFONTW* font, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                       LPARAM parameter) {
    auto* choice = reinterpret_cast<FaceChoice*>(parameter);
    // '@' names the same face turned for vertical writing.
    if (font->lfCharSet != HANGUL_CHARSET || font->lfFaceName[0] == L'@' ||
        font->lfFaceName[0] == 0) {
        return 1;
    }
    const int rank = RankOfFace(font->lfFaceName);
    if (rank < choice->rank) {
        choice->rank = rank;
        std::wmemcpy(choice->face, font->lfFaceName, LF_FACESIZE);
        choice->face[LF_FACESIZE - 1] = 0;
    }
    return 1;
}

// The installed face that serves Hangul best, or an empty name when the system
// lists none.
void ChooseHangulFace(HWND dialog, WCHAR* face) {
    FaceChoice choice = {};
    choice.rank = kNoRank;
    LOGFONTW wanted = {};
    wanted.lfCharSet = HANGUL_CHARSET;
    HDC screen = GetDC(dialog);
    if (screen != nullptr) {
        EnumFontFamiliesExW(screen, &wanted, WeighFace, reinterpret_cast<LPARAM>(&choice), 0);
        ReleaseDC(dialog, screen);
    }
    std::wmemcpy(face, choice.face, LF_FACESIZE);
}

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
    font.lfWeight = FW_NORMAL;
    font.lfItalic = 0;
    font.lfUnderline = 0;
    font.lfStrikeOut = 0;
    ChooseHangulFace(dialog, font.lfFaceName);
    HFONT controlFont = CreateFontIndirectW(&font);
    if (controlFont != nullptr) {
        EnumChildWindows(dialog, SetControlFont, reinterpret_cast<LPARAM>(controlFont));
    }
}
