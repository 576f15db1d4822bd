// Files that reach the dialog without typing: dropped on either group of
// fields, several at once, named on the command line, and names longer than a
// path field holds, which are refused rather than cut.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialog_ids.h"
#include "dialog_test_support.h"
#include "dialog_program.h"
#include "main_dialog.h"
#include "parameter_fields.h"
#include "test_files.h"

namespace {

const char kBadFile[] = "파일 이름이 잘못 되었습니다.";
const char kBadAppendFile[] = "Append할 파일 이름이 잘못 되었습니다.";
const wchar_t kWideName[] = L"/films/자막 phụ đề.smi";
const char kName[] = "/films/자막 phụ đề.smi";

const int kShiftGroup[] = {IDC_RANGE_START, IDC_RANGE_END, IDC_SHIFT, IDC_STRETCH};

class FileIntake : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeScratchDir();
        film = dir + "/film.smi";
        more = dir + "/more.smi";
        dialog = OpenDialog();
        WriteBytes(film, SamiWithTimes({1000, 2000}));
        WriteBytes(more, SamiWithTimes({500}));
        // Fields that would make a run change the file, had one started.
        TypeShift(dialog, film, {"0", "E", "100", "0"});
        TypeAppend(dialog, film, more, "100");
        filesBefore = ListFolder(dir);
    }
    // No run started: the files and the folder are as they were, no message.
    void ExpectNothingRan() {
        EXPECT_EQ(ListFolder(dir), filesBefore);
        EXPECT_EQ(ReadBytes(film), SamiWithTimes({1000, 2000}));
        EXPECT_EQ(g_standin.openDrops, 0);
    }
    void ExpectShiftFieldsKept() {
        EXPECT_EQ(ControlText(dialog, IDC_FILE_NAME), film);
        EXPECT_EQ(ControlText(dialog, IDC_SHIFT), "100");
    }
    void ExpectAppendFieldsKept() {
        EXPECT_EQ(ControlText(dialog, IDC_APPEND_FILE_NAME), more);
        EXPECT_EQ(ControlText(dialog, IDC_APPEND_OFFSET), "100");
    }
    std::string dir, film, more;
    std::vector<std::string> filesBefore;
    HWND dialog = nullptr;
};

TEST_F(FileIntake, DialogAcceptsDroppedFiles) {
    EXPECT_EQ(g_standin.acceptsFiles, 1);
}

// A drop anywhere but over the append group counts for field 1000, with the
// effects of its chooser: the shift fields' defaults and the bar at 0.
TEST_F(FileIntake, DropOutsideTheAppendGroupFillsTheMainField) {
    const POINT points[] = {ControlCentre(dialog, IDC_FILE_NAME),
                            ControlCentre(dialog, IDC_OPEN_FILE),
                            ControlCentre(dialog, IDC_START_SYNC),
                            ControlCentre(dialog, IDC_PROGRESS),
                            {10, 7},      // the label "파일이름"
                            {100, 128}};  // just above the append group
    for (const POINT& point : points) {
        g_standin.progressPositions.clear();
        for (int id : kShiftGroup) {
            TypeIntoControl(dialog, id, "7");
        }
        DropFiles(dialog, {kName}, point);
        EXPECT_EQ(ControlText(dialog, IDC_FILE_NAME), kName) << point.x << ',' << point.y;
        EXPECT_STREQ(g_mainPath, kWideName);
        EXPECT_EQ(ControlText(dialog, IDC_RANGE_START), "0");
        EXPECT_EQ(ControlText(dialog, IDC_RANGE_END), "E");
        EXPECT_EQ(ControlText(dialog, IDC_SHIFT), "0");
        EXPECT_EQ(ControlText(dialog, IDC_STRETCH), "0");
        EXPECT_EQ(g_standin.progressPositions, std::vector<int>{0});
        ExpectAppendFieldsKept();
        ExpectNothingRan();
        TypeIntoControl(dialog, IDC_FILE_NAME, film.c_str());
    }
    EXPECT_EQ(g_appendPath[0], L'\0');
    EXPECT_TRUE(g_standin.messageBoxes.empty());
}

// Over fields 1015 and 1017, their buttons and labels: field 1015, with the
// append chooser's effects (the offset's default and the bar at 0).
TEST_F(FileIntake, DropOverTheAppendGroupFillsTheAppendField) {
    const POINT points[] = {ControlCentre(dialog, IDC_APPEND_FILE_NAME),
                            ControlCentre(dialog, IDC_OPEN_APPEND_FILE),
                            ControlCentre(dialog, IDC_APPEND_OFFSET),
                            ControlCentre(dialog, IDC_START_APPEND),
                            {10, 140},    // the label "추가파일"
                            {120, 155}};  // between the offset and its button
    for (const POINT& point : points) {
        g_standin.progressPositions.clear();
        TypeIntoControl(dialog, IDC_APPEND_OFFSET, "7");
        DropFiles(dialog, {kName}, point);
        EXPECT_EQ(ControlText(dialog, IDC_APPEND_FILE_NAME), kName) << point.x << ',' << point.y;
        EXPECT_STREQ(g_appendPath, kWideName);
        EXPECT_EQ(ControlText(dialog, IDC_APPEND_OFFSET), "0");
        EXPECT_EQ(g_standin.progressPositions, std::vector<int>{0});
        ExpectShiftFieldsKept();
        ExpectNothingRan();
        TypeIntoControl(dialog, IDC_APPEND_FILE_NAME, more.c_str());
    }
    EXPECT_EQ(g_mainPath[0], L'\0');
    EXPECT_TRUE(g_standin.messageBoxes.empty());
}

TEST_F(FileIntake, OfSeveralDroppedFilesTheFirstIsTaken) {
    DropFiles(dialog, {"/films/b.smi", "/films/a.smi", "/films/c.smi"},
              ControlCentre(dialog, IDC_FILE_NAME));
    EXPECT_EQ(ControlText(dialog, IDC_FILE_NAME), "/films/b.smi");
    DropFiles(dialog, {"/films/d.smi", "/films/b.smi"}, ControlCentre(dialog, IDC_APPEND_OFFSET));
    EXPECT_EQ(ControlText(dialog, IDC_APPEND_FILE_NAME), "/films/d.smi");
    // An empty drop changes nothing.
    DropFiles(dialog, {}, ControlCentre(dialog, IDC_FILE_NAME));
    EXPECT_EQ(ControlText(dialog, IDC_FILE_NAME), "/films/b.smi");
    EXPECT_EQ(g_standin.openDrops, 0);
    EXPECT_TRUE(g_standin.messageBoxes.empty());
}

// The group's own warning; the field, the last-picked path and the other
// fields stay as they were, and the drop is released before the warning shows.
TEST_F(FileIntake, DroppedNameLongerThanAFieldIsRefused) {
    const std::string tooLong(static_cast<std::size_t>(kPathChars), 'n');
    const struct {
        POINT point;
        const char* text;
    } cases[] = {{ControlCentre(dialog, IDC_FILE_NAME), kBadFile},
                 {ControlCentre(dialog, IDC_APPEND_FILE_NAME), kBadAppendFile}};
    for (const auto& c : cases) {
        g_standin.messageBoxes.clear();
        int dropsOpenAtWarning = -1;
        g_standin.onMessageBox = [&] { dropsOpenAtWarning = g_standin.openDrops; };
        DropFiles(dialog, {tooLong}, c.point);
        ExpectOneWarning(dialog, c.text);
        EXPECT_EQ(dropsOpenAtWarning, 0);
        ExpectShiftFieldsKept();
        ExpectAppendFieldsKept();
        EXPECT_EQ(g_mainPath[0], L'\0');
        EXPECT_EQ(g_appendPath[0], L'\0');
        EXPECT_TRUE(g_standin.progressPositions.empty());
        ExpectNothingRan();
    }
}

// "Tembrel.exe FILE": the dialog opens with FILE in field 1000 as if chosen,
// and nothing runs; only the first file counts.
TEST(FileIntakeAtStart, CommandLineFileStartsInTheMainField) {
    const struct {
        std::string commandLine;
        std::string field;
        std::wstring mainPath;
        std::vector<int> bar;
    } cases[] = {
        {"Tembrel.exe", "", L"", {}},
        {"\"C:\\Program Files\\Tembrel.exe\" \"/films/자막 phụ đề.smi\"", kName, kWideName, {0}},
        {"Tembrel.exe /films/a.smi /films/b.smi", "/films/a.smi", L"/films/a.smi", {0}},
    };
    for (const auto& c : cases) {
        OpenDialog();
        g_standin.commandLine = c.commandLine;
        RunDialogProgram(StandinProgramInstance(), SW_SHOWNORMAL);
        HWND dialog = g_standin.dialog;
        EXPECT_EQ(ControlText(dialog, IDC_FILE_NAME), c.field) << c.commandLine;
        EXPECT_EQ(std::wstring(g_mainPath), c.mainPath);
        EXPECT_EQ(ControlText(dialog, IDC_RANGE_END), "E");
        EXPECT_EQ(g_standin.progressPositions, c.bar);
        EXPECT_TRUE(g_standin.messageBoxes.empty());
        EXPECT_EQ(g_standin.openArgumentLists, 0);
    }
}

TEST(FileIntakeAtStart, CommandLineNameLongerThanAFieldIsRefused) {
    OpenDialog();
    g_standin.commandLine = "Tembrel.exe " + std::string(static_cast<std::size_t>(kPathChars), 'n');
    RunDialogProgram(StandinProgramInstance(), SW_SHOWNORMAL);
    ExpectOneWarning(g_standin.dialog, kBadFile);
    EXPECT_EQ(ControlText(g_standin.dialog, IDC_FILE_NAME), "");
    EXPECT_EQ(g_mainPath[0], L'\0');
    EXPECT_EQ(g_standin.openArgumentLists, 0);
}

// A typed name one character longer than a field holds, whose first
// kPathChars - 1 characters name a real file: cut, it would edit that file.
TEST_F(FileIntake, TypedNameLongerThanAFieldIsRefusedNotCut) {
    const auto exactly = [this](const std::string& file) {
        const std::string name = file.substr(dir.size() + 1);
        std::string path = dir;
        const std::size_t padding =
            static_cast<std::size_t>(kPathChars) - 2 - dir.size() - name.size();
        // "./" steps and, for an odd count, one doubled slash lead to the file.
        path += (padding % 2 == 1) ? "/" : "";
        for (std::size_t k = 0; k < padding / 2; ++k) {
            path += "/.";
        }
        return path + "/" + name;
    };
    const std::string longestFilm = exactly(film);
    const std::string longestMore = exactly(more);
    ASSERT_EQ(longestFilm.size(), static_cast<std::size_t>(kPathChars) - 1);
    ASSERT_EQ(ReadBytes(longestFilm), ReadBytes(film));

    TypeShift(dialog, longestFilm + "x", {"0", "E", "100", "0"});
    ClickControl(dialog, IDC_START_SYNC);
    ExpectOneWarning(dialog, kBadFile);
    ExpectNothingRan();

    g_standin.messageBoxes.clear();
    TypeAppend(dialog, film, longestMore + "x", "100");
    ClickControl(dialog, IDC_START_APPEND);
    ExpectOneWarning(dialog, kBadAppendFile);
    ExpectNothingRan();
}

// Names in any script and beyond the 260 characters of a short Windows path are
// edited in place like any other, their backup beside them.
TEST_F(FileIntake, NamesInAnyScriptAndBeyond260CharactersAreEdited) {
    const std::string deep = dir + "/" + std::string(120, 'd') + "/" + std::string(120, 'e');
    std::filesystem::create_directories(deep);
    for (const std::string& name : {dir + "/자막 phụ đề.smi", deep + "/자막 phụ đề.smi"}) {
        WriteBytes(name, SamiWithTimes({1000, 2000}));
        g_standin.messageBoxes.clear();
        TypeShift(dialog, name, {"0", "E", "100", "0"});
        ClickControl(dialog, IDC_START_SYNC);
        EXPECT_TRUE(g_standin.messageBoxes.empty()) << name.size();
        EXPECT_EQ(ReadBytes(name), SamiWithTimes({1100, 2100})) << name.size();
        EXPECT_EQ(ReadBytes(name + ".bak"), SamiWithTimes({1000, 2000})) << name.size();
    }
}

}  // namespace

namespace {

// SubRip, WebVTT and SSA/ASS files fill the reference field wherever they
// fall; a SAMI file goes by where it fell, also over the reference group.
TEST(FileIntakeReference, DropsGoToTheReferenceByTypeAndSamiByPlace) {
    HWND dialog = OpenDialog();
    const struct {
        const char* name;
        int over;
        int field;
    } cases[] = {
        {"/films/a.srt", IDC_FILE_NAME, IDC_REFERENCE_FILE_NAME},
        {"/films/B.VTT", IDC_APPEND_FILE_NAME, IDC_REFERENCE_FILE_NAME},
        {"/films/c.ass", IDC_SHIFT, IDC_REFERENCE_FILE_NAME},
        {"/films/d.Ssa", IDC_REFERENCE_FILE_NAME, IDC_REFERENCE_FILE_NAME},
        {"/films/e.smi", IDC_APPEND_OFFSET, IDC_APPEND_FILE_NAME},
        {"/films/f.smi", IDC_REFERENCE_FILE_NAME, IDC_FILE_NAME},
        {"/films/g.srt.smi", IDC_ALIGN, IDC_FILE_NAME},
        {"/films/h.srtx", IDC_FILE_NAME, IDC_FILE_NAME},
        {"/films.srt/i", IDC_FILE_NAME, IDC_FILE_NAME},
        {"/films/srt", IDC_FILE_NAME, IDC_FILE_NAME},
    };
    for (const auto& c : cases) {
        for (int id : {IDC_FILE_NAME, IDC_APPEND_FILE_NAME, IDC_REFERENCE_FILE_NAME}) {
            TypeIntoControl(dialog, id, "");
        }
        TypeIntoControl(dialog, IDC_SHIFT, "7");
        DropFiles(dialog, {c.name}, ControlCentre(dialog, c.over));
        for (int id : {IDC_FILE_NAME, IDC_APPEND_FILE_NAME, IDC_REFERENCE_FILE_NAME}) {
            EXPECT_EQ(ControlText(dialog, id), id == c.field ? c.name : "") << c.name << ' ' << id;
        }
        // Only a main file resets the shift fields.
        EXPECT_EQ(ControlText(dialog, IDC_SHIFT), c.field == IDC_FILE_NAME ? "0" : "7") << c.name;
    }
    EXPECT_STREQ(g_referencePath, L"/films/d.Ssa");
    EXPECT_EQ(g_standin.openDrops, 0);
    EXPECT_TRUE(g_standin.messageBoxes.empty());
}

// The reference chooser offers the four formats, keeps its own filter and
// leaves the SAMI choosers' filter as they had it.
TEST(FileIntakeReference, ChooserOffersTheReferenceFormats) {
    HWND dialog = OpenDialog();
    TypeIntoControl(dialog, IDC_SHIFT, "7");
    g_standin.chooserAnswers = {{1, "/films/a.smi"}, {1, "/films/film.en.srt"}, {0, ""}, {0, ""}};
    ClickControl(dialog, IDC_OPEN_FILE);
    TypeIntoControl(dialog, IDC_SHIFT, "7");
    ClickControl(dialog, IDC_OPEN_REFERENCE_FILE);
    EXPECT_EQ(ControlText(dialog, IDC_REFERENCE_FILE_NAME), "/films/film.en.srt");
    EXPECT_EQ(ControlText(dialog, IDC_FILE_NAME), "/films/a.smi");
    EXPECT_EQ(ControlText(dialog, IDC_SHIFT), "7");
    EXPECT_STREQ(g_referencePath, L"/films/film.en.srt");
    ClickControl(dialog, IDC_OPEN_REFERENCE_FILE);
    ClickControl(dialog, IDC_OPEN_APPEND_FILE);
    ASSERT_EQ(g_standin.chooserCalls.size(), 4u);
    const StandinChooserCall& reference = g_standin.chooserCalls[1];
    EXPECT_EQ(
        reference.filter,
        std::string("Subtitles (*.srt;*.vtt;*.ass;*.ssa;*.smi)\0*.srt;*.vtt;*.ass;*.ssa;*.smi\0"
                    "SubRip (*.srt)\0*.srt\0WebVTT (*.vtt)\0*.vtt\0"
                    "SSA/ASS (*.ass;*.ssa)\0*.ass;*.ssa\0SAMI (*.smi)\0*.smi\0"
                    "All files (*.*)\0*.*\0\0",
                    188));
    EXPECT_STREQ(reference.record.lpstrDefExt, L"srt");
    EXPECT_EQ(reference.record.lpstrFile, g_referencePath);
    EXPECT_EQ(reference.record.nFilterIndex, 1u);
    EXPECT_EQ(reference.record.Flags, 0x1004u);
    // The stand-in's chooser answers with the second filter in use.
    EXPECT_EQ(g_standin.chooserCalls[2].record.nFilterIndex, 2u);
    EXPECT_EQ(g_standin.chooserCalls[2].initialFile, "/films/film.en.srt");
    EXPECT_EQ(g_standin.chooserCalls[3].record.nFilterIndex, 2u);
    EXPECT_STREQ(g_standin.chooserCalls[3].record.lpstrDefExt, L"smi");
}

}  // namespace
