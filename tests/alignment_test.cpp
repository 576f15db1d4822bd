// Aligning to a reference. A property over generated cases of every kind (an
// offset, a rate with an offset, cuts, a rate with a cut): the file's cues read
// by the engine, aligned to the noisy reference and re-timed by the map run
// come back within 100 ms of the truth, no other byte changes, and a
// reference of another film is refused. Then the map itself (monotone where a
// piece starts below the end of the one before, rounding, the 32-bit range),
// the map run's byte rules (UTF-16, quoted times, a small window), and what a
// cue of the file is.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "alignment_cases.h"
#include "cue_alignment.h"
#include "file_cues.h"
#include "progress_recorder.h"
#include "reference_alignment.h"
#include "reference_cues.h"
#include "result_codes.h"
#include "sync_file_walk.h"
#include "sync_shift.h"
#include "sync_tag_search.h"
#include "time_map_run.h"
#include "widened_text.h"

namespace {

// A scratch stream holding `bytes`, at its start.
std::FILE* StreamOf(const std::string& bytes) {
    std::FILE* file = std::tmpfile();
    EXPECT_NE(file, nullptr);
    if (file != nullptr) {
        EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size());
        EXPECT_EQ(std::fseek(file, 0, SEEK_SET), 0);
    }
    return file;
}

std::string ContentOf(std::FILE* file) {
    std::string bytes;
    EXPECT_EQ(std::fseek(file, 0, SEEK_SET), 0);
    EXPECT_EQ(ReadWholeStream(file, &bytes), 1);
    return bytes;
}

std::vector<Cue> FileCuesOf(const std::string& sami, const RunOptions& options, RunCounts* counts) {
    std::FILE* input = StreamOf(sami);
    std::vector<Cue> cues;
    EXPECT_EQ(ReadFileCues(input, options, &cues, counts), RESULT_OK);
    std::fclose(input);
    return cues;
}

struct MapOutcome {
    std::int32_t result;
    std::string output;
    RunCounts counts;
};

MapOutcome RunMap(const std::string& sami, const TimeMap& map, const RunOptions& options) {
    std::FILE* input = StreamOf(sami);
    std::FILE* output = std::tmpfile();
    MapOutcome outcome{};
    outcome.result = MapFileTimes(input, static_cast<std::int64_t>(sami.size()), output, map,
                                  options, &outcome.counts);
    outcome.output = ContentOf(output);
    std::fclose(output);
    std::fclose(input);
    return outcome;
}

class Alignments : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override { BuildSyncTagTables(); }
};

TEST_P(Alignments, BringEveryKindBack) {
    const auto kind = static_cast<CaseKind>(GetParam());
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        const AlignmentCase c = MakeAlignmentCase(kind, seed, 40);
        SCOPED_TRACE(std::string(CaseKindName(kind)) + " seed " + std::to_string(seed) + ": " +
                     c.transform);
        ReferenceCues reference;
        ReadReferenceCues(c.reference, c.referenceName.c_str(), &reference);
        ASSERT_GT(reference.cues.size(), 100u);
        RunCounts counts;
        const std::vector<Cue> cues = FileCuesOf(c.fileSami, FrontEndRunOptions(0), &counts);
        Alignment alignment;
        AlignCues(cues, reference.cues, &alignment);
        EXPECT_EQ(alignment.confident, 1) << DescribeAlignment(alignment);
        const MapOutcome mapped = RunMap(c.fileSami, alignment.map, FrontEndRunOptions(0));
        ASSERT_EQ(mapped.result, RESULT_OK);
        EXPECT_EQ(WithoutSyncTimes(mapped.output), WithoutSyncTimes(c.correctSami));
        const std::vector<std::int64_t> times = SyncTimesOf(mapped.output);
        ASSERT_EQ(times.size(), c.truth.size());
        std::size_t close = 0;
        for (std::size_t k = 0; k < times.size(); ++k) {
            close += (times[k] >= c.truth[k] - 100 && times[k] <= c.truth[k] + 100) ? 1u : 0u;
        }
        EXPECT_GE(close * 100, times.size() * 95) << DescribeAlignment(alignment);
        EXPECT_EQ(mapped.counts.timesMoved, static_cast<std::int64_t>(times.size()));
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, Alignments,
                         ::testing::Values(CASE_OFFSET, CASE_RATE, CASE_CUTS, CASE_RATE_CUT));

TEST(Alignment, RefusesAnotherFilm) {
    BuildSyncTagTables();
    for (std::uint32_t seed = 1; seed <= 4; ++seed) {
        const AlignmentCase c = MakeAlignmentCase(CASE_CUTS, seed, 40);
        std::string name;
        ReferenceCues reference;
        ReadReferenceCues(MakeOtherFilmReference(seed + 50, 40, &name), name.c_str(), &reference);
        RunCounts counts;
        Alignment alignment;
        AlignCues(FileCuesOf(c.fileSami, FrontEndRunOptions(0), &counts), reference.cues,
                  &alignment);
        EXPECT_EQ(alignment.confident, 0) << DescribeAlignment(alignment);
        EXPECT_LT(alignment.confidence, 30);
    }
}

// The whole alignment from two streams, as a front end calls it.
TEST(AlignToReference, ReadsBothStreamsAndTellsWhatIsMissing) {
    BuildSyncTagTables();
    const AlignmentCase c = MakeAlignmentCase(CASE_RATE_CUT, 9, 20);
    struct Case {
        std::string file;
        std::string reference;
        AlignStatus status;
    };
    const Case cases[] = {
        {c.fileSami, c.reference, ALIGN_DONE},
        {c.fileSami, "no cue here", ALIGN_REFERENCE_EMPTY},
        {c.fileSami, "", ALIGN_REFERENCE_EMPTY},
        {"<SAMI><BODY><SYNC Start=5>\r\n</BODY>", c.reference, ALIGN_FILE_EMPTY},
        {"", c.reference, ALIGN_FILE_EMPTY},
    };
    for (const Case& each : cases) {
        std::FILE* file = StreamOf(each.file);
        std::FILE* reference = StreamOf(each.reference);
        ReferenceCues cues;
        ReferenceAlignment result;
        AlignStatus status = ReadReferenceStream(reference, c.referenceName.c_str(), &cues);
        if (status == ALIGN_DONE) {
            status = AlignToReference(file, cues, FrontEndRunOptions(0), &result);
        }
        EXPECT_EQ(status, each.status);
        if (each.status == ALIGN_DONE) {
            EXPECT_EQ(result.alignment.confident, 1);
            EXPECT_EQ(result.alignment.map.pieceCount, 2);
            EXPECT_EQ(result.fileCounts.tagsFound,
                      static_cast<std::int64_t>(SyncTimesOf(c.fileSami).size()));
        }
        std::fclose(reference);
        std::fclose(file);
    }
}

// Cues far denser than the matching's tolerance match at any offset: such a
// reference cannot tell the offset, and the alignment says so.
TEST(Alignment, CuesDenserThanTheToleranceAreNeverConfident) {
    std::vector<Cue> file;
    std::vector<Cue> reference;
    std::uint32_t state = 5u;
    for (std::int64_t time = 1000; time < 600000;) {
        state = state * 1664525u + 1013904223u;
        const std::int64_t length = 60 + (state >> 8) % 80;
        file.push_back(Cue{time + 5000, time + 5000 + length});
        reference.push_back(Cue{time, time + length});
        time += length + 1 + (state >> 20) % 60;
    }
    Alignment alignment;
    AlignCues(file, reference, &alignment);
    EXPECT_EQ(alignment.confident, 0) << DescribeAlignment(alignment);
    EXPECT_GT(alignment.chanceShare, 0.5);
}

TEST(Alignment, TooFewCuesAreNeverConfident) {
    Alignment alignment;
    AlignCues({{1000, 2000}}, {{1000, 2000}}, &alignment);
    EXPECT_EQ(alignment.confident, 0);
    AlignCues({{1000, 2000}, {3000, 4000}}, {}, &alignment);
    EXPECT_EQ(alignment.confident, 0);
    EXPECT_EQ(alignment.map.pieceCount, 1);
    EXPECT_EQ(alignment.map.rate, 1.0);
}

TimeMap TwoPieces(double rate, double first, std::int64_t from, double second) {
    TimeMap map = IdentityMap();
    map.pieceCount = 2;
    map.rate = rate;
    map.offset[0] = first;
    map.pieceFrom[1] = from;
    map.offset[1] = second;
    return map;
}

TEST(MapTime, MapsByPieceRoundsAndStaysInRange) {
    struct Case {
        TimeMap map;
        std::int64_t time;
        int ok;
        std::int32_t mapped;
    };
    const Case cases[] = {
        {IdentityMap(), 0, 1, 0},
        {IdentityMap(), 2147483647, 1, 2147483647},
        {TwoPieces(1.0, 500.0, 10000, -3000.0), 9999, 1, 10499},
        {TwoPieces(1.0, 500.0, 10000, -3000.0), 10000, 1, 10500},  // held at the end before
        {TwoPieces(1.0, 500.0, 10000, -3000.0), 13500, 1, 10500},
        {TwoPieces(1.0, 500.0, 10000, -3000.0), 14000, 1, 11000},
        {TwoPieces(1.0, 500.0, 10000, 2000.0), 10000, 1, 12000},
        {TwoPieces(1.5, 0.4, 100, 0.0), 3, 1, 5},   // 4.9 rounds up
        {TwoPieces(1.0, -0.6, 100, 0.0), 1, 1, 0},  // 0.4 rounds down
        {TwoPieces(1.0, -1000.0, 100000, 0.0), 999, 0, 0},
        {TwoPieces(1.0, 1000.0, 4000000000, 0.0), 2147482647, 1, 2147483647},
        {TwoPieces(1.0, 1000.0, 4000000000, 0.0), 2147482648, 0, 0},
    };
    for (const Case& c : cases) {
        std::int32_t mapped = -1;
        EXPECT_EQ(MapTime(c.map, c.time, &mapped), c.ok) << c.time;
        if (c.ok) {
            EXPECT_EQ(mapped, c.mapped) << c.time;
        }
    }
}

// Whatever the pieces, a later time never maps below an earlier one.
TEST(MapTime, NeverFalls) {
    std::uint32_t state = 99u;
    auto next = [&state]() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int round = 0; round < 200; ++round) {
        TimeMap map = IdentityMap();
        map.pieceCount = 1 + static_cast<std::int32_t>(next() % kMaxMapPieces);
        map.rate = 0.9 + static_cast<double>(next() % 2000) / 10000.0;
        std::int64_t from = 0;
        for (std::int32_t p = 0; p < map.pieceCount; ++p) {
            from += next() % 600000;
            map.pieceFrom[p] = from;
            map.offset[p] = static_cast<double>(next() % 200000) - 100000.0 + 200000.0;
        }
        std::int32_t previous = -1;
        for (std::int64_t time = 0; time < 5000000; time += 1 + next() % 20000) {
            std::int32_t mapped = 0;
            ASSERT_EQ(MapTime(map, time, &mapped), 1);
            EXPECT_GE(mapped, previous) << "at " << time;
            previous = mapped;
        }
    }
}

const char kSmallSami[] =
    "<SAMI><BODY>\r\n<SYNC Start=1000><P Class=KRCC>\xC7\xD1\r\n<SYNC Start=2000><P "
    "Class=KRCC>&nbsp;\r\n<sync start=\"3000\"><P>b\r\n<SYNC Start=+4000><P>c\r\n<SYNC "
    "Start=x>\r\n<SYNC Start=99999999999><P>d\r\n</BODY></SAMI>\r\n";

// What the map run writes, for byte files and UTF-16 ones alike, in any window.
TEST(MapRun, ChangesOnlyTheDigitsOfSyncTimes) {
    BuildSyncTagTables();
    const TimeMap map = TwoPieces(1.0, 500.0, 3000, 750.0);
    const std::string expectedQuoted =
        "<SAMI><BODY>\r\n<SYNC Start=1500><P Class=KRCC>\xC7\xD1\r\n<SYNC Start=2500><P "
        "Class=KRCC>&nbsp;\r\n<sync start=\"3750\"><P>b\r\n<SYNC Start=4750><P>c\r\n<SYNC "
        "Start=x>\r\n<SYNC Start=99999999999><P>d\r\n</BODY></SAMI>\r\n";
    for (const TextKind kind : {TEXT_BYTES, TEXT_UTF16_LE, TEXT_UTF16_BE}) {
        for (const std::int32_t window : {16, 37, kFileBufferSize}) {
            const std::string input = ByteOrderMark(kind) + Widen(kSmallSami, kind);
            const MapOutcome quoted =
                RunMap(kind == TEXT_BYTES ? kSmallSami : input, map, RunOptions{1, window});
            ASSERT_EQ(quoted.result, RESULT_OK);
            EXPECT_EQ(quoted.output, kind == TEXT_BYTES
                                         ? expectedQuoted
                                         : ByteOrderMark(kind) + Widen(expectedQuoted, kind));
            EXPECT_EQ(quoted.counts.tagsFound, 6);
            EXPECT_EQ(quoted.counts.timesMoved, 4);
            EXPECT_EQ(quoted.counts.timesLeft, 1);
            EXPECT_EQ(quoted.counts.tagsUnread, 1);
            const MapOutcome plain =
                RunMap(kind == TEXT_BYTES ? kSmallSami : input, map, RunOptions{0, window});
            EXPECT_EQ(plain.counts.timesMoved, 3) << window;
            EXPECT_EQ(plain.counts.quotedUnread, 1);
        }
    }
}

TEST(MapRun, IdentityKeepsEveryByte) {
    BuildSyncTagTables();
    const AlignmentCase c = MakeAlignmentCase(CASE_OFFSET, 3, 5);
    const MapOutcome outcome = RunMap(c.fileSami + "\x01", IdentityMap(), FrontEndRunOptions(0));
    EXPECT_EQ(outcome.output, c.fileSami + "\x01");
}

TEST(MapRun, TellsItsProgressUpTo100) {
    BuildSyncTagTables();
    const AlignmentCase c = MakeAlignmentCase(CASE_OFFSET, 4, 30);
    ResetProgress();
    const MapOutcome outcome =
        RunMap(c.fileSami, IdentityMap(), RecordingProgress(RunOptions{0, 4096}));
    ASSERT_EQ(outcome.result, RESULT_OK);
    ASSERT_GT(g_recordedPercents.size(), 50u);
    EXPECT_EQ(g_recordedPercents.back(), 100);
    for (std::size_t k = 1; k < g_recordedPercents.size(); ++k) {
        EXPECT_GT(g_recordedPercents[k], g_recordedPercents[k - 1]);
    }
}

TEST(ShowsNothing, TellsAnEndFromACue) {
    struct Case {
        const char* text;
        int nothing;
    };
    const Case cases[] = {
        {"><P Class=KRCC>&nbsp;\r\n<SYNC Start=5>", 1},
        {"><P Class=KRCC>&NBSP\r\n  <sync start=5>", 1},
        {" End=9><P>&nbsp;</P>\r\n</BODY>", 1},
        {"><P Class=KRCC>\xC7\xD1\r\n<SYNC Start=5>", 0},
        {"><P>a<SYNC Start=5>", 0},
        {"><P>&amp;<SYNC Start=5>", 0},
        {"><P>&nbsp;", 0},  // the window ends before the next tag: taken for a cue
        {"><P", 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        const std::string text = c.text;
        EXPECT_EQ(ShowsNothing(text.data(), static_cast<std::int32_t>(text.size())), c.nothing)
            << c.text;
    }
}

TEST(FileCues, EndsComeFromTheNextTimeAndBlankPointsAreNoCues) {
    BuildSyncTagTables();
    RunCounts counts;
    const std::vector<Cue> cues = FileCuesOf(kSmallSami, RunOptions{1, kFileBufferSize}, &counts);
    // 1000 (ends at 2000), 3000, +4000, and the time beyond 32 bits left out.
    ASSERT_EQ(cues.size(), 3u);
    EXPECT_EQ(cues[0].start, 1000);
    EXPECT_EQ(cues[0].end, 2000);
    EXPECT_EQ(cues[1].start, 3000);
    EXPECT_EQ(cues[1].end, 4000);
    EXPECT_EQ(cues[2].start, 4000);
    EXPECT_EQ(cues[2].end, -1);
    EXPECT_EQ(counts.tagsFound, 6);
    EXPECT_EQ(counts.tagsUnread, 1);
}

}  // namespace
