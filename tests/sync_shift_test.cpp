// The shift run: mapping of single times, byte-exact output, refusals, the
// progress rule, the largest sync time, and failures reported as such.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "one_piece_shift.h"
#include "progress_recorder.h"
#include "result_codes.h"
#include "sync_shift.h"
#include "named_runs.h"
#include "sync_tag_search.h"
#include "test_files.h"

namespace {

class SyncShift : public ::testing::Test {
protected:
    void SetUp() override {
        BuildSyncTagTables();
        ResetProgress();
        dir_ = MakeScratchDir();
    }

    // Runs the shift on `input` and returns the output file's bytes.
    std::string Shift(const std::string& input, const ShiftParams& p) {
        const std::string in = dir_ + "/in.smi";
        const std::string out = dir_ + "/out.smi";
        WriteBytes(in, input);
        EXPECT_EQ(
            ShiftSyncTimes(in.c_str(), out.c_str(), p.rangeStart, p.rangeEnd, p.shift, p.stretch),
            RESULT_OK);
        return ReadBytes(out);
    }

    // The same run as the front ends make it, its progress recorded.
    std::string ShiftRecorded(const std::string& input, const ShiftParams& p) {
        const std::string in = dir_ + "/in.smi";
        const std::string out = dir_ + "/out.smi";
        WriteBytes(in, input);
        RunCounts counts;
        EXPECT_EQ(ShiftNamedFile(in.c_str(), out.c_str(), p,
                                 RecordingProgress(FrontEndRunOptions(0)), &counts),
                  RESULT_OK);
        return ReadBytes(out);
    }

    std::string dir_;
};

TEST(RetimeValue, MapsOrRefusesOneTime) {
    struct Case {
        const char* text;
        ShiftParams p;
        const char* expected;  // nullptr: refused
    };
    const std::int32_t max = 2147483647;
    const std::vector<Case> cases = {
        {"3000", {1000, 5000, 500, 0}, "3500"},
        {"1000", {1000, 5000, 500, 0}, "1500"},
        {"5000", {1000, 5000, 500, 0}, "5500"},
        {"999", {1000, 5000, 500, 0}, nullptr},
        {"5001", {1000, 5000, 500, 0}, nullptr},
        {"1000", {1000, 5000, 500, 2000}, "1500"},
        {"1001", {1000, 5000, 500, 2000}, "1501"},
        {"3000", {1000, 5000, 500, 2000}, "4500"},
        {"5000", {1000, 5000, 500, 2000}, "7500"},
        {"6500", {0, 13000, 0, 2000}, "7499"},
        {"13000", {0, 13000, 0, 2000}, "14999"},
        {"1500", {1000, 5000, -2000, 0}, nullptr},
        {"2000", {1000, 5000, -2000, 0}, "0"},
        {"3000", {1000, 5000, -2000, 0}, "1000"},
        {"1001", {1000, 5000, -1002, 2000}, "0"},
        {"1000", {1000, 5000, -1002, 2000}, nullptr},
        {"4321", {1000, 5000, 0, -4000}, "1000"},
        {"2000.6", {1000, 5000, 500, 0}, "2500"},
        {"+2000", {1000, 5000, 500, 0}, "2500"},
        {"-200", {1000, 5000, 500, 0}, nullptr},
        {"-200", {-1000, 5000, 500, 0}, "300"},
        {".", {0, 5000, 7, 0}, "7"},
        // Near 2^31: sums that would overflow 32 bits are refused, not wrapped.
        {"2147483647", {0, max, 0, 0}, "2147483647"},
        {"2147483647", {0, max, 1, 0}, nullptr},
        {"2147483600", {0, max, max, 0}, nullptr},
        {"2147483648", {0, max, -5, 0}, nullptr},
        {"-2147483648", {-2147483647 - 1, 0, max, 0}, nullptr},
        {"-2147483648", {-2147483647 - 1, 0, max, 1}, nullptr},
        {"100", {-1000, 1000, 0, 2000}, "1200"},
        // Ratio (2^32 - 1 + 2^31 - 1) / (2^32 - 1), just below 1.5: 1073741973.75.
        {"100", {-2147483647 - 1, max, 0, max}, "1073741973"},
        {"2000000000", {0, 2000000000, 0, 2000000000}, nullptr},
        {"1000000000", {0, 2000000000, 0, 2000000000}, "2000000000"},
    };
    for (const auto& c : cases) {
        char newText[16] = "untouched";
        const double ratio = StretchRatio(c.p.rangeStart, c.p.rangeEnd, c.p.stretch);
        const int accepted =
            RetimeValue(c.text, newText, c.p.rangeStart, c.p.rangeEnd, c.p.shift, ratio);
        EXPECT_EQ(accepted, c.expected ? 1 : 0) << c.text;
        EXPECT_STREQ(newText, c.expected ? c.expected : "untouched") << c.text;
    }
}

TEST(RetimeValue, RatioFromSpanAndStretch) {
    EXPECT_EQ(StretchRatio(1000, 5000, 2000), 1.5);
    EXPECT_EQ(StretchRatio(1000, 5000, 0), 1.0);
    EXPECT_EQ(StretchRatio(1000, 5000, -4000), 0.0);
    // The span of the whole 32-bit range does not overflow.
    EXPECT_EQ(StretchRatio(-2147483647 - 1, 2147483647, 2147483647),
              (4294967295.0 + 2147483647.0) / 4294967295.0);
}

TEST_F(SyncShift, RewritesOnlyTheTimesInTheRange) {
    struct Case {
        std::string input;
        ShiftParams p;
        std::string expected;
    };
    const ShiftParams plus500{1000, 5000, 500, 0};
    const std::vector<Case> cases = {
        {"<SYNC START=3000>", plus500, "<SYNC START=3500>"},
        {"<sync start=2000><P>x", plus500, "<sync start=2500><P>x"},
        {"<SYNC START= 2000>", plus500, "<SYNC START=2500>"},
        {"<SYNC START= 6000>", plus500, "<SYNC START= 6000>"},
        {"<SYNC START=+2000>", plus500, "<SYNC START=2500>"},
        {"<SYNC START=- 200>", plus500, "<SYNC START=- 200>"},
        {"<SYNC START=-200>", {-1000, 5000, 500, 0}, "<SYNC START=300>"},
        {"<SYNC START=2000.6>", plus500, "<SYNC START=2500>"},
        {"<SYNC START=\"2000\">", plus500, "<SYNC START=\"2000\">"},
        {"<SYNC START=1000:30>", {0, 5000, 500, 0}, "<SYNC START=1500:30>"},
        {"<SYNC START=>", plus500, "<SYNC START=>"},
        {"<SYNC START=-><SYNC START=2000>", plus500, "<SYNC START=-><SYNC START=2500>"},
        {"<SYNC START=<SYNC START=2000>", plus500, "<SYNC START=<SYNC START=2500>"},
        {"<SYNC START=", plus500, "<SYNC START="},
        {"<SYNC START=20", {0, 5000, 500, 0}, "<SYNC START=520"},
        {"<SYNC START=2000", plus500, "<SYNC START=2500"},
        {"", plus500, ""},
        {"no tags at all\r\n", plus500, "no tags at all\r\n"},
        {"<SYNC START=" + std::string(40, '3') + ">",
         {0, 2147483647, 5, 0},
         "<SYNC START=" + std::string(40, '3') + ">"},
        {"<SYNC START=2147483647>", {0, 2147483647, 1, 0}, "<SYNC START=2147483647>"},
        {"<SYNC START=2147483648>", {0, 2147483647, -1, 0}, "<SYNC START=2147483648>"},
        // Line ends and code-page bytes pass through as they stand.
        {"<SYNC START=1000><P Class=KRCC>\xbe\xc8\xb3\xe7\r\n<SYNC START=6000><P>\r\n", plus500,
         "<SYNC START=1500><P Class=KRCC>\xbe\xc8\xb3\xe7\r\n<SYNC START=6000><P>\r\n"},
        {"<SYNC START=1000><P>\xc7\xd1\n<SYNC START=4000><P>&nbsp;\n",
         {0, 5000, 0, 1000},
         "<SYNC START=1200><P>\xc7\xd1\n<SYNC START=4800><P>&nbsp;\n"},
        {std::string("<SYNC START=1000>\0\0<SYNC START=2000\0>", 37), plus500,
         std::string("<SYNC START=1500>\0\0<SYNC START=2500\0>", 37)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Shift(c.input, c.p), c.expected) << c.input;
    }
}

TEST_F(SyncShift, ProgressMovesInWholePercentsAndEndsAt100) {
    // 10000 bytes with tags whose handling ends at bytes 40, 100 and 199.
    std::string input(10000, 'x');
    input.replace(20, 12, "<SYNC START=");
    input.replace(32, 8, "12345678");
    input.replace(80, 12, "<SYNC START=");
    input.replace(92, 8, "00000001");
    input.replace(179, 12, "<SYNC START=");
    input.replace(191, 8, "00000002");
    ShiftRecorded(input, {0, 5000, 1, 0});
    EXPECT_EQ(g_recordedPercents, (std::vector<std::int32_t>{1, 100}));

    // Each run starts its own count from 0: what an earlier run told changes
    // nothing.
    ResetProgress();
    ShiftRecorded(input, {0, 5000, 1, 0});
    EXPECT_EQ(g_recordedPercents, (std::vector<std::int32_t>{1, 100}));

    // A run without a callback tells nobody, and the plain entry point has none.
    ResetProgress();
    Shift(input, {0, 5000, 1, 0});
    EXPECT_TRUE(g_recordedPercents.empty());

    // One tag per whole percent at most.
    ResetProgress();
    std::string dense;
    for (int k = 0; k < 1000; ++k) {
        dense += "<SYNC START=" + std::to_string(k) + ">\r\n";
    }
    ShiftRecorded(dense, {0, 5000, 1, 0});
    ASSERT_EQ(g_recordedPercents.size(), 100u);
    for (std::size_t k = 0; k + 1 < g_recordedPercents.size(); ++k) {
        EXPECT_EQ(g_recordedPercents[k], static_cast<std::int32_t>(k + 1));
    }
}

TEST_F(SyncShift, EmptyInputGivesEmptyOutputAndTheBarAt100) {
    EXPECT_EQ(ShiftRecorded("", {0, 100, 5, 0}), "");
    EXPECT_EQ(g_recordedPercents, (std::vector<std::int32_t>{100}));
}

TEST_F(SyncShift, FailuresAreReported) {
    const std::string in = dir_ + "/in.smi";
    WriteBytes(in, "<SYNC START=1000>");
    EXPECT_EQ(
        ShiftSyncTimes((dir_ + "/missing.smi").c_str(), (dir_ + "/out.smi").c_str(), 0, 5000, 5, 0),
        RESULT_BAD_FILE);
    EXPECT_FALSE(FileExists(dir_ + "/out.smi"));
    // Every write to /dev/full fails for lack of space.
    EXPECT_EQ(ShiftSyncTimes(in.c_str(), "/dev/full", 0, 5000, 5, 0), RESULT_CANNOT_SAVE);
    EXPECT_EQ(ShiftSyncTimes(in.c_str(), dir_.c_str(), 0, 5000, 5, 0), RESULT_CANNOT_SAVE);
    EXPECT_EQ(ShiftSyncTimes(in.c_str(), (dir_ + "/no/such/dir.smi").c_str(), 0, 5000, 5, 0),
              RESULT_CANNOT_SAVE);
    // A directory opens for reading on some systems but cannot be read.
    EXPECT_NE(ShiftSyncTimes(dir_.c_str(), (dir_ + "/out.smi").c_str(), 0, 5000, 5, 0), RESULT_OK);
    EXPECT_EQ(ReadBytes(in), "<SYNC START=1000>");
}

// The runs take streams their caller opened: the input is read from where it
// stands, the output written from where it stands and left open, and the
// input's size given for the progress rule.
TEST_F(SyncShift, RunsReadAndWriteTheCallersStreamsFromWhereTheyStand) {
    const std::string in = dir_ + "/in.smi";
    const std::string out = dir_ + "/out.smi";
    const std::string skipped = "<SYNC START=7>skipped";
    const std::string text = "<SYNC START=1000>a<SYNC START=2000>b";
    const ShiftParams p{0, 5000, 5, 0};
    const OnePieceResult expected = ShiftInOnePiece(text, p, 0);
    WriteBytes(in, skipped + text);
    std::FILE* input = std::fopen(in.c_str(), "rb");
    std::FILE* output = std::fopen(out.c_str(), "wb");
    ASSERT_NE(input, nullptr);
    ASSERT_NE(output, nullptr);
    ASSERT_EQ(std::fseek(input, static_cast<long>(skipped.size()), SEEK_SET), 0);
    ASSERT_GE(std::fputs("kept:", output), 0);
    RunCounts counts;
    EXPECT_EQ(ShiftFileTimes(input, static_cast<std::int64_t>(text.size()), output, p,
                             RecordingProgress(FrontEndRunOptions(0)), &counts),
              RESULT_OK);
    EXPECT_EQ(counts.timesMoved, 2);
    EXPECT_EQ(g_recordedPercents, expected.percents);
    // Neither stream is closed by the run.
    EXPECT_EQ(std::fputs("|", output), 1);
    ASSERT_EQ(std::fseek(input, 0, SEEK_SET), 0);
    std::int32_t last = -1;
    EXPECT_EQ(ReadLastSyncTime(input, FrontEndRunOptions(0), &last), RESULT_OK);
    EXPECT_EQ(last, expected.last);
    std::fclose(input);
    ASSERT_EQ(std::fclose(output), 0);
    EXPECT_EQ(ReadBytes(out), "kept:" + expected.output + "|");
    EXPECT_NE(expected.output, text);
}

TEST_F(SyncShift, LastSyncTime) {
    struct Case {
        std::string content;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {"<SYNC START=1000><SYNC START=250000><SYNC START=90000>", 250000},
        {"no tag", 0},
        {"", 0},
        {"<SYNC START=+300000><SYNC START=5>", 5},
        {"<SYNC START=-300000>", 0},
        {"<sync start= 250000.9>", 250000},
        {"<SYNC START=2147483647><SYNC START=2147483648>", 2147483647},
        {"<SYNC START=" + std::string(40, '9') + "><SYNC START=7>", 7},
        {"<SYNC START=\"9000\"><SYNC START=8>", 8},
    };
    for (const auto& c : cases) {
        const std::string path = dir_ + "/last.smi";
        WriteBytes(path, c.content);
        EXPECT_EQ(FindLastSyncTime(path.c_str()), c.expected) << c.content;
        std::int32_t last = -1;
        EXPECT_EQ(FindLastSyncTimeChecked(path.c_str(), &last), RESULT_OK);
        EXPECT_EQ(last, c.expected) << c.content;
    }
    // Unreadable: 0 from the plain lookup, a failure that leaves the time
    // untouched from the checked one.
    for (const std::string& path : {dir_ + "/missing.smi", dir_}) {
        EXPECT_EQ(FindLastSyncTime(path.c_str()), 0);
        std::int32_t last = -1;
        EXPECT_EQ(FindLastSyncTimeChecked(path.c_str(), &last), RESULT_BAD_FILE) << path;
        EXPECT_EQ(last, -1);
    }
}

}  // namespace
