// Align's messages: UTF-8 here, shown through MessageBoxW so that they read
// right whatever the system's code page is.
#include "alignment_report.h"

#include <cstdio>
#include <string>
#include <vector>

#include "file_access.h"
#include "file_cues.h"
#include "reference_cues.h"
#include "result_codes.h"
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

int ReadReference(HWND dialog, const char* path, ReferenceCues* reference) {
    std::FILE* file = OpenFileByName(path, "rb");
    std::string bytes;
    const int read = file != nullptr && ReadWholeStream(file, &bytes);
    if (file != nullptr) {
        std::fclose(file);
    }
    if (!read) {
        ShowMessage(dialog, "기준자막 파일 이름이 잘못 되었습니다.", MB_ICONWARNING);
        return 0;
    }
    ReadReferenceCues(bytes, path, reference);
    if (reference->cues.empty()) {
        ShowMessage(dialog,
                    "기준자막에서 자막을 읽을 수 없습니다. SubRip, WebVTT, SSA/ASS, SAMI 파일을 "
                    "고르십시오.",
                    MB_ICONWARNING);
        return 0;
    }
    return 1;
}

int ReadCuesOfFile(HWND dialog, const char* path, std::vector<Cue>* cues) {
    std::FILE* file = OpenFileByName(path, "rb");
    RunCounts counts;
    const int read =
        file != nullptr && ReadFileCues(file, FrontEndRunOptions(0), cues, &counts) == RESULT_OK;
    if (file != nullptr) {
        std::fclose(file);
    }
    if (!read) {
        ShowMessage(dialog, "파일 이름이 잘못 되었습니다.", MB_ICONWARNING);
        return 0;
    }
    if (cues->empty()) {
        ShowMessage(dialog, "파일에 맞출 자막이 없습니다. 파일은 그대로 두었습니다.",
                    MB_ICONWARNING);
        return 0;
    }
    return 1;
}

// When no cue moves, neither does any time between them.
int MovesAnyCue(const TimeMap& map, const std::vector<Cue>& cues) {
    for (const Cue& cue : cues) {
        for (const std::int64_t time : {cue.start, cue.end}) {
            std::int32_t mapped = 0;
            if (time >= 0 && MapTime(map, time, &mapped) && mapped != time) {
                return 1;
            }
        }
    }
    return 0;
}

}  // namespace

int FindAlignment(HWND dialog, const char* path, const char* referencePath, Alignment* alignment) {
    ReferenceCues reference;
    std::vector<Cue> cues;
    if (!ReadReference(dialog, referencePath, &reference) || !ReadCuesOfFile(dialog, path, &cues)) {
        return 0;
    }
    AlignCues(cues, reference.cues, alignment);
    if (alignment->confident && !MovesAnyCue(alignment->map, cues)) {
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
