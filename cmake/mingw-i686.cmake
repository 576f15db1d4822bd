# Cross-building the 32-bit Windows program with Debian's MinGW-w64 (i686).
# Doubles are computed on SSE2: the x87 unit's 80-bit intermediates would move
# some stretched times by one millisecond (contraction is off for every target,
# cmake/warnings.cmake).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_tembrel_mingw i686-w64-mingw32)
set(_tembrel_mingw_flags "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
