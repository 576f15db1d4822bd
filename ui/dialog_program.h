// Start-up and the message loop of the program, below its entry function.
#pragma once

#include "win_api.h"

// Makes the progress bar class available, registers class "Tembrel", creates
// the dialog from template 102, shows it, takes a file named on the command
// line and runs the message loop. Returns the
// exit code: the quit message's, or 1 when the dialog could not be opened
// (after a message saying so) or the loop failed.
int RunDialogProgram(HINSTANCE instance, int showCommand);
