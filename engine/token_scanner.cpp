// The token scanner over NUL-terminated text.
#include "token_scanner.h"

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
    TextCursor source{*cursor};
    const int found = ReadTagTimeFrom(source, readQuoted, timeText, secondText, kind, quote);
    *cursor = source.at;
    return found;
}
