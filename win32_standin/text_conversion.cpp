// Texts between UTF-8 and UTF-16, for the stand-in's own records and for the
// program's MultiByteToWideChar and WideCharToMultiByte (CP_UTF8 only).
#include <cstring>

#include "standin_internal.h"

namespace {

void AppendUtf8(std::string* text, std::uint32_t code) {
    if (code < 0x80) {
        text->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        text->push_back(static_cast<char>(0xC0 | (code >> 6)));
        text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        text->push_back(static_cast<char>(0xE0 | (code >> 12)));
        text->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        text->push_back(static_cast<char>(0xF0 | (code >> 18)));
        text->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        text->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        text->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

}  // namespace

std::string WideToUtf8(LPCWSTR wide) {
    std::string text;
    for (; wide != nullptr && *wide != 0; ++wide) {
        AppendUtf8(&text, static_cast<std::uint32_t>(*wide));
    }
    return text;
}

std::uint32_t DecodeUtf8(const unsigned char* text, std::size_t length, std::size_t* at) {
    const unsigned char lead = text[*at];
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (*at + static_cast<std::size_t>(extra) >= length) {
        extra = 0;
    }
    std::uint32_t code = extra == 0 ? lead : (lead & (0x3Fu >> extra));
    for (int k = 1; k <= extra; ++k) {
        code = (code << 6) | (text[*at + static_cast<std::size_t>(k)] & 0x3Fu);
    }
    *at += 1 + static_cast<std::size_t>(extra);
    return code;
}

std::wstring Utf8ToWide(const std::string& text) {
    std::wstring wide;
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    for (std::size_t at = 0; at < text.size();) {
        wide.push_back(static_cast<WCHAR>(DecodeUtf8(bytes, text.size(), &at)));
    }
    return wide;
}

// Only CP_UTF8 with a NUL-terminated text, which is all the program converts.
int MultiByteToWideChar(UINT codePage, DWORD /*flags*/, LPCSTR text, int length, LPWSTR wide,
                        int wideCount) {
    if (codePage != CP_UTF8 || length != -1) {
        return 0;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const std::size_t size = std::strlen(text);
    int needed = 0;
    std::size_t at = 0;
    for (;;) {
        const std::uint32_t code = at < size ? DecodeUtf8(bytes, size, &at) : 0;
        if (wideCount != 0) {
            if (needed >= wideCount) {
                return 0;
            }
            wide[needed] = static_cast<WCHAR>(code);
        }
        ++needed;
        if (code == 0) {
            return needed;
        }
    }
}

// Only CP_UTF8 with a NUL-terminated text, as for MultiByteToWideChar.
int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWSTR wide, int length, LPSTR text,
                        int textSize, LPCSTR /*defaultChar*/, BOOL* /*usedDefaultChar*/) {
    if (codePage != CP_UTF8 || length != -1) {
        return 0;
    }
    const std::string encoded = WideToUtf8(wide);
    const auto needed = static_cast<int>(encoded.size()) + 1;
    if (textSize == 0) {
        return needed;
    }
    if (needed > textSize) {
        return 0;
    }
    std::memcpy(text, encoded.c_str(), encoded.size() + 1);
    return needed;
}
