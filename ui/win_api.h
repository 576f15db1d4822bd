// The Win32 names the dialog uses: the real headers on Windows, elsewhere the
// stand-in layer that serves the same names over an in-memory dialog.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#else
#include "winapi_standin.h"
#endif
