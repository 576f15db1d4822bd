// Reading the shift fields and the append offset in both units, and the
// default texts.
#include <gtest/gtest.h>

#include <climits>

#include "dialog_ids.h"
#include "dialog_test_support.h"
#include "parameter_fields.h"
#include "test_files.h"

namespace {

struct FieldCase {
    const char* text;
    int value;
};

// Fills every numeric field with one text and reads all five values back.
void ExpectEveryFieldReads(HWND dialog, const FieldCase& c) {
    for (int id : {IDC_RANGE_START, IDC_RANGE_END, IDC_SHIFT, IDC_STRETCH, IDC_APPEND_OFFSET}) {
        TypeIntoControl(dialog, id, c.text);
    }
    std::int32_t start = -7, end = -7, shift = -7, stretch = -7, offset = -7;
    ReadShiftParams(dialog, "unused.smi", &start, &end, &shift, &stretch);
    ReadAppendOffset(dialog, &offset);
    EXPECT_EQ(start, c.value) << '"' << c.text << '"';
    EXPECT_EQ(end, c.value) << '"' << c.text << '"';
    EXPECT_EQ(shift, c.value) << '"' << c.text << '"';
    EXPECT_EQ(stretch, c.value) << '"' << c.text << '"';
    EXPECT_EQ(offset, c.value) << '"' << c.text << '"';
}

TEST(ParameterFields, MillisecondsReadLikeAtoiOfTheFirstNineCharacters) {
    HWND dialog = OpenDialog();
    const FieldCase cases[] = {
        {"1500", 1500},
        {"-250", -250},
        {"1.9", 1},
        {"abc", 0},
        {"", 0},
        {" 5", 5},
        {"+42", 42},
        {"12abc", 12},
        {"1234567890", 123456789},
        {"-12345678901", -12345678},
        {"999999999", 999999999},
    };
    for (const FieldCase& c : cases) {
        ExpectEveryFieldReads(dialog, c);
    }
}

TEST(ParameterFields, ClockTimesReadAsMinutesSecondsAndSaturate) {
    HWND dialog = OpenDialog();
    ClickControl(dialog, IDC_UNIT_CLOCK);
    const FieldCase cases[] = {
        {"1:30.5", 90500},
        {"90.5", 90500},
        {"-0:02", -2000},
        {"12:34.567", 754567},
        {"123:45.678", 7425670},  // cut to "123:45.67"
        {"abc", 0},
        {"99999:99", INT_MAX},
        {"-99999:99", INT_MIN},
        {"1500", 1500000},
    };
    for (const FieldCase& c : cases) {
        ExpectEveryFieldReads(dialog, c);
    }
}

TEST(ParameterFields, RangeEndStartingWithEIsTheLastSyncTimeInEitherUnit) {
    const std::string path = MakeScratchDir() + "/last.smi";
    WriteBytes(path, SamiWithTimes({1000, 250000, 90000}));
    HWND dialog = OpenDialog();
    for (int unit : {IDC_UNIT_MSEC, IDC_UNIT_CLOCK}) {
        ClickControl(dialog, unit);
        const FieldCase cases[] = {{"E", 250000},   {"e", 250000},
                                   {"End", 250000}, {"e5", 250000},
                                   {" E", 0},       {"5", unit == IDC_UNIT_MSEC ? 5 : 5000}};
        for (const FieldCase& c : cases) {
            TypeIntoControl(dialog, IDC_RANGE_END, c.text);
            std::int32_t start, end = -7, shift, stretch;
            ReadShiftParams(dialog, path.c_str(), &start, &end, &shift, &stretch);
            EXPECT_EQ(end, c.value) << '"' << c.text << "\" unit " << unit;
        }
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
        ReadAppendOffset(dialog, &offset);
        EXPECT_EQ(offset, c.expected) << "state " << c.msec;
    }
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
