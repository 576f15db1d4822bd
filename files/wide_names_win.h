// File names for the Windows functions: the program keeps every name in UTF-8
// and hands it to the system as UTF-16, through the W functions and the C
// library's _w functions, so that no name passes through the ANSI code page.
#pragma once

#include <windows.h>

#include <string>

// The UTF-16 form of a UTF-8 name. A name of MAX_PATH units or more is made
// absolute and given the "\\?\" prefix, which lifts the limit of 260
// characters without the system's long-path setting. 0 (errno EINVAL) when the
// name is not UTF-8, 1 otherwise.
int WidenName(const char* path, std::wstring* wide);

// The UTF-8 form of a name that the system gave as UTF-16.
std::string NarrowName(const wchar_t* wide);

// A handle that reads no data, so that files open elsewhere (and folders,
// through FILE_FLAG_BACKUP_SEMANTICS) can be looked at too; a link is
// followed. INVALID_HANDLE_VALUE when the name leads nowhere.
HANDLE OpenForQueryByName(const char* path);
// 1 with what the system tells of the file the name leads to and its type
// (FILE_TYPE_DISK for a file or folder), else 0.
int QueryFileByName(const char* path, BY_HANDLE_FILE_INFORMATION* information, DWORD* type);
