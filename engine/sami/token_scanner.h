// Cutting the text behind a sync tag, or a typed clock time, into tokens of six
// kinds. The scan works over any byte source with Peek and Advance, so the same
// rules serve a NUL-terminated text and a file read byte by byte.
#pragma once

#include <cstdint>

enum TokenKind : int {
    TOKEN_INVALID = 0,
    TOKEN_NUMBER = 1,
    TOKEN_CLOSE = 2,
    TOKEN_END = 3,
    TOKEN_COLON = 4,
    TOKEN_SIGN = 5,
};

// Every token text buffer holds 15 bytes of text and a NUL.
inline constexpr int kTokenTextSize = 16;
inline constexpr int kMaxTokenText = kTokenTextSize - 1;

inline bool IsBlank(unsigned char byte) {
    return byte == ' ' || byte == '\t';
}
inline bool IsDigit(unsigned char byte) {
    return byte >= '0' && byte <= '9';
}
inline bool IsNumberByte(unsigned char byte) {
    return IsDigit(byte) || byte == '.';
}

// The kind a token starting with this byte has.
inline TokenKind ClassifyTokenByte(unsigned char byte) {
    if (byte == '\0' || byte == '\r' || byte == '\n') {
        return TOKEN_END;
    }
    if (IsNumberByte(byte)) {
        return TOKEN_NUMBER;
    }
    if (byte == '>') {
        return TOKEN_CLOSE;
    }
    if (byte == ':') {
        return TOKEN_COLON;
    }
    if (byte == '+' || byte == '-') {
        return TOKEN_SIGN;
    }
    return TOKEN_INVALID;
}

// Scans one token from `source`. A run of digits and '.' is one token however
// long it is; a run longer than 15 bytes leaves its text empty, which no shorter
// number token has, so the callers can tell that it is no time.
template <typename Source>
TokenKind ScanTokenFrom(Source& source, char* text) {
    // A local copy of the source: the byte stores into `text` may alias anything,
    // and would otherwise make the compiler keep the source's position in memory.
    Source cursor = source;
    while (IsBlank(cursor.Peek())) {
        cursor.Advance();
    }
    const unsigned char first = cursor.Peek();
    const TokenKind kind = ClassifyTokenByte(first);
    int length = 0;
    if (kind == TOKEN_NUMBER) {
        // Bytes past the 15th all land on the last slot, which the NUL below
        // overwrites: no test of the length in the loop.
        std::int64_t runLength = 0;
        unsigned char byte = first;
        do {
            text[runLength < kMaxTokenText ? runLength : kMaxTokenText] = static_cast<char>(byte);
            ++runLength;
            cursor.Advance();
            byte = cursor.Peek();
        } while (IsNumberByte(byte));
        length = runLength > kMaxTokenText ? 0 : static_cast<int>(runLength);
    } else if (kind == TOKEN_CLOSE || kind == TOKEN_COLON || kind == TOKEN_SIGN) {
        text[length++] = static_cast<char>(first);
        cursor.Advance();
    }
    text[length] = '\0';
    source = cursor;
    return kind;
}

// A NUL-terminated text as a token source.
struct TextCursor {
    const char* at;
    unsigned char Peek() const { return static_cast<unsigned char>(*at); }
    void Advance() { ++at; }
};

// Scans one token at *cursor and leaves the cursor behind the bytes it covers.
void ScanToken(const char** cursor, char* text, TokenKind* kind);

// Reads the sync time behind a tag: a number, or a sign and a number, whose
// joined text goes into `timeText` (`secondText` takes the token behind a sign).
// Returns 1 when the deciding kind is TOKEN_NUMBER and sign and number together
// take at most 15 bytes; *kind is the deciding kind.
template <typename Source>
int ReadSyncTimeFrom(Source& source, char* timeText, char* secondText, TokenKind* kind) {
    *kind = ScanTokenFrom(source, timeText);
    if (*kind == TOKEN_SIGN) {
        *kind = ScanTokenFrom(source, secondText);
        if (*kind != TOKEN_NUMBER) {
            return 0;
        }
        // The sign takes one byte of the time text, so 14 remain for the number.
        int length = 0;
        while (secondText[length] != '\0' && length < kMaxTokenText - 1) {
            timeText[1 + length] = secondText[length];
            ++length;
        }
        const bool fits = length > 0 && secondText[length] == '\0';
        timeText[fits ? 1 + length : 0] = '\0';
        return fits ? 1 : 0;
    }
    return (*kind == TOKEN_NUMBER && timeText[0] != '\0') ? 1 : 0;
}

int ReadSyncTime(const char** cursor, char* timeText, char* secondText, TokenKind* kind);

inline bool IsQuoteMark(unsigned char byte) {
    return byte == '"' || byte == '\'';
}

// A time standing directly inside a pair of matching quotation marks, the
// source on the opening mark: an optional sign and a number with no blank
// anywhere, then the same mark. Returns 1 with the time text (at most 15 bytes)
// and the source behind the closing mark; otherwise 0, the source where the
// reading stopped (on no sync tag: a mark, a sign, digits and dots start none).
template <typename Source>
int ReadQuotedTimeFrom(Source& source, char* timeText) {
    const unsigned char mark = source.Peek();
    source.Advance();
    int length = 0;
    unsigned char byte = source.Peek();
    if (byte == '+' || byte == '-') {
        timeText[length++] = static_cast<char>(byte);
        source.Advance();
        byte = source.Peek();
    }
    const int numberFrom = length;
    int tooLong = 0;
    while (IsNumberByte(byte)) {
        if (length < kMaxTokenText) {
            timeText[length++] = static_cast<char>(byte);
        } else {
            tooLong = 1;
        }
        source.Advance();
        byte = source.Peek();
    }
    timeText[length] = '\0';
    if (length == numberFrom || tooLong || byte != mark) {
        return 0;
    }
    source.Advance();
    return 1;
}

// The time behind a tag, as ReadSyncTimeFrom reads it; with `readQuoted` a time
// in quotation marks too. *quote is the mark that stood first behind the tag
// (blanks skipped), or 0: read when the result is 1, unread otherwise.
template <typename Source>
int ReadTagTimeFrom(Source& source, int readQuoted, char* timeText, char* secondText,
                    TokenKind* kind, int* quote) {
    // The usual case, a number right behind the '=', goes straight to the
    // reading of a plain time.
    if (!IsNumberByte(source.Peek())) {
        // The blanks are passed as the scan would pass them; a stream source
        // must not be read on by a copy that is then dropped.
        while (IsBlank(source.Peek())) {
            source.Advance();
        }
        const unsigned char first = source.Peek();
        if (IsQuoteMark(first)) {
            *quote = first;
            *kind = TOKEN_INVALID;
            timeText[0] = '\0';
            int found = 0;
            if (readQuoted) {
                found = ReadQuotedTimeFrom(source, timeText);
                *kind = found ? TOKEN_NUMBER : TOKEN_INVALID;
            }
            return found;
        }
    }
    *quote = 0;
    return ReadSyncTimeFrom(source, timeText, secondText, kind);
}

int ReadTagTime(const char** cursor, int readQuoted, char* timeText, char* secondText,
                TokenKind* kind, int* quote);
