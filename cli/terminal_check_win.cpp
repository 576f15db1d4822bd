// The terminal test with the Windows C runtime: a console, not a file or pipe.
#include "terminal_check.h"

#include <io.h>

#include <cstdio>

int IsErrorStreamTerminal() {
    return _isatty(_fileno(stderr)) ? 1 : 0;
}
