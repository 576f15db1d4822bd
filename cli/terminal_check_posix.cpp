// The terminal test on POSIX systems.
#include "terminal_check.h"

#include <unistd.h>

int IsErrorStreamTerminal() {
    return isatty(STDERR_FILENO) ? 1 : 0;
}
