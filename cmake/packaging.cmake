# What `cmake --install` puts where, and the packages CPack makes of it:
# for Windows a zip of the two programs with a README for Notepad; elsewhere
# tembrel-cli with its man page and bash completion, as a .deb and a .tar.gz.
# The version in every file name is the project's.
include(GNUInstallDirs)

set(CPACK_PACKAGE_VENDOR "The Tembrel developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DIRECTORY "${CMAKE_BINARY_DIR}/packages")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES ON)

if(WIN32)
    # Everything side by side in one folder: the zip is unpacked and run.
    # Notepad reads the texts with CR LF line ends; the README is UTF-8 with
    # a byte order mark, so that older Notepads do not take it for ANSI.
    set(_tembrel_texts "${CMAKE_BINARY_DIR}/package-texts")
    configure_file(packaging/windows/README.txt.in "${_tembrel_texts}/README.txt" @ONLY
                   NEWLINE_STYLE CRLF)
    configure_file(LICENSE "${_tembrel_texts}/LICENSE.txt" @ONLY NEWLINE_STYLE CRLF)
    install(TARGETS Tembrel tembrel-cli RUNTIME DESTINATION .)
    install(FILES "${_tembrel_texts}/README.txt" "${_tembrel_texts}/LICENSE.txt" DESTINATION .)

    set(CPACK_PACKAGE_NAME "Tembrel")
    # The release is the 32-bit program; a 64-bit build (for a Wine that runs
    # no 32-bit program) is named apart.
    if(CMAKE_SIZEOF_VOID_P EQUAL 8)
        set(TEMBREL_PACKAGE_FILE_NAME "Tembrel-${PROJECT_VERSION}-win64")
    else()
        set(TEMBREL_PACKAGE_FILE_NAME "Tembrel-${PROJECT_VERSION}-win32")
    endif()
    set(CPACK_GENERATOR "ZIP")
else()
    # As Debian ships them: the man page and the changelog gzipped without a
    # time stamp, the licence in the machine-readable copyright file.
    set(TEMBREL_MAINTAINER
        "The Tembrel developers <maintainers@users.noreply.c-seed-7e3e9ab7.example>"
        CACHE STRING "The maintainer of the Linux package, with an address")
    set(_tembrel_texts "${CMAKE_BINARY_DIR}/package-texts")
    configure_file(docs/tembrel-cli.1.in "${CMAKE_BINARY_DIR}/tembrel-cli.1" @ONLY)
    configure_file(packaging/debian/changelog.in "${_tembrel_texts}/changelog" @ONLY)
    configure_file(packaging/debian/copyright.in "${_tembrel_texts}/copyright" @ONLY)
    foreach(_text "${CMAKE_BINARY_DIR}/tembrel-cli.1" "${_tembrel_texts}/changelog")
        execute_process(COMMAND gzip -9 -n -c "${_text}" OUTPUT_FILE "${_text}.gz"
                        RESULT_VARIABLE _tembrel_gzip)
        if(NOT _tembrel_gzip EQUAL 0)
            message(FATAL_ERROR "gzip of ${_text} failed: ${_tembrel_gzip}")
        endif()
    endforeach()
    install(TARGETS tembrel-cli RUNTIME DESTINATION "${CMAKE_INSTALL_BINDIR}")
    install(FILES "${CMAKE_BINARY_DIR}/tembrel-cli.1.gz"
            DESTINATION "${CMAKE_INSTALL_MANDIR}/man1")
    # The bash-completion loader looks a command up by its own name.
    install(FILES cli/completion/tembrel-cli.bash
            DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions"
            RENAME tembrel-cli)
    install(FILES "${_tembrel_texts}/changelog.gz" "${_tembrel_texts}/copyright"
            DESTINATION "${CMAKE_INSTALL_DATAROOTDIR}/doc/tembrel-cli")

    set(CPACK_PACKAGE_NAME "tembrel-cli")
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "re-time SAMI (.smi) subtitle files")
    set(CPACK_PACKAGE_DESCRIPTION
        "tembrel-cli rewrites the cue start times of SAMI subtitle files and leaves\n\
every other byte as it was; the old file is kept as FILE.smi.bak.")
    set(CPACK_GENERATOR "DEB;TGZ")
    # The .deb installs under /usr, the .tar.gz holds bin/ and share/ as they
    # would be under any prefix: the generators' own defaults.

    execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE _tembrel_arch
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT _tembrel_arch)
        set(_tembrel_arch "${CMAKE_SYSTEM_PROCESSOR}")
    endif()
    set(TEMBREL_PACKAGE_FILE_NAME "tembrel-cli-${PROJECT_VERSION}-linux-${_tembrel_arch}")

    set(CPACK_DEBIAN_PACKAGE_NAME "tembrel-cli")
    set(CPACK_DEBIAN_FILE_NAME "DEB-DEFAULT")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE "${_tembrel_arch}")
    set(CPACK_DEBIAN_PACKAGE_SECTION "video")
    set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TEMBREL_MAINTAINER}")
    # The completion file is loaded by the bash-completion package.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "bash-completion")
    # The library versions the program was linked against, when dpkg-dev is
    # there to find them; otherwise those of Debian 12, the system it is built on.
    find_program(TEMBREL_DPKG_SHLIBDEPS dpkg-shlibdeps)
    if(TEMBREL_DPKG_SHLIBDEPS)
        set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    else()
        set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.34), libgcc-s1 (>= 3.0), libstdc++6 (>= 11)")
    endif()
endif()

# CPack changes its own file name variable for the source package.
set(CPACK_PACKAGE_FILE_NAME "${TEMBREL_PACKAGE_FILE_NAME}")
include(CPack)
