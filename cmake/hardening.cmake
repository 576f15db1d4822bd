# Hardening of the Linux build that ships: fortified C library calls, stack
# protectors, a position-independent executable and a read-only relocation
# table resolved at start-up. Only optimised builds: _FORTIFY_SOURCE needs
# optimisation (glibc warns, and warnings are errors), and the sanitizer and
# fuzz builds bring checks of their own.
if(NOT WIN32 AND NOT MSVC AND NOT TEMBREL_SANITIZE AND NOT TEMBREL_BUILD_FUZZ
   AND CMAKE_BUILD_TYPE MATCHES "^(Release|RelWithDebInfo|MinSizeRel)$")
    include(CheckPIESupported)
    check_pie_supported()
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    target_compile_options(tembrel_options INTERFACE
        -U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2 -fstack-protector-strong)
    target_link_options(tembrel_options INTERFACE -Wl,-z,relro,-z,now)
endif()
