// Opening the dialog as the program does, without Windows, and the steps of
// a run that the dialog tests share.
#include "dialog_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "dialog_ids.h"
#include "dialog_program.h"
#include "main_dialog.h"

HWND OpenDialog() {
    ResetStandin();
    // As at the program's start.
    g_mainPath[0] = 0;
    g_appendPath[0] = 0;
    g_referencePath[0] = 0;
    RunDialogProgram(StandinProgramInstance(), SW_SHOWNORMAL);
    return g_standin.dialog;
}

std::string SamiWithTimes(const std::vector<int>& times) {
    std::string text = "<SAMI>\r\n<BODY>\r\n";
    for (int time : times) {
        text += "<SYNC Start=" + std::to_string(time) + "><P>cue\r\n";
    }
    return text + "</BODY>\r\n</SAMI>\r\n";
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void TypeShift(HWND dialog, const std::string& path, const ShiftFields& fields) {
    TypeIntoControl(dialog, IDC_FILE_NAME, path.c_str());
    TypeIntoControl(dialog, IDC_RANGE_START, fields.start);
    TypeIntoControl(dialog, IDC_RANGE_END, fields.end);
    TypeIntoControl(dialog, IDC_SHIFT, fields.shift);
    TypeIntoControl(dialog, IDC_STRETCH, fields.stretch);
}

void TypeAppend(HWND dialog, const std::string& path, const std::string& appendPath,
                const char* offset) {
    TypeIntoControl(dialog, IDC_FILE_NAME, path.c_str());
    TypeIntoControl(dialog, IDC_APPEND_FILE_NAME, appendPath.c_str());
    TypeIntoControl(dialog, IDC_APPEND_OFFSET, offset);
}

void ExpectOneWarning(HWND dialog, const char* text) {
    ASSERT_EQ(g_standin.messageBoxes.size(), 1u);
    const StandinMessageBox& box = g_standin.messageBoxes[0];
    EXPECT_EQ(box.text, text);
    EXPECT_EQ(box.caption, "Tembrel");
    EXPECT_EQ(box.type, MB_ICONWARNING);
    EXPECT_EQ(box.owner, dialog);
}
