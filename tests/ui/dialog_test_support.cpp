// Opening the dialog as the program does, without Windows.
#include "dialog_test_support.h"

#include <algorithm>
#include <filesystem>

#include "dialog_program.h"
#include "progress.h"

HWND OpenDialog() {
    ResetStandin();
    g_lastPercent = 0;
    RunDialogProgram(nullptr, SW_SHOWNORMAL);
    return g_standin.dialog;
}

std::string SamiWithTimes(std::initializer_list<int> times) {
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
