// Shared steps of the dialog tests: opening the program's dialog over the
// stand-in layer, small subtitle files, typing the fields of a run and
// checking its warning.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "win32_standin.h"
#include "win_api.h"

// Starts the program with a fresh stand-in and returns its dialog, shown and
// idle (the message loop has ended on the empty queue).
HWND OpenDialog();

// A SAMI file with one cue per time, CR LF line ends.
std::string SamiWithTimes(const std::vector<int>& times);

// The names in a folder, sorted, to tell that nothing was added or removed.
std::vector<std::string> ListFolder(const std::string& folder);

// The texts of the shift fields, typed as a user types them.
struct ShiftFields {
    const char* start;
    const char* end;
    const char* shift;
    const char* stretch;
};

void TypeShift(HWND dialog, const std::string& path, const ShiftFields& fields);
void TypeAppend(HWND dialog, const std::string& path, const std::string& appendPath,
                const char* offset);

// Exactly one warning box, owned by the dialog, with this text (UTF-8).
void ExpectOneWarning(HWND dialog, const char* text);
