// The encoding tally fed block by block: any text cut into blocks of any sizes
// gives the counts, and so the encoding, of the same text in one block.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "text_decoding.h"

namespace {

std::uint32_t Next(std::uint32_t* state) {
    *state ^= *state << 13;
    *state ^= *state >> 17;
    *state ^= *state << 5;
    return *state;
}

TEST(EncodingTallyProperty, BlocksOfAnySizeCountAsTheWholeText) {
    // ASCII, whole and cut UTF-8 sequences (overlong, surrogate, beyond
    // U+10FFFF too), CP949 pairs (one with an ASCII letter as trail), strays.
    static const char* const kPieces[] = {"<SYNC Start=1>",
                                          "a",
                                          "\xEC\x95\x88",
                                          "\xF0\x9F\x98\x80",
                                          "\xEC\x95",
                                          "\xBE\xC8",
                                          "\x8C\x63",
                                          "\xB0",
                                          "\xFF",
                                          "\xC2\xA0",
                                          "\xE0\x80\xAF",
                                          "\xED\xA0\x80",
                                          "\xF4\x90\x80\x80",
                                          "\x80"};
    const std::uint32_t kinds = sizeof kPieces / sizeof kPieces[0];
    std::uint32_t state = 2463534242u;
    int told[3] = {0, 0, 0};
    for (int round = 0; round < 30000; ++round) {
        // Mostly one piece, now and then others: every decision comes up.
        std::string text;
        const std::uint32_t main = Next(&state) % kinds;
        for (std::uint32_t k = Next(&state) % 60; k > 0; --k) {
            text += kPieces[Next(&state) % 4 == 0 ? Next(&state) % kinds : main];
        }
        EncodingTally whole;
        StartEncodingTally(&whole);
        FeedEncodingTally(&whole, text.data(), text.size());
        const TextEncoding wholeEncoding = FinishEncodingTally(TEXT_BYTES, &whole);
        ASSERT_EQ(TellTextEncoding(TEXT_BYTES, text.data(), text.size()), wholeEncoding);
        EncodingTally blocks;
        StartEncodingTally(&blocks);
        for (std::size_t at = 0; at < text.size();) {
            // Blocks of 0 to 6 bytes, now and then a longer one.
            std::size_t size = Next(&state) % 5 == 0 ? Next(&state) % 40 : Next(&state) % 7;
            size = size < text.size() - at ? size : text.size() - at;
            FeedEncodingTally(&blocks, text.data() + at, size);
            at += size;
        }
        ASSERT_EQ(FinishEncodingTally(TEXT_BYTES, &blocks), wholeEncoding) << "round " << round;
        ASSERT_EQ(blocks.utf8Valid, whole.utf8Valid) << "round " << round;
        ASSERT_EQ(blocks.utf8Bad, whole.utf8Bad) << "round " << round;
        ASSERT_EQ(blocks.cp949Pairs, whole.cp949Pairs) << "round " << round;
        ASSERT_EQ(blocks.cp949Bad, whole.cp949Bad) << "round " << round;
        ++told[wholeEncoding];
    }
    EXPECT_GT(told[ENCODING_UTF8], 500);
    EXPECT_GT(told[ENCODING_CP949], 500);
    EXPECT_GT(told[ENCODING_CP1252], 500);
}

}  // namespace
