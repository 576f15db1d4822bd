# Cross-building the 32-bit Windows program with Debian's MinGW-w64 (i686).
# Doubles are computed on SSE2 and never contracted: the x87 unit's 80-bit
# intermediates would move some stretched times by one millisecond.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_tembrel_mingw i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse -ffp-contract=off")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse -ffp-contract=off")
