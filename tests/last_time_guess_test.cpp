// A shift to the range end E in one pass, E guessed from the file's tail, must
// give exactly the bytes of the lookup and the shift one after the other: the
// run keeps a guess only when the largest time it reads equals it, and is run
// again with the largest it found otherwise.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "named_runs.h"
#include "result_codes.h"
#include "sync_file_walk.h"
#include "sync_shift.h"
#include "sync_tag_search.h"
#include "test_files.h"
#include "widened_text.h"

namespace {

enum GuessOutcome { GUESS_NONE, GUESS_KEPT, GUESS_RERUN };

struct GuessedRun {
    GuessOutcome outcome;
    std::string output;
};

class LastTimeGuess : public ::testing::Test {
protected:
    void SetUp() override {
        BuildSyncTagTables();
        dir_ = MakeScratchDir();
        in_ = dir_ + "/in.smi";
        out_ = dir_ + "/out.smi";
    }

    // The shift over start .. E with E looked up first, the way it always ran.
    std::string RunWithLookup(const std::string& text, ShiftParams params, int readQuoted) {
        WriteBytes(in_, text);
        const RunOptions options{readQuoted, kFileBufferSize};
        EXPECT_EQ(ReadNamedLastSyncTime(in_.c_str(), options, &params.rangeEnd), RESULT_OK);
        RunCounts counts;
        EXPECT_EQ(ShiftNamedFile(in_.c_str(), out_.c_str(), params, options, &counts), RESULT_OK);
        return ReadBytes(out_);
    }

    std::int32_t RunOnce(const ShiftParams& params, int readQuoted, int guessed,
                         RunCounts* counts) {
        std::FILE* input = std::fopen(in_.c_str(), "rb");
        std::FILE* output = std::fopen(out_.c_str(), "wb");
        EXPECT_NE(input, nullptr);
        EXPECT_NE(output, nullptr);
        const RunOptions options{readQuoted, kFileBufferSize};
        const std::int64_t size = static_cast<std::int64_t>(ReadBytes(in_).size());
        const std::int32_t result =
            guessed ? ShiftFileTimesToGuessedEnd(input, size, output, params, options, counts)
                    : ShiftFileTimes(input, size, output, params, options, counts);
        std::fclose(input);
        EXPECT_EQ(std::fclose(output), 0);
        return result;
    }

    // The same shift the way the front ends now run it: E guessed from the
    // last `tailUnits` units, one pass, and a second one only on a miss.
    GuessedRun RunWithGuess(const std::string& text, ShiftParams params, int readQuoted,
                            std::int32_t tailUnits) {
        WriteBytes(in_, text);
        std::FILE* input = std::fopen(in_.c_str(), "rb");
        EXPECT_NE(input, nullptr);
        const int guessed = GuessLastSyncTime(input, static_cast<std::int64_t>(text.size()),
                                              readQuoted, tailUnits, &params.rangeEnd);
        std::fclose(input);
        if (!guessed) {
            return {GUESS_NONE, RunWithLookup(text, params, readQuoted)};
        }
        RunCounts counts;
        const std::int32_t result = RunOnce(params, readQuoted, 1, &counts);
        if (result == RESULT_OK) {
            return {GUESS_KEPT, ReadBytes(out_)};
        }
        EXPECT_EQ(result, RESULT_LAST_TIME_DIFFERS);
        EXPECT_NE(counts.largestTime, params.rangeEnd);
        params.rangeEnd = counts.largestTime;
        RunCounts again;
        EXPECT_EQ(RunOnce(params, readQuoted, 0, &again), RESULT_OK);
        EXPECT_EQ(again.largestTime, params.rangeEnd);
        return {GUESS_RERUN, ReadBytes(out_)};
    }

    std::string dir_;
    std::string in_;
    std::string out_;
};

std::string Cue(std::int64_t time) {
    return "<SYNC Start=" + std::to_string(time) + "><P Class=KRCC>\xb4\xeb\xbb\xe7</P>\r\n";
}

// A film of rising cues some 150 kB long, past any tail read by default.
std::string RisingCues(std::int32_t count) {
    std::string text = "<SAMI><BODY>\r\n";
    for (std::int32_t k = 0; k < count; ++k) {
        text += Cue(1000 + 2500 * static_cast<std::int64_t>(k));
    }
    return text;
}

// The film with `tag` placed so that its first byte stands `before` units
// ahead of where a tail of `tailUnits` units starts.
std::string WithTagAcrossTailStart(const std::string& tag, std::int32_t before,
                                   std::int32_t tailUnits) {
    std::string film = RisingCues(4000);
    const std::string end = "</BODY></SAMI>\r\n";
    const std::size_t tailStart =
        film.size() + tag.size() + end.size() - static_cast<std::size_t>(tailUnits);
    film.insert(tailStart - static_cast<std::size_t>(before), tag);
    return film + end;
}

// A byte text as a file of `kind`: UTF-16 behind its byte order mark.
std::string AsKind(const std::string& text, TextKind kind) {
    return kind == TEXT_BYTES ? text : ByteOrderMark(kind) + Widen(text, kind);
}

struct TailCase {
    const char* name;
    std::string text;
    int readQuoted;
    GuessOutcome expected;
};

std::vector<TailCase> TailCases() {
    const std::string film = RisingCues(4000);
    const std::string end = "</BODY></SAMI>\r\n";
    std::string early = film;
    early.insert(14, Cue(99999999));
    std::string quoted = "<SAMI><BODY>\r\n";
    for (int k = 0; k < 4000; ++k) {
        quoted += "<SYNC Start=\"" + std::to_string(1000 + 2500 * k) + "\"><P>x</P>\r\n";
    }
    return {
        {"rising", film + end, 0, GUESS_KEPT},
        {"largest first", early + end, 0, GUESS_RERUN},
        {"unreadable last tag", film + "<SYNC Start=abc><P>x</P>\r\n" + end, 0, GUESS_KEPT},
        {"signed last time", film + Cue(0).insert(12, "+99999999") + end, 0, GUESS_KEPT},
        {"last time beyond 32 bits", film + Cue(2147483648LL) + end, 0, GUESS_KEPT},
        {"last time out of order", film + Cue(5) + end, 0, GUESS_KEPT},
        {"quoted, read", quoted + end, 1, GUESS_KEPT},
        {"quoted, left unread", quoted + end, 0, GUESS_NONE},
        {"largest tag across the tail's start",
         WithTagAcrossTailStart(Cue(99999999), 5, kTailUnits), 0, GUESS_RERUN},
        {"largest tag just inside the tail", WithTagAcrossTailStart(Cue(99999999), 0, kTailUnits),
         0, GUESS_KEPT},
        {"shorter than the tail", RisingCues(20) + end, 0, GUESS_KEPT},
        {"no tag", "<SAMI><BODY>\xc7\xd1</BODY></SAMI>", 0, GUESS_NONE},
        {"empty", "", 0, GUESS_NONE},
    };
}

TEST_F(LastTimeGuess, TablesOfTailsGiveTheLookupsBytes) {
    for (const TextKind kind : {TEXT_BYTES, TEXT_UTF16_LE, TEXT_UTF16_BE}) {
        for (const TailCase& c : TailCases()) {
            // A tail counts units, so the cases on its start keep their
            // outcome in UTF-16 too.
            const std::string text = AsKind(c.text, kind);
            for (const ShiftParams& params :
                 {ShiftParams{0, 0, 1500, 0}, ShiftParams{10000, 0, -700, 3000}}) {
                const std::string expected = RunWithLookup(text, params, c.readQuoted);
                const GuessedRun run = RunWithGuess(text, params, c.readQuoted, kTailUnits);
                EXPECT_TRUE(run.output == expected) << c.name << ", kind " << kind;
                EXPECT_EQ(run.outcome, c.expected) << c.name << ", kind " << kind;
            }
        }
    }
}

// Texts full of tags, near misses, signs and quotes, in all three kinds, and
// tails of any length, so that a tail starts on every byte of a tag and every
// unit of UTF-16: whatever the guess, the bytes are the lookup's.
TEST_F(LastTimeGuess, RandomTextsAndTails) {
    static const std::vector<std::string> pieces = {"<SYNC START=",
                                                    "<sync start=",
                                                    "<SYNC START",
                                                    " ",
                                                    "\r\n",
                                                    "-",
                                                    "+",
                                                    ">",
                                                    "\"",
                                                    "\xbe\xc8",
                                                    "0",
                                                    "7",
                                                    "2147483647",
                                                    "2147483648",
                                                    "1000",
                                                    "99999",
                                                    "3500.5",
                                                    "x",
                                                    "<P>",
                                                    "12345678901234567"};
    std::mt19937 random(77);
    for (int round = 0; round < 400; ++round) {
        std::string text = "x";
        const std::size_t length = 1 + random() % 600;
        while (text.size() < length) {
            text += pieces[random() % pieces.size()];
        }
        const auto tail = static_cast<std::int32_t>(1 + random() % 80);
        const int readQuoted = static_cast<int>(random() % 2);
        const ShiftParams params{static_cast<std::int32_t>(random() % 3000) - 1000, 0,
                                 static_cast<std::int32_t>(random() % 5000) - 2500,
                                 static_cast<std::int32_t>(random() % 3) * 400};
        const TextKind kind = static_cast<TextKind>(random() % 3);
        const std::string input = AsKind(text, kind);
        const GuessedRun run = RunWithGuess(input, params, readQuoted, tail);
        ASSERT_TRUE(run.output == RunWithLookup(input, params, readQuoted))
            << "round " << round << ", tail " << tail;
    }
}

}  // namespace
