// The ways a file name reaches a path field other than typing: the field's
// "파일열기" chooser, a drop on the dialog and the program's command line. Each
// has the chooser's effects on its group of fields.
#pragma once

#include "win_api.h"

// Commands 1001 and 1016: the Open dialog for field 1000 or for field 1015.
void ChooseMainFile(HWND dialog);
void ChooseAppendFile(HWND dialog);

// Command 1021: the Open dialog for the reference, field 1020.
void ChooseReferenceFile(HWND dialog);

// WM_DROPFILES: the first of the dropped files goes into field 1020 when it is
// a SubRip, WebVTT or SSA/ASS file (by its extension); else into field 1015
// when it was dropped over the append group, else into field 1000. Releases
// the drop.
void TakeDroppedFile(HWND dialog, HDROP drop);

// "Tembrel.exe FILE" (an "Open with", or files dropped on the program's icon):
// the first argument goes into field 1000.
void TakeCommandLineFile(HWND dialog);
