// Standard output on Windows: the C runtime translates "\n" in text mode, and a
// console shows bytes in its own code page, so the file's bytes go out in binary
// mode and a console is written in UTF-16.
#include "standard_output.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

void UseBinaryStandardOutput() {
    std::fflush(stdout);
    _setmode(_fileno(stdout), _O_BINARY);
}

int WriteTextLine(const std::string& utf8) {
    HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (console == INVALID_HANDLE_VALUE || console == nullptr || !GetConsoleMode(console, &mode)) {
        return (std::fwrite(utf8.data(), 1, utf8.size(), stdout) == utf8.size() &&
                std::fputc('\n', stdout) != EOF)
                   ? 1
                   : 0;
    }
    // list's text is valid UTF-8, so every byte converts.
    std::wstring wide;
    const int units =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (units > 0) {
        wide.resize(static_cast<std::size_t>(units));
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                            units);
    }
    wide += L"\r\n";
    DWORD written = 0;
    return WriteConsoleW(console, wide.c_str(), static_cast<DWORD>(wide.size()), &written,
                         nullptr) != 0
               ? 1
               : 0;
}
