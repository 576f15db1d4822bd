# Cross-building the same Windows program for 64-bit Windows with Debian's
# MinGW-w64 (x86_64), for machines whose kernel runs no 32-bit program and so
# no 32-bit Wine. Doubles are SSE2 there anyway; they are never contracted.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_tembrel_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_tembrel_mingw}-gcc)
set(CMAKE_CXX_COMPILER ${_tembrel_mingw}-g++)
set(CMAKE_RC_COMPILER ${_tembrel_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_tembrel_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_C_FLAGS_INIT "-ffp-contract=off")
set(CMAKE_CXX_FLAGS_INIT "-ffp-contract=off")
# The C and C++ runtimes go into the program, so it runs on a clean Windows.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
