// The system's Open dialog for subtitle files, shared by the three path fields.
#pragma once

#include "win_api.h"

// One chooser record for the whole process, cleared once; what the Open
// dialog writes back into it (the filter last in use) stays for the next use.
extern OPENFILENAMEW g_fileChooser;

void InitFileChooser();

// Shows the Open dialog with `path` (kPathChars UTF-16 units) as the initial
// selection; non-zero when the user confirmed a file, whose path is then in
// `path`.
int ChooseSubtitleFile(HWND dialog, WCHAR* path);

// The same for a reference subtitle: SubRip, WebVTT, SSA/ASS and SAMI files
// first, one filter for each, then all files; a typed name without extension
// gets ".srt".
int ChooseReferenceSubtitle(HWND dialog, WCHAR* path);
