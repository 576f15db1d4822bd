# What both MinGW-w64 toolchains share, and every flag of theirs:
# _tembrel_mingw names the target triplet, _tembrel_mingw_flags the compile
# flags of its processor. The C and C++ runtimes go into the program, so it runs
# on a clean Windows.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${_tembrel_mingw}-gcc)
set(CMAKE_CXX_COMPILER ${_tembrel_mingw}-g++)
set(CMAKE_RC_COMPILER ${_tembrel_mingw}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${_tembrel_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_C_FLAGS_INIT "${_tembrel_mingw_flags}")
set(CMAKE_CXX_FLAGS_INIT "${_tembrel_mingw_flags}")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
