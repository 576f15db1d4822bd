// The exit codes of tembrel-cli. 1 to 3 are the engine's result codes, so a
// run's result is passed on as it stands.
#pragma once

#include "result_codes.h"

inline constexpr int EXIT_DONE = RESULT_OK;
inline constexpr int EXIT_BAD_FILE = RESULT_BAD_FILE;                // a FILE cannot be opened
inline constexpr int EXIT_BAD_APPEND_FILE = RESULT_BAD_APPEND_FILE;  // the file to append
inline constexpr int EXIT_CANNOT_SAVE = RESULT_CANNOT_SAVE;          // the result cannot be saved
inline constexpr int EXIT_USAGE = 64;                                // as EX_USAGE of sysexits
