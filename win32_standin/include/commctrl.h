// The stand-in for <commctrl.h>: the progress bar's class, style and messages.
#pragma once

#include <windows.h>

#define PBS_SMOOTH 0x01

#ifndef RC_INVOKED

struct INITCOMMONCONTROLSEX {
    DWORD dwSize;
    DWORD dwICC;
};

inline constexpr UINT PBM_SETPOS = WM_USER + 2;
inline constexpr UINT PBM_GETPOS = WM_USER + 8;
inline constexpr DWORD ICC_PROGRESS_CLASS = 0x00000020;

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls);

#endif  // RC_INVOKED
