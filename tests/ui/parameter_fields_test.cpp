// Reading the shift fields and the append offset in both units, and the
// default texts.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>

#include "dialog_ids.h"
#include "dialog_test_support.h"
#include "parameter_fields.h"
#include "test_files.h"

namespace {

constexpr int kRefused = -1;

struct FieldCase {
    const char* text;
    std::int64_t value;  // kRefused: the text is no time in the unit
};

constexpr int kNumberFields[] = {IDC_RANGE_START, IDC_RANGE_END, IDC_SHIFT, IDC_STRETCH,
                                 IDC_APPEND_OFFSET};

// Puts the text into one field with "0" in the others and reads them as a run
// does: the field is named when it does not read, else it has the value.
void ExpectFieldReads(HWND dialog, int id, const FieldCase& c) {
    for (int other : kNumberFields) {
        TypeIntoControl(dialog, other, "0");
    }
    TypeIntoControl(dialog, id, c.text);
    std::int32_t values[5] = {-7, -7, -7, -7, -7};
    int endIsLast = 0;
    const int shiftRead =
        ReadShiftParams(dialog, &values[0], &values[1], &values[2], &values[3], &endIsLast);
    const int offsetRead = ReadAppendOffset(dialog, &values[4]);
    const int read = id == IDC_APPEND_OFFSET ? offsetRead : shiftRead;
    const int other = id == IDC_APPEND_OFFSET ? shiftRead : offsetRead;
    EXPECT_EQ(other, kFieldsRead);
    if (c.value == kRefused) {
        EXPECT_EQ(read, id) << '"' << c.text << "\" in " << id;
        return;
    }
    EXPECT_EQ(read, kFieldsRead) << '"' << c.text << "\" in " << id;
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(values[k], kNumberFields[k] == id ? c.value : 0)
            << '"' << c.text << "\" in " << id << ", field " << kNumberFields[k];
    }
}

void ExpectEveryFieldReads(HWND dialog, const FieldCase& c) {
    for (int id : kNumberFields) {
        ExpectFieldReads(dialog, id, c);
    }
}

// A whole number or nothing: the leading digits of "1.9" are not a time the
// user typed.
TEST(ParameterFields, MillisecondsAreReadWholeOrRefused) {
    HWND dialog = OpenDialog();
    const FieldCase cases[] = {
        {"1500", 1500},
        {"-250", -250},
        {"1.9", kRefused},
        {"1.5", kRefused},
        {"abc", kRefused},
        {"", kRefused},
        {" 5", 5},
        {"5 \t", 5},
        {"+42", 42},
        {"12abc", kRefused},
        {"1 500", kRefused},
        {"--5", kRefused},
        {"+", kRefused},
        {"0:01.500", kRefused},
        {"1234567890", 1234567890},
        {"-12345678901", kRefused},
        {"999999999", 999999999},
        {"2147483647", INT_MAX},
        {"2147483648", kRefused},
        {"-2147483648", INT_MIN},
    };
    for (const FieldCase& c : cases) {
        ExpectEveryFieldReads(dialog, c);
    }
    // Leading zeros up to the longest text a field is read with.
    const std::string longest = std::string(61, '0') + "1";
    const std::string tooLong = "0" + longest;
    ExpectEveryFieldReads(dialog, {longest.c_str(), 1});
    ExpectEveryFieldReads(dialog, {tooLong.c_str(), kRefused});
}

TEST(ParameterFields, ClockTimesReadAsMinutesSecondsAndMillisecondsOrRefused) {
    HWND dialog = OpenDialog();
    ClickControl(dialog, IDC_UNIT_CLOCK);
    const FieldCase cases[] = {
        {"1:30.5", 90500},
        {"90.5", 90500},
        {"-0:02", -2000},
        {"0:01.500", 1500},
        {" 0:01 ", 1000},
        {"0:00.005", 5},
        {"0:00.05", 50},
        {"12:34.567", 754567},
        {"123:45.678", 7425678},  // read whole, no character dropped
        {"1500", 1500000},
        {"abc", kRefused},
        {"", kRefused},
        {"1:30.5678", kRefused},
        {"1:75", kRefused},
        {"99999:99", kRefused},
        {"1:", kRefused},
        {":30", kRefused},
        {"1.", kRefused},
        {"1:2:3", kRefused},
        {"1,5", kRefused},
        {"35791:23.647", INT_MAX},
        {"-35791:23.648", INT_MIN},
        {"35791:23.648", kRefused},
    };
    for (const FieldCase& c : cases) {
        ExpectEveryFieldReads(dialog, c);
    }
}

TEST(ParameterFields, RangeEndOfEStandsForTheLastSyncTimeInEitherUnit) {
    HWND dialog = OpenDialog();
    for (int unit : {IDC_UNIT_MSEC, IDC_UNIT_CLOCK}) {
        ClickControl(dialog, unit);
        constexpr std::int64_t kLast = kRefused - 1;
        const FieldCase cases[] = {{"E", kLast},
                                   {"e", kLast},
                                   {" E ", kLast},
                                   {"End", kRefused},
                                   {"e5", kRefused},
                                   {"E E", kRefused},
                                   {"5", unit == IDC_UNIT_MSEC ? 5 : 5000}};
        for (const FieldCase& c : cases) {
            ResetShiftFields(dialog);
            TypeIntoControl(dialog, IDC_RANGE_END, c.text);
            std::int32_t start, end = -7, shift, stretch;
            int endIsLast = -1;
            const int read = ReadShiftParams(dialog, &start, &end, &shift, &stretch, &endIsLast);
            if (c.value == kRefused) {
                EXPECT_EQ(read, IDC_RANGE_END) << '"' << c.text << "\" unit " << unit;
                continue;
            }
            EXPECT_EQ(read, kFieldsRead) << '"' << c.text << "\" unit " << unit;
            EXPECT_EQ(endIsLast, c.value == kLast ? 1 : 0) << '"' << c.text << '"';
            if (c.value != kLast) {
                EXPECT_EQ(end, c.value) << '"' << c.text << "\" unit " << unit;
            }
        }
    }
}

// The first field that does not read is the one named.
TEST(ParameterFields, FirstUnreadableFieldIsNamedInReadingOrder) {
    HWND dialog = OpenDialog();
    const struct {
        const char* start;
        const char* end;
        const char* shift;
        const char* stretch;
        int named;
    } cases[] = {
        {"x", "x", "x", "x", IDC_RANGE_START}, {"0", "x", "x", "x", IDC_RANGE_END},
        {"0", "5", "x", "x", IDC_SHIFT},       {"0", "5", "0", "x", IDC_STRETCH},
        {"0", "5", "0", "0", kFieldsRead},
    };
    for (const auto& c : cases) {
        TypeShift(dialog, "unused.smi", {c.start, c.end, c.shift, c.stretch});
        std::int32_t start, end, shift, stretch;
        int endIsLast = 0;
        EXPECT_EQ(ReadShiftParams(dialog, &start, &end, &shift, &stretch, &endIsLast), c.named);
    }
}

TEST(ParameterFields, UnitIsMillisecondsOnlyWhenTheMsecButtonIsChecked) {
    HWND dialog = OpenDialog();
    TypeIntoControl(dialog, IDC_APPEND_OFFSET, "2");
    std::int32_t offset = 0;
    const struct {
        UINT msec;
        int expected;
    } cases[] = {{BST_CHECKED, 2}, {BST_UNCHECKED, 2000}, {2 /* indeterminate */, 2000}};
    for (const auto& c : cases) {
        CheckDlgButton(dialog, IDC_UNIT_MSEC, c.msec);
        EXPECT_EQ(ReadAppendOffset(dialog, &offset), kFieldsRead);
        EXPECT_EQ(offset, c.expected) << "state " << c.msec;
        EXPECT_EQ(IsMillisecondsUnit(dialog), c.msec == BST_CHECKED ? 1 : 0);
    }
}

// Switching the unit writes every time anew in the other; what does not
// read stays for its warning.
TEST(ParameterFields, SwitchingTheUnitConvertsTheFields) {
    HWND dialog = OpenDialog();
    const struct {
        int id;
        const char* msec;
        const char* clock;
    } fields[] = {
        {IDC_RANGE_START, "1500", "0:01.500"},
        {IDC_RANGE_END, "E", "E"},
        {IDC_SHIFT, "-250", "-0:00.250"},
        {IDC_STRETCH, "abc", "abc"},
        {IDC_APPEND_OFFSET, "3723004", "62:03.004"},
    };
    for (const auto& f : fields) {
        TypeIntoControl(dialog, f.id, f.msec);
    }
    for (int round = 0; round < 2; ++round) {
        for (int unit : {IDC_UNIT_CLOCK, IDC_UNIT_CLOCK, IDC_UNIT_MSEC, IDC_UNIT_MSEC}) {
            ClickControl(dialog, unit);
            for (const auto& f : fields) {
                EXPECT_EQ(ControlText(dialog, f.id), unit == IDC_UNIT_MSEC ? f.msec : f.clock)
                    << f.id << " round " << round;
            }
        }
    }
    // A clock text typed by hand becomes milliseconds; one that does not read
    // as a clock time stays.
    ClickControl(dialog, IDC_UNIT_CLOCK);
    TypeIntoControl(dialog, IDC_SHIFT, "1:30.5");
    TypeIntoControl(dialog, IDC_STRETCH, "1.5.5");
    ClickControl(dialog, IDC_UNIT_MSEC);
    EXPECT_EQ(ControlText(dialog, IDC_SHIFT), "90500");
    EXPECT_EQ(ControlText(dialog, IDC_STRETCH), "1.5.5");
}

TEST(ParameterFields, ResetsWriteTheDefaultTextsOfTheirOwnFieldsOnly) {
    HWND dialog = OpenDialog();
    for (int id : {IDC_RANGE_START, IDC_RANGE_END, IDC_SHIFT, IDC_STRETCH, IDC_APPEND_OFFSET}) {
        TypeIntoControl(dialog, id, "x");
    }
    ResetAppendFields(dialog);
    EXPECT_EQ(ControlText(dialog, IDC_APPEND_OFFSET), "0");
    EXPECT_EQ(ControlText(dialog, IDC_RANGE_START), "x");
    ResetShiftFields(dialog);
    EXPECT_EQ(ControlText(dialog, IDC_RANGE_START), "0");
    EXPECT_EQ(ControlText(dialog, IDC_RANGE_END), "E");
    EXPECT_EQ(ControlText(dialog, IDC_SHIFT), "0");
    EXPECT_EQ(ControlText(dialog, IDC_STRETCH), "0");
}

TEST(ParameterFields, PathFieldsAreReadWholeAsUtf8OrRefusedWhenTooLong) {
    HWND dialog = OpenDialog();
    const std::string longest(static_cast<std::size_t>(kPathChars) - 1, 'p');
    const struct {
        std::string name;
        int read;
    } cases[] = {
        {"b.smi", 1},
        {"자막 phụ đề.smi", 1},
        {"\xF0\x9F\x8E\xAC film.smi", 1},  // beyond the 16-bit plane
        {std::string(300, 'p'), 1},        // beyond a short Windows path
        {longest, 1},
        {longest + "p", 0},
        {"한" + longest, 0},
    };
    for (int id : {IDC_FILE_NAME, IDC_APPEND_FILE_NAME}) {
        for (const auto& c : cases) {
            TypeIntoControl(dialog, id, c.name.c_str());
            char path[kPathBytes];
            const int read = id == IDC_FILE_NAME ? ReadFileNameField(dialog, path)
                                                 : ReadAppendFileNameField(dialog, path);
            EXPECT_EQ(read, c.read) << id << ' ' << c.name.size();
            EXPECT_EQ(std::string(path), c.read ? c.name : std::string()) << id;
        }
    }
}

}  // namespace
