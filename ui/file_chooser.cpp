// The Open dialog: "smi file (*.smi)" first, then all files; a typed name
// without extension gets ".smi", and the file must exist.
#include "file_chooser.h"

#include <cstddef>
#include <cstring>

#include "parameter_fields.h"

OPENFILENAMEA g_fileChooser;

namespace {

// Pairs of description and pattern; the literal's own NUL closes the list.
constexpr char kSubtitleFilter[] = "smi file (*.smi)\0*.smi\0All files (*.*)\0*.*\0";

}  // namespace

#if defined(_WIN32) && !defined(_WIN64)
// OPENFILENAME_SIZE_VERSION_400A: the record up to lpTemplateName, the size
// that every version of the Open dialog accepts.
static_assert(offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR) == 76,
              "the chooser record is 76 bytes on Win32");
#endif

void InitFileChooser() {
    std::memset(&g_fileChooser, 0, sizeof(g_fileChooser));
    g_fileChooser.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    g_fileChooser.nMaxFile = kPathBufferSize;
}

int ChooseSubtitleFile(HWND dialog, char* path) {
    g_fileChooser.hwndOwner = dialog;
    g_fileChooser.lpstrFilter = kSubtitleFilter;
    g_fileChooser.lpstrFile = path;
    g_fileChooser.nMaxFile = kPathBufferSize;
    g_fileChooser.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    g_fileChooser.lpstrDefExt = "smi";
    return GetOpenFileNameA(&g_fileChooser) ? 1 : 0;
}
