// The result codes of the runs and of the commands' own checks. The front ends
// turn each non-zero code into a message of their own.
#pragma once

#include <cstdint>

inline constexpr std::int32_t RESULT_OK = 0;
inline constexpr std::int32_t RESULT_BAD_FILE = 1;          // the file cannot be opened or read
inline constexpr std::int32_t RESULT_BAD_APPEND_FILE = 2;   // the file to append cannot be opened
inline constexpr std::int32_t RESULT_CANNOT_SAVE = 3;       // the output cannot be written in full
inline constexpr std::int32_t RESULT_MIXED_TEXT_KINDS = 4;  // the append's files differ in encoding
// A run whose range end stood for the file's largest sync time, guessed from
// its tail, found another largest: its output is to be thrown away.
inline constexpr std::int32_t RESULT_LAST_TIME_DIFFERS = 5;
