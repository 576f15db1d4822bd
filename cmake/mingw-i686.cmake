# Cross-building the 32-bit Windows program with Debian's MinGW-w64 (i686).
# Doubles are computed on SSE2 and never contracted: the x87 unit's 80-bit
# intermediates would move some stretched times by one millisecond.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(_tembrel_mingw i686-w64-mingw32)
set(CMAKE_C_COMPILER ${_tembrel_mingw}-gcc)
set(CMAKE_CXX_COMPILER ${_tembrel_mingw}-g++)
set(CMAKE_RC_COMPILER ${_tembrel_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_tembrel_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -ffp-contract=off")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -ffp-contract=off")
# The C and C++ runtimes go into the program, so it runs on a clean Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
