// The font of the dialog's controls, so that their Korean and English texts
// show alike on any system.
#pragma once

#include "win_api.h"

// The template's font at its size, in a face with Hangul and Latin letters
// chosen by name from those the system lists (the Korean faces of Windows
// first): a face left to the font mapper may lack either, and then draws empty
// boxes. The layout stays as the template's font made it. Nothing changes when
// the font cannot be made.
void UseHangulFont(HWND dialog);
