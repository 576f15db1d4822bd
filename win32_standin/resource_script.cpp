// The resource compiler's part of the stand-in: a dialog template read from the
// module's resource script, preprocessed as the resource compiler reads it
// (every name a number or a string by then). Only the statements a dialog of
// the program uses are known; any other makes the template unreadable, so that
// the stand-in never builds a dialog that leaves out part of its template.
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "standin_internal.h"

namespace {

enum TokenKind : int { TOKEN_WORD, TOKEN_NUMBER, TOKEN_STRING, TOKEN_MARK };

struct Token {
    TokenKind kind;
    std::string text;    // a word, a string without its quotes, or a mark
    std::int64_t value;  // a number
};

// The statements that make a control with a class and styles of their own, as
// "TEXT, id, x, y, width, height[, style[, extended style]]"; the style given
// is added to those.
struct ShortControl {
    const char* keyword;
    const char* className;
    DWORD style;
    int hasText;
};

constexpr ShortControl kShortControls[] = {
    {"LTEXT", "Static", SS_LEFT | WS_GROUP, 1},
    {"EDITTEXT", "Edit", ES_LEFT | WS_BORDER | WS_TABSTOP, 0},
    {"PUSHBUTTON", "Button", BS_PUSHBUTTON | WS_TABSTOP, 1},
    {"AUTORADIOBUTTON", "Button", BS_AUTORADIOBUTTON, 1},
};

// A string's doubled quotation mark stands for one; other escapes are not read.
const char* ReadString(const char* at, std::string* text) {
    for (++at; *at != 0; ++at) {
        if (*at == '"' && at[1] != '"') {
            return at + 1;
        }
        text->push_back(*at);
        at += *at == '"' ? 1 : 0;
    }
    return nullptr;
}

// A decimal or hexadecimal (0x) number with an optional minus and L or U
// suffixes; at most 32 bits.
const char* ReadNumber(const char* at, std::int64_t* value) {
    const int negative = *at == '-' ? 1 : 0;
    const char* digits = at + negative;
    const int hexadecimal = digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X') ? 1 : 0;
    char* end = nullptr;
    const unsigned long long magnitude = std::strtoull(digits, &end, hexadecimal ? 16 : 10);
    if (end == digits || magnitude > 0xFFFFFFFFull) {
        return nullptr;
    }
    while (*end == 'L' || *end == 'l' || *end == 'U' || *end == 'u') {
        ++end;
    }
    const auto number = static_cast<std::int64_t>(magnitude);
    *value = negative ? -number : number;
    return end;
}

// 1 with the script's tokens; lines that begin with '#' (the pragmas the
// preprocessor leaves) are passed over.
int ReadTokens(const char* at, std::vector<Token>* tokens) {
    while (at != nullptr && *at != 0) {
        const auto c = static_cast<unsigned char>(*at);
        Token token{TOKEN_MARK, std::string(), 0};
        if (std::isspace(c)) {
            ++at;
            continue;
        }
        if (c == '#') {
            at += std::strcspn(at, "\n");
            continue;
        }
        if (c == '"') {
            token.kind = TOKEN_STRING;
            at = ReadString(at, &token.text);
        } else if (std::isdigit(c) ||
                   (c == '-' && std::isdigit(static_cast<unsigned char>(at[1])))) {
            token.kind = TOKEN_NUMBER;
            at = ReadNumber(at, &token.value);
        } else if (std::isalpha(c) || c == '_') {
            token.kind = TOKEN_WORD;
            while (std::isalnum(static_cast<unsigned char>(*at)) || *at == '_') {
                token.text.push_back(*at++);
            }
        } else {
            token.text.push_back(*at++);
        }
        tokens->push_back(token);
    }
    return at != nullptr ? 1 : 0;
}

struct Cursor {
    const std::vector<Token>* tokens;
    std::size_t at;
    int failed;  // once set, every read fails
};

const Token* Peek(const Cursor& cursor) {
    return !cursor.failed && cursor.at < cursor.tokens->size() ? &(*cursor.tokens)[cursor.at]
                                                               : nullptr;
}

int IsNext(const Cursor& cursor, TokenKind kind, const char* text) {
    const Token* next = Peek(cursor);
    return next != nullptr && next->kind == kind && next->text == text ? 1 : 0;
}

const Token* Take(Cursor* cursor, TokenKind kind, const char* text = nullptr) {
    const Token* next = Peek(*cursor);
    if (next == nullptr || next->kind != kind || (text != nullptr && next->text != text)) {
        cursor->failed = 1;
        return nullptr;
    }
    ++cursor->at;
    return next;
}

std::int64_t TakeNumber(Cursor* cursor) {
    const Token* token = Take(cursor, TOKEN_NUMBER);
    return token != nullptr ? token->value : 0;
}

std::string TakeString(Cursor* cursor) {
    const Token* token = Take(cursor, TOKEN_STRING);
    return token != nullptr ? token->text : std::string();
}

void TakeComma(Cursor* cursor) {
    Take(cursor, TOKEN_MARK, ",");
}

// Numbers joined by '|'.
DWORD TakeStyle(Cursor* cursor) {
    auto style = static_cast<DWORD>(TakeNumber(cursor));
    while (IsNext(*cursor, TOKEN_MARK, "|")) {
        Take(cursor, TOKEN_MARK);
        style |= static_cast<DWORD>(TakeNumber(cursor));
    }
    return style;
}

// "x, y, width, height" as left, top, right, bottom.
RECT TakeRect(Cursor* cursor) {
    RECT rect;
    rect.left = static_cast<LONG>(TakeNumber(cursor));
    TakeComma(cursor);
    rect.top = static_cast<LONG>(TakeNumber(cursor));
    TakeComma(cursor);
    rect.right = rect.left + static_cast<LONG>(TakeNumber(cursor));
    TakeComma(cursor);
    rect.bottom = rect.top + static_cast<LONG>(TakeNumber(cursor));
    return rect;
}

// A control's text, or a resource number in its place (a picture's), which
// leaves the text empty.
std::string TakeControlText(Cursor* cursor) {
    const Token* next = Peek(*cursor);
    if (next != nullptr && next->kind == TOKEN_NUMBER) {
        TakeNumber(cursor);
        return std::string();
    }
    return TakeString(cursor);
}

// The optional tail ", style[, extended style]"; the extended style is not kept.
DWORD TakeOptionalStyles(Cursor* cursor, int count) {
    DWORD style = 0;
    for (int k = 0; k < count && IsNext(*cursor, TOKEN_MARK, ","); ++k) {
        TakeComma(cursor);
        const DWORD read = TakeStyle(cursor);
        if (k == 0) {
            style = read;
        }
    }
    return style;
}

// CONTROL text, id, class, style, x, y, width, height[, extended style]
StandinControlTemplate TakeGeneralControl(Cursor* cursor) {
    StandinControlTemplate control;
    control.text = TakeControlText(cursor);
    TakeComma(cursor);
    control.id = static_cast<int>(TakeNumber(cursor));
    TakeComma(cursor);
    control.className = TakeString(cursor);
    TakeComma(cursor);
    control.style = TakeStyle(cursor);
    TakeComma(cursor);
    control.rect = TakeRect(cursor);
    TakeOptionalStyles(cursor, 1);
    return control;
}

StandinControlTemplate TakeShortControl(Cursor* cursor, const ShortControl& kind) {
    StandinControlTemplate control;
    control.className = kind.className;
    if (kind.hasText) {
        control.text = TakeControlText(cursor);
        TakeComma(cursor);
    }
    control.id = static_cast<int>(TakeNumber(cursor));
    TakeComma(cursor);
    control.rect = TakeRect(cursor);
    control.style = kind.style | TakeOptionalStyles(cursor, 2);
    return control;
}

int TakeControl(Cursor* cursor, StandinDialogTemplate* dialog) {
    const Token* keyword = Take(cursor, TOKEN_WORD);
    if (keyword == nullptr) {
        return 0;
    }
    StandinControlTemplate control;
    if (keyword->text == "CONTROL") {
        control = TakeGeneralControl(cursor);
    } else {
        const ShortControl* kind = nullptr;
        for (const ShortControl& known : kShortControls) {
            kind = keyword->text == known.keyword ? &known : kind;
        }
        if (kind == nullptr) {
            return 0;
        }
        control = TakeShortControl(cursor, *kind);
    }
    control.style |= WS_CHILD | WS_VISIBLE;
    dialog->controls.push_back(control);
    return cursor->failed ? 0 : 1;
}

// The statements between the dialog's size and BEGIN.
int TakeDialogStatement(Cursor* cursor, StandinDialogTemplate* dialog) {
    const Token* keyword = Take(cursor, TOKEN_WORD);
    if (keyword == nullptr) {
        return 0;
    }
    if (keyword->text == "STYLE") {
        dialog->style = TakeStyle(cursor);
    } else if (keyword->text == "CAPTION") {
        dialog->caption = TakeString(cursor);
    } else if (keyword->text == "CLASS") {
        dialog->className = TakeString(cursor);
    } else if (keyword->text == "FONT") {
        dialog->fontPoints = static_cast<int>(TakeNumber(cursor));
        TakeComma(cursor);
        dialog->fontFace = TakeString(cursor);
    } else {
        return 0;
    }
    return cursor->failed ? 0 : 1;
}

int TakeDialog(Cursor* cursor, StandinDialogTemplate* dialog) {
    dialog->rect = TakeRect(cursor);
    while (!cursor->failed && !IsNext(*cursor, TOKEN_WORD, "BEGIN")) {
        if (!TakeDialogStatement(cursor, dialog)) {
            return 0;
        }
    }
    Take(cursor, TOKEN_WORD, "BEGIN");
    while (!cursor->failed && !IsNext(*cursor, TOKEN_WORD, "END")) {
        if (!TakeControl(cursor, dialog)) {
            return 0;
        }
    }
    Take(cursor, TOKEN_WORD, "END");
    return cursor->failed ? 0 : 1;
}

}  // namespace

int ReadDialogTemplate(const char* script, int id, StandinDialogTemplate* dialog) {
    std::vector<Token> tokens;
    if (script == nullptr || !ReadTokens(script, &tokens)) {
        return 0;
    }
    for (std::size_t k = 0; k + 1 < tokens.size(); ++k) {
        if (tokens[k].kind == TOKEN_NUMBER && tokens[k].value == id &&
            tokens[k + 1].kind == TOKEN_WORD && tokens[k + 1].text == "DIALOG") {
            *dialog = StandinDialogTemplate{};
            Cursor cursor{&tokens, k + 2, 0};
            return TakeDialog(&cursor, dialog);
        }
    }
    return 0;
}
