// The Windows program's entry point.
#include "dialog_program.h"

// The stretch is computed in double precision and truncated. Doubles on the
// x87 unit keep 80-bit intermediates and turn, for example, 6500 into 7500
// instead of 7499 (range 0 to 13000, stretch 2000): 32-bit x86 builds must use
// SSE2 for doubles.
#if defined(__GNUC__) && defined(__i386__) && !defined(__SSE2_MATH__)
#error "build 32-bit x86 with -msse2 -mfpmath=sse"
#endif
#if defined(_MSC_VER) && defined(_M_IX86) && (!defined(_M_IX86_FP) || _M_IX86_FP < 2)
#error "build 32-bit x86 with /arch:SSE2"
#endif

// The previous instance is not used; the command line is read as UTF-16 later
// (the one given here is in the ANSI code page).
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    return RunDialogProgram(instance, showCommand);
}
