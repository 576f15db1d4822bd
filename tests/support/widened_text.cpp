// Widening a byte text to UTF-16.
#include "widened_text.h"

std::string Widen(const std::string& bytes, TextKind kind) {
    std::string wide;
    wide.reserve(2 * bytes.size());
    for (const char byte : bytes) {
        if (kind == TEXT_UTF16_LE) {
            wide += byte;
            wide += '\0';
        } else {
            wide += '\0';
            wide += byte;
        }
    }
    return wide;
}

std::string ByteOrderMark(TextKind kind) {
    if (kind == TEXT_UTF16_LE) {
        return "\xFF\xFE";
    }
    return kind == TEXT_UTF16_BE ? "\xFE\xFF" : "";
}

bool LooksLikeUtf16(const std::string& bytes) {
    const unsigned char first[2] = {static_cast<unsigned char>(bytes.size() > 0 ? bytes[0] : 'x'),
                                    static_cast<unsigned char>(bytes.size() > 1 ? bytes[1] : 'x')};
    return TellTextKind(first, bytes.size() < 2 ? bytes.size() : 2) != TEXT_BYTES;
}
