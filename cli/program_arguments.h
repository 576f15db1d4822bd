// The command line's arguments as UTF-8, the form every file name takes in the
// program. Platform code: program_arguments_posix.cpp, program_arguments_win.cpp.
#pragma once

#include <string>
#include <vector>

// Fills `arguments` with the program's arguments, the program's name first.
// On Windows they are read as UTF-16 and converted, so that a name that the
// ANSI code page cannot spell arrives whole; elsewhere they are argv's bytes.
void ReadProgramArguments(int argc, char** argv, std::vector<std::string>* arguments);
