// What tembrel-cli reads and tells: a UTF-16 file with Korean text re-timed in
// place, quoted times read only with --quoted, an append of two encodings
// refused with nothing changed, and the counts and warnings on stderr.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_runner.h"

namespace {

using Names = std::vector<std::string>;

// UTF-16 of the given byte order, behind its byte order mark.
std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// Two cues at whole seconds (one digit each), Korean text and a surrogate pair.
std::u16string KoreanSami(char16_t first, char16_t second) {
    return u"<SAMI>\r\n<BODY>\r\n<SYNC Start=" + std::u16string(1, first) +
           u"000><P>\uB300\uC0AC \uD558\uB098\r\n<sync start=" + std::u16string(1, second) +
           u"000><P>\U0001F600\r\n</BODY>\r\n</SAMI>\r\n";
}

class CliReport : public CliTest {
protected:
    CliRunOptions InDir() const {
        CliRunOptions options;
        options.workDir = Dir();
        return options;
    }
};

TEST_F(CliReport, Utf16FileIsRetimedInPlaceEitherWayRound) {
    for (const bool bigEndian : {false, true}) {
        const std::string original = Utf16(KoreanSami(u'1', u'4'), bigEndian);
        WriteFile(Path("film.smi"), original);
        const CliRun run = RunCli({"shift", "-v", "--shift=2000", "film.smi"}, InDir());
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err, std::string("tembrel-cli: 'film.smi' (UTF-16 ") +
                               (bigEndian ? "BE" : "LE") +
                               "): 2 sync tags, 2 times moved, 0 left as they were (outside the "
                               "range or below 0), 0 without a readable time\n");
        EXPECT_EQ(ReadFile(Path("film.smi")), Utf16(KoreanSami(u'3', u'6'), bigEndian));
        EXPECT_EQ(ReadFile(Path("film.smi.bak")), original);
        EXPECT_EQ(RunCli({"last", "film.smi"}, InDir()).out, "6000\n");
    }
}

TEST_F(CliReport, AppendOfTwoEncodingsIsRefused) {
    const std::string first = Utf16(KoreanSami(u'1', u'2'), false);
    const std::string bytes = SamiWithTimes({500});
    WriteFile(Path("a.smi"), first);
    WriteFile(Path("b.smi"), bytes);
    WriteFile(Path("a.smi.bak"), "older");
    const CliRun run = RunCli({"append", "a.smi", "b.smi"}, InDir());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.err,
              "tembrel-cli: cannot append 'b.smi' to 'a.smi': the two files' encodings differ "
              "(bytes in a code page and UTF-16 LE)\n");
    EXPECT_EQ(ReadFile(Path("a.smi")), first);
    EXPECT_EQ(ReadFile(Path("a.smi.bak")), "older");
    EXPECT_EQ(ListDir(Dir()), (Names{"a.smi", "a.smi.bak", "b.smi"}));
}

struct ReportCase {
    std::vector<std::string> arguments;  // on a.smi (and b.smi for append)
    std::string expectedA;               // a.smi afterwards
    std::string err;
};

TEST_F(CliReport, QuotedTimesCountsAndWarnings) {
    const std::string quoted =
        "<BODY>\r\n<SYNC Start=\"1500\"><P>a\r\n<SYNC Start='-250'><P>b\r\n"
        "<SYNC Start=3000><P>c\r\n</BODY>\r\n";
    const std::vector<ReportCase> cases = {
        {{"shift", "--shift=500", "a.smi"},
         "<BODY>\r\n<SYNC Start=\"1500\"><P>a\r\n<SYNC Start='-250'><P>b\r\n"
         "<SYNC Start=3500><P>c\r\n</BODY>\r\n",
         "tembrel-cli: 'a.smi': 2 sync tags without a readable time left as they were (2 with a "
         "time in quotation marks: --quoted reads them)\n"},
        {{"shift", "--quoted", "-v", "--shift=500", "a.smi"},
         "<BODY>\r\n<SYNC Start=\"2000\"><P>a\r\n<SYNC Start='-250'><P>b\r\n"
         "<SYNC Start=3500><P>c\r\n</BODY>\r\n",
         "tembrel-cli: 'a.smi' (bytes): 3 sync tags, 2 times moved, 1 left as they were (outside "
         "the range or below 0), 0 without a readable time\n"},
        {{"append", "--quoted", "-v", "--offset=1000", "a.smi", "b.smi"},
         "<BODY>\r\n<SYNC Start=\"1500\"><P>a\r\n<SYNC Start='-250'><P>b\r\n"
         "<SYNC Start=3000><P>c\r\n<SYNC Start=\"2500\"><P>a\r\n<SYNC Start='750'><P>b\r\n"
         "<SYNC Start=4000><P>c\r\n</BODY>\r\n",
         "tembrel-cli: 'b.smi' (bytes): 3 cues appended, 3 times moved, 0 without a readable "
         "time\n"},
        {{"last", "--quoted", "-v", "a.smi"},
         quoted,
         "tembrel-cli: 'a.smi' (bytes): 3 sync tags, 0 without a readable time\n"},
    };
    for (const ReportCase& c : cases) {
        SCOPED_TRACE(JoinArguments(c.arguments));
        WriteFile(Path("a.smi"), quoted);
        WriteFile(Path("b.smi"), quoted);
        const CliRun run = RunCli(c.arguments, InDir());
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(ReadFile(Path("a.smi")), c.expectedA);
    }
    EXPECT_EQ(RunCli({"last", "a.smi"}, InDir()).out, "3000\n");
    EXPECT_EQ(RunCli({"last", "--quoted", "a.smi"}, InDir()).out, "3000\n");
    WriteFile(Path("a.smi"), "<SYNC Start=\"9000\">");
    EXPECT_EQ(RunCli({"last", "--quoted", "a.smi"}, InDir()).out, "9000\n");
}

}  // namespace
