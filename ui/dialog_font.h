// The font of the dialog's controls, so that their Korean texts show on any
// system.
#pragma once

#include "win_api.h"

// The template's font at its size, asked for with the Korean character set:
// outside a Korean system the template's "System" font has no Hangul, and the
// font mapper then picks one that has it. The layout stays as the template's
// font made it. Nothing changes when the font cannot be made.
void UseHangulFont(HWND dialog);
