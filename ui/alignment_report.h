// Align's conversation with the user: reading the reference and the file's
// cues, finding the alignment, and showing what it found before anything is
// written.
#pragma once

#include "cue_alignment.h"
#include "win_api.h"

// Reads the reference (SubRip, WebVTT, SSA/ASS or SAMI) and the file's cues
// and aligns them: 1 with *alignment when there is something to write, else 0
// after a message saying why (a reference that cannot be read or holds no
// cue, a file without cues, cues already at the reference's times).
int FindAlignment(HWND dialog, const char* path, const char* referencePath, Alignment* alignment);

// Shows what the alignment found. When it is not clear, says so and gives 0:
// nothing is written. Else asks Yes/No: 1 for Yes.
int ConfirmAlignment(HWND dialog, const Alignment& alignment);
