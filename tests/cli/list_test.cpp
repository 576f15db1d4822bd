// What list shows of small files in each encoding the tool meets: the tags
// found as a run finds them, the text decoded to UTF-8 with the markup out,
// and the classes where there are several; and the decoders themselves, which
// must turn any bytes at all into valid UTF-8 without losing an ASCII byte.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "cue_tags.h"
#include "list_command.h"
#include "result_codes.h"
#include "sync_shift.h"
#include "sync_tag_search.h"
#include "text_decoding.h"

namespace {

using Lines = std::vector<std::string>;

// The list of `bytes` as the command reads them from a file.
Lines ListOf(const std::string& bytes, int readQuoted = 0) {
    BuildSyncTagTables();
    std::FILE* file = std::tmpfile();
    EXPECT_NE(file, nullptr);
    if (file == nullptr) {
        return {};
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    CueTags found;
    EXPECT_EQ(ReadCueTags(file, FrontEndRunOptions(readQuoted), &found), RESULT_OK);
    std::fclose(file);
    return ListLines(bytes, found);
}

// UTF-16 of an ASCII or UTF-8 text, each code point as one or two units.
std::string Utf16Of(const std::string& utf8, bool bigEndian, bool mark) {
    std::string out;
    auto unit = [&](std::uint32_t u) {
        const char high = static_cast<char>(u >> 8);
        const char low = static_cast<char>(u & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    };
    if (mark) {
        unit(0xFEFF);
    }
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        std::uint32_t cp = length == 1 ? lead : lead & (0x7Fu >> length);
        for (std::size_t k = 1; k < length; ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        }
        i += length;
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return out;
}

const std::string kHead = "<SAMI>\r\n<BODY>\r\n";
const std::string kTail = "</BODY>\r\n</SAMI>\r\n";

struct ListCase {
    std::string name;
    std::string bytes;
    Lines lines;
};

void PrintTo(const ListCase& c, std::ostream* os) {
    *os << c.name;
}

class ListTable : public ::testing::TestWithParam<ListCase> {};

TEST_P(ListTable, ShowsEachCueAsOneLineOfUtf8) {
    EXPECT_EQ(ListOf(GetParam().bytes), GetParam().lines);
}

// One Korean text in UTF-8, and the same in the other encodings.
const std::string kKoreanUtf8 = kHead +
                                "<SYNC Start=48300><P Class=KRCC>\r\n"
                                "<font color=#fcc5ca>안녕</font><br>하세요 똠 漢 ♥\r\n"
                                "<SYNC Start=51100><P Class=KRCC>&nbsp;\r\n" +
                                kTail;
const Lines kKoreanLines = {"0:00:48.300\t안녕 하세요 똠 漢 ♥", "0:00:51.100\t"};

const std::string kKoreanCp949 = kHead +
                                 "<SYNC Start=48300><P Class=KRCC>\r\n"
                                 "<font color=#fcc5ca>\xBE\xC8\xB3\xE7</font><br>"
                                 "\xC7\xCF\xBC\xBC\xBF\xE4 \x8C\x63 \xF9\xD3 \xA2\xBE\r\n"
                                 "<SYNC Start=51100><P Class=KRCC>&nbsp;\r\n" +
                                 kTail;

// Twenty "가": enough Korean beside one stray byte for the file to read as CP949.
std::string Repeated(const std::string& text, int times) {
    std::string out;
    for (int k = 0; k < times; ++k) {
        out += text;
    }
    return out;
}
const std::string kTwentyGa = Repeated("\xB0\xA1", 20);
const std::string kTwentyGaUtf8 = Repeated("가", 20);

INSTANTIATE_TEST_SUITE_P(
    Encodings, ListTable,
    ::testing::Values(
        ListCase{"utf8", kKoreanUtf8, kKoreanLines},
        ListCase{"utf8_mark", "\xEF\xBB\xBF" + kKoreanUtf8, kKoreanLines},
        ListCase{"cp949", kKoreanCp949, kKoreanLines},
        ListCase{"utf16le_mark", Utf16Of(kKoreanUtf8, false, true), kKoreanLines},
        ListCase{"utf16be_mark", Utf16Of(kKoreanUtf8, true, true), kKoreanLines},
        ListCase{"utf16le_no_mark", Utf16Of(kKoreanUtf8, false, false), kKoreanLines},
        ListCase{"utf16be_no_mark", Utf16Of(kKoreanUtf8, true, false), kKoreanLines},
        ListCase{"utf16_beyond_the_basic_plane",
                 Utf16Of(kHead + "<SYNC Start=1>\xF0\x9F\x98\x80 ok\r\n", false, true),
                 {"0:00:00.001\t\xF0\x9F\x98\x80 ok"}},
        // Neither UTF-8 nor CP949: Western European.
        ListCase{"windows_1252",
                 kHead + "<SYNC Start=67600><P Class=ETCC>M\xE4herdune \x80 5\r\n" + kTail,
                 {"0:01:07.600\tMäherdune € 5"}},
        // A stray byte in a Korean file: one replacement character, the tag
        // behind it still found.
        ListCase{"cp949_with_a_stray_byte",
                 kHead + "<SYNC Start=1000>\xBE\xC8\xB3\xE7\xB0<SYNC Start=2000>" + kTwentyGa,
                 {"0:00:01.000\t안녕\xEF\xBF\xBD", "0:00:02.000\t" + kTwentyGaUtf8}},
        ListCase{"utf16_lone_surrogate",
                 Utf16Of("<SYNC Start=5>a", false, true) + std::string("\x00\xD8", 2) +
                     Utf16Of("b", false, false),
                 {"0:00:00.005\ta\xEF\xBF\xBD"
                  "b"}}),
    [](const ::testing::TestParamInfo<ListCase>& param) { return param.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Markup, ListTable,
    ::testing::Values(
        ListCase{"entities",
                 "<SYNC Start=1>&amp;&lt;b&gt; &quot;x&quot; &apos;y&apos; &#233; &#xAC00; &NBSP "
                 "&unknown; &#0; &#x110000;",
                 {"0:00:00.001\t&<b> \"x\" 'y' é 가 &unknown; \xEF\xBF\xBD \xEF\xBF\xBD"}},
        ListCase{"comments_and_tags",
                 "<SYNC Start=1 End=5><!-- not shown <br> --><P Class=A>one<BR/>two<br >"
                 "three<b>four</b><i",
                 {"0:00:00.001\tone two threefour"}},
        ListCase{"controls_become_blanks",
                 "<SYNC Start=1>a\x1B[31mred\t\x7F tab \xC2\x85 next&#27;z",
                 {"0:00:00.001\ta [31mred tab next z"}},
        ListCase{"blank_cues",
                 "<SYNC Start=10>&nbsp;<SYNC Start=20>   <SYNC Start=30>\r\n",
                 {"0:00:00.010\t", "0:00:00.020\t", "0:00:00.030\t"}},
        ListCase{"times_the_runs_read_or_not",
                 "<SYNC Start=-500>minus<SYNC START=abc>none<sync start= 3723004 >late"
                 "<SYNC Start=99999999999>huge<SYNC Start=\"7\">quoted",
                 {"-0:00:00.500\tminus", "?\tnone", "1:02:03.004\tlate", "?\thuge", "?\tquoted"}},
        ListCase{"several_classes",
                 "<SYNC Start=1><P Class=KRCC>하나<SYNC Start=1><P class=\"ENCC\">one"
                 "<SYNC Start=2><p CLASS = krcc >둘<SYNC Start=3>none",
                 {"0:00:00.001\tKRCC\t하나", "0:00:00.001\tENCC\tone", "0:00:00.002\tkrcc\t둘",
                  "0:00:00.003\t\tnone"}},
        ListCase{"one_class_in_any_case",
                 "<SYNC Start=1><P Class=KRCC>a<SYNC Start=2><P class=krcc>b",
                 {"0:00:00.001\ta", "0:00:00.002\tb"}},
        ListCase{"no_tag", "<SAMI>no cues</SAMI>", {}}),
    [](const ::testing::TestParamInfo<ListCase>& param) { return param.param.name; });

TEST(ListQuoted, ReadsQuotedTimesWhenAsked) {
    EXPECT_EQ(ListOf("<SYNC Start=\"7\">a<SYNC Start='8'>b", 1),
              (Lines{"0:00:00.007\ta", "0:00:00.008\tb"}));
}

// The windows of the file walk: a file larger than one window lists the same
// tags as it would from memory, the last one cut by no edge.
TEST(ListLarge, FindsEveryTagOfAFileBeyondOneWindow) {
    std::string bytes = "\xEF\xBB\xBF";
    Lines expected;
    for (int cue = 0; cue < 60000; ++cue) {
        bytes += "<SYNC Start=" + std::to_string(cue * 37) + "><P Class=KRCC>한글 " +
                 std::to_string(cue) + "\r\n";
        char time[32];
        std::snprintf(time, sizeof time, "%d:%02d:%02d.%03d", cue * 37 / 3600000,
                      cue * 37 / 60000 % 60, cue * 37 / 1000 % 60, cue * 37 % 1000);
        expected.push_back(std::string(time) + "\t한글 " + std::to_string(cue));
    }
    ASSERT_GT(bytes.size(), std::size_t{1048576});
    EXPECT_EQ(ListOf(bytes), expected);
}

struct EncodingCase {
    std::string name;
    TextKind kind;
    std::string bytes;
    TextEncoding encoding;
};

void PrintTo(const EncodingCase& c, std::ostream* os) {
    *os << c.name;
}

class EncodingTable : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(EncodingTable, IsToldByKindAndBytes) {
    const EncodingCase& c = GetParam();
    EXPECT_EQ(TellTextEncoding(c.kind, c.bytes.data(), c.bytes.size()), c.encoding);
}

INSTANTIATE_TEST_SUITE_P(
    Table, EncodingTable,
    ::testing::Values(EncodingCase{"ascii", TEXT_BYTES, "<SYNC Start=1>", ENCODING_UTF8},
                      EncodingCase{"empty", TEXT_BYTES, "", ENCODING_UTF8},
                      EncodingCase{"utf8", TEXT_BYTES, "\xEC\x95\x88", ENCODING_UTF8},
                      EncodingCase{"cp949", TEXT_BYTES, "\xBE\xC8\xB3\xE7", ENCODING_CP949},
                      EncodingCase{"cp949_uhc", TEXT_BYTES, "\x8C\x63\x8C\x63", ENCODING_CP949},
                      EncodingCase{"latin", TEXT_BYTES, "M\xE4herdune s\xF5na", ENCODING_CP1252},
                      EncodingCase{"utf8_overlong", TEXT_BYTES, "\xE0\x80\xAF", ENCODING_CP1252},
                      EncodingCase{"utf8_surrogate", TEXT_BYTES, "\xED\xA0\x80", ENCODING_CP1252},
                      EncodingCase{"utf8_cut", TEXT_BYTES, "ab\xEC\x95", ENCODING_CP1252},
                      // Twenty Korean characters in UTF-8 and one stray byte: still UTF-8.
                      EncodingCase{"utf8_with_a_stray_byte", TEXT_BYTES,
                                   Repeated("\xEA\xB0\x80", 20) + "\xB0", ENCODING_UTF8},
                      EncodingCase{"utf8_with_many_stray_bytes", TEXT_BYTES,
                                   Repeated("\xEA\xB0\x80", 19) + Repeated("\xB0 ", 1) + "\xFF\xFF",
                                   ENCODING_CP1252},
                      EncodingCase{"utf16le", TEXT_UTF16_LE, "<\0", ENCODING_UTF16_LE},
                      EncodingCase{"utf16be", TEXT_UTF16_BE, "\0<", ENCODING_UTF16_BE}),
    [](const ::testing::TestParamInfo<EncodingCase>& param) { return param.param.name; });

// 1 when `text` is valid UTF-8 (no overlong form, surrogate or value beyond
// U+10FFFF), checked apart from the decoder.
bool IsUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        const std::size_t n = b < 0x80                   ? 0
                              : (b >= 0xC2 && b <= 0xDF) ? 1
                              : (b >= 0xE0 && b <= 0xEF) ? 2
                              : (b >= 0xF0 && b <= 0xF4) ? 3
                                                         : 9;
        if (n == 9 || i + n >= text.size()) {
            return false;
        }
        std::uint32_t cp = n == 0 ? b : b & (0x3Fu >> n);
        for (std::size_t k = 1; k <= n; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            if ((c & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (c & 0x3Fu);
        }
        const std::uint32_t lowest[] = {0, 0x80, 0x800, 0x10000};
        if (cp < lowest[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        i += n + 1;
    }
    return true;
}

bool IsAsciiLetter(char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

// The ASCII bytes of `text` that no code page takes as the second byte of a
// character: the letters are CP949 trail bytes, so they are left out for it.
std::string AsciiOf(const std::string& text, bool withLetters) {
    std::string ascii;
    for (char byte : text) {
        if (static_cast<unsigned char>(byte) < 0x80 && (withLetters || !IsAsciiLetter(byte))) {
            ascii.push_back(byte);
        }
    }
    return ascii;
}

// Any bytes at all, in every encoding: the result is valid UTF-8, and for the
// byte encodings every ASCII byte of the input (for CP949 every one but the
// letters, which can be trail bytes) comes out, in its order: no '<' or '>'
// is ever taken into a character.
TEST(DecodingProperty, AnyBytesGiveValidUtf8KeepingEveryAsciiByte) {
    std::uint32_t state = 88172645u;
    for (int round = 0; round < 20000; ++round) {
        std::string bytes;
        const int length = round % 40;
        for (int k = 0; k < length; ++k) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            // Mostly high bytes, so that every kind of sequence comes up.
            bytes.push_back(static_cast<char>((state & 3u) == 0 ? state >> 8 & 0x7F
                                                                : 0x80 | (state >> 8 & 0x7F)));
        }
        for (TextEncoding encoding : {ENCODING_UTF8, ENCODING_CP949, ENCODING_CP1252,
                                      ENCODING_UTF16_LE, ENCODING_UTF16_BE}) {
            std::string out;
            AppendAsUtf8(encoding, bytes.data(), bytes.size(), &out);
            ASSERT_TRUE(IsUtf8(out)) << "encoding " << encoding << ", round " << round;
            if (encoding != ENCODING_UTF16_LE && encoding != ENCODING_UTF16_BE) {
                const bool letters = encoding != ENCODING_CP949;
                ASSERT_EQ(AsciiOf(out, letters), AsciiOf(bytes, letters))
                    << "encoding " << encoding << ", round " << round;
            }
        }
    }
}

}  // namespace
