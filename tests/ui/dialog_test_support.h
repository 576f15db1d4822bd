// Shared steps of the dialog tests: opening the program's dialog over the
// stand-in layer, and small subtitle files.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "win_api.h"

// Starts the program with a fresh stand-in and returns its dialog, shown and
// idle (the message loop has ended on the empty queue).
HWND OpenDialog();

// A SAMI file with one cue per time, CR LF line ends.
std::string SamiWithTimes(std::initializer_list<int> times);

// The names in a folder, sorted, to tell that nothing was added or removed.
std::vector<std::string> ListFolder(const std::string& folder);
