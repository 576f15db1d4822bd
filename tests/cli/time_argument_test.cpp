// TIME texts as the command line reads them, and the h:mm:ss.mmm that list
// prints, which must read back to the same millisecond for every 32-bit time.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <string>

#include "time_argument.h"

namespace {

struct TimeText {
    std::string text;
    bool read;           // false: refused
    std::int64_t value;  // the milliseconds when read
};

void PrintTo(const TimeText& c, std::ostream* os) {
    *os << "'" << c.text << "'";
}

class TimeForms : public ::testing::TestWithParam<TimeText> {};

TEST_P(TimeForms, ReadAsPeopleWriteThem) {
    const TimeText& c = GetParam();
    std::int32_t value = 12345;
    const int read = ReadTimeArgument(c.text.c_str(), &value);
    EXPECT_EQ(read, c.read ? 1 : 0);
    EXPECT_EQ(value, c.read ? c.value : 12345) << "a refused text leaves the value untouched";
}

constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Table, TimeForms,
    ::testing::Values(
        // milliseconds
        TimeText{"1500", true, 1500}, TimeText{"-250", true, -250}, TimeText{"+40", true, 40},
        TimeText{"0", true, 0}, TimeText{"2147483647", true, kMax},
        TimeText{"-2147483648", true, kMin}, TimeText{"2147483648", false, 0},
        TimeText{"1500,5", false, 0}, TimeText{"1.5", false, 0}, TimeText{"", false, 0},
        TimeText{"-", false, 0}, TimeText{" 1", false, 0}, TimeText{"1 ", false, 0},
        TimeText{"0x10", false, 0}, TimeText{"99999999999999999999999", false, 0},
        // minutes:seconds
        TimeText{"1:30.5", true, 90500}, TimeText{"1:30,5", true, 90500},
        TimeText{"-0:02", true, -2000}, TimeText{"0:90", true, 90000},
        TimeText{"10:00", true, 600000}, TimeText{"1:01.005", true, 61005},
        TimeText{"1:01.0059", true, 61005}, TimeText{"1:.5", true, 60500},
        TimeText{"1:5.", true, 65000}, TimeText{"62:30", true, 3750000},
        TimeText{"35791:23.647", true, kMax}, TimeText{"-35791:23.648", true, kMin},
        TimeText{"35791:23.648", false, 0}, TimeText{"0:2147483.648", false, 0},
        TimeText{"1:", false, 0}, TimeText{":30", false, 0}, TimeText{"1:.", false, 0},
        TimeText{"1:30.5.", false, 0}, TimeText{"1:30,5,0", false, 0}, TimeText{"1:30;5", false, 0},
        TimeText{"1.9:30", false, 0}, TimeText{"99999999999999999999:00", false, 0},
        // hours:minutes:seconds
        TimeText{"1:02:30", true, 3750000}, TimeText{"1:02:30.250", true, 3750250},
        TimeText{"1:02:30,25", true, 3750250}, TimeText{"0:00:00.001", true, 1},
        TimeText{"-0:00:02,250", true, -2250}, TimeText{"+2:00:00", true, 7200000},
        TimeText{"10:00:00", true, 36000000}, TimeText{"596:31:23.647", true, kMax},
        TimeText{"-596:31:23.648", true, kMin}, TimeText{"596:31:23.648", false, 0},
        TimeText{"1:2:3", false, 0}, TimeText{"1:02:3", false, 0}, TimeText{"1:2:03", false, 0},
        TimeText{"1:60:00", false, 0}, TimeText{"1:00:60", false, 0},
        TimeText{"1:002:00", false, 0}, TimeText{"1:02:03:04", false, 0},
        TimeText{"1::30", false, 0}, TimeText{"1:02:.5", false, 0},
        TimeText{"99999999999999999:00:00", false, 0}));

// Every time printed by list reads back as itself: the whole 32-bit range in
// steps that meet every digit position, and its ends.
TEST(ClockTimeText, ReadsBackAsTheSameMillisecond) {
    std::uint32_t state = 2463534242u;
    for (int round = 0; round < 200000; ++round) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        std::int32_t time = static_cast<std::int32_t>(state);
        if (round < 4) {
            time = round == 0 ? 0 : round == 1 ? -1 : round == 2 ? INT32_MAX : INT32_MIN;
        } else if (round % 3 == 0) {
            time %= 100000;
        }
        const std::string text = FormatClockTime(time);
        std::int32_t back = 0;
        ASSERT_EQ(ReadTimeArgument(text.c_str(), &back), 1) << text;
        ASSERT_EQ(back, time) << text;
    }
}

TEST(ClockTimeText, HasHoursMinutesSecondsAndMilliseconds) {
    EXPECT_EQ(FormatClockTime(0), "0:00:00.000");
    EXPECT_EQ(FormatClockTime(48300), "0:00:48.300");
    EXPECT_EQ(FormatClockTime(3750250), "1:02:30.250");
    EXPECT_EQ(FormatClockTime(-250), "-0:00:00.250");
    EXPECT_EQ(FormatClockTime(INT32_MAX), "596:31:23.647");
    EXPECT_EQ(FormatClockTime(INT32_MIN), "-596:31:23.648");
}

}  // namespace
