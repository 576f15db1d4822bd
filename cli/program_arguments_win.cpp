// The arguments on Windows: main's argv is in the ANSI code page, which turns
// what it cannot spell into '?', so the UTF-16 command line is split again with
// the system's own rules and each argument converted to UTF-8.
#include "program_arguments.h"

#include <windows.h>
#include <shellapi.h>

#include "wide_names_win.h"

void ReadProgramArguments(int argc, char** argv, std::vector<std::string>* arguments) {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    // Without the UTF-16 list (no memory), argv is still what the C runtime saw.
    if (wide == nullptr || count != argc) {
        arguments->assign(argv, argv + argc);
    } else {
        arguments->clear();
        for (int k = 0; k < count; ++k) {
            arguments->push_back(NarrowName(wide[k]));
        }
    }
    if (wide != nullptr) {
        LocalFree(wide);
    }
}
