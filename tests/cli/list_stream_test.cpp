// list reads the file as a stream: through the built program, files of many
// cues, of large cues, whose encoding or classes show only at their end, give
// the lines of the whole file in memory (ListLines), each cue cut to its
// first kListedCueBytes bytes. And the class read from a cue's own bytes is
// the class of the decoded cue in every byte encoding.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>

#include "cli_runner.h"
#include "cue_tags.h"
#include "cue_text.h"
#include "list_command.h"
#include "result_codes.h"
#include "sync_shift.h"
#include "sync_tag_search.h"
#include "text_decoding.h"

namespace {

CueTags TagsOf(const std::string& bytes) {
    BuildSyncTagTables();
    CueTags found;
    std::FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    EXPECT_EQ(ReadCueTags(file, FrontEndRunOptions(1), &found), RESULT_OK);
    std::fclose(file);
    return found;
}

// What list --quoted prints for `bytes`, by the whole text in memory with
// every cue cut to its first kListedCueBytes bytes.
std::string WholeListing(const std::string& bytes) {
    const CueTags found = TagsOf(bytes);
    const std::size_t unit = found.kind == TEXT_BYTES ? 1 : 2;
    const auto mark = static_cast<std::size_t>(found.markLength);
    std::string cut = bytes.substr(0, mark);
    std::size_t from = mark;
    for (std::size_t index = 0; index < found.tags.size(); ++index) {
        const std::size_t start =
            mark + static_cast<std::size_t>(found.tags[index].textStart) * unit;
        const std::size_t end =
            index + 1 < found.tags.size()
                ? mark + static_cast<std::size_t>(found.tags[index + 1].tagStart) * unit
                : bytes.size();
        cut +=
            bytes.substr(from, start - from + std::min<std::size_t>(end - start, kListedCueBytes));
        from = end;
    }
    cut += bytes.substr(from);
    std::string listing;
    for (const std::string& line : ListLines(cut, TagsOf(cut))) {
        listing += line + "\n";
    }
    return listing;
}

std::string Times(const std::string& text, std::size_t times) {
    std::string out;
    for (std::size_t k = 0; k < times; ++k) {
        out += text;
    }
    return out;
}

// `count` CP949 cues of class `className`.
std::string Cp949Cues(int count, const std::string& className) {
    std::string cues;
    for (int cue = 0; cue < count; ++cue) {
        cues += "<SYNC Start=" + std::to_string(cue * 41) + "><P Class=" + className +
                ">\xBE\xC8\xB3\xE7 " + std::to_string(cue) + "<br>\xC7\xCF\xBC\xBC\r\n";
    }
    return cues;
}

// A UTF-16 LE file of cues of about `units` units each: many of "안녕 😀",
// then two of "가", the first beyond the cut, the second within it.
std::string Utf16Cues(int count, std::size_t units) {
    std::u16string text = u"<SAMI><BODY>\r\n";
    for (int cue = 0; cue < count; ++cue) {
        text += u"<SYNC Start=10><P Class=KRCC>안녕 😀<br>하세요\r\n";
    }
    text += u"<SYNC Start=20><P Class=ENCC>" + std::u16string(units, u'가');
    text += u"<SYNC Start=30><P Class=KRCC>" + std::u16string(units / 8, u'가');
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : text) {
        bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    }
    return bytes;
}

const std::string kHead = "<SAMI>\r\n<BODY>\r\n";
const std::size_t kCut = static_cast<std::size_t>(kListedCueBytes);

struct StreamCase {
    std::string name;
    std::string bytes;
};

void PrintTo(const StreamCase& c, std::ostream* os) {
    *os << c.name;
}

class ListStream : public CliTest, public ::testing::WithParamInterface<StreamCase> {};

TEST_P(ListStream, PrintsWhatTheWholeFileInMemoryGives) {
    WriteFile(Path("a.smi"), GetParam().bytes);
    const CliRun run = RunCli({"list", "--quoted", Path("a.smi")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.err, "");
    const std::string expected = WholeListing(GetParam().bytes);
    // Compared apart from gtest's printing, which would show megabytes.
    EXPECT_TRUE(run.out == expected)
        << run.out.size() << " bytes, " << expected.size() << " expected";
}

INSTANTIATE_TEST_SUITE_P(
    Files, ListStream,
    ::testing::Values(
        // Beyond one window of the tag walk, a second class only at the end:
        // every line shows its class.
        StreamCase{"a_second_class_at_the_end",
                   kHead + Cp949Cues(30000, "KRCC") + Cp949Cues(1, "ENCC")},
        // Classes differ at once, so the first pass stops looking, but the
        // encoding shows only in the last cue, a MiB on: CP949 in the end.
        StreamCase{"encoding_told_by_the_last_cue",
                   kHead + "<SYNC Start=1><P Class=A>a<SYNC Start=2><P Class=B>b\r\n" +
                       Times("<SYNC Start=\"3\"><P Class=A>plain text\r\n", 30000) +
                       Cp949Cues(1, "B")},
        // A class as large as is listed whole, across the blocks of both
        // streams; a cue beyond the cut, half a character at its edge.
        StreamCase{"a_large_class_and_a_cue_beyond_the_cut",
                   kHead + Cp949Cues(20000, "B") +
                       "<SYNC Start=1><P Class=" + Times("\x80", kCut - 15) + ">a" +
                       Cp949Cues(3, "B") + "<SYNC Start=9>" + Times("a&amp;b\xB0\xA1", kCut / 3)},
        // Classes whose bytes differ but read the same (a bad byte each in a
        // UTF-8 file), and alike but read apart (an ASCII letter as the
        // second byte of a CP949 character).
        StreamCase{"classes_apart_as_bytes_alike_as_utf8",
                   kHead + "<SYNC Start=1><P Class=x\xFF>a<SYNC Start=2><P Class=x\xFE>b" +
                       "<SYNC Start=3><P Class=x\xFF>" + Times("가", 200)},
        StreamCase{"classes_alike_as_bytes_apart_as_cp949", kHead +
                                                                Cp949Cues(3,
                                                                          "\xB0"
                                                                          "A") +
                                                                Cp949Cues(3,
                                                                          "\xB0"
                                                                          "a")},
        StreamCase{"utf16_cues", Utf16Cues(15000, kCut)}),
    [](const ::testing::TestParamInfo<StreamCase>& param) { return param.param.name; });

// A cue's class read from its bytes, then decoded, is the class of the cue
// decoded first, for random cues of markup, ASCII and high bytes.
TEST(ListStreamProperty, TheClassOfACuesBytesIsTheClassOfItsText) {
    static const char* const kPieces[] = {
        "<",     ">",    "<!--", "-->",  " ",        "=",        "\"",   "'",           " class=",
        "CLASS", "br",   "a",    "&",    ";",        "\t",       "-",    "\xB0",        "\xA1",
        "\xEA",  "\x8C", "\xC2", "\xFF", "\xB0\xA1", "\xF0\x9F", "\x80", "\xEC\x95\x88"};
    std::uint32_t state = 1812433253u;
    int apart = 0;  // classes that read otherwise than their bytes
    for (int round = 0; round < 20000; ++round) {
        std::string segment = "=1>";
        for (int k = round % 30; k > 0; --k) {
            state ^= state << 13;
            state ^= state >> 17;
            state ^= state << 5;
            segment += kPieces[state % (sizeof kPieces / sizeof kPieces[0])];
        }
        const std::string raw = ReadCueClass(segment);
        for (TextEncoding encoding : {ENCODING_UTF8, ENCODING_CP949, ENCODING_CP1252}) {
            std::string decoded;
            std::string name;
            AppendAsUtf8(encoding, segment.data(), segment.size(), &decoded);
            AppendAsUtf8(encoding, raw.data(), raw.size(), &name);
            CueText cue;
            ReadCueText(decoded, &cue);
            ASSERT_EQ(name, cue.className) << "encoding " << encoding << ", round " << round;
            apart += name != raw ? 1 : 0;
        }
    }
    EXPECT_GT(apart, 2000);
}

}  // namespace
