// The shift and stretch that sync and --fps hand to the engine, and the frame
// rates they read. Each table row is checked against values worked out by
// hand, and every line against the engine's own mapping of the times.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>

#include "frame_rate_argument.h"
#include "retime_plan.h"
#include "sync_shift.h"

namespace {

struct PointsCase {
    std::int32_t oldTimes[2];
    std::int32_t newTimes[2];
    std::int32_t lastSync;
    std::int32_t shift;
    std::int32_t stretch;
};

void PrintTo(const PointsCase& c, std::ostream* os) {
    *os << c.oldTimes[0] << "=" << c.newTimes[0] << " " << c.oldTimes[1] << "=" << c.newTimes[1]
        << " E=" << c.lastSync;
}

// The engine's result for t, or -1 when it refuses t.
std::int64_t EngineTime(std::int32_t t, const ShiftParams& params) {
    const std::string text = std::to_string(t);
    char newText[16];
    const double ratio = StretchRatio(params.rangeStart, params.rangeEnd, params.stretch);
    if (!RetimeValue(text.c_str(), newText, params.rangeStart, params.rangeEnd, params.shift,
                     ratio)) {
        return -1;
    }
    return std::atoll(newText);
}

class PointsToParams : public ::testing::TestWithParam<PointsCase> {};

TEST_P(PointsToParams, GiveTheExpectedValuesAndStayOnTheLine) {
    const PointsCase& c = GetParam();
    SyncLine line;
    ASSERT_TRUE(LineThroughPoints(c.oldTimes, c.newTimes, &line));
    ShiftParams params;
    double bound = 0.0;
    ASSERT_TRUE(ParamsForLine(line, c.lastSync, &params, &bound));
    EXPECT_EQ(params.rangeStart, 0);
    EXPECT_EQ(params.rangeEnd, c.lastSync);
    EXPECT_EQ(params.shift, c.shift);
    EXPECT_EQ(params.stretch, c.stretch);
    EXPECT_LE(bound, 1.0);
    // Every 997th millisecond, the range end and the two points themselves.
    double worst = 0.0;
    const auto check = [&](std::int32_t t) {
        const std::int64_t moved = EngineTime(t, params);
        const double exact = line.slope * t + line.intercept;
        if (exact >= 1.0) {
            ASSERT_GE(moved, 0) << "t=" << t;
            worst = std::fmax(worst, std::fabs(static_cast<double>(moved) - exact));
        }
    };
    for (std::int32_t t = 0; t < c.lastSync; t += 997) {
        check(t);
    }
    check(c.lastSync);
    check(c.oldTimes[0]);
    check(c.oldTimes[1]);
    EXPECT_LE(worst, bound + 1e-6);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PointsToParams,
    ::testing::Values(
        // A constant delay given as two points: the shift alone, exact.
        PointsCase{{0, 10000}, {1500, 11500}, 20000, 1500, 0},
        PointsCase{{10000, 20000}, {5000, 15000}, 30000, -5000, 0},
        // The points in either order give one line.
        PointsCase{{20000, 10000}, {15000, 5000}, 30000, -5000, 0},
        // Twice as slow: the stretch doubles the range, with no shift.
        PointsCase{{1000, 3000}, {2000, 6000}, 10000, 0, 10000},
        // 25 fps subtitles on a 23.976 fps film of two hours: the ideal stretch
        // 307507.51 is taken up to 307508, so that the error before the cut to
        // whole milliseconds (which only lowers a time) is near +0.5 at E.
        PointsCase{{0, 23976}, {0, 25000}, 7200000, 0, 307508},
        // A drift of 2.6 s over 44 minutes, 1.2 s late at the start: line
        // 1166.19 at 0 (shift taken up to 1167) and ideal stretch 1461.78
        // (taken down to 1461, since the shift already adds 0.81).
        PointsCase{{62500, 2650300}, {63700, 2652900}, 2702000, 1167, 1461},
        // Running fast with a line that puts the start below 0: -2542.37 at 0
        // (shift -2542 adds 0.37), ideal stretch -151553.67 (taken down to
        // -151554: error 0.05 at E).
        PointsCase{{60000, 3600000}, {55000, 3450000}, 3700000, -2542, -151554}));

TEST(LineThroughPoints, RefusesEqualOldTimesAndLinesThatDoNotRise) {
    SyncLine line{0.0, 0.0};
    const std::int32_t sameOld[2] = {5000, 5000};
    const std::int32_t anyNew[2] = {1000, 2000};
    EXPECT_FALSE(LineThroughPoints(sameOld, anyNew, &line));
    const std::int32_t oldTimes[2] = {1000, 2000};
    const std::int32_t falling[2] = {2000, 1000};
    const std::int32_t flat[2] = {3000, 3000};
    EXPECT_FALSE(LineThroughPoints(oldTimes, falling, &line));
    EXPECT_FALSE(LineThroughPoints(oldTimes, flat, &line));
    const std::int32_t extremes[2] = {-2147483647 - 1, 2147483647};
    ASSERT_TRUE(LineThroughPoints(extremes, extremes, &line));
    EXPECT_EQ(line.slope, 1.0);
    EXPECT_EQ(line.intercept, 0.0);
}

TEST(ParamsForLine, RefusesValuesBeyond32Bits) {
    ShiftParams params{1, 2, 3, 4};
    // Slope 1000: the stretch over a day's range does not fit.
    EXPECT_FALSE(ParamsForLine(SyncLine{1000.0, 0.0}, 86400000, &params, nullptr));
    EXPECT_FALSE(ParamsForLine(SyncLine{1.0, 3.0e9}, 1000, &params, nullptr));
    EXPECT_FALSE(ParamsForLine(SyncLine{1.0, -3.0e9}, 1000, &params, nullptr));
    EXPECT_EQ(params.shift, 3);  // untouched
    EXPECT_TRUE(ParamsForLine(SyncLine{1.0, 2147483647.0}, 1000, &params, nullptr));
    EXPECT_EQ(params.shift, 2147483647);
}

TEST(FirstTimeNotBelowZero, EndsTheTimesLeftBelowZero) {
    const struct {
        ShiftParams params;
        std::int64_t first;
    } cases[] = {
        {{0, 10000, -500, 0}, 500},
        {{0, 10000, 0, 0}, 0},
        {{0, 10000, -20000, 0}, 10001},  // every time refused
        // Ratio 2: 499 maps to -2, refused; 500 to 0.
        {{0, 1000, -1000, 1000}, 500},
        // Ratio 0.5: 1 maps to -0.5, cut to 0 and kept.
        {{0, 1000, -1, -500}, 1},
        // Refused beyond 32 bits, never below 0.
        {{0, 2000000000, 2000000000, 0}, 0},
        {{100, 10000, -150, 0}, 150},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FirstTimeNotBelowZero(c.params), c.first)
            << c.params.rangeStart << ".." << c.params.rangeEnd << " shift " << c.params.shift
            << " stretch " << c.params.stretch;
    }
}

struct RatesCase {
    std::string rates;
    std::int32_t rangeStart;
    std::int32_t rangeEnd;
    std::int32_t stretch;
};

void PrintTo(const RatesCase& c, std::ostream* os) {
    *os << c.rates << " over " << c.rangeStart << ".." << c.rangeEnd;
}

class RatesToStretch : public ::testing::TestWithParam<RatesCase> {};

TEST_P(RatesToStretch, ScaleTheSpanByFromOverTo) {
    const RatesCase& c = GetParam();
    double from = 0.0;
    double to = 0.0;
    ASSERT_TRUE(ReadFrameRatePair(c.rates.c_str(), &from, &to));
    std::int32_t stretch = 0;
    ASSERT_TRUE(StretchForRates(c.rangeStart, c.rangeEnd, from, to, &stretch));
    EXPECT_EQ(stretch, c.stretch);
}

INSTANTIATE_TEST_SUITE_P(Table, RatesToStretch,
                         ::testing::Values(
                             // One hour: 3600000 * 25 / (24000/1001) = 3753750 exactly.
                             RatesCase{"25:24000/1001", 0, 3600000, 153750},
                             // 3600000 * 25 / 23.976 = 3753753.75, to the nearest millisecond.
                             RatesCase{"25:23.976", 0, 3600000, 153754},
                             // The other way: 3600000 * 24000 / 1001 / 25 = 3452547.45.
                             RatesCase{"24000/1001:25", 0, 3600000, -147453},
                             // Only the span counts: 60000 * 23.976 / 25 = 57542.4.
                             RatesCase{"23.976:25", 60000, 120000, -2458},
                             RatesCase{"30000/1001:24000/1001", -1000, 39000, 10000},
                             RatesCase{"25:25", 0, 3600000, 0}, RatesCase{"24:25.0", 0, 1, 0},
                             // The whole 32-bit range, halved: 2147483647.5 rounds away from 0.
                             RatesCase{"1:2", -2147483647 - 1, 2147483647, -2147483647}));

TEST(StretchForRates, RefusesAStretchBeyond32Bits) {
    std::int32_t stretch = 7;
    EXPECT_FALSE(StretchForRates(0, 2147483647, 3.0, 1.0, &stretch));
    EXPECT_TRUE(StretchForRates(0, 2147483647, 2.0, 1.0, &stretch));
    EXPECT_EQ(stretch, 2147483647);
    EXPECT_FALSE(StretchForRates(0, 1000000, 10000.0, 1.0, &stretch));
    EXPECT_EQ(stretch, 2147483647);  // untouched by the refusal
}

TEST(ReadFrameRate, TakesDecimalsAndFractionsAboveZero) {
    const struct {
        const char* text;
        double rate;  // 0: refused
    } cases[] = {
        {"25", 25.0},     {"23.976", 23.976}, {"24000/1001", 24000.0 / 1001.0},
        {"29.97", 29.97}, {".5", 0.5},        {"25.", 25.0},
        {"50/2", 25.0},   {"0.001", 0.001},   {"", 0.0},
        {"0", 0.0},       {"0.0", 0.0},       {"0/1001", 0.0},
        {"25/0", 0.0},    {"-25", 0.0},       {"+25", 0.0},
        {"2e1", 0.0},     {"25fps", 0.0},     {" 25", 0.0},
        {"25 ", 0.0},     {"1/2/3", 0.0},     {"/", 0.0},
        {"25/", 0.0},     {"/25", 0.0},       {".", 0.0},
        {"1.2.3", 0.0},
    };
    for (const auto& c : cases) {
        double rate = -1.0;
        EXPECT_EQ(ReadFrameRate(c.text, &rate), c.rate > 0.0 ? 1 : 0) << "'" << c.text << "'";
        EXPECT_EQ(rate, c.rate > 0.0 ? c.rate : -1.0) << "'" << c.text << "'";
    }
    double from = 0.0;
    double to = 0.0;
    EXPECT_FALSE(ReadFrameRatePair("25", &from, &to));
    EXPECT_FALSE(ReadFrameRatePair("25:", &from, &to));
    EXPECT_FALSE(ReadFrameRatePair(":25", &from, &to));
    EXPECT_FALSE(ReadFrameRatePair("25:24:23", &from, &to));
    EXPECT_TRUE(ReadFrameRatePair("25:24000/1001", &from, &to));
    EXPECT_EQ(from, 25.0);
    EXPECT_EQ(to, 24000.0 / 1001.0);
}

}  // namespace
