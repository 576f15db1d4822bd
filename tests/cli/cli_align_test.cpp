// sync --to end to end: generated films re-timed by a known transform and
// laid back onto their reference through the built program, in place, with
// -o, as a dry run and in UTF-16; a reference of another film refused with the
// file untouched unless --force; references that cannot be used named.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "alignment_cases.h"
#include "cli_runner.h"

namespace {

// The share of the file's sync times within 100 ms of the case's truth.
double ShareBack(const std::string& sami, const AlignmentCase& c) {
    const std::vector<std::int64_t> times = SyncTimesOf(sami);
    if (times.size() != c.truth.size() || times.empty()) {
        return 0.0;
    }
    std::size_t close = 0;
    for (std::size_t k = 0; k < times.size(); ++k) {
        close += (times[k] >= c.truth[k] - 100 && times[k] <= c.truth[k] + 100) ? 1u : 0u;
    }
    return static_cast<double>(close) / static_cast<double>(times.size());
}

class CliAlign : public CliTest {
protected:
    // Writes the case as film.smi and its reference; runs from the scratch folder.
    CliRun Run(const AlignmentCase& c, std::vector<std::string> arguments) {
        WriteFile(Path("film.smi"), c.fileSami);
        WriteFile(Path(c.referenceName), c.reference);
        CliRunOptions options;
        options.workDir = Dir();
        arguments.insert(arguments.begin(), "sync");
        return RunCli(arguments, options);
    }
};

TEST_F(CliAlign, BringsEveryKindBackInPlace) {
    for (int kind = 0; kind < kCaseKindCount; ++kind) {
        const AlignmentCase c = MakeAlignmentCase(static_cast<CaseKind>(kind), 7, 25);
        SCOPED_TRACE(c.transform);
        const CliRun run = Run(c, {"--to=" + c.referenceName, "film.smi"});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out.rfind("film.smi: ", 0), 0u) << run.out;
        EXPECT_NE(run.out.find(" cues match the reference; confidence "), std::string::npos);
        const std::string result = ReadFile(Path("film.smi"));
        EXPECT_GE(ShareBack(result, c), 0.95);
        EXPECT_EQ(WithoutSyncTimes(result), WithoutSyncTimes(c.correctSami));
        EXPECT_EQ(ReadFile(Path("film.smi.bak")), c.fileSami);
    }
}

TEST_F(CliAlign, ReadsAUtf16File) {
    const AlignmentCase c = MakeAlignmentCase(CASE_RATE, 3, 20);
    std::string wide = "\xFF\xFE";
    for (const char byte : c.fileSami) {
        wide += byte;
        wide += '\0';
    }
    WriteFile(Path("film.smi"), wide);
    WriteFile(Path(c.referenceName), c.reference);
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun run =
        RunCli({"sync", "--to", c.referenceName, "-o", "out.smi", "film.smi"}, options);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(Path("film.smi")), wide);
    std::string narrow;
    const std::string out = ReadFile(Path("out.smi"));
    ASSERT_EQ(out.substr(0, 2), "\xFF\xFE");
    for (std::size_t k = 2; k + 1 < out.size(); k += 2) {
        narrow += out[k];
    }
    EXPECT_GE(ShareBack(narrow, c), 0.95);
    EXPECT_EQ(WithoutSyncTimes(narrow), WithoutSyncTimes(c.correctSami));
}

// With -o - the file goes to standard output, so what was found goes to stderr.
TEST_F(CliAlign, WritesToStandardOutput) {
    const AlignmentCase c = MakeAlignmentCase(CASE_OFFSET, 6, 10);
    const CliRun run = Run(c, {"--to=" + c.referenceName, "-o", "-", "film.smi"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err.rfind("tembrel-cli: film.smi: ", 0), 0u) << run.err;
    EXPECT_GE(ShareBack(run.out, c), 0.95);
    EXPECT_EQ(WithoutSyncTimes(run.out), WithoutSyncTimes(c.correctSami));
    EXPECT_EQ(ReadFile(Path("film.smi")), c.fileSami);
}

// A result that cannot be written in full leaves the file as it was.
TEST_F(CliAlign, AFailedSaveLeavesTheFile) {
    const AlignmentCase c = MakeAlignmentCase(CASE_OFFSET, 8, 10);
    WriteFile(Path("film.smi"), c.fileSami);
    WriteFile(Path(c.referenceName), c.reference);
    CliRunOptions options;
    options.workDir = Dir();
    options.fileSizeLimit = static_cast<std::int64_t>(c.fileSami.size() / 2);
    const CliRun run = RunCli({"sync", "--to=" + c.referenceName, "film.smi"}, options);
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_NE(run.err.find("cannot save"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(Path("film.smi")), c.fileSami);
}

TEST_F(CliAlign, DryRunWritesNothingAndCounts) {
    const AlignmentCase c = MakeAlignmentCase(CASE_CUTS, 2, 20);
    const CliRun run = Run(c, {"-n", "--to=" + c.referenceName, "film.smi"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(ReadFile(Path("film.smi")), c.fileSami);
    EXPECT_FALSE(PathExists(Path("film.smi.bak")));
    EXPECT_NE(run.err.find("'film.smi' (bytes): "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(" cues"), std::string::npos);
}

TEST_F(CliAlign, RefusesAnotherFilmUnlessForced) {
    const AlignmentCase c = MakeAlignmentCase(CASE_OFFSET, 5, 20);
    std::string name;
    const std::string other = MakeOtherFilmReference(77, 20, &name);
    WriteFile(Path("film.smi"), c.fileSami);
    WriteFile(Path(name), other);
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun refused = RunCli({"sync", "--to=" + name, "film.smi"}, options);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out.rfind("film.smi: ", 0), 0u);
    EXPECT_NE(refused.err.find("'film.smi' is left as it was"), std::string::npos) << refused.err;
    EXPECT_EQ(ReadFile(Path("film.smi")), c.fileSami);
    EXPECT_EQ(ListDir(Dir()), (std::vector<std::string>{"film.smi", name}));
    const CliRun forced = RunCli({"sync", "--force", "--to=" + name, "film.smi"}, options);
    EXPECT_EQ(forced.exitCode, 0) << forced.err;
    EXPECT_EQ(ReadFile(Path("film.smi.bak")), c.fileSami);
}

struct BadReference {
    const char* name;
    std::string bytes;  // empty name: no file at all
    std::string message;
};

TEST_F(CliAlign, NamesAReferenceThatCannotBeUsed) {
    const AlignmentCase c = MakeAlignmentCase(CASE_OFFSET, 1, 5);
    const BadReference cases[] = {
        {"missing.srt", "", "cannot open the reference 'missing.srt': No such file or directory"},
        {"words.srt", "no times in here\n",
         "no usable cue in the reference 'words.srt': not SubRip, WebVTT, SSA/ASS or SAMI"},
        {"broken.srt", "1\n00:00:xx,000 --> 00:00:02,000\nA\n",
         "no usable cue in the reference 'broken.srt' (read as SubRip, 1 malformed entry "
         "skipped)"},
    };
    WriteFile(Path("film.smi"), c.fileSami);
    CliRunOptions options;
    options.workDir = Dir();
    for (const BadReference& bad : cases) {
        if (!bad.bytes.empty()) {
            WriteFile(Path(bad.name), bad.bytes);
        }
        const CliRun run = RunCli({"sync", std::string("--to=") + bad.name, "film.smi"}, options);
        EXPECT_EQ(run.exitCode, 1) << bad.name;
        EXPECT_EQ(run.err, "tembrel-cli: " + bad.message + "\n");
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(ReadFile(Path("film.smi")), c.fileSami);
    }
}

TEST_F(CliAlign, AFileAlreadyRightIsNotWritten) {
    const AlignmentCase c = MakeAlignmentCase(CASE_OFFSET, 4, 10);
    WriteFile(Path("film.smi"), c.correctSami);
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun run = RunCli({"sync", "--to=film.smi", "film.smi"}, options);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("film.smi: +0.000 s; "), std::string::npos) << run.out;
    EXPECT_EQ(run.err,
              "tembrel-cli: 'film.smi': its cues already stand at the reference's times; "
              "nothing to do\n");
    EXPECT_EQ(ListDir(Dir()), std::vector<std::string>{"film.smi"});
}

TEST_F(CliAlign, AFileWithoutCuesIsLeftAlone) {
    const AlignmentCase c = MakeAlignmentCase(CASE_OFFSET, 1, 5);
    WriteFile(Path("empty.smi"), "<SAMI><BODY></BODY></SAMI>\r\n");
    WriteFile(Path(c.referenceName), c.reference);
    CliRunOptions options;
    options.workDir = Dir();
    const CliRun run = RunCli({"sync", "--to=" + c.referenceName, "empty.smi"}, options);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("'empty.smi' holds no cue to align"), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(Path("empty.smi")), "<SAMI><BODY></BODY></SAMI>\r\n");
}

}  // namespace
