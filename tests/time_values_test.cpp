// Clock times, the integer and decimal readings, and the limits of 32 bits.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "time_values.h"

namespace {

TEST(ClockTime, ReadsMinutesSecondsAndMilliseconds) {
    struct Case {
        std::string text;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {"1:30.5", 90500},
        {"-1:30.5", -90500},
        {"+0:05", 5000},
        {"90", 90000},
        {"1.5", 1500},
        {"0:59.999", 59999},
        {"10:00", 600000},
        {"-0:00.001", -1},
        {".5", 500},
        {"5.", 5000},
        {"2:", 120000},
        {"2:x", 120000},
        {"1:-30", 60000},
        {"1:75", 135000},
        {"1:2:3", 62000},
        {"1:30.5.9", 90500},
        {"1:30abc", 90000},
        {"1.9:30", 90000},
        {"5 6", 5000},
        {"- 1 : 30", -90000},
        {"\t2:00", 120000},
        {"1.001", 1000},
        {"1:01.005", 61004},
        {"0.0005", 0},
        {"", 0},
        {"-", 0},
        {"+-5", 0},
        {":30", 0},
        {".", 0},
        {"abc", 0},
        {"E", 0},
        {"0.3", 300},
        {"30.5", 30500},
        {"12:34.567", 754567},
        {"123:45.67", 7425670},
        {"35791:23.647", 2147483647},
        {"-35791:23.648", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseClockTime(c.text.c_str()), c.expected) << c.text;
    }
}

TEST(ClockTime, SaturatesInsteadOfOverflowing) {
    struct Case {
        std::string text;
        std::int32_t expected;
    };
    const std::int32_t max = 2147483647;
    const std::int32_t min = -2147483647 - 1;
    const std::vector<Case> cases = {
        {"35791:23.648", max},
        {"99999:99", max},
        {"-99999:99", min},
        {"999999999", max},
        {"-999999999", min},
        {"2147483648:0", max},
        {"99999999999999999999999999:5", max},
        {"0:99999999999999999999999999.5", max},
        {"-0:99999999999999999999999999.5", min},
        // A long run is read from the text itself, not cut to the token buffer.
        {"00000000000000000000001.5", 1500},
        {"0:0000000000000000000000000007", 7000},
        {"1." + std::string(30, '0') + "1", 1000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseClockTime(c.text.c_str()), c.expected) << c.text;
    }
}

TEST(TimeValues, IntegerAndDecimalReadings) {
    struct Case {
        std::string text;
        std::int64_t integer;
        double decimal;
    };
    const std::vector<Case> cases = {
        {"1500", 1500, 1500.0}, {"1500.7", 1500, 1500.7}, {".5", 0, 0.5},  {".", 0, 0.0},
        {"..5", 0, 0.0},        {"30.5.9", 30, 30.5},     {"007", 7, 7.0}, {"1.005", 1, 1.005},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ConvertInteger(c.text.data(), c.text.size()), c.integer) << c.text;
        EXPECT_EQ(ConvertDecimal(c.text.data(), c.text.size()), c.decimal) << c.text;
    }
    EXPECT_EQ(ConvertInteger(" \t-250x", 7), -250);
    EXPECT_EQ(ConvertInteger("+250", 4), 250);
    EXPECT_EQ(ConvertInteger("abc", 3), 0);
}

TEST(TimeValues, SyncTimeValueRefusesWhatDoesNotFit) {
    struct Case {
        const char* text;
        int fits;
        std::int32_t value;
    };
    const std::vector<Case> cases = {
        {"2147483647", 1, 2147483647},
        {"2147483648", 0, 0},
        {"-2147483648", 1, -2147483647 - 1},
        {"-2147483649", 0, 0},
        {"999999999999999", 0, 0},
        {"+250", 1, 250},
        {"1500.9", 1, 1500},
        {".", 1, 0},
    };
    for (const auto& c : cases) {
        std::int32_t value = 12345;
        EXPECT_EQ(SyncTimeValue(c.text, &value), c.fits) << c.text;
        EXPECT_EQ(value, c.fits ? c.value : 12345) << c.text;
    }
}

TEST(TimeValues, FormatsDecimalWithoutLeadingZeros) {
    const std::vector<std::pair<std::uint32_t, const char*>> cases = {{0, "0"},
                                                                      {7, "7"},
                                                                      {1000, "1000"},
                                                                      {2147483647, "2147483647"},
                                                                      {4294967295u, "4294967295"}};
    for (const auto& c : cases) {
        char text[16];
        EXPECT_EQ(FormatDecimal(c.first, text), static_cast<int>(std::strlen(c.second)));
        EXPECT_STREQ(text, c.second);
    }
    // Each digit count starts at a power of ten: both sides of every such edge.
    for (std::uint64_t power = 10; power <= 1000000000; power *= 10) {
        for (const std::uint64_t value : {power - 1, power, power + 1}) {
            char text[16];
            const std::string expected = std::to_string(value);
            EXPECT_EQ(FormatDecimal(static_cast<std::uint32_t>(value), text),
                      static_cast<int>(expected.size()));
            EXPECT_EQ(std::string(text), expected);
        }
    }
}

}  // namespace
