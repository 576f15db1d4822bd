// The Open dialog: "smi file (*.smi)" first, then all files; a typed name
// without extension gets ".smi", and the file must exist. Names come back as
// UTF-16, whatever the system's code page.
#include "file_chooser.h"

#include <cstddef>
#include <cstring>

#include "parameter_fields.h"

OPENFILENAMEW g_fileChooser;

namespace {

// Pairs of description and pattern; the literal's own NUL closes the list.
constexpr WCHAR kSubtitleFilter[] = L"smi file (*.smi)\0*.smi\0All files (*.*)\0*.*\0";
constexpr WCHAR kReferenceFilter[] =
    L"Subtitles (*.srt;*.vtt;*.ass;*.ssa;*.smi)\0*.srt;*.vtt;*.ass;*.ssa;*.smi\0"
    L"SubRip (*.srt)\0*.srt\0WebVTT (*.vtt)\0*.vtt\0SSA/ASS (*.ass;*.ssa)\0*.ass;*.ssa\0"
    L"SAMI (*.smi)\0*.smi\0All files (*.*)\0*.*\0";
// The filter the user last had in use in the reference chooser; the shared
// record keeps the SAMI choosers' own.
DWORD g_referenceFilterIndex = 1;

}  // namespace

#if defined(_WIN32) && !defined(_WIN64)
// OPENFILENAME_SIZE_VERSION_400W: the record up to lpTemplateName, the size
// that every version of the Open dialog accepts.
static_assert(offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(LPCWSTR) == 76,
              "the chooser record is 76 bytes on Win32");
#endif

void InitFileChooser() {
    std::memset(&g_fileChooser, 0, sizeof(g_fileChooser));
    g_referenceFilterIndex = 1;
    g_fileChooser.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    g_fileChooser.nMaxFile = kPathChars;
}

int ChooseSubtitleFile(HWND dialog, WCHAR* path) {
    g_fileChooser.hwndOwner = dialog;
    g_fileChooser.lpstrFilter = kSubtitleFilter;
    g_fileChooser.lpstrFile = path;
    g_fileChooser.nMaxFile = kPathChars;
    g_fileChooser.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    g_fileChooser.lpstrDefExt = L"smi";
    return GetOpenFileNameW(&g_fileChooser) ? 1 : 0;
}

int ChooseReferenceSubtitle(HWND dialog, WCHAR* path) {
    const DWORD samiFilterIndex = g_fileChooser.nFilterIndex;
    g_fileChooser.hwndOwner = dialog;
    g_fileChooser.lpstrFilter = kReferenceFilter;
    g_fileChooser.nFilterIndex = g_referenceFilterIndex;
    g_fileChooser.lpstrFile = path;
    g_fileChooser.nMaxFile = kPathChars;
    g_fileChooser.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    g_fileChooser.lpstrDefExt = L"srt";
    const int chosen = GetOpenFileNameW(&g_fileChooser) ? 1 : 0;
    g_referenceFilterIndex = g_fileChooser.nFilterIndex;
    g_fileChooser.nFilterIndex = samiFilterIndex;
    return chosen;
}
