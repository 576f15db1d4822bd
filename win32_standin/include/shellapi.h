// The stand-in for <shellapi.h>: files dropped on a window and the command
// line split into arguments.
#pragma once

#include <windows.h>

struct StandinDrop;
using HDROP = StandinDrop*;

void DragAcceptFiles(HWND window, BOOL accept);
UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT count);
BOOL DragQueryPoint(HDROP drop, POINT* point);
void DragFinish(HDROP drop);
LPWSTR* CommandLineToArgvW(LPCWSTR commandLine, int* count);
