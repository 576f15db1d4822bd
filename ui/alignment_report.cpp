// Align's messages: UTF-8 here, shown through MessageBoxW so that they read
// right whatever the system's code page is.
#include "alignment_report.h"

#include <cstdio>
#include <string>
#include <vector>

#include "align_run.h"
#include "sync_shift.h"

namespace {

constexpr int kMessageSize = 1024;

int ShowMessage(HWND dialog, const std::string& text, UINT type) {
    WCHAR wide[kMessageSize];
    if (MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide, kMessageSize) == 0) {
        return 0;
    }
    return MessageBoxW(dialog, wide, L"Tembrel", type);
}

}  // namespace

int FindAlignment(HWND dialog, const char* path, const char* referencePath, Alignment* alignment) {
    ReferenceCues reference;
    int error = 0;
    const ReferenceReading reading = ReadReferenceFile(referencePath, &reference, &error);
    if (reading == REFERENCE_CANNOT_OPEN || reading == REFERENCE_CANNOT_READ) {
        ShowMessage(dialog, "기준자막 파일 이름이 잘못 되었습니다.", MB_ICONWARNING);
        return 0;
    }
    if (reading == REFERENCE_NO_CUE) {
        ShowMessage(dialog,
                    "기준자막에서 자막을 읽을 수 없습니다. SubRip, WebVTT, SSA/ASS, SAMI 파일을 "
                    "고르십시오.",
                    MB_ICONWARNING);
        return 0;
    }
    ReferenceAlignment found;
    RunResult run;
    AlignFileToReference(path, reference, FrontEndRunOptions(0), 1, &found, &run);
    *alignment = found.alignment;
    if (run.outcome == OUTCOME_FAILED || run.outcome == OUTCOME_UNREADABLE) {
        ShowMessage(dialog, "파일 이름이 잘못 되었습니다.", MB_ICONWARNING);
        return 0;
    }
    if (run.outcome == OUTCOME_NO_CUES) {
        ShowMessage(dialog, "파일에 맞출 자막이 없습니다. 파일은 그대로 두었습니다.",
                    MB_ICONWARNING);
        return 0;
    }
    // A doubtful match is told by ConfirmAlignment, whether or not it moves a cue.
    if (alignment->confident && run.outcome == OUTCOME_ALREADY_ALIGNED) {
        ShowMessage(dialog,
                    "자막이 이미 기준자막의 시간에 맞습니다. 고칠 것이 없습니다.\n" +
                        DescribeAlignment(*alignment),
                    MB_ICONINFORMATION);
        return 0;
    }
    return 1;
}

int ConfirmAlignment(HWND dialog, const Alignment& alignment) {
    const std::string found = DescribeAlignment(alignment);
    if (!alignment.confident) {
        ShowMessage(dialog,
                    "기준자막과 파일이 뚜렷이 맞지 않습니다. 같은 영화의 자막입니까?\n"
                    "파일은 그대로 두었습니다.\n\n" +
                        found,
                    MB_ICONWARNING);
        return 0;
    }
    return ShowMessage(dialog, "기준자막에 맞춘 결과:\n" + found + "\n\n이대로 파일을 고칠까요?",
                       MB_YESNO | MB_ICONQUESTION) == IDYES
               ? 1
               : 0;
}
