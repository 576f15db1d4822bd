// Align (1022) over the stand-in: what it found is shown and written only
// after Yes; a reference of another film, a No, or a missing reference write
// nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "dialog_ids.h"
#include "dialog_test_support.h"
#include "main_dialog.h"
#include "test_files.h"

namespace {

constexpr int kCueCount = 40;

// Irregular cue starts, as speech has them; another seed is another film.
std::vector<int> CueTimes(unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> gap(1500, 3800);
    std::vector<int> times;
    int time = 5000;
    for (int k = 0; k < kCueCount; ++k) {
        time += gap(random);
        times.push_back(time);
    }
    return times;
}

std::string SrtTime(int ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d,%03d", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    return text;
}

std::string SubRip(const std::vector<int>& times) {
    std::string text;
    for (std::size_t k = 0; k < times.size(); ++k) {
        text += std::to_string(k + 1) + "\r\n" + SrtTime(times[k]) + " --> " +
                SrtTime(times[k] + 1200) + "\r\nline\r\n\r\n";
    }
    return text;
}

std::string SamiAt(const std::vector<int>& times, int offset) {
    std::string text = "<SAMI>\r\n<BODY>\r\n";
    for (int time : times) {
        text += "<SYNC Start=" + std::to_string(time + offset) + "><P>cue\r\n";
        text += "<SYNC Start=" + std::to_string(time + offset + 1200) + "><P>&nbsp;\r\n";
    }
    return text + "</BODY>\r\n</SAMI>\r\n";
}

std::vector<int> SyncTimes(const std::string& sami) {
    std::vector<int> times;
    const std::regex tag("<SYNC Start=([0-9]+)>");
    for (auto it = std::sregex_iterator(sami.begin(), sami.end(), tag);
         it != std::sregex_iterator(); ++it) {
        times.push_back(std::stoi((*it)[1].str()));
    }
    return times;
}

class AlignCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeScratchDir();
        path = dir + "/film.smi";
        reference = dir + "/film.en.srt";
        dialog = OpenDialog();
        WriteBytes(reference, SubRip(CueTimes(0)));
        TypeIntoControl(dialog, IDC_FILE_NAME, path.c_str());
        TypeIntoControl(dialog, IDC_REFERENCE_FILE_NAME, reference.c_str());
    }
    std::string dir, path, reference;
    HWND dialog = nullptr;
};

TEST_F(AlignCommand, SevenSecondsLateIsWrittenAfterYes) {
    const std::string late = SamiAt(CueTimes(0), 7000);
    WriteBytes(path, late);
    g_standin.messageBoxAnswers = {IDYES};
    ClickControl(dialog, IDC_ALIGN);
    ASSERT_EQ(g_standin.messageBoxes.size(), 1u);
    const StandinMessageBox& question = g_standin.messageBoxes[0];
    EXPECT_EQ(question.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_NE(question.text.find("-7.0"), std::string::npos) << question.text;
    EXPECT_NE(question.text.find("40 of 40"), std::string::npos) << question.text;
    EXPECT_NE(question.text.find("이대로 파일을 고칠까요?"), std::string::npos);
    const std::vector<int> result = SyncTimes(ReadBytes(path));
    const std::vector<int> wanted = SyncTimes(SamiAt(CueTimes(0), 0));
    ASSERT_EQ(result.size(), wanted.size());
    for (std::size_t k = 0; k < result.size(); ++k) {
        EXPECT_LE(std::abs(result[k] - wanted[k]), 100) << k;
    }
    EXPECT_EQ(ReadBytes(path + ".bak"), late);
    EXPECT_EQ(g_standin.progressPositions.back(), 100);
    EXPECT_EQ(g_busy, 0);
}

TEST_F(AlignCommand, NothingIsWrittenWithoutAClearYes) {
    const struct {
        std::string file;
        int answer;
        const char* says;
        UINT type;
    } cases[] = {
        {SamiAt(CueTimes(0), 7000), IDNO, "이대로 파일을 고칠까요?",
         static_cast<UINT>(MB_YESNO | MB_ICONQUESTION)},
        // Another film's cues: no answer is asked for.
        {SamiAt(CueTimes(5), 7000), IDYES, "뚜렷이 맞지 않습니다", MB_ICONWARNING},
        {SamiAt(CueTimes(0), 0), IDYES, "이미 기준자막의 시간에 맞습니다", MB_ICONINFORMATION},
        {"<SAMI><BODY></BODY></SAMI>", IDYES, "맞출 자막이 없습니다", MB_ICONWARNING},
    };
    for (const auto& c : cases) {
        WriteBytes(path, c.file);
        std::filesystem::remove(path + ".bak");
        g_standin.messageBoxes.clear();
        g_standin.messageBoxAnswers = {c.answer};
        ClickControl(dialog, IDC_ALIGN);
        ASSERT_EQ(g_standin.messageBoxes.size(), 1u) << c.says;
        EXPECT_NE(g_standin.messageBoxes[0].text.find(c.says), std::string::npos)
            << g_standin.messageBoxes[0].text;
        EXPECT_EQ(g_standin.messageBoxes[0].type, c.type) << c.says;
        EXPECT_EQ(ReadBytes(path), c.file);
        EXPECT_FALSE(FileExists(path + ".bak")) << c.says;
    }
}

TEST_F(AlignCommand, ReferenceOrFileThatDoesNotReadIsNamed) {
    WriteBytes(path, SamiAt(CueTimes(0), 7000));
    WriteBytes(dir + "/notes.txt", "no cues here\r\n");
    const struct {
        std::string file;
        std::string reference;
        const char* text;
    } cases[] = {
        {path, dir + "/missing.srt", "기준자막 파일 이름이 잘못 되었습니다."},
        {path, "", "기준자막 파일 이름이 잘못 되었습니다."},
        {path, dir + "/notes.txt",
         "기준자막에서 자막을 읽을 수 없습니다. SubRip, WebVTT, SSA/ASS, SAMI 파일을 고르십시오."},
        {dir + "/missing.smi", reference, "파일 이름이 잘못 되었습니다."},
    };
    for (const auto& c : cases) {
        g_standin.messageBoxes.clear();
        TypeIntoControl(dialog, IDC_FILE_NAME, c.file.c_str());
        TypeIntoControl(dialog, IDC_REFERENCE_FILE_NAME, c.reference.c_str());
        ClickControl(dialog, IDC_ALIGN);
        ExpectOneWarning(dialog, c.text);
        EXPECT_EQ(ListFolder(dir),
                  (std::vector<std::string>{"film.en.srt", "film.smi", "notes.txt"}));
    }
}

}  // namespace
