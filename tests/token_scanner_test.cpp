// The token scanner and the reading of a sync time behind a tag.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "token_scanner.h"

namespace {

TEST(TokenScanner, KindTextAndCursor) {
    struct Case {
        std::string text;
        TokenKind kind;
        std::string token;
        std::size_t cursorAfter;
    };
    const std::vector<Case> cases = {
        {"1234>", TOKEN_NUMBER, "1234", 4},
        {"  1234>", TOKEN_NUMBER, "1234", 6},
        {"-500>", TOKEN_SIGN, "-", 1},
        {"+5", TOKEN_SIGN, "+", 1},
        {"12.5.1x", TOKEN_NUMBER, "12.5.1", 6},
        {".>", TOKEN_NUMBER, ".", 1},
        {">x", TOKEN_CLOSE, ">", 1},
        {" :30", TOKEN_COLON, ":", 2},
        {"\t \r\n", TOKEN_END, "", 2},
        {"\n", TOKEN_END, "", 0},
        {"", TOKEN_END, "", 0},
        {"\"2000", TOKEN_INVALID, "", 0},
        {"E", TOKEN_INVALID, "", 0},
        {"\v5", TOKEN_INVALID, "", 0},
        {"\f5", TOKEN_INVALID, "", 0},
        {"\xb0\xa1", TOKEN_INVALID, "", 0},
        {"123456789012345>", TOKEN_NUMBER, "123456789012345", 15},
        // A run longer than the 15-byte token text is still one token: the cursor
        // goes behind all of it and the empty text says it is no time.
        {"1234567890123456>", TOKEN_NUMBER, "", 16},
        {std::string(40, '9') + ">", TOKEN_NUMBER, "", 40},
    };
    for (const auto& c : cases) {
        const char* cursor = c.text.c_str();
        char token[kTokenTextSize];
        TokenKind kind = TOKEN_CLOSE;
        std::fill(std::begin(token), std::end(token), 'z');
        ScanToken(&cursor, token, &kind);
        EXPECT_EQ(kind, c.kind) << c.text;
        EXPECT_EQ(std::string(token), c.token) << c.text;
        EXPECT_EQ(static_cast<std::size_t>(cursor - c.text.c_str()), c.cursorAfter) << c.text;
    }
}

TEST(TokenScanner, SyncTimeBehindATag) {
    struct Case {
        std::string behind;
        int hasTime;
        std::string timeText;
        TokenKind kind;
        std::size_t cursorAfter;
    };
    const std::vector<Case> cases = {
        {"1000>", 1, "1000", TOKEN_NUMBER, 4},
        {" 1000>", 1, "1000", TOKEN_NUMBER, 5},
        {"+1000>", 1, "+1000", TOKEN_NUMBER, 5},
        {"-200>", 1, "-200", TOKEN_NUMBER, 4},
        {"- \t200>", 1, "-200", TOKEN_NUMBER, 6},
        {"1500.7>", 1, "1500.7", TOKEN_NUMBER, 6},
        {".5>", 1, ".5", TOKEN_NUMBER, 2},
        {"->", 0, "", TOKEN_CLOSE, 2},
        {"-\r\n", 0, "", TOKEN_END, 1},
        {"-x", 0, "", TOKEN_INVALID, 1},
        {"--5", 0, "", TOKEN_SIGN, 2},
        {"\"2000\">", 0, "", TOKEN_INVALID, 0},
        {">", 0, "", TOKEN_CLOSE, 1},
        {"", 0, "", TOKEN_END, 0},
        // Sign and number share 15 bytes: 14 digits fit behind a sign, 15 do not.
        {"-12345678901234>", 1, "-12345678901234", TOKEN_NUMBER, 15},
        {"-123456789012345>", 0, "", TOKEN_NUMBER, 16},
        {"123456789012345>", 1, "123456789012345", TOKEN_NUMBER, 15},
        {std::string(40, '1') + ">", 0, "", TOKEN_NUMBER, 40},
    };
    for (const auto& c : cases) {
        const char* cursor = c.behind.c_str();
        char timeText[kTokenTextSize] = "";
        char second[kTokenTextSize] = "";
        TokenKind kind = TOKEN_INVALID;
        const int hasTime = ReadSyncTime(&cursor, timeText, second, &kind);
        EXPECT_EQ(hasTime, c.hasTime) << c.behind;
        if (c.hasTime) {
            EXPECT_EQ(std::string(timeText), c.timeText) << c.behind;
        }
        EXPECT_EQ(kind, c.kind) << c.behind;
        EXPECT_EQ(static_cast<std::size_t>(cursor - c.behind.c_str()), c.cursorAfter) << c.behind;
    }
}

}  // namespace
