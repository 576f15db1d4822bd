// Files larger than the file buffer are processed in full, and the window's
// edges change nothing: every output equals what handling the whole content in
// one piece gives, byte for byte, with the same progress. Every run that only
// reads the tags (the cue list, the file's cues, the largest time and its
// guess) reads the same tags and times as the shift, in any window.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "cue_tags.h"
#include "file_cues.h"
#include "one_piece_shift.h"
#include "progress_recorder.h"
#include "result_codes.h"
#include "sync_file_walk.h"
#include "sync_shift.h"
#include "named_runs.h"
#include "sync_tag_search.h"
#include "test_files.h"
#include "text_input.h"

namespace {

class ShiftWindow : public ::testing::Test {
protected:
    void SetUp() override {
        BuildSyncTagTables();
        dir_ = MakeScratchDir();
    }

    // Runs the windowed shift and compares output, progress and last time.
    void ExpectSameAsOnePiece(const std::string& input, const ShiftParams& p, std::int32_t window) {
        const std::string in = dir_ + "/in.smi";
        const std::string out = dir_ + "/out.smi";
        WriteBytes(in, input);
        const OnePieceResult expected = ShiftInOnePiece(input, p, 0);
        ResetProgress();
        RunCounts counts;
        const RunOptions options = RecordingProgress(RunOptions{0, window});
        ASSERT_EQ(ShiftNamedFile(in.c_str(), out.c_str(), p, options, &counts), RESULT_OK);
        const std::string output = ReadBytes(out);
        ASSERT_EQ(output.size(), expected.output.size()) << "window " << window;
        ASSERT_TRUE(output == expected.output) << "window " << window;
        ASSERT_EQ(g_recordedPercents, expected.percents) << "window " << window;
        // The run tracks the largest plain time on its way, as the lookup finds it.
        ASSERT_EQ(counts.largestTime, expected.last) << "window " << window;
        ASSERT_EQ(FindLastSyncTimeInWindow(in.c_str(), window), expected.last)
            << "window " << window;
    }

    // The read-only runs over `input` through a window of `window` units
    // against the cue list through the whole buffer and the shift's counts.
    void ExpectReadingWalksAgree(const std::string& input, std::int32_t window) {
        const std::string in = dir_ + "/in.smi";
        WriteBytes(in, input);
        const CueTags whole = CueTagsOf(in, RunOptions{1, kFileBufferSize});
        const CueTags windowed = CueTagsOf(in, RunOptions{1, window});
        ASSERT_EQ(windowed.tags.size(), whole.tags.size()) << "window " << window;
        for (std::size_t k = 0; k < whole.tags.size(); ++k) {
            const CueTag& a = whole.tags[k];
            const CueTag& b = windowed.tags[k];
            ASSERT_TRUE(a.tagStart == b.tagStart && a.textStart == b.textStart &&
                        a.hasTime == b.hasTime && a.time == b.time)
                << "window " << window << ", tag " << k;
        }
        // The shift finds the same tags: each readable time it moves or leaves.
        RunCounts shifted;
        ASSERT_EQ(ShiftNamedFile(in.c_str(), (dir_ + "/out.smi").c_str(), {0, 2147483647, 7, 0},
                                 RunOptions{1, window}, &shifted),
                  RESULT_OK);
        shifted.timesLeft += shifted.timesMoved;
        shifted.timesMoved = 0;
        ExpectSameCounts(shifted, whole.counts, window);
        RunCounts looked;
        std::int32_t last = 0;
        ASSERT_EQ(ReadNamedLastSyncTime(in.c_str(), RunOptions{1, window}, &last, &looked),
                  RESULT_OK);
        ExpectSameCounts(looked, whole.counts, window);
        ASSERT_EQ(last, shifted.largestTime) << "window " << window;
        RunCounts cueCounts;
        std::vector<Cue> cues;
        std::FILE* file = std::fopen(in.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(ReadFileCues(file, RunOptions{1, window}, &cues, &cueCounts), RESULT_OK);
        std::fclose(file);
        ExpectSameCounts(cueCounts, whole.counts, window);
        // The guess from a tail that holds the whole text is the largest time,
        // unless there is no plain time at all.
        file = std::fopen(in.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        std::int32_t guess = -1;
        const int guessed =
            GuessLastSyncTime(file, static_cast<std::int64_t>(input.size()), 1, kTailUnits, &guess);
        std::fclose(file);
        if (guessed) {
            ASSERT_EQ(guess, last) << "window " << window;
        } else {
            ASSERT_EQ(last, 0) << "window " << window;
        }
    }

    CueTags CueTagsOf(const std::string& path, const RunOptions& options) {
        CueTags found;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        EXPECT_NE(file, nullptr);
        if (file != nullptr) {
            EXPECT_EQ(ReadCueTags(file, options, &found), RESULT_OK);
            std::fclose(file);
        }
        return found;
    }

    static void ExpectSameCounts(const RunCounts& a, const RunCounts& b, std::int32_t window) {
        EXPECT_EQ(a.tagsFound, b.tagsFound) << "window " << window;
        EXPECT_EQ(a.timesMoved, b.timesMoved) << "window " << window;
        EXPECT_EQ(a.timesLeft, b.timesLeft) << "window " << window;
        EXPECT_EQ(a.tagsUnread, b.tagsUnread) << "window " << window;
        EXPECT_EQ(a.quotedUnread, b.quotedUnread) << "window " << window;
    }

    std::string dir_;
};

// Text made of the pieces that matter at an edge: tags in both cases, near
// misses, blanks, signs, digit runs of every length, quotes and line ends.
std::string RandomSami(std::mt19937& random, std::size_t length) {
    static const std::vector<std::string> pieces = {"<SYNC START=",
                                                    "<sync start=",
                                                    "<SYNC START",
                                                    "<SYNC  START=",
                                                    "<P Class=KRCC>",
                                                    "\r\n",
                                                    "\n",
                                                    " ",
                                                    "\t",
                                                    "-",
                                                    "+",
                                                    ">",
                                                    ":",
                                                    ".",
                                                    "\"",
                                                    "\xbe\xc8",
                                                    std::string(1, '\0'),
                                                    "1",
                                                    "25",
                                                    "1000",
                                                    "3500.5",
                                                    "99999",
                                                    "123456789012345",
                                                    "1234567890123456",
                                                    "2147483648",
                                                    "x"};
    std::string text;
    while (text.size() < length) {
        text += pieces[random() % pieces.size()];
    }
    return text;
}

TEST_F(ShiftWindow, SmallWindowsOverRandomText) {
    std::mt19937 random(2024);
    const std::vector<ShiftParams> params = {
        {0, 5000, 500, 0}, {1000, 200000, -700, 0}, {0, 13000, 0, 2000}, {-100, 99999, 3, -50}};
    for (int round = 0; round < 300; ++round) {
        std::string input = RandomSami(random, 20 + random() % 400);
        // A text that opens with '<' and NUL is read as UTF-16, which the
        // widening tests cover.
        unsigned char first[2] = {static_cast<unsigned char>(input[0]),
                                  static_cast<unsigned char>(input[1])};
        if (TellTextKind(first, 2) != TEXT_BYTES) {
            input.insert(0, "x");
        }
        const std::int32_t window = 16 + static_cast<std::int32_t>(random() % 48);
        ExpectSameAsOnePiece(input, params[static_cast<std::size_t>(round) % params.size()],
                             window);
    }
}

TEST_F(ShiftWindow, ReadingRunsFindTheShiftsTagsInAnyWindow) {
    std::mt19937 random(77);
    for (int round = 0; round < 150; ++round) {
        std::string input = "x" + RandomSami(random, 20 + random() % 400);
        ExpectReadingWalksAgree(input, 16 + static_cast<std::int32_t>(random() % 48));
    }
    for (const std::string& lead : {"a<SYNC START=" + std::string(100, ' ') + "\"1000\">",
                                    "a<SYNC START=" + std::string(100, '5') + ">t<SYNC START=0>",
                                    "a<SYNC START=+" + std::string(100, '\t') + "2000>"}) {
        for (std::int32_t window : {16, 20, 33}) {
            ExpectReadingWalksAgree(lead + "<sync start='3000'><SYNC START=40>", window);
        }
    }
}

TEST_F(ShiftWindow, EveryCutOfATagAndItsTime) {
    // The same cue moved across a window edge one byte at a time.
    const std::string cue = "<SYNC START= -  1234.5><P>\xc7\xd1</P>\r\n";
    for (std::int32_t window : {16, 17, 23, 31}) {
        for (std::size_t lead = 0; lead < 40; ++lead) {
            const std::string input = std::string(lead, 'y') + cue + cue + "<sync start=77";
            ExpectSameAsOnePiece(input, {-5000, 5000, 40, 0}, window);
        }
    }
}

TEST_F(ShiftWindow, SeveralMebibytesThroughTheRealBuffer) {
    // Cues every 50 to 100 bytes, with tags, blanks and digit runs placed on
    // every window edge of the 1 MiB buffer.
    std::mt19937 random(5);
    std::string input =
        "<SAMI>\r\n<HEAD><STYLE>P { font-size: 12pt; }</STYLE></HEAD>\r\n<BODY>\r\n";
    std::int64_t time = 0;
    while (input.size() < 5u * 1024 * 1024) {
        time += static_cast<std::int64_t>(100 + random() % 3000);
        input += "<SYNC Start=" + std::to_string(time) + "><P Class=KRCC>\xb0\xa1\xb3\xaa";
        input += std::string(random() % 40, 'a') + "\r\n";
    }
    const std::vector<std::string> straddlers = {
        "<SYNC START=123456>", "<SYNC START=  -  42>", "<SYNC START=" + std::string(30, '7'),
        "<sync start=9.9.9>",  "<SYNC START=\"1\">",   "<SYNC START="};
    for (std::size_t edge = 1; edge <= 4; ++edge) {
        for (std::size_t k = 0; k < straddlers.size(); ++k) {
            const std::size_t cut = edge * kFileBufferSize - 11 * (edge - 1) + k * 50000 - 6;
            input.replace(cut, straddlers[k].size(), straddlers[k]);
        }
    }
    ExpectSameAsOnePiece(input, {0, 2000000000, 1500, 0}, kFileBufferSize);
    ExpectSameAsOnePiece(input, {10000, 60000000, -2500, 777777}, kFileBufferSize);
}

TEST_F(ShiftWindow, ScansLongerThanTheWindow) {
    // Blanks and digit runs longer than the whole window behind a tag.
    const std::vector<std::string> inputs = {
        "a<SYNC START=" + std::string(100, ' ') + "1000>tail",
        "a<SYNC START=-" + std::string(100, '\t') + "2000>tail",
        "a<SYNC START=" + std::string(100, '5') + ">tail<SYNC START=3000>",
        "a<SYNC START=" + std::string(100, ' ') + "\"1000\"<SYNC START=4000>",
        "a<SYNC START=" + std::string(100, ' '),
        "a<SYNC START=" + std::string(100, ' ') + "12",
    };
    for (const auto& input : inputs) {
        for (std::int32_t window : {16, 20, 33}) {
            ExpectSameAsOnePiece(input, {0, 5000, 10, 0}, window);
        }
    }
}

}  // namespace
