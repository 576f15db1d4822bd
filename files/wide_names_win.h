// File names for the Windows functions: the program keeps every name in UTF-8
// and hands it to the system as UTF-16, through the W functions and the C
// library's _w functions, so that no name passes through the ANSI code page.
#pragma once

#include <string>

// The UTF-16 form of a UTF-8 name. A name of MAX_PATH units or more is made
// absolute and given the "\\?\" prefix, which lifts the limit of 260
// characters without the system's long-path setting. 0 (errno EINVAL) when the
// name is not UTF-8, 1 otherwise.
int WidenName(const char* path, std::wstring* wide);

// The UTF-8 form of a name that the system gave as UTF-16.
std::string NarrowName(const wchar_t* wide);
