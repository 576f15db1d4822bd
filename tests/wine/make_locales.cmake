# Compiles the locales of the Unicode scenarios into LOCALES with localedef,
# once; the system's own locale set is left alone.
foreach(_locale IN ITEMS en_US ko_KR)
    if(NOT EXISTS ${LOCALES}/${_locale}.UTF-8/LC_CTYPE)
        file(MAKE_DIRECTORY ${LOCALES})
        execute_process(COMMAND localedef -i ${_locale} -f UTF-8 ${LOCALES}/${_locale}.UTF-8
                        RESULT_VARIABLE _result)
        # localedef reports warnings with status 1 and still writes the locale.
        if(NOT EXISTS ${LOCALES}/${_locale}.UTF-8/LC_CTYPE)
            message(FATAL_ERROR "localedef could not make ${_locale}.UTF-8 (${_result})")
        endif()
    endif()
endforeach()
