// Whether the standard error stream is a terminal, which decides whether a run
// shows its progress. Platform code: terminal_check_posix.cpp, terminal_check_win.cpp.
#pragma once

int IsErrorStreamTerminal();
