// The dialog's window procedure: the commands of its buttons, each run handed
// to the runs layer and its outcome told, and the busy flag.
#pragma once

#include <cstdint>

#include "parameter_fields.h"
#include "win_api.h"

// The files last picked with the two choosers, dropped or given on the command
// line; they are the choosers' initial selections too. A path typed into a
// field leaves them as they are.
extern WCHAR g_mainPath[kPathChars];
extern WCHAR g_appendPath[kPathChars];
extern WCHAR g_referencePath[kPathChars];
// 1 while a run command is being handled, so that a second run and Close are
// refused until it ends.
extern std::int32_t g_busy;

// Shows `percent` (0 to 100) in the dialog's bar, control 1006.
void SetProgressBar(HWND dialog, std::int32_t percent);

// The window procedure of class "Tembrel", which the dialog template names.
LRESULT CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
