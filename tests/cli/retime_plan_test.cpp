// The shift and stretch that sync and --fps hand to the engine, against values
// worked out by hand, and the frame rates they read. How close the engine's
// run then comes to the line is tested end to end on a film-length file.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "frame_rate_argument.h"
#include "retime_plan.h"

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

class PointsToParams : public ::testing::TestWithParam<PointsCase> {};

TEST_P(PointsToParams, GiveTheExpectedValues) {
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

TEST(ReadFrameRate, TakesDecimalsAndFractionsAboveZero) {
    double rate = -1.0;
    EXPECT_TRUE(ReadFrameRate(".5", &rate));
    EXPECT_EQ(rate, 0.5);
    for (const char* refused : {"", "0", "0/1001", "25/0", "-25", "+25", "2e1", "25fps", " 25",
                                "1/2/3", "25/", ".", "1.2.3"}) {
        EXPECT_FALSE(ReadFrameRate(refused, &rate)) << "'" << refused << "'";
    }
    EXPECT_EQ(rate, 0.5);  // untouched by the refusals
    double from = 0.0;
    double to = 0.0;
    for (const char* refused : {"25", "25:", ":25", "25:24:23"}) {
        EXPECT_FALSE(ReadFrameRatePair(refused, &from, &to)) << "'" << refused << "'";
    }
}

}  // namespace
