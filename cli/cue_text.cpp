// Taking the markup out of a cue: tags and comments dropped, a line break
// (<br>) read as a blank, the common entities read, all white space joined
// into single blanks, and the class of the cue's paragraph kept aside.
#include "cue_text.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

#include "text_decoding.h"

namespace {

char LowerAscii(char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte;
}

int IsNameByte(char byte) {
    const char lower = LowerAscii(byte);
    return (lower >= 'a' && lower <= 'z') || (byte >= '0' && byte <= '9') || byte == '-';
}

int IsSpaceByte(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\r' || byte == '\n' || byte == '\f';
}

// 1 when `text` at `index` begins with `word` in any letter case.
int StartsWithWord(std::string_view text, std::size_t index, const char* word) {
    const std::size_t length = std::strlen(word);
    if (text.size() - index < length) {
        return 0;
    }
    for (std::size_t k = 0; k < length; ++k) {
        if (LowerAscii(text[index + k]) != word[k]) {
            return 0;
        }
    }
    return 1;
}

// The value of the attribute class= in the tag text `tag` (between '<' and
// '>'), without quotation marks; "" when it has none.
std::string ClassOfTag(std::string_view tag) {
    for (std::size_t index = 0; index + 6 <= tag.size(); ++index) {
        if ((index == 0 || IsSpaceByte(tag[index - 1])) && StartsWithWord(tag, index, "class")) {
            std::size_t cursor = index + 5;
            while (cursor < tag.size() && IsSpaceByte(tag[cursor])) {
                ++cursor;
            }
            if (cursor >= tag.size() || tag[cursor] != '=') {
                continue;
            }
            ++cursor;
            while (cursor < tag.size() && IsSpaceByte(tag[cursor])) {
                ++cursor;
            }
            const char quote = (cursor < tag.size() && (tag[cursor] == '"' || tag[cursor] == '\''))
                                   ? tag[cursor++]
                                   : '\0';
            std::string value;
            value.reserve(tag.size() - cursor);
            while (cursor < tag.size() && tag[cursor] != quote &&
                   (quote != '\0' || !IsSpaceByte(tag[cursor]))) {
                value.push_back(tag[cursor++]);
            }
            return value;
        }
    }
    return "";
}

// Where the cue's own text begins: behind the rest of the sync tag.
std::size_t CueTextStart(const std::string& segment) {
    const std::size_t tagEnd = segment.find('>');
    return tagEnd == std::string::npos ? segment.size() : tagEnd + 1;
}

// Passes the tag or comment at text[index] ('<'): where it ends, and in *tag
// a tag's text between '<' and '>' (empty for a comment).
std::size_t PassMarkup(const std::string& text, std::size_t index, std::string_view* tag) {
    *tag = std::string_view();
    if (text.compare(index, 4, "<!--") == 0) {
        const std::size_t end = text.find("-->", index + 4);
        return end == std::string::npos ? text.size() : end + 3;
    }
    const std::size_t end = text.find('>', index);
    const std::size_t stop = end == std::string::npos ? text.size() : end;
    *tag = std::string_view(text).substr(index + 1, stop - index - 1);
    return end == std::string::npos ? text.size() : end + 1;
}

// Handles the tag or comment at text[*index] ('<'), moving *index past it: a
// line break is a blank.
void ReadTag(const std::string& text, std::size_t* index, std::string* out) {
    std::string_view tag;
    *index = PassMarkup(text, *index, &tag);
    std::size_t nameEnd = 0;
    while (nameEnd < tag.size() && IsNameByte(tag[nameEnd])) {
        ++nameEnd;
    }
    if (nameEnd == 2 && StartsWithWord(tag, 0, "br")) {
        out->push_back(' ');
    }
}

// The character of a numeric entity's digits ("#233", "#xE9"), or U+FFFD.
std::uint32_t NumericEntity(const std::string& name) {
    const int hex = name.size() > 1 && LowerAscii(name[1]) == 'x';
    std::uint32_t value = 0;
    std::size_t digits = 0;
    for (std::size_t k = hex ? 2 : 1; k < name.size(); ++k) {
        const char lower = LowerAscii(name[k]);
        const int digit = (lower >= '0' && lower <= '9')          ? lower - '0'
                          : (hex && lower >= 'a' && lower <= 'f') ? lower - 'a' + 10
                                                                  : -1;
        if (digit < 0 || value > 0x10FFFF) {
            return 0xFFFD;
        }
        value = value * (hex ? 16u : 10u) + static_cast<std::uint32_t>(digit);
        ++digits;
    }
    return (digits == 0 || value == 0) ? 0xFFFD : value;
}

// Reads the entity at text[*index] ('&'): 1 with its text in *out and *index
// moved past it, or 0 for an '&' that starts no entity known here.
int ReadEntity(const std::string& text, std::size_t* index, std::string* out) {
    std::size_t end = *index + 1;
    while (end < text.size() && end - *index <= 10 && (IsNameByte(text[end]) || text[end] == '#')) {
        ++end;
    }
    std::string name = text.substr(*index + 1, end - *index - 1);
    for (char& byte : name) {
        byte = LowerAscii(byte);
    }
    static const char* const kNames[] = {"nbsp", "amp", "lt", "gt", "quot", "apos"};
    static const char kTexts[] = {' ', '&', '<', '>', '"', '\''};
    const int closed = end < text.size() && text[end] == ';';
    for (std::size_t k = 0; k < sizeof kTexts; ++k) {
        // &nbsp is often written without its ';'.
        if (name == kNames[k] && (closed || k == 0)) {
            out->push_back(kTexts[k]);
            *index = end + (closed ? 1 : 0);
            return 1;
        }
    }
    if (closed && name.size() > 1 && name[0] == '#') {
        AppendCodePoint(NumericEntity(name), out);
        *index = end + 1;
        return 1;
    }
    return 0;
}

// Blanks for every control character and run of white space, none at the
// ends, in place: the joined text is never longer. U+0080..U+009F (C2 80..C2 9F)
// are control characters too.
void JoinBlanks(std::string* text) {
    std::size_t joined = 0;
    int pendingBlank = 0;
    for (std::size_t index = 0; index < text->size(); ++index) {
        const auto byte = static_cast<unsigned char>((*text)[index]);
        const int c1 = byte == 0xC2 && index + 1 < text->size() &&
                       static_cast<unsigned char>((*text)[index + 1]) < 0xA0;
        if (byte < 0x20 || byte == 0x7F || byte == ' ' || c1) {
            pendingBlank = joined > 0;
            index += c1 ? 1 : 0;
            continue;
        }
        if (pendingBlank) {
            (*text)[joined++] = ' ';
            pendingBlank = 0;
        }
        (*text)[joined++] = static_cast<char>(byte);
    }
    text->resize(joined);
}

}  // namespace

std::string ReadCueClass(const std::string& segment) {
    std::size_t index = CueTextStart(segment);
    while ((index = segment.find('<', index)) != std::string::npos) {
        std::string_view tag;
        index = PassMarkup(segment, index, &tag);
        std::string name = ClassOfTag(tag);
        if (!name.empty()) {
            return name;
        }
    }
    return "";
}

void ReadCueText(const std::string& segment, CueText* cue) {
    cue->text.clear();
    cue->className = ReadCueClass(segment);
    std::size_t index = CueTextStart(segment);
    // Markup and entities only ever take room out.
    std::string plain;
    plain.reserve(segment.size());
    while (index < segment.size()) {
        if (segment[index] == '<') {
            ReadTag(segment, &index, &plain);
        } else if (segment[index] != '&' || !ReadEntity(segment, &index, &plain)) {
            plain.push_back(segment[index]);
            ++index;
        }
    }
    JoinBlanks(&plain);
    cue->text = std::move(plain);
}
