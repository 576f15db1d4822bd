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

// How the bytes of a byte file read as UTF-8 and as CP949, counted over blocks
// of the text in turn, so that a file need not stand in memory whole. A
// sequence may go on into the next block: the last bytes of a block whose
// sequence is not yet whole wait in `carry` (a UTF-8 sequence takes at most 4
// bytes, a CP949 pair 2). Blocks cut anywhere give the counts of the whole.
inline constexpr std::size_t kTallyCarry = 3;
struct EncodingTally {
    std::uint64_t utf8Valid;   // UTF-8 sequences of two to four bytes
    std::uint64_t utf8Bad;     // bytes that begin no valid UTF-8 sequence
    std::uint64_t cp949Pairs;  // mapped CP949 pairs
    std::uint64_t cp949Bad;    // bytes of 0x80 and above in no mapped pair
    char carry[kTallyCarry];
    std::size_t carryCount;
    std::size_t utf8At;   // where in `carry` the UTF-8 count goes on
    std::size_t cp949At;  // and the CP949 count
};

void StartEncodingTally(EncodingTally* tally);

// Counts the next `count` bytes of the text.
void FeedEncodingTally(EncodingTally* tally, const char* bytes, std::size_t count);

// The encoding TellTextEncoding gives the whole text fed to *tally: the
// carried bytes are counted as the end of the text.
TextEncoding FinishEncodingTally(TextKind kind, EncodingTally* tally);

// Appends the UTF-8 form of `count` bytes in `encoding` to *out. A sequence
// the encoding does not map becomes U+FFFD, and decoding goes on at the next
// byte (or, for UTF-16, the next unit), so that no ASCII byte is ever lost.
void AppendAsUtf8(TextEncoding encoding, const char* bytes, std::size_t count, std::string* out);

// Appends the UTF-8 form of one code point (U+FFFD for a surrogate or a value
// beyond U+10FFFF).
void AppendCodePoint(std::uint32_t codePoint, std::string* out);
