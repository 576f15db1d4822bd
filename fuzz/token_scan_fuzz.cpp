// The token scanner and the clock-time reading on arbitrary text: every token
// covers exactly the bytes its text and kind say, the tag's time reads as the
// general scan reads it, and nothing reads past the NUL.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "time_values.h"
#include "token_scanner.h"

namespace {

void CheckToken(const char* before, const char* after, TokenKind kind, const char* text) {
    const char* start = before;
    while (IsBlank(static_cast<unsigned char>(*start))) {
        ++start;
    }
    const std::size_t covered = static_cast<std::size_t>(after - start);
    const std::string token(text);
    switch (kind) {
        case TOKEN_END:
        case TOKEN_INVALID:
            if (covered != 0 || !token.empty()) {
                std::abort();
            }
            break;
        case TOKEN_NUMBER:
            // The text is the run itself, or empty for a run beyond 15 bytes.
            if (token.empty() ? covered <= kMaxTokenText : token != std::string(start, covered)) {
                std::abort();
            }
            break;
        default:
            if (covered != 1 || token != std::string(start, 1)) {
                std::abort();
            }
    }
}

// The tag reading's own loop for the usual digits gives what the general
// scan gives, cursor, text, kind and mark alike.
void CheckTagTime(const char* text, int readQuoted) {
    const char* fast = text;
    TextCursor general{text};
    char fastText[kTokenTextSize] = "";
    char generalText[kTokenTextSize] = "";
    char second[kTokenTextSize];
    TokenKind fastKind = TOKEN_END;
    TokenKind generalKind = TOKEN_END;
    int fastQuote = -1;
    int generalQuote = -1;
    const int fastFound = ReadTagTime(&fast, readQuoted, fastText, second, &fastKind, &fastQuote);
    const int generalFound =
        ReadTagTimeFrom(general, readQuoted, generalText, second, &generalKind, &generalQuote);
    if (fastFound != generalFound || fast != general.at || fastKind != generalKind ||
        fastQuote != generalQuote || (fastFound && std::string(fastText) != generalText)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* cursor = text.c_str();
    for (;;) {
        const char* before = cursor;
        char token[kTokenTextSize];
        TokenKind kind;
        ScanToken(&cursor, token, &kind);
        CheckToken(before, cursor, kind, token);
        if (kind == TOKEN_END || kind == TOKEN_INVALID) {
            break;
        }
    }
    cursor = text.c_str();
    char timeText[kTokenTextSize];
    char second[kTokenTextSize];
    TokenKind kind;
    if (ReadSyncTime(&cursor, timeText, second, &kind) && std::string(timeText).size() > 15) {
        std::abort();
    }
    CheckTagTime(text.c_str(), 0);
    CheckTagTime(text.c_str(), 1);
    ParseClockTime(text.c_str());
    return 0;
}
