// Standard output as the commands use it: the bytes of a re-timed file, sent
// unchanged (-o -), and the lines of text that list prints, which a Windows
// console must be handed as UTF-16 to show them in any code page.
#pragma once

#include <string>

// Standard output takes bytes as they are: no line end is translated.
void UseBinaryStandardOutput();

// Writes one line of UTF-8 text and a line end: 1, or 0 when the write fails.
// To a file or a pipe the bytes go as they are.
int WriteTextLine(const std::string& utf8);
