// Telling a file's kind by its first bytes, and narrowing UTF-16 units.
#include "text_input.h"

#include <climits>
#include <cstring>

namespace {

// Bytes handed out from the file's first two, read while telling its kind.
std::size_t TakeHeld(TextInput* input, char* to, std::size_t count) {
    std::size_t taken = 0;
    while (input->heldCount > 0 && taken < count) {
        to[taken++] = static_cast<char>(input->held[0]);
        input->held[0] = input->held[1];
        --input->heldCount;
    }
    return taken;
}

std::size_t ReadByteUnits(TextInput* input, char* narrow, std::size_t count) {
    const std::size_t held = TakeHeld(input, narrow, count);
    const std::size_t wanted = count - held;
    const std::size_t got = std::fread(narrow + held, 1, wanted, input->file);
    if (got < wanted && std::ferror(input->file)) {
        input->failed = 1;
    }
    return held + got;
}

std::size_t ReadWideUnits(TextInput* input, char* narrow, char* raw, std::size_t count) {
    const std::size_t held = TakeHeld(input, raw, 2 * count);
    const std::size_t wanted = 2 * count - held;
    const std::size_t got = held + std::fread(raw + held, 1, wanted, input->file);
    if (got < 2 * count) {
        if (std::ferror(input->file)) {
            input->failed = 1;
        } else if (got % 2 != 0) {
            input->hasOddByte = 1;
            input->oddByte = static_cast<unsigned char>(raw[got - 1]);
        }
    }
    const std::size_t units = got / 2;
    const auto* bytes = reinterpret_cast<const unsigned char*>(raw);
    for (std::size_t k = 0; k < units; ++k) {
        narrow[k] = static_cast<char>(NarrowUnit(input, bytes[2 * k], bytes[2 * k + 1]));
    }
    return units;
}

}  // namespace

TextKind TellTextKind(const unsigned char* first, std::size_t count) {
    if (count < 2) {
        return TEXT_BYTES;
    }
    if ((first[0] == 0xFF && first[1] == 0xFE) || (first[0] == '<' && first[1] == 0)) {
        return TEXT_UTF16_LE;
    }
    if ((first[0] == 0xFE && first[1] == 0xFF) || (first[0] == 0 && first[1] == '<')) {
        return TEXT_UTF16_BE;
    }
    return TEXT_BYTES;
}

void OpenTextInput(TextInput* input, std::FILE* file) {
    input->file = file;
    input->failed = 0;
    input->hasOddByte = 0;
    input->oddByte = 0;
    input->markLength = 0;
    const std::size_t got = std::fread(input->held, 1, 2, file);
    if (got < 2 && std::ferror(file)) {
        input->failed = 1;
    }
    input->heldCount = static_cast<int>(got);
    input->kind = TellTextKind(input->held, got);
    input->unitSize = input->kind == TEXT_BYTES ? 1 : 2;
    if (input->kind != TEXT_BYTES && input->held[0] != '<' && input->held[1] != '<') {
        std::memcpy(input->mark, input->held, 2);
        input->markLength = 2;
        input->heldCount = 0;
    }
}

std::size_t ReadTextUnits(TextInput* input, char* narrow, char* raw, std::size_t count) {
    if (input->kind == TEXT_BYTES) {
        return ReadByteUnits(input, narrow, count);
    }
    return ReadWideUnits(input, narrow, raw, count);
}

int SkipTextUnits(TextInput* input, std::int64_t count) {
    std::int64_t bytes = count * input->unitSize;
    while (input->heldCount > 0 && bytes > 0) {
        input->held[0] = input->held[1];
        --input->heldCount;
        --bytes;
    }
    // A seek beyond what a long holds (2 GiB where long is 32 bits) is refused.
    if (bytes > LONG_MAX) {
        return 0;
    }
    return (bytes == 0 || std::fseek(input->file, static_cast<long>(bytes), SEEK_CUR) == 0) ? 1 : 0;
}

int ReadOneUnit(TextInput* input) {
    const int a = std::getc(input->file);
    if (input->kind == TEXT_BYTES || a == EOF) {
        return a;
    }
    const int b = std::getc(input->file);
    if (b == EOF) {
        return EOF;
    }
    return NarrowUnit(input, static_cast<unsigned char>(a), static_cast<unsigned char>(b));
}

void WriteTextUnits(OutputStream* out, TextKind kind, const char* narrow, const char* raw,
                    std::size_t count) {
    if (kind == TEXT_BYTES) {
        WriteOutput(out, narrow, count);
    } else {
        WriteOutput(out, raw, 2 * count);
    }
}

void PlaceAsciiText(TextKind kind, char* narrow, char* raw, const char* text, std::size_t count) {
    std::memcpy(narrow, text, count);
    if (kind == TEXT_BYTES) {
        return;
    }
    const std::size_t low = kind == TEXT_UTF16_LE ? 0 : 1;
    for (std::size_t k = 0; k < count; ++k) {
        raw[2 * k + low] = text[k];
        raw[2 * k + 1 - low] = '\0';
    }
}

void WriteAsciiText(OutputStream* out, TextKind kind, const char* text, std::size_t count) {
    if (kind == TEXT_BYTES) {
        WriteOutput(out, text, count);
        return;
    }
    // The program's own texts are short: a time with its marks, the closing line.
    char wide[64];
    std::size_t at = 0;
    for (std::size_t k = 0; k < count && at + 2 <= sizeof wide; ++k) {
        const bool little = kind == TEXT_UTF16_LE;
        wide[at++] = little ? text[k] : '\0';
        wide[at++] = little ? '\0' : text[k];
    }
    WriteOutput(out, wide, at);
}
