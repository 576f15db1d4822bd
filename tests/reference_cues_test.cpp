// The reference readers as tables of small texts: each format's edge cases
// (byte order marks, CR LF, hours above 99, ',' and '.' before the
// milliseconds, WebVTT cue settings, ASS fields with commas in the text, SAMI
// classes and &nbsp; ends), the format told by content whatever the name, and
// malformed entries skipped and counted.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "reference_cues.h"
#include "text_input.h"
#include "widened_text.h"

using namespace std::string_literals;

namespace {

struct ReaderCase {
    const char* label;
    std::string text;
    const char* name;
    ReferenceFormat format;
    std::vector<Cue> cues;
    std::int64_t skipped;
};

void PrintTo(const ReaderCase& c, std::ostream* os) {
    *os << c.label;
}

const std::string kAssHead =
    "[Script Info]\r\nTitle: x\r\n\r\n[V4+ Styles]\r\nFormat: Name, Fontname\r\n"
    "Style: Default,Arial\r\n\r\n[Events]\r\n";

const std::vector<ReaderCase> kReaderCases = {
    {"srt plain",
     "1\n00:00:01,000 --> 00:00:02,500\nHello\n\n2\n00:00:03,000 --> 00:00:04,000\nx\n",
     "a.srt",
     REFERENCE_SUBRIP,
     {{1000, 2500}, {3000, 4000}},
     0},
    {"srt crlf and dot marks",
     "1\r\n00:01:01.250 --> 00:01:02.000\r\nA\r\n\r\n",
     "a.srt",
     REFERENCE_SUBRIP,
     {{61250, 62000}},
     0},
    {"srt hours above 99",
     "1\n123:04:05,006 --> 123:04:06,000\nA\n",
     "a.srt",
     REFERENCE_SUBRIP,
     {{(123 * 3600 + 4 * 60 + 5) * 1000LL + 6, (123 * 3600 + 4 * 60 + 6) * 1000LL}},
     0},
    {"srt utf-8 mark and blanks",
     "\xEF\xBB\xBF"
     "1\n 00:00:01,000   -->   00:00:02,000 \n\xED\x95\x9C\n",
     "a.srt",
     REFERENCE_SUBRIP,
     {{1000, 2000}},
     0},
    {"srt malformed entries counted",
     "1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:xx,000 --> 00:00:03,000\nB\n\n"
     "3\n00:00:05,000 --> 00:00:04,000\nC\n\n4\n00:00:61,000 --> 00:01:02,000\nD\n",
     "a.srt",
     REFERENCE_SUBRIP,
     {{1000, 2000}},
     3},
    {"srt short fraction",
     "1\n00:00:01,5 --> 00:00:02,25\nA\n",
     "a.srt",
     REFERENCE_SUBRIP,
     {{1500, 2250}},
     0},
    {"srt sorted and duplicates dropped",
     "2\n00:00:05,000 --> 00:00:06,000\nB\n\n1\n00:00:01,000 --> 00:00:02,000\nA\n\n"
     "3\n00:00:05,000 --> 00:00:06,000\nB again\n",
     "a.srt",
     REFERENCE_SUBRIP,
     {{1000, 2000}, {5000, 6000}},
     0},
    {"vtt settings and no hours",
     "WEBVTT\n\nNOTE a comment\n\ncue-1\n00:01.000 --> 00:02.500 line:0 position:20% align:start\n"
     "Hi\n\n01:00:00.000 --> 01:00:01.000 vertical:rl\nThere\n",
     "a.vtt",
     REFERENCE_WEBVTT,
     {{1000, 2500}, {3600000, 3601000}},
     0},
    {"vtt crlf",
     "WEBVTT\r\n\r\n00:00:10.000 --> 00:00:11.000\r\nA\r\n",
     "a.vtt",
     REFERENCE_WEBVTT,
     {{10000, 11000}},
     0},
    {"ass default fields and commas in the text",
     kAssHead +
         "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n"
         "Dialogue: 0,0:00:01.00,0:00:02.50,Default,,0,0,0,,Well, then, 0:00:09.00, go\r\n"
         "Comment: 0,0:00:03.00,0:00:04.00,Default,,0,0,0,,not shown\r\n"
         "Dialogue: 0,1:02:03.45,1:02:04.00,Default,,0,0,0,,B\r\n",
     "a.ass",
     REFERENCE_ASS,
     {{1000, 2500}, {3723450, 3724000}},
     0},
    {"ass format order of its own",
     kAssHead + "Format: Text, End, Style, Start\nDialogue: x,0:00:05.00,Default,0:00:04.00\n",
     "a.ass",
     REFERENCE_ASS,
     {{4000, 5000}},
     0},
    {"ssa hours above 99 and a bad entry",
     kAssHead + "Format: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
                "Dialogue: Marked=0,100:00:00.00,100:00:01.10,Default,,0,0,0,,A\n"
                "Dialogue: Marked=0,bad,0:00:01.00,Default,,0,0,0,,B\n",
     "a.ssa",
     REFERENCE_ASS,
     {{360000000, 360001100}},
     1},
    {"sami nbsp ends a cue",
     "<SAMI><BODY>\r\n<SYNC Start=1000><P Class=KRCC>\xC7\xD1\r\n<SYNC Start=2500><P "
     "Class=KRCC>&nbsp;\r\n<SYNC Start=3000><P Class=KRCC>b\r\n<SYNC "
     "Start=4000><P Class=KRCC>c\r\n</BODY></SAMI>\r\n",
     "a.smi",
     REFERENCE_SAMI,
     {{1000, 2500}, {3000, 4000}, {4000, -1}},
     0},
    {"sami every class",
     "<sami><body><sync start=\"1000\"><p class=KRCC>a<sync start=1000><p class=ENCC>b"
     "<sync start=2000><p class=KRCC>&nbsp;<sync start=2200><p class=ENCC>&nbsp"
     "<sync start=bad><p class=ENCC>x</body></sami>",
     "a.smi",
     REFERENCE_SAMI,
     {{1000, 2000}, {1000, 2200}},
     1},
    {"content wins over a wrong name",
     "1\n00:00:01,000 --> 00:00:02,000\nA\n",
     "a.smi",
     REFERENCE_SUBRIP,
     {{1000, 2000}},
     0},
    {"content without a name",
     kAssHead + "Dialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,A\n",
     nullptr,
     REFERENCE_ASS,
     {{1000, 2000}},
     0},
    {"sami without a name",
     "<SAMI><BODY><SYNC Start=5><P>a</BODY>",
     "",
     REFERENCE_SAMI,
     {{5, -1}},
     0},
    {"nothing readable", "just some words\n", "notes.txt", REFERENCE_UNKNOWN, {}, 0},
};

class ReaderTable : public ::testing::TestWithParam<ReaderCase> {};

void ExpectCues(const ReferenceCues& read, const ReaderCase& c) {
    EXPECT_EQ(read.format, c.format);
    EXPECT_EQ(read.skipped, c.skipped);
    ASSERT_EQ(read.cues.size(), c.cues.size());
    for (std::size_t k = 0; k < c.cues.size(); ++k) {
        EXPECT_EQ(read.cues[k].start, c.cues[k].start) << "cue " << k;
        EXPECT_EQ(read.cues[k].end, c.cues[k].end) << "cue " << k;
    }
}

TEST_P(ReaderTable, ReadsTheCues) {
    ReferenceCues read;
    ReadReferenceCues(GetParam().text, GetParam().name, &read);
    ExpectCues(read, GetParam());
}

// The same text in UTF-16 of either byte order, with or without a mark, reads
// the same: times and tags are ASCII.
TEST_P(ReaderTable, ReadsTheSameInUtf16) {
    for (const TextKind kind : {TEXT_UTF16_LE, TEXT_UTF16_BE}) {
        ReferenceCues read;
        ReadReferenceCues(ByteOrderMark(kind) + Widen(GetParam().text, kind), GetParam().name,
                          &read);
        ExpectCues(read, GetParam());
        if (!GetParam().text.empty() && GetParam().text[0] == '<') {
            ReadReferenceCues(Widen(GetParam().text, kind), GetParam().name, &read);
            ExpectCues(read, GetParam());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ReaderTable, ::testing::ValuesIn(kReaderCases));

struct ClockCase {
    const char* text;
    int ok;
    std::int64_t milliseconds;
    std::size_t used;
};

TEST(ReadClockText, ReadsEveryForm) {
    const ClockCase cases[] = {
        {"00:00:01,000", 1, 1000, 12},
        {"1:02:03.456 x", 1, 3723456, 11},
        {"02:03.4", 1, 123400, 7},
        {"0:00:01.05", 1, 1050, 10},
        {"100:00:00.000", 1, 360000000, 13},
        {"5", 0, 0, 0},
        {"00:60.000", 0, 0, 0},
        {"1:60:00.000", 0, 0, 0},
        {"1:2:3:4", 0, 0, 0},
        {"00:01.", 0, 0, 0},
        {"1234567890:00:00", 0, 0, 0},
        {":00:01", 0, 0, 0},
        {"00:01.1234", 1, 1123, 10},
    };
    for (const ClockCase& c : cases) {
        std::int64_t milliseconds = -7;
        std::size_t used = 0;
        const std::string text = c.text;
        EXPECT_EQ(ReadClockText(text.data(), text.size(), &milliseconds, &used), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(milliseconds, c.milliseconds) << c.text;
            EXPECT_EQ(used, c.used) << c.text;
        }
    }
}

TEST(NarrowReferenceText, NarrowsUtf16AndDropsTheUtf8Mark) {
    EXPECT_EQ(NarrowReferenceText("\xFF\xFE"
                                  "a\0\x5C\xD5"s),
              "a\x80");
    EXPECT_EQ(NarrowReferenceText("\xFE\xFF\0a\xD5\x5C"s), "a\x80");
    EXPECT_EQ(NarrowReferenceText("\xEF\xBB\xBFok"), "ok");
    EXPECT_EQ(NarrowReferenceText("\xB0\xA1 plain CP949"), "\xB0\xA1 plain CP949");
}

}  // namespace

namespace {

// Texts pieced together from the marks of every format, at random: whatever
// the readers make of them, every cue starts at 0 or later, ends at its start
// or later (or is open), the cues are sorted without duplicates, and the
// UTF-16 form of the text reads the same.
TEST(ReaderProperty, AnyTextGivesOrderedCues) {
    const char* const pieces[] = {"00:00:01,000",
                                  " --> ",
                                  "-->",
                                  "\n",
                                  "\r\n",
                                  "12:34.5",
                                  "99:59:59.999",
                                  "1",
                                  ",",
                                  "Dialogue: ",
                                  "Format: Start, End, Text\n",
                                  "[Events]\n",
                                  "<SYNC Start=",
                                  "<sync start=\"",
                                  "250",
                                  ">",
                                  "<P Class=KR>",
                                  "<p class=en>",
                                  "&nbsp;",
                                  "WEBVTT\n",
                                  "\xB0\xA1",
                                  "\xEF\xBB\xBF",
                                  "0:00:02.50",
                                  " align:start",
                                  ":",
                                  ".",
                                  "</BODY>",
                                  "x"};
    std::uint32_t state = 2024u;
    for (int round = 0; round < 400; ++round) {
        std::string text;
        const int count = 1 + static_cast<int>(state % 60u);
        for (int k = 0; k < count; ++k) {
            state = state * 1664525u + 1013904223u;
            text += pieces[(state >> 10) % (sizeof pieces / sizeof pieces[0])];
        }
        ReferenceCues read;
        ReadReferenceCues(text, round % 2 == 0 ? "r.srt" : nullptr, &read);
        for (std::size_t k = 0; k < read.cues.size(); ++k) {
            const Cue& cue = read.cues[k];
            EXPECT_GE(cue.start, 0) << text;
            EXPECT_TRUE(cue.end == -1 || cue.end >= cue.start) << text;
            if (k > 0) {
                const Cue& before = read.cues[k - 1];
                EXPECT_TRUE(before.start < cue.start ||
                            (before.start == cue.start && before.end < cue.end))
                    << text;
            }
        }
        ReferenceCues wide;
        ReadReferenceCues("\xFF\xFE" + Widen(text, TEXT_UTF16_LE),
                          round % 2 == 0 ? "r.srt" : nullptr, &wide);
        EXPECT_EQ(wide.cues.size(), read.cues.size()) << text;
    }
}

// Texts that would take a reader that searched past its line or tag time of
// the square of their size; each is read in one pass.
TEST(ReaderProperty, LongTextsWithoutTheirEndsAreReadInOnePass) {
    const std::string texts[] = {
        std::string(300000, '<') + "<sync start=5>a",
        [] {
            std::string text;
            for (int k = 0; k < 30000; ++k) {
                text += "<sync start=1";
            }
            return text;
        }(),
        [] {
            std::string text = "[Events]\nFormat: " + std::string(200000, ',') + "Start,End\n";
            for (int k = 0; k < 20000; ++k) {
                text += "Dialogue: 0\n";
            }
            return text + "-->\n";
        }(),
        std::string(300000, '\n') + "00:00:01,000 --> 00:00:02,000\n",
    };
    for (const std::string& text : texts) {
        ReferenceCues read;
        ReadReferenceCues(text, nullptr, &read);
        EXPECT_LE(read.cues.size(), 30001u);
    }
}

}  // namespace
