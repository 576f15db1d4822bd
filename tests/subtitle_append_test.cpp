// The append run: what reaches the output file from each phase, how body times
// are moved, how long lines are cut into pieces, progress, and the result codes.
#include "subtitle_append.h"
#include "named_runs.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "progress_recorder.h"
#include "sync_shift.h"
#include "result_codes.h"
#include "sync_tag_search.h"
#include "test_files.h"

using namespace std::string_literals;

namespace {

const std::string kClosing = "</BODY>\r\n";

// Names each instance of a table-driven test after its row.
struct CaseName {
    template <typename Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& row) const {
        return row.param.name;
    }
};

struct AppendOutcome {
    std::int32_t result;
    std::string output;
};

void PrepareRun() {
    BuildSyncTagTables();
    ResetProgress();
}

// The run as the front ends make it, its progress recorded.
std::int32_t AppendRecorded(const std::string& first, const std::string& append,
                            const std::string& output, std::int32_t offset) {
    RunCounts counts;
    return AppendNamedFiles(first.c_str(), append.c_str(), output.c_str(), offset,
                            RecordingProgress(FrontEndRunOptions(0)), &counts);
}

AppendOutcome RunAppend(const std::string& first, const std::string& append, std::int32_t offset) {
    const std::string dir = MakeScratchDir();
    WriteBytes(dir + "/movie.smi.bak", first);
    WriteBytes(dir + "/extra.smi", append);
    const std::string output = dir + "/movie.smi";
    const std::int32_t result =
        AppendRecorded(dir + "/movie.smi.bak", dir + "/extra.smi", output, offset);
    return {result, ReadBytes(output)};
}

// One line of the append file's body, and what becomes of it.
struct RewriteCase {
    const char* name;
    std::int32_t offset;
    std::string line;
    std::string expected;
};

void PrintTo(const RewriteCase& row, std::ostream* out) {
    *out << row.name;
}

class AppendRewriteTest : public ::testing::TestWithParam<RewriteCase> {
protected:
    void SetUp() override { PrepareRun(); }
};

TEST_P(AppendRewriteTest, MovesFirstSyncTimeOfBodyLine) {
    const RewriteCase& c = GetParam();
    const AppendOutcome got = RunAppend("", "<BODY>\r\n" + c.line + "\r\n</BODY>\r\n", c.offset);
    EXPECT_EQ(got.result, RESULT_OK);
    EXPECT_EQ(got.output, c.expected + "\r\n" + kClosing);
}

const RewriteCase kRewriteCases[] = {
    {"TagKeepsItsLetterCase", 60000, "<SYNC Start=1500><P>hi", "<SYNC Start=61500><P>hi"},
    {"LowerCaseTag", 500, "<sync start=1000>", "<sync start=1500>"},
    {"TwoBlanksInTag", 500, "<SYNC  START=1000>", "<SYNC  START=1000>"},
    {"BlankBeforeEquals", 500, "<SYNC START =1000>", "<SYNC START =1000>"},
    {"BlankAndLeadingZeroGo", 0, "<SYNC START= 0500 >", "<SYNC START=500 >"},
    {"TabBeforeTime", 7, "<SYNC START=\t1>", "<SYNC START=8>"},
    {"MinusSignMovedToPositive", 1000, "<SYNC START=-500>", "<SYNC START=500>"},
    {"PlusSignDropped", 0, "<SYNC START=+500>", "<SYNC START=500>"},
    {"BlankBehindSign", 0, "<SYNC START=- 500>", "<SYNC START=-500>"},
    {"NegativeResult", -2000, "<SYNC START=1500>", "<SYNC START=-500>"},
    {"FractionDropped", 0, "<SYNC START=1500.7>", "<SYNC START=1500>"},
    {"LoneDotIsZero", 250, "<SYNC START=.>", "<SYNC START=250>"},
    {"ColonBehindTime", 500, "<SYNC START=1000:30>", "<SYNC START=1500:30>"},
    {"QuotedTime", 500, "<SYNC START=\"1000\">", "<SYNC START=\"1000\">"},
    {"EmptyTime", 500, "<SYNC START=>", "<SYNC START=>"},
    {"TagAtLineEnd", 500, "<P>x<SYNC START=", "<P>x<SYNC START="},
    {"SignWithoutNumber", 500, "<SYNC START=->", "<SYNC START=->"},
    {"TwoSigns", 500, "<SYNC START=+-5>", "<SYNC START=+-5>"},
    {"OnlyFirstTagOfLine", 500, "<SYNC START=1000><P>a<SYNC START=2000><P>b",
     "<SYNC START=1500><P>a<SYNC START=2000><P>b"},
    {"TextBeforeTagKept", 1, "<P>x</P><SYNC START=1>", "<P>x</P><SYNC START=2>"},
    {"SumWrapsUpward", 1, "<SYNC START=2147483647>", "<SYNC START=-2147483648>"},
    {"SumWrapsDownward", -1, "<SYNC START=-2147483648>", "<SYNC START=2147483647>"},
    {"FifteenDigitsWrap", 0, "<SYNC START=999999999999999>", "<SYNC START=-1530494977>"},
    {"SignAndFourteenDigitsWrap", 0, "<SYNC START=-99999999999999>", "<SYNC START=-276447231>"},
    {"SixteenDigitsUnchanged", 5, "<SYNC START=1234567890123456>", "<SYNC START=1234567890123456>"},
    {"ThirtyDigitsUnchanged", 5, "<SYNC START=" + std::string(30, '9') + ">",
     "<SYNC START=" + std::string(30, '9') + ">"},
    {"SignAndFifteenDigitsUnchanged", 5, "<SYNC START=-123456789012345>",
     "<SYNC START=-123456789012345>"},
};

INSTANTIATE_TEST_SUITE_P(Lines, AppendRewriteTest, ::testing::ValuesIn(kRewriteCases), CaseName());

// Whole files: which pieces of each phase reach the output.
struct PhaseCase {
    const char* name;
    std::string first;
    std::string append;
    std::string expected;
};

void PrintTo(const PhaseCase& row, std::ostream* out) {
    *out << row.name;
}

const std::string kFirstHead = "<SAMI>\r\n<BODY>\r\n<SYNC START=1000><P>one\r\n";
const std::string kFirst = kFirstHead + "</BODY>\r\n</SAMI>\r\n";
const std::string kAppend =
    "<SAMI>\r\n<HEAD><TITLE>t</TITLE></HEAD>\r\n<BODY>\r\n<SYNC START=200><P>two\r\n"
    "<SYNC START=300><P>three\r\n</BODY>\r\n<SYNC START=9><P>never\r\n</SAMI>\r\n";
// kAppend's body moved by the offset of the phase cases, 5000.
const std::string kCues = "<SYNC START=5200><P>two\r\n<SYNC START=5300><P>three\r\n";

class AppendPhaseTest : public ::testing::TestWithParam<PhaseCase> {
protected:
    void SetUp() override { PrepareRun(); }
};

TEST_P(AppendPhaseTest, WritesFirstHeadAppendBodyClosingLineAndTail) {
    const PhaseCase& c = GetParam();
    const AppendOutcome got = RunAppend(c.first, c.append, 5000);
    EXPECT_EQ(got.result, RESULT_OK);
    EXPECT_EQ(got.output, c.expected);
}

const PhaseCase kPhaseCases[] = {
    {"BothBodies", kFirst, kAppend, kFirstHead + kCues + kClosing + "</SAMI>\r\n"},
    {"FirstClosingPieceReplacedWhole", "<BODY>\r\n</BODY></SAMI>\r\n", kAppend,
     "<BODY>\r\n" + kCues + kClosing},
    {"OnlyFirstClosingTagEndsHead", "<BODY>\r\n</BODY>\r\nmid\r\n</BODY>\r\n", kAppend,
     "<BODY>\r\n" + kCues + kClosing + "mid\r\n</BODY>\r\n"},
    {"LowerCaseClosingNotRecognised", "<BODY>\r\n</body>\r\n", kAppend,
     "<BODY>\r\n</body>\r\n" + kCues + kClosing},
    {"BlankBeforeClosingNotRecognised", "<BODY>\r\n </BODY>\r\n", kAppend,
     "<BODY>\r\n </BODY>\r\n" + kCues + kClosing},
    {"AppendOpeningPieceDropped", kFirst,
     "<BODY><SYNC START=0><P>x\r\n<SYNC START=1><P>y\r\n</BODY>\r\n",
     kFirstHead + "<SYNC START=5001><P>y\r\n" + kClosing + "</SAMI>\r\n"},
    {"LowerCaseOpeningNotRecognised", kFirst, "<body>\r\n<SYNC START=1>\r\n</body>\r\n",
     kFirstHead + kClosing + "</SAMI>\r\n"},
    {"AppendWithoutBody", kFirst, "<SYNC START=1>\r\n", kFirstHead + kClosing + "</SAMI>\r\n"},
    {"AppendBodyUnclosed", kFirst, "<BODY>\r\n<SYNC START=1>\r\n<body>\r\n",
     kFirstHead + "<SYNC START=5001>\r\n<body>\r\n" + kClosing + "</SAMI>\r\n"},
    {"ClosingTagWithCueKeepsBodyGoing", "",
     "<BODY>\r\n</BODY><SYNC START=100>\r\n<SYNC START=2><P>z\r\n</BODY>\r\n",
     "</BODY><SYNC START=5100>\r\n<SYNC START=5002><P>z\r\n" + kClosing},
    {"BlankBeforeBodyEndDoesNotEndBody", "", "<BODY>\r\n </BODY>\r\n<P>a\r\n</BODY>\r\nb\r\n",
     " </BODY>\r\n<P>a\r\n" + kClosing},
    {"LfLineEndsKept", "<BODY>\n<P>a\n</BODY>\n</SAMI>\n", "<BODY>\n<SYNC START=1>\n</BODY>\n",
     "<BODY>\n<P>a\n<SYNC START=5001>\n" + kClosing + "</SAMI>\n"},
    {"LastLinesWithoutLineEnd", "<BODY>\r\n</BODY>\r\n</SAMI>", "<BODY>\r\n<SYNC START=1>",
     "<BODY>\r\n<SYNC START=5001>" + kClosing + "</SAMI>"},
    {"EmptyAppendFile", kFirst, "", kFirstHead + kClosing + "</SAMI>\r\n"},
    {"EmptyFirstFile", "", kAppend, kCues + kClosing},
    {"EmptyInputs", "", "", kClosing},
    {"NulBytesKeptInEveryPhase", "<BODY>\na\0b\n</BODY>\0x\ntail\0\n"s,
     "x\0<BODY>\n<BODY>\0\n\0\0<SYNC START=100>\0x\0\n<SYNC START=\0"
     "5>\n</BODY>\0\n"s,
     "<BODY>\na\0b\n\0\0<SYNC START=5100>\0x\0\n<SYNC START=\0"
     "5>\n"s +
         kClosing + "tail\0\n"s},
};

INSTANTIATE_TEST_SUITE_P(Files, AppendPhaseTest, ::testing::ValuesIn(kPhaseCases), CaseName());

// Lines longer than a piece: every piece is a line of its own for every rule.
std::vector<PhaseCase> LongLineCases() {
    const std::string a1023(1023, 'a');
    const std::string cue1020 = "<SYNC START=9>" + std::string(1004, 'y') + "\r\n";
    return {
        {"SecondPieceEndsHead", a1023 + "</BODY>" + std::string(468, 'b') + "\r\ntail\r\n", "",
         a1023 + kClosing + "tail\r\n"},
        {"SecondPieceEndsBody", "",
         "<BODY>\r\n" + a1023 + "</BODY>" + std::string(468, 'b') + "\r\n<SYNC START=1>\r\n",
         a1023 + kClosing},
        {"SecondPieceOpensBody", "", a1023 + "<BODY>\r\n<SYNC START=1>\r\n",
         "<SYNC START=5001>\r\n" + kClosing},
        {"TagAcrossPiecesNotFound", "",
         "<BODY>\r\n" + std::string(1017, 'a') + "<SYNC START=1>" + std::string(467, 'b') + "\r\n",
         std::string(1017, 'a') + "<SYNC START=1>" + std::string(467, 'b') + "\r\n" + kClosing},
        {"TagInSecondPieceMoved", "", "<BODY>\r\n" + a1023 + "<SYNC START=1>\r\n",
         a1023 + "<SYNC START=5001>\r\n" + kClosing},
        {"LinesOfExactlyOnePiece", a1023 + "</BODY>\r\n" + a1023, "", a1023 + kClosing + a1023},
    };
}

INSTANTIATE_TEST_SUITE_P(LongLines, AppendPhaseTest, ::testing::ValuesIn(LongLineCases()),
                         CaseName());

// A piece near 1,023 bytes whose time text grows is written in full.
std::vector<RewriteCase> GrowingPieceCases() {
    const std::string tail1004(1004, 'y');
    const std::string tail1009(1009, 'y');
    return {
        {"TenDigitsInLineOf1020", 2147483638, "<SYNC START=9>" + tail1004,
         "<SYNC START=2147483647>" + tail1004},
        {"SignAndTenDigitsInPieceOf1023", INT32_MIN, "<SYNC START=0>" + tail1009 + "zz",
         "<SYNC START=-2147483648>" + tail1009 + "zz"},
    };
}

INSTANTIATE_TEST_SUITE_P(GrowingPieces, AppendRewriteTest, ::testing::ValuesIn(GrowingPieceCases()),
                         CaseName());

// Every piece read from either input counts by its length; the total is the two
// files' sizes; the bar ends at 100 in every run.
struct ProgressCase {
    const char* name;
    std::string first;
    std::string append;
    std::vector<std::int32_t> expected;
};

void PrintTo(const ProgressCase& row, std::ostream* out) {
    *out << row.name;
}

std::string Line(const std::string& text, std::size_t length) {
    return text + std::string(length - text.size() - 1, ' ') + "\n";
}

class AppendProgressTest : public ::testing::TestWithParam<ProgressCase> {
protected:
    void SetUp() override { PrepareRun(); }
};

TEST_P(AppendProgressTest, ReportsEveryPieceAndEndsAt100) {
    const ProgressCase& c = GetParam();
    EXPECT_EQ(RunAppend(c.first, c.append, 0).result, RESULT_OK);
    EXPECT_EQ(g_recordedPercents, c.expected);
}

// 100 + 100 bytes; the append file's last 25 are behind its body and never read.
const std::string kProgressFirst = Line("<BODY>", 30) + Line("</BODY>", 30) + Line("</SAMI>", 40);
const std::string kProgressAppend =
    Line("<BODY>", 20) + Line("<SYNC START=1>", 30) + Line("</BODY>", 25) + Line("x", 25);

const ProgressCase kProgressCases[] = {
    {"PiecesOfBothFiles", kProgressFirst, kProgressAppend, {15, 30, 40, 55, 67, 87, 100}},
    // 1000 bytes: pieces ending at bytes 4, 8, 12, 16 and 20 make 0, 0, 1, 1
    // and 2 %, of which only the changes are told.
    {"UnchangedPercentNotSent",
     Line("a", 4) + Line("b", 4) + Line("c", 4) + Line("d", 4) + Line("e", 4),
     std::string(980, 'x'),
     {1, 2, 100, 100}},
    {"FinalHundredAlwaysSent", "", Line("x", 10), {100, 100}},
    {"LongLineCountsAsTwoPieces", std::string(1499, 'a') + "\n", "", {68, 100, 100}},
    {"EmptyInputsOnlyFinalHundred", "", "", {100}},
};

INSTANTIATE_TEST_SUITE_P(Runs, AppendProgressTest, ::testing::ValuesIn(kProgressCases), CaseName());

// Result codes: which of the three files fails decides the code.
class AppendResultTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareRun();
        dir_ = MakeScratchDir();
        first_ = dir_ + "/movie.smi.bak";
        append_ = dir_ + "/extra.smi";
        output_ = dir_ + "/movie.smi";
        WriteBytes(first_, kFirst);
        WriteBytes(append_, kAppend);
    }
    std::int32_t Run(const std::string& first, const std::string& append,
                     const std::string& output) {
        return AppendRecorded(first, append, output, 0);
    }
    std::string dir_;
    std::string first_;
    std::string append_;
    std::string output_;
};

TEST_F(AppendResultTest, MissingFirstFileGives1AndCreatesNoOutput) {
    EXPECT_EQ(Run(dir_ + "/none.smi", append_, output_), RESULT_BAD_FILE);
    EXPECT_FALSE(FileExists(output_));
}

TEST_F(AppendResultTest, MissingAppendFileGives2AndCreatesNoOutput) {
    EXPECT_EQ(Run(first_, dir_ + "/none.smi", output_), RESULT_BAD_APPEND_FILE);
    EXPECT_FALSE(FileExists(output_));
}

TEST_F(AppendResultTest, UnreadableInputsGiveTheirCodes) {
    EXPECT_EQ(Run(dir_, append_, output_), RESULT_BAD_FILE);
    EXPECT_EQ(Run(first_, dir_, output_), RESULT_BAD_APPEND_FILE);
}

TEST_F(AppendResultTest, OutputThatCannotBeWrittenGives3) {
    EXPECT_EQ(Run(first_, append_, dir_), RESULT_CANNOT_SAVE);
    EXPECT_EQ(Run(first_, append_, dir_ + "/no/such/folder/out.smi"), RESULT_CANNOT_SAVE);
    if (std::filesystem::exists("/dev/full")) {
        EXPECT_EQ(Run(first_, append_, "/dev/full"), RESULT_CANNOT_SAVE);
        ASSERT_FALSE(g_recordedPercents.empty());
        EXPECT_EQ(g_recordedPercents.back(), 100);
    }
}

TEST_F(AppendResultTest, SuccessGives0AndLeavesInputsAlone) {
    EXPECT_EQ(Run(first_, append_, output_), RESULT_OK);
    EXPECT_EQ(ReadBytes(first_), kFirst);
    EXPECT_EQ(ReadBytes(append_), kAppend);
    EXPECT_EQ(ReadBytes(output_), kFirstHead +
                                      "<SYNC START=200><P>two\r\n<SYNC START=300><P>three\r\n" +
                                      kClosing + "</SAMI>\r\n");
}

}  // namespace
