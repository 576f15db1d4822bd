// UTF-16 files and quoted times. Every run over a byte text widened to UTF-16
// (either byte order, with or without a byte order mark) gives the widened
// result of the same run over the bytes, with the same counts; quoted times
// are read only on request; and a run counts what it found and did.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "progress_recorder.h"
#include "result_codes.h"
#include "subtitle_append.h"
#include "sync_file_walk.h"
#include "named_runs.h"
#include "sync_shift.h"
#include "sync_tag_search.h"
#include "test_files.h"
#include "widened_text.h"

using namespace std::string_literals;

namespace {

struct Outcome {
    std::int32_t result;
    std::string output;
    RunCounts counts;
    std::int32_t last;
};

class TextKinds : public ::testing::Test {
protected:
    void SetUp() override {
        BuildSyncTagTables();
        ResetProgress();
        dir_ = MakeScratchDir();
    }

    Outcome Shift(const std::string& input, const ShiftParams& p, const RunOptions& options) {
        WriteBytes(dir_ + "/in.smi", input);
        Outcome o{};
        o.result = ShiftNamedFile((dir_ + "/in.smi").c_str(), (dir_ + "/out.smi").c_str(), p,
                                  options, &o.counts);
        o.output = ReadBytes(dir_ + "/out.smi");
        EXPECT_EQ(ReadNamedLastSyncTime((dir_ + "/in.smi").c_str(), options, &o.last), RESULT_OK);
        return o;
    }

    Outcome Append(const std::string& first, const std::string& append, std::int32_t offset,
                   int readQuoted) {
        WriteBytes(dir_ + "/first.smi", first);
        WriteBytes(dir_ + "/append.smi", append);
        // The output is written from its position on: what stood before stays.
        std::FILE* firstFile = std::fopen((dir_ + "/first.smi").c_str(), "rb");
        std::FILE* appendFile = std::fopen((dir_ + "/append.smi").c_str(), "rb");
        std::FILE* output = std::fopen((dir_ + "/out.smi").c_str(), "w+b");
        Outcome o{};
        if (firstFile == nullptr || appendFile == nullptr || output == nullptr ||
            std::fputs("untouched", output) < 0) {
            ADD_FAILURE() << "cannot open the run's files";
            return o;
        }
        o.result = AppendFileCues(firstFile, static_cast<std::int64_t>(first.size()), appendFile,
                                  static_cast<std::int64_t>(append.size()), output, offset,
                                  FrontEndRunOptions(readQuoted), &o.counts);
        // Flushed but left open: the stream is still the caller's to close.
        EXPECT_EQ(std::fputs("!", output), 1);
        std::fclose(firstFile);
        std::fclose(appendFile);
        EXPECT_EQ(std::fclose(output), 0);
        o.output = ReadBytes(dir_ + "/out.smi");
        EXPECT_EQ(o.output.substr(0, 9), "untouched");
        EXPECT_EQ(o.output.back(), '!');
        o.output = o.output.substr(9, o.output.size() - 10);
        return o;
    }

    std::string dir_;
};

void ExpectSameCounts(const RunCounts& wide, const RunCounts& bytes) {
    EXPECT_EQ(wide.tagsFound, bytes.tagsFound);
    EXPECT_EQ(wide.timesMoved, bytes.timesMoved);
    EXPECT_EQ(wide.timesLeft, bytes.timesLeft);
    EXPECT_EQ(wide.tagsUnread, bytes.tagsUnread);
    EXPECT_EQ(wide.quotedUnread, bytes.quotedUnread);
    EXPECT_EQ(wide.cuesAppended, bytes.cuesAppended);
}

const std::string kHead = "<SAMI>\r\n<HEAD><TITLE>\xC7\xD1</TITLE></HEAD>\r\n<BODY>\r\n";

// Samples of our own: Korean CP949 bytes, both tag cases, signs, blanks,
// fractions, quotes of both kinds, long digit runs, NUL bytes, LF line ends,
// and a body that ends inside a tag.
const std::vector<std::string> kSamples = {
    kHead +
        "<SYNC Start=1000><P Class=KRCC>\xB4\xEB\xBB\xE7\r\n<sync start= -  2500.5><P>x\r\n"
        "<SYNC START=\"3000\"><P>q\r\n<SYNC START='-40'>\r\n</BODY>\r\n</SAMI>\r\n",
    kHead +
        "<SYNC START=123456789012345678>\n<SYNC START=\" 77\">\n<SYNC START=\"88'>\n"
        "<SYNC START=4000:30>\n</BODY>\n",
    "<SYNC START=+700>\0\0<SYNC START=.>\xFF\xFE<SYNC START=9"s,
    "x<BODY>\n<SYNC START=\"\">\n",
};

const std::vector<ShiftParams> kParams = {
    {0, 5000, 500, 0}, {1000, 4000, -1200, 2000}, {-100, 99999, 3, -50}};

TEST_F(TextKinds, ShiftAndLastOfAWidenedTextAreTheWidenedResults) {
    for (const std::string& sample : kSamples) {
        for (const ShiftParams& p : kParams) {
            for (int quoted = 0; quoted < 2; ++quoted) {
                const Outcome bytes = Shift(sample, p, {quoted, kFileBufferSize});
                for (TextKind kind : {TEXT_UTF16_LE, TEXT_UTF16_BE}) {
                    for (const std::string& mark : {ByteOrderMark(kind), ""s}) {
                        if (mark.empty() && sample[0] != '<') {
                            continue;  // without a mark only '<' tells UTF-16
                        }
                        for (std::int32_t window :
                             {std::int32_t{16}, std::int32_t{29}, kFileBufferSize}) {
                            SCOPED_TRACE(sample.substr(0, 40) + " kind " + std::to_string(kind) +
                                         " window " + std::to_string(window));
                            const Outcome wide =
                                Shift(mark + Widen(sample, kind), p, {quoted, window});
                            EXPECT_EQ(wide.result, RESULT_OK);
                            EXPECT_EQ(wide.output, mark + Widen(bytes.output, kind));
                            EXPECT_EQ(wide.last, bytes.last);
                            EXPECT_EQ(wide.counts.kind, kind);
                            ExpectSameCounts(wide.counts, bytes.counts);
                        }
                    }
                }
            }
        }
    }
}

TEST_F(TextKinds, AppendOfWidenedTextsIsTheWidenedResult) {
    const std::string first = kHead + "<SYNC Start=10><P>a\r\n</BODY>\r\n</SAMI>\r\n";
    for (const std::string& append : kSamples) {
        for (int quoted = 0; quoted < 2; ++quoted) {
            const Outcome bytes = Append(first, append, -2000, quoted);
            ASSERT_EQ(bytes.result, RESULT_OK);
            for (TextKind kind : {TEXT_UTF16_LE, TEXT_UTF16_BE}) {
                const std::string mark = ByteOrderMark(kind);
                const Outcome wide =
                    Append(mark + Widen(first, kind), mark + Widen(append, kind), -2000, quoted);
                EXPECT_EQ(wide.result, RESULT_OK);
                EXPECT_EQ(wide.output, mark + Widen(bytes.output, kind));
                ExpectSameCounts(wide.counts, bytes.counts);
            }
        }
    }
}

TEST_F(TextKinds, OddLastByteAndMixedKinds) {
    const std::string text = "<SYNC START=100>a\r\n</BODY>\r\n";
    const std::string wide = ByteOrderMark(TEXT_UTF16_LE) + Widen(text, TEXT_UTF16_LE);
    // Half a unit at the end is copied unchanged, by the shift and the append.
    const Outcome shifted = Shift(wide + "Z", {0, 1000, 5, 0}, {0, 16});
    EXPECT_EQ(shifted.output, ByteOrderMark(TEXT_UTF16_LE) +
                                  Widen("<SYNC START=105>a\r\n</BODY>\r\n", TEXT_UTF16_LE) + "Z");
    const Outcome appended = Append(wide + "Z", wide + "Y", 0, 0);
    EXPECT_EQ(appended.output, wide + "Z");
    // Files of two kinds are not merged, and nothing is written to the output.
    for (const auto& pair :
         {std::pair{text, wide}, std::pair{wide, text},
          std::pair{wide, ByteOrderMark(TEXT_UTF16_BE) + Widen(text, TEXT_UTF16_BE)}}) {
        const Outcome mixed = Append(pair.first, pair.second, 0, 0);
        EXPECT_EQ(mixed.result, RESULT_MIXED_TEXT_KINDS);
        EXPECT_EQ(mixed.output, "");
    }
}

struct QuotedCase {
    std::string input;
    int readQuoted;
    std::string expected;
    std::int64_t moved, left, unread, quotedUnread;
};

TEST_F(TextKinds, QuotedTimesAndCounts) {
    const std::vector<QuotedCase> cases = {
        {"<SYNC Start=\"1500\">", 0, "<SYNC Start=\"1500\">", 0, 0, 1, 1},
        {"<SYNC Start=\"1500\">", 1, "<SYNC Start=\"2000\">", 1, 0, 0, 0},
        {"<SYNC Start=  '-250'><SYNC Start='+1000.9'>", 1, "<SYNC Start='250'><SYNC Start='1500'>",
         2, 0, 0, 0},
        {"<SYNC Start=\" 1500\"><SYNC Start=\"1500'><SYNC Start=\"1500", 1,
         "<SYNC Start=\" 1500\"><SYNC Start=\"1500'><SYNC Start=\"1500", 0, 0, 3, 0},
        {"<SYNC Start=\"1234567890123456\"><SYNC Start=\"-\">", 1,
         "<SYNC Start=\"1234567890123456\"><SYNC Start=\"-\">", 0, 0, 2, 0},
        {"<SYNC Start=99999><SYNC Start=-900><SYNC Start=><SYNC Start=1>", 0,
         "<SYNC Start=99999><SYNC Start=-900><SYNC Start=><SYNC Start=501>", 1, 2, 1, 0},
    };
    for (const QuotedCase& c : cases) {
        SCOPED_TRACE(c.input);
        const Outcome o = Shift(c.input, {-1000, 50000, 500, 0}, {c.readQuoted, kFileBufferSize});
        EXPECT_EQ(o.output, c.expected);
        EXPECT_EQ(o.counts.tagsFound, c.moved + c.left + c.unread);
        EXPECT_EQ(o.counts.timesMoved, c.moved);
        EXPECT_EQ(o.counts.timesLeft, c.left);
        EXPECT_EQ(o.counts.tagsUnread, c.unread);
        EXPECT_EQ(o.counts.quotedUnread, c.quotedUnread);
    }
    // Quoted times count for the last sync time only when they are read.
    EXPECT_EQ(Shift("<SYNC Start=\"9000\"><SYNC Start=5>", {0, 1, 1, 0}, {0, 16}).last, 5);
    EXPECT_EQ(Shift("<SYNC Start=\"9000\"><SYNC Start=5>", {0, 1, 1, 0}, {1, 16}).last, 9000);
    // The append run writes a moved quoted time between its marks.
    const Outcome appended =
        Append("</BODY>\n", "<BODY>\n<SYNC Start= \"1500\"><P>a\n<SYNC Start='x'>\n", -2000, 1);
    EXPECT_EQ(appended.output, "<SYNC Start=\"-500\"><P>a\n<SYNC Start='x'>\n</BODY>\r\n");
    EXPECT_EQ(appended.counts.cuesAppended, 2);
    EXPECT_EQ(appended.counts.timesMoved, 1);
    EXPECT_EQ(appended.counts.tagsUnread, 1);
}

}  // namespace
