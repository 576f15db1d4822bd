// Subtitle text for a person to read: the bytes of a file in whatever encoding
// it has, turned into UTF-8. UTF-16 is told by the text kind of the file;
// among byte files, text that is valid UTF-8 is taken as UTF-8, text that reads
// as the Korean code page CP949 as that, text that is UTF-8 but for a stray
// byte in twenty characters as UTF-8 again, and anything else as Windows-1252,
// in which every byte is some character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "text_input.h"

enum TextEncoding : int {
    ENCODING_UTF8 = 0,
    ENCODING_CP949 = 1,
    ENCODING_CP1252 = 2,
    ENCODING_UTF16_LE = 3,
    ENCODING_UTF16_BE = 4,
};

// The encoding of a file's text: `kind` as the engine told it, and for a byte
// file the bytes themselves (without a byte order mark) decide.
TextEncoding TellTextEncoding(TextKind kind, const char* bytes, std::size_t count);

// Appends the UTF-8 form of `count` bytes in `encoding` to *out. A sequence
// the encoding does not map becomes U+FFFD, and decoding goes on at the next
// byte (or, for UTF-16, the next unit), so that no ASCII byte is ever lost.
void AppendAsUtf8(TextEncoding encoding, const char* bytes, std::size_t count, std::string* out);

// Appends the UTF-8 form of one code point (U+FFFD for a surrogate or a value
// beyond U+10FFFF).
void AppendCodePoint(std::uint32_t codePoint, std::string* out);
