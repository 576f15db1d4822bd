// The arguments on POSIX systems: names are byte strings, passed on as given.
#include "program_arguments.h"

void ReadProgramArguments(int argc, char** argv, std::vector<std::string>* arguments) {
    arguments->assign(argv, argv + argc);
}
