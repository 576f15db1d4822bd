# Writes SOURCE: the preprocessed resource script SCRIPT as the program's module
# of the stand-in (StandinProgramInstance, win32_standin.h). Run by
# standin_compile_resources() with cmake -P.
file(READ "${SCRIPT}" _script)
if(_script MATCHES "\\)resources\"")
    message(FATAL_ERROR "${SCRIPT} holds the raw string's closing mark")
endif()
file(WRITE "${SOURCE}" "// Made by win32_standin/embed_resources.cmake from ${SCRIPT}.
#include \"win32_standin.h\"

HINSTANCE StandinProgramInstance() {
    static StandinInstance module = {R\"resources(${_script})resources\"};
    return &module;
}
")
