# Warnings are errors everywhere. The stretch is computed in double precision and
# truncated, so no contraction into fused multiply-adds and no fast-math: a fused
# product would change which times land one millisecond low.
add_library(tembrel_options INTERFACE)
if(MSVC)
    target_compile_options(tembrel_options INTERFACE /W4 /WX /fp:precise)
else()
    target_compile_options(tembrel_options INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
        -Wcast-qual -Wformat=2 -Wundef -Werror
        -ffp-contract=off)
endif()
