# Cross-building the same Windows program for 64-bit Windows with Debian's
# MinGW-w64 (x86_64), for machines whose kernel runs no 32-bit program and so
# no 32-bit Wine. Doubles are SSE2 there anyway.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_tembrel_mingw x86_64-w64-mingw32)
set(_tembrel_mingw_flags "")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
