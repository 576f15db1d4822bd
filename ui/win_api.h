// The Win32 names the dialog uses: the system's headers on Windows, elsewhere
// those of the stand-in (win32_standin/include), found under the same names.
#pragma once

// windows.h first: the others build on it.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
