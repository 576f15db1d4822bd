// The two time forms of the number fields: random values written and read
// back, and random texts read as a regular expression of each form says.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <regex>
#include <string>

#include "field_time_text.h"

namespace {

constexpr int kRounds = 20000;

std::int32_t RandomValue(std::mt19937* random) {
    // Half of them small, where the minutes and seconds are few.
    std::uniform_int_distribution<std::int32_t> any(INT_MIN, INT_MAX);
    std::uniform_int_distribution<std::int32_t> small(-200000, 200000);
    return ((*random)() & 1) ? any(*random) : small(*random);
}

TEST(FieldTimeText, EveryValueWrittenInEitherFormReadsBack) {
    std::mt19937 random(19);
    for (int k = 0; k < kRounds; ++k) {
        const std::int32_t value = k == 0 ? INT_MIN : k == 1 ? INT_MAX : RandomValue(&random);
        char text[16];
        std::int32_t read = 0;
        FormatMillisecondsFieldText(value, text, sizeof text);
        ASSERT_TRUE(ReadMillisecondsFieldText(text, &read)) << text;
        ASSERT_EQ(read, value) << text;
        FormatClockFieldText(value, text, sizeof text);
        ASSERT_TRUE(ReadClockFieldText(text, &read)) << text;
        ASSERT_EQ(read, value) << text;
    }
}

TEST(FieldTimeText, ClockTextsHaveTwoDigitSecondsAndThreeDigitMilliseconds) {
    const struct {
        std::int32_t value;
        const char* text;
    } cases[] = {{0, "0:00.000"},           {1500, "0:01.500"},        {-1500, "-0:01.500"},
                 {754567, "12:34.567"},     {-5, "-0:00.005"},         {7425678, "123:45.678"},
                 {INT_MAX, "35791:23.647"}, {INT_MIN, "-35791:23.648"}};
    for (const auto& c : cases) {
        char text[16];
        FormatClockFieldText(c.value, text, sizeof text);
        EXPECT_STREQ(text, c.text);
    }
}

std::string RandomText(std::mt19937* random) {
    static const char kAlphabet[] = "0123456789012345678901234567890123456789+-:. \tEx";
    std::uniform_int_distribution<int> length(0, 14);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(sizeof kAlphabet) - 2);
    std::string text;
    for (int n = length(*random); n > 0; --n) {
        text.push_back(kAlphabet[pick(*random)]);
    }
    return text;
}

// What a text should read as, told apart from the reader by a regular
// expression and arithmetic on the parts it matched.
bool Expected(const std::string& text, bool clock, std::int64_t* value) {
    static const std::regex kMilliseconds("[ \t]*([+-]?)([0-9]+)[ \t]*");
    static const std::regex kClock("[ \t]*([+-]?)(?:([0-9]+):)?([0-9]+)(?:\\.([0-9]{1,3}))?[ \t]*");
    std::smatch parts;
    if (!std::regex_match(text, parts, clock ? kClock : kMilliseconds)) {
        return false;
    }
    const std::int64_t sign = parts[1].str() == "-" ? -1 : 1;
    // The random texts are too short for any part to overflow.
    if (!clock) {
        *value = sign * std::stoll(parts[2].str());
    } else {
        const std::int64_t minutes = parts[2].matched ? std::stoll(parts[2].str()) : 0;
        const std::int64_t seconds = std::stoll(parts[3].str());
        if (parts[2].matched && seconds >= 60) {
            return false;
        }
        std::string fraction = parts[4].str();
        fraction.resize(3, '0');
        *value = sign * (minutes * 60000 + seconds * 1000 + std::stoll(fraction));
    }
    return *value >= INT_MIN && *value <= INT_MAX;
}

TEST(FieldTimeText, RandomTextsReadExactlyWhenTheyAreInTheForm) {
    std::mt19937 random(1500);
    int accepted[2] = {0, 0};
    for (int k = 0; k < kRounds * 5; ++k) {
        const std::string text = RandomText(&random);
        for (int clock = 0; clock < 2; ++clock) {
            std::int64_t expected = 0;
            const bool reads = Expected(text, clock == 1, &expected);
            std::int32_t value = -7;
            const int read = clock ? ReadClockFieldText(text.c_str(), &value)
                                   : ReadMillisecondsFieldText(text.c_str(), &value);
            ASSERT_EQ(read, reads ? 1 : 0) << '"' << text << "\" clock " << clock;
            if (reads) {
                ASSERT_EQ(value, expected) << '"' << text << '"';
                ++accepted[clock];
            }
        }
    }
    // The alphabet makes both kinds of text often enough to mean something.
    EXPECT_GT(accepted[0], 1000);
    EXPECT_GT(accepted[1], 1000);
}

}  // namespace
