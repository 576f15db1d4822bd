# AddressSanitizer and UndefinedBehaviorSanitizer for the test preset; any finding
# ends the test with an error instead of a printed warning.
if(TEMBREL_SANITIZE)
    set(_tembrel_san -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_compile_options(tembrel_options INTERFACE ${_tembrel_san})
    target_link_options(tembrel_options INTERFACE ${_tembrel_san})
endif()

# The fuzz targets: coverage for libFuzzer on every unit, with both sanitizers.
if(TEMBREL_BUILD_FUZZ)
    set(_tembrel_fuzz -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)
    target_compile_options(tembrel_options INTERFACE ${_tembrel_fuzz})
    target_link_options(tembrel_options INTERFACE ${_tembrel_fuzz})
endif()
