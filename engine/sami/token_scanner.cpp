// The token scanner over NUL-terminated text.
#include "token_scanner.h"

#include <cstring>

void ScanToken(const char** cursor, char* text, TokenKind* kind) {
    TextCursor source{*cursor};
    *kind = ScanTokenFrom(source, text);
    *cursor = source.at;
}

int ReadSyncTime(const char** cursor, char* timeText, char* secondText, TokenKind* kind) {
    TextCursor source{*cursor};
    const int found = ReadSyncTimeFrom(source, timeText, secondText, kind);
    *cursor = source.at;
    return found;
}

int ReadTagTime(const char** cursor, int readQuoted, char* timeText, char* secondText,
                TokenKind* kind, int* quote) {
    // Nearly every tag has its digits right behind the '=' and no dot: they are
    // the whole number token, read in one loop. The text ends in a NUL, so the
    // loop stops by the 16th digit at the latest.
    const char* at = *cursor;
    int length = 0;
    while (length < kTokenTextSize && IsDigit(static_cast<unsigned char>(at[length]))) {
        ++length;
    }
    if (length > 0 && length <= kMaxTokenText &&
        !IsNumberByte(static_cast<unsigned char>(at[length]))) {
        std::memcpy(timeText, at, static_cast<std::size_t>(length));
        timeText[length] = '\0';
        *kind = TOKEN_NUMBER;
        *quote = 0;
        *cursor = at + length;
        return 1;
    }
    TextCursor source{*cursor};
    const int found = ReadTagTimeFrom(source, readQuoted, timeText, secondText, kind, quote);
    *cursor = source.at;
    return found;
}
