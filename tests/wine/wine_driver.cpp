// End-to-end test driver for Tembrel.exe: starts the program, drives its dialog
// as a person would (typing into fields, clicking buttons, reading the progress
// bar, reading and dismissing message boxes) and checks the files on disk.
//
//     tembrel_wine_driver <Tembrel.exe> <scratch folder> <scenario>
//     tembrel_wine_driver <tembrel-cli.exe> <scratch folder> cli_unicode_name
//
// Each scenario starts the program in an emptied scratch folder and ends it
// with "Close"; the exit code is 0 when every check held. Scenarios whose name
// ends in a locale (en_US, ko_KR) first check that Wine runs with that
// locale's ANSI code page, which the test's environment chooses.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <vector>

#include "dialog_ids.h"

namespace {

constexpr int kUnitLabels[] = {IDC_RANGE_UNIT, IDC_STRETCH_UNIT, IDC_SHIFT_UNIT, IDC_APPEND_UNIT};

// The message box's text control, in Windows and in Wine alike.
constexpr int kMessageBoxText = 0xFFFF;
constexpr DWORD kTimeoutMs = 30000;
// The exit code of a scenario that the system cannot run; CTest counts it as skipped.
constexpr int kSkipped = 77;

const wchar_t kBadFile[] = L"파일 이름이 잘못 되었습니다.";
// Korean and Vietnamese: code page 949 holds the first word but not "ụ" or "đ",
// code page 1252 holds none of the Korean.
const wchar_t kUnicodeName[] = L"자막 phụ đề.smi";
const wchar_t kBadAppendFile[] = L"Append할 파일 이름이 잘못 되었습니다.";
const wchar_t kCannotSave[] = L"파일을 저장할 수 없습니다.";
const wchar_t kNoTimeMoved[] = L"싱크 태그 2개 가운데 옮긴 시간이 없습니다.";
const wchar_t kUnreadTag[] = L"시간을 읽을 수 없는 싱크 태그 1개는 그대로 두었습니다.";

int g_failures = 0;
bool g_skipped = false;  // the system cannot show what the scenario checks

void Check(bool ok, const std::string& what) {
    if (!ok) {
        ++g_failures;
        std::printf("FAILED: %s\n", what.c_str());
    }
}

// --- Files ---

// Wine runs Linux paths as Z: paths.
std::string WindowsPath(const char* path) {
    std::string result = path[0] == '/' ? std::string("Z:") + path : std::string(path);
    for (char& c : result) {
        if (c == '/') {
            c = '\\';
        }
    }
    return result;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Widen(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<std::size_t>(length) - 1 : 0);
    return wide;
}

// Files are named in UTF-16, so that names outside the code page work too.
std::string ReadWholeFileW(const std::wstring& path) {
    std::string bytes;
    std::FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        return "<missing>";
    }
    char block[4096];
    std::size_t count;
    while ((count = std::fread(block, 1, sizeof(block), file)) > 0) {
        bytes.append(block, count);
    }
    std::fclose(file);
    return bytes;
}

void WriteWholeFileW(const std::wstring& path, const std::string& bytes) {
    std::FILE* file = _wfopen(path.c_str(), L"wb");
    const bool written =
        file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    Check(file != nullptr && std::fclose(file) == 0 && written, "write a file");
}

// Names in the system's code page (the scenarios' own ASCII paths).
std::string ReadWholeFile(const std::string& path) {
    return ReadWholeFileW(Widen(path));
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    WriteWholeFileW(Widen(path), bytes);
}

std::string Narrow(const wchar_t* wide) {
    char text[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof(text), nullptr, nullptr);
    return text;
}

// Names in UTF-8, read through the Unicode functions so that every name is
// seen as it is.
std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(Widen(folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        if (std::wcscmp(entry.cFileName, L".") != 0 && std::wcscmp(entry.cFileName, L"..") != 0) {
            names.push_back(Narrow(entry.cFileName));
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return names;
}

void RemoveTree(const std::string& path) {
    const std::wstring wide = Widen(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        for (const std::string& name : ListFolder(path)) {
            RemoveTree(path + "\\" + name);
        }
        RemoveDirectoryW(wide.c_str());
    } else {
        // A read-only file is not deleted.
        SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(wide.c_str());
    }
}

std::string SamiWithTimes(const std::vector<int>& times) {
    std::string text = "<SAMI>\r\n<BODY>\r\n";
    for (int time : times) {
        text += "<SYNC Start=" + std::to_string(time) + "><P>cue\r\n";
    }
    return text + "</BODY>\r\n</SAMI>\r\n";
}

// --- The program and its windows ---

struct Program {
    PROCESS_INFORMATION process;
    HWND dialog;
};

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char className[64] = {};
    GetClassNameA(window, className, sizeof(className));
    if (processId == search->processId && lstrcmpiA(className, search->className) == 0 &&
        IsWindowVisible(window) &&
        (search->owner == nullptr || GetWindow(window, GW_OWNER) == search->owner)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindProgramWindow(DWORD processId, const char* className, HWND owner) {
    WindowSearch search = {processId, className, owner, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The command line is UTF-16, so that a file name argument reaches the
// program whatever the ANSI code page.
bool StartProgram(const std::string& exe, const std::string& folder, Program* program,
                  const std::wstring& argument = std::wstring()) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    const std::wstring wideExe = Widen(exe);
    std::wstring commandLine = L"\"" + wideExe + L"\"";
    if (!argument.empty()) {
        commandLine += L" \"" + argument + L"\"";
    }
    if (!CreateProcessW(wideExe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        Widen(folder).c_str(), &startup, &program->process)) {
        Check(false, "start " + exe);
        return false;
    }
    WaitForInputIdle(program->process.hProcess, kTimeoutMs);
    const DWORD start = GetTickCount();
    program->dialog = nullptr;
    while (program->dialog == nullptr && GetTickCount() - start < kTimeoutMs) {
        program->dialog = FindProgramWindow(program->process.dwProcessId, "Tembrel", nullptr);
        Sleep(50);
    }
    Check(program->dialog != nullptr, "a window of class Tembrel appears");
    return program->dialog != nullptr;
}

void Type(const Program& program, int id, const char* text) {
    SendMessageA(GetDlgItem(program.dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

std::string ControlText(const Program& program, int id) {
    char text[128] = {};
    SendMessageA(GetDlgItem(program.dialog, id), WM_GETTEXT, sizeof(text),
                 reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring ControlTextW(const Program& program, int id) {
    wchar_t text[512] = {};
    SendMessageW(GetDlgItem(program.dialog, id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
    return text;
}

int ProgressPosition(const Program& program) {
    return static_cast<int>(
        SendMessageA(GetDlgItem(program.dialog, IDC_PROGRESS), PBM_GETPOS, 0, 0));
}

std::wstring WindowTextW(HWND window) {
    wchar_t text[256] = {};
    SendMessageW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    return text;
}

struct MessageBoxSeen {
    std::wstring text;
    std::wstring caption;
};

DWORD WINAPI SendClick(LPVOID button) {
    SendMessageA(static_cast<HWND>(button), BM_CLICK, 0, 0);
    return 0;
}

// Clicks a button and returns when its command has been handled, reading and
// dismissing each message box it shows on the way. The click is sent from a
// second thread, so the send returns only when the command's handler has.
std::vector<MessageBoxSeen> Click(const Program& program, int id, int answer = IDOK) {
    std::vector<MessageBoxSeen> seen;
    HANDLE sender = CreateThread(nullptr, 0, SendClick, GetDlgItem(program.dialog, id), 0, nullptr);
    const DWORD start = GetTickCount();
    HWND dismissed = nullptr;
    while (WaitForSingleObject(sender, 20) == WAIT_TIMEOUT) {
        if (GetTickCount() - start > kTimeoutMs) {
            Check(false, "command " + std::to_string(id) + " ends");
            break;
        }
        HWND box = FindProgramWindow(program.process.dwProcessId, "#32770", program.dialog);
        if (box != nullptr && box != dismissed) {
            seen.push_back({WindowTextW(GetDlgItem(box, kMessageBoxText)), WindowTextW(box)});
            HWND button = GetDlgItem(box, answer);
            PostMessageA(button != nullptr ? button : GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            dismissed = box;
        }
    }
    CloseHandle(sender);
    return seen;
}

void ExpectNoMessage(const std::vector<MessageBoxSeen>& seen) {
    Check(seen.empty(), "no message box (saw " + std::to_string(seen.size()) + ")");
}

void ExpectMessage(const std::vector<MessageBoxSeen>& seen, const wchar_t* text) {
    Check(seen.size() == 1, "one message box (saw " + std::to_string(seen.size()) + ")");
    if (!seen.empty()) {
        Check(seen[0].text == text, "the message box's text");
        Check(seen[0].caption == L"Tembrel", "the message box's caption");
    }
}

// Ends the program as the user does and checks that it ends with exit code 0.
void CloseProgram(const Program& program, bool click) {
    if (click) {
        ExpectNoMessage(Click(program, IDC_CLOSE));
    } else {
        PostMessageA(program.dialog, WM_CLOSE, 0, 0);
    }
    DWORD exitCode = 1;
    const bool ended = WaitForSingleObject(program.process.hProcess, kTimeoutMs) == WAIT_OBJECT_0;
    Check(ended, "the program ends");
    if (!ended) {
        TerminateProcess(program.process.hProcess, 2);
    }
    GetExitCodeProcess(program.process.hProcess, &exitCode);
    Check(exitCode == 0, "exit code 0 (got " + std::to_string(exitCode) + ")");
    CloseHandle(program.process.hThread);
    CloseHandle(program.process.hProcess);
}

// --- Scenarios ---

struct Scene {
    Program program;
    std::string folder;
    std::string film;     // the file being edited
    std::string backup;   // its backup name
    std::wstring opened;  // the file named on the program's command line, if any
};

void TypeShift(const Scene& s, const char* start, const char* end, const char* shift,
               const char* stretch) {
    Type(s.program, IDC_FILE_NAME, s.film.c_str());
    Type(s.program, IDC_RANGE_START, start);
    Type(s.program, IDC_RANGE_END, end);
    Type(s.program, IDC_SHIFT, shift);
    Type(s.program, IDC_STRETCH, stretch);
}

void ExpectShift(Scene& s, std::initializer_list<int> before, std::initializer_list<int> after,
                 const char* start, const char* end, const char* shift, const char* stretch) {
    WriteWholeFile(s.film, SamiWithTimes(before));
    TypeShift(s, start, end, shift, stretch);
    ExpectNoMessage(Click(s.program, IDC_START_SYNC));
    Check(ReadWholeFile(s.film) == SamiWithTimes(after), "the shifted file's bytes");
    Check(ReadWholeFile(s.backup) == SamiWithTimes(before), "the backup holds the original");
    Check(ProgressPosition(s.program) == 100, "the bar ends at 100");
}

void DefaultFieldsDoNothing(Scene& s) {
    const std::string original = SamiWithTimes({1000, 2000});
    WriteWholeFile(s.film, original);
    Type(s.program, IDC_FILE_NAME, s.film.c_str());
    Check(ControlText(s.program, IDC_RANGE_END) == "E", "range end shows E");
    ExpectNoMessage(Click(s.program, IDC_START_SYNC));
    Check(!Exists(s.backup), "no backup");
    Check(ReadWholeFile(s.film) == original, "the file is unchanged");
    Check(ProgressPosition(s.program) == 0, "the bar stays at 0");
}

void MissingFileGivesMessageOne(Scene& s) {
    TypeShift(s, "0", "5000", "100", "0");
    ExpectMessage(Click(s.program, IDC_START_SYNC), kBadFile);
    Check(ListFolder(s.folder).empty(), "the folder stays empty");
}

void ShiftWithStretchInMsec(Scene& s) {
    ExpectShift(s, {999, 1000, 3000, 5000, 6000}, {999, 1500, 4500, 7500, 6000}, "1000", "5000",
                "500", "2000");
}

void ShiftInClockUnitToTheLastTime(Scene& s) {
    ExpectNoMessage(Click(s.program, IDC_UNIT_CLOCK));
    for (int id : kUnitLabels) {
        Check(ControlText(s.program, id) == "mm:ss.sss", "unit label " + std::to_string(id));
    }
    ExpectShift(s, {500, 1000, 3000, 6000}, {500, 1500, 3500, 6500}, "0:01", "E", "0.5", "0");
}

// With doubles on the x87 unit 6500 would become 7500 and 13000 would be 15000.
void StretchTruncatesLikeDoubles(Scene& s) {
    ExpectShift(s, {0, 6500, 13000}, {0, 7499, 14999}, "0", "13000", "0", "2000");
}

void SecondRunReplacesTheBackup(Scene& s) {
    WriteWholeFile(s.film, SamiWithTimes({1000, 2000}));
    for (int run = 0; run < 2; ++run) {
        TypeShift(s, "0", "E", "100", "0");
        ExpectNoMessage(Click(s.program, IDC_START_SYNC));
    }
    Check(ReadWholeFile(s.backup) == SamiWithTimes({1100, 2100}), "the backup is the first result");
    Check(ReadWholeFile(s.film) == SamiWithTimes({1200, 2200}), "the second result");
}

// A range that holds no cue moves nothing: the run says so and writes
// nothing, so the older backup (the user's original) stays.
void NothingMovedKeepsTheOlderBackup(Scene& s) {
    const std::string original = SamiWithTimes({1000, 2000});
    const std::string older = SamiWithTimes({900, 1900});
    WriteWholeFile(s.film, original);
    WriteWholeFile(s.backup, older);
    TypeShift(s, "5000", "9000", "100", "0");
    ExpectMessage(Click(s.program, IDC_START_SYNC), kNoTimeMoved);
    Check(ReadWholeFile(s.film) == original, "the file is unchanged");
    Check(ReadWholeFile(s.backup) == older, "the older backup is kept");
    Check(ListFolder(s.folder).size() == 2, "nothing else is left in the folder");
}

// E is guessed from the file's tail and checked by the run: a film whose
// largest time comes first runs again with the E it found, so that every
// time moves, and nothing is left beside it.
void LargestTimeFirstMovesEveryTime(Scene& s) {
    std::vector<int> before = {900000};
    std::vector<int> after = {901500};
    for (int k = 0; k < 3000; ++k) {
        before.push_back(1000 + 100 * k);
        after.push_back(2500 + 100 * k);
    }
    WriteWholeFile(s.film, SamiWithTimes(before));
    TypeShift(s, "0", "E", "1500", "0");
    ExpectNoMessage(Click(s.program, IDC_START_SYNC));
    Check(ReadWholeFile(s.film) == SamiWithTimes(after), "every time moved, the first too");
    Check(ReadWholeFile(s.backup) == SamiWithTimes(before), "the backup holds the original");
    Check(ListFolder(s.folder).size() == 2, "nothing else is left in the folder");
    Check(ProgressPosition(s.program) == 100, "the bar ends at 100");
}

// UTF-16 LE behind its byte order mark, from UTF-16 text.
std::string Utf16Le(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (const wchar_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>((unit >> 8) & 0xFF);
    }
    return bytes;
}

std::wstring KoreanCues(const wchar_t* first, const wchar_t* last) {
    return std::wstring(L"<SAMI>\r\n<BODY>\r\n<SYNC Start=") + first +
           L"><P Class=KRCC>\uB300\uC0AC \uD558\uB098\r\n<SYNC Start=\"2000\"><P>\uB458\r\n"
           L"<sync start=" +
           last + L"><P>&nbsp;\r\n</BODY>\r\n</SAMI>\r\n";
}

// A UTF-16 file with Korean text is re-timed up to its own last time; the tag
// whose time is quoted is left and the run says so.
void ShiftUtf16WithKoreanText(Scene& s) {
    const std::string original = Utf16Le(KoreanCues(L"1000", L"3000"));
    WriteWholeFile(s.film, original);
    TypeShift(s, "0", "E", "250", "0");
    ExpectMessage(Click(s.program, IDC_START_SYNC), kUnreadTag);
    Check(ReadWholeFile(s.film) == Utf16Le(KoreanCues(L"1250", L"3250")), "the UTF-16 result");
    Check(ReadWholeFile(s.backup) == original, "the backup holds the original");
}

void AppendThroughItsControls(Scene& s) {
    const std::string more = s.folder + "\\more.smi";
    WriteWholeFile(s.film, SamiWithTimes({1000}));
    WriteWholeFile(more, SamiWithTimes({500}));
    Type(s.program, IDC_FILE_NAME, s.film.c_str());
    Type(s.program, IDC_APPEND_FILE_NAME, more.c_str());
    Type(s.program, IDC_APPEND_OFFSET, "60000");
    ExpectNoMessage(Click(s.program, IDC_START_APPEND));
    Check(ReadWholeFile(s.film) == SamiWithTimes({1000, 60500}), "the appended file's bytes");
    Check(ReadWholeFile(s.backup) == SamiWithTimes({1000}), "the backup holds the original");
    Check(ProgressPosition(s.program) == 100, "the bar ends at 100");
}

void MissingAppendFileGivesMessageTwo(Scene& s) {
    WriteWholeFile(s.film, SamiWithTimes({1000}));
    Type(s.program, IDC_FILE_NAME, s.film.c_str());
    Type(s.program, IDC_APPEND_FILE_NAME, (s.folder + "\\missing.smi").c_str());
    ExpectMessage(Click(s.program, IDC_START_APPEND), kBadAppendFile);
    Check(ListFolder(s.folder) == std::vector<std::string>{"film.smi"}, "nothing moved");
}

// The same file under another spelling is found by its identity.
void AppendAFileToItself(Scene& s) {
    WriteWholeFile(s.film, SamiWithTimes({1000}));
    Type(s.program, IDC_FILE_NAME, s.film.c_str());
    Type(s.program, IDC_APPEND_FILE_NAME, (s.folder + "\\.\\FILM.SMI").c_str());
    Type(s.program, IDC_APPEND_OFFSET, "500");
    ExpectNoMessage(Click(s.program, IDC_START_APPEND));
    Check(ReadWholeFile(s.film) == SamiWithTimes({1000, 1500}), "the file appended to itself");
}

void FailedSaveGivesMessageThree(Scene& s) {
    const std::string original = SamiWithTimes({1000});
    WriteWholeFile(s.film, original);
    CreateDirectoryA(s.backup.c_str(), nullptr);
    WriteWholeFile(s.backup + "\\keep.txt", "keep");
    TypeShift(s, "0", "E", "100", "0");
    ExpectMessage(Click(s.program, IDC_START_SYNC), kCannotSave);
    Check(ReadWholeFile(s.film) == original, "the file is unchanged");
    Check(ReadWholeFile(s.backup + "\\keep.txt") == "keep", "the folder is untouched");
}

constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

DWORD KeptAttributes(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES ? 0 : attributes & kKeptAttributes;
}

// Read-only, hidden and system, as far as Wine keeps them on this file system:
// the new file has them after each of two runs, and the read-only older
// backup is replaced by the second.
void AttributesAreKept(Scene& s) {
    WriteWholeFile(s.film, SamiWithTimes({1000}));
    SetFileAttributesA(s.film.c_str(), kKeptAttributes);
    const DWORD kept = KeptAttributes(s.film);
    Check((kept & FILE_ATTRIBUTE_READONLY) != 0, "Wine keeps the read-only attribute");
    for (int run = 1; run <= 2; ++run) {
        TypeShift(s, "0", "E", "5", "0");
        ExpectNoMessage(Click(s.program, IDC_START_SYNC));
        Check(KeptAttributes(s.film) == kept,
              "the new file's attributes, run " + std::to_string(run));
        Check(KeptAttributes(s.backup) == kept,
              "the backup's attributes, run " + std::to_string(run));
    }
    Check(ReadWholeFile(s.film) == SamiWithTimes({1010}), "the file after two runs");
    Check(ReadWholeFile(s.backup) == SamiWithTimes({1005}), "the backup is the first result");
    Check(ListFolder(s.folder) == std::vector<std::string>{"film.smi", "film.smi.bak"},
          "nothing else in the folder");
}

// The file is held open by another program that lets nobody rename it: the
// backup cannot be made, and the older backup, set aside first, is back.
void OlderBackupIsKeptWhenTheBackupCannotBeMade(Scene& s) {
    const std::string original = SamiWithTimes({1000});
    const std::string older = SamiWithTimes({1, 2});
    WriteWholeFile(s.film, original);
    WriteWholeFile(s.backup, older);
    HANDLE held = CreateFileA(s.film.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    Check(held != INVALID_HANDLE_VALUE, "the file is held open");
    TypeShift(s, "0", "E", "5", "0");
    ExpectMessage(Click(s.program, IDC_START_SYNC), kCannotSave);
    CloseHandle(held);
    Check(ReadWholeFile(s.film) == original, "the file is unchanged");
    Check(ReadWholeFile(s.backup) == older, "the older backup is unchanged");
    Check(ListFolder(s.folder) == std::vector<std::string>{"film.smi", "film.smi.bak"},
          "nothing else in the folder");
}

// film.smi is a symbolic link to real\film.smi, where Wine can make one.
void FileNamedThroughALink(Scene& s) {
    const std::string real = s.folder + "\\real";
    CreateDirectoryA(real.c_str(), nullptr);
    const std::string original = SamiWithTimes({1000});
    WriteWholeFile(real + "\\film.smi", original);
    // Wine 8 answers yes and makes nothing.
    const BOOL made = CreateSymbolicLinkA(s.film.c_str(), "real\\film.smi", 0);
    const DWORD attributes = GetFileAttributesA(s.film.c_str());
    if (!made || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        std::printf("no symbolic link can be made here\n");
        g_skipped = true;
        return;
    }
    TypeShift(s, "0", "E", "5", "0");
    ExpectNoMessage(Click(s.program, IDC_START_SYNC));
    Check(ReadWholeFile(real + "\\film.smi") == SamiWithTimes({1005}), "the file is re-timed");
    Check(ReadWholeFile(real + "\\film.smi.bak") == original, "its backup is beside it");
    Check(ReadWholeFile(s.film) == SamiWithTimes({1005}), "the link leads to the new content");
    Check(ListFolder(s.folder) == std::vector<std::string>{"film.smi", "real"},
          "no backup beside the link");
}

// "1.5" in milliseconds is no whole number: one warning names the field, and
// nothing is moved. Switching the unit writes the fields in it.
void UnreadableFieldIsRefused(Scene& s) {
    const std::string original = SamiWithTimes({1000, 2000});
    WriteWholeFile(s.film, original);
    TypeShift(s, "0", "E", "1.5", "0");
    ExpectMessage(Click(s.program, IDC_START_SYNC),
                  L"\"Shift 시간\" 칸의 시간을 읽을 수 없습니다.\n"
                  L"단위가 msec일 때는 밀리초를 정수로 적습니다. 예: 1500, -250");
    Check(ReadWholeFile(s.film) == original, "the file is unchanged");
    Check(ListFolder(s.folder) == std::vector<std::string>{"film.smi"}, "no backup");
    Check(ProgressPosition(s.program) == 0, "the bar stays at 0");
    Type(s.program, IDC_SHIFT, "1500");
    ExpectNoMessage(Click(s.program, IDC_UNIT_CLOCK));
    Check(ControlText(s.program, IDC_SHIFT) == "0:01.500", "1500 becomes 0:01.500");
    Check(ControlText(s.program, IDC_RANGE_END) == "E", "E stays");
    ExpectNoMessage(Click(s.program, IDC_UNIT_MSEC));
    Check(ControlText(s.program, IDC_SHIFT) == "1500", "and back");
    ExpectNoMessage(Click(s.program, IDC_START_SYNC));
    Check(ReadWholeFile(s.film) == SamiWithTimes({2500, 3500}), "the shifted file's bytes");
}

// A SubRip reference and the same cues seven seconds late in the file: the
// question shows what was found, and after Yes every time is within 100 ms.
std::string SrtTime(int ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d,%03d", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms % 1000);
    return text;
}

void AlignsToAReference(Scene& s) {
    std::vector<int> times;
    unsigned state = 19;
    int time = 5000;
    for (int k = 0; k < 40; ++k) {
        state = state * 1103515245u + 12345u;
        time += 1500 + static_cast<int>((state >> 8) % 2300);
        times.push_back(time);
    }
    std::string srt;
    std::string late = "<SAMI>\r\n<BODY>\r\n";
    std::string wanted = late;
    for (std::size_t k = 0; k < times.size(); ++k) {
        srt += std::to_string(k + 1) + "\r\n" + SrtTime(times[k]) + " --> " +
               SrtTime(times[k] + 1200) + "\r\nline\r\n\r\n";
        late += "<SYNC Start=" + std::to_string(times[k] + 7000) + "><P>cue\r\n";
    }
    late += "</BODY>\r\n</SAMI>\r\n";
    const std::string reference = s.folder + "\\film.en.srt";
    WriteWholeFile(reference, srt);
    WriteWholeFile(s.film, late);
    Type(s.program, IDC_FILE_NAME, s.film.c_str());
    Type(s.program, IDC_REFERENCE_FILE_NAME, reference.c_str());
    const std::vector<MessageBoxSeen> seen = Click(s.program, IDC_ALIGN, IDYES);
    Check(seen.size() == 1, "one question (saw " + std::to_string(seen.size()) + ")");
    if (!seen.empty()) {
        Check(seen[0].text.find(L"-7.0") != std::wstring::npos, "the offset is shown");
        Check(seen[0].text.find(L"이대로 파일을 고칠까요?") != std::wstring::npos, "a question");
    }
    const std::string result = ReadWholeFile(s.film);
    std::size_t at = 0;
    std::size_t found = 0;
    for (int expected : times) {
        at = result.find("<SYNC Start=", at);
        if (at == std::string::npos) {
            break;
        }
        at += 12;
        const int got = std::atoi(result.c_str() + at);
        Check(got - expected <= 100 && expected - got <= 100,
              "cue at " + std::to_string(expected) + " (got " + std::to_string(got) + ")");
        ++found;
    }
    Check(found == times.size(), "every cue is there");
    Check(ReadWholeFile(s.backup) == late, "the backup holds the original");
    Check(ProgressPosition(s.program) == 100, "the bar ends at 100");
    // Undo puts the file back byte for byte; a second press redoes.
    const std::string aligned = ReadWholeFile(s.film);
    ExpectNoMessage(Click(s.program, IDC_UNDO));
    Check(ReadWholeFile(s.film) == late, "undo: the file back byte for byte");
    Check(ReadWholeFile(s.backup) == aligned, "undo: the aligned file is the backup");
    ExpectNoMessage(Click(s.program, IDC_UNDO));
    Check(ReadWholeFile(s.film) == aligned, "redo");
}

// The code page that Wine took from the locale the test runs in: without it
// the Unicode scenarios would prove nothing.
void ExpectCodePageOfTheLocale(const char* scenario) {
    const std::string name = scenario;
    const UINT expected =
        name.size() > 5 && name.compare(name.size() - 5, 5, "ko_KR") == 0 ? 949 : 1252;
    Check(GetACP() == expected,
          "ANSI code page " + std::to_string(expected) + " (got " + std::to_string(GetACP()) + ")");
}

struct ChildTexts {
    std::vector<std::wstring> texts;
};

BOOL CALLBACK CollectChildText(HWND child, LPARAM parameter) {
    wchar_t text[256] = {};
    GetWindowTextW(child, text, 256);
    reinterpret_cast<ChildTexts*>(parameter)->texts.push_back(text);
    return TRUE;
}

// Every Korean text of the template reads back through the Unicode functions
// as it was written, on a system whose code page holds no Korean.
void LabelsReadAsTheTemplateWroteThem(Scene& s) {
    const wchar_t* const expected[] = {L"파일이름", L"파일열기", L"Shift 시간", L"설정구간",
                                       L"시작",     L"끝",       L"진행상황",   L"단        위",
                                       L"가감시간", L"추가파일", L"추가시간",   L"추가하기",
                                       L"기준자막", L"자동맞춤", L"되돌리기"};
    ChildTexts children;
    EnumChildWindows(s.program.dialog, CollectChildText, reinterpret_cast<LPARAM>(&children));
    for (std::size_t k = 0; k < sizeof(expected) / sizeof(expected[0]); ++k) {
        bool found = false;
        for (const std::wstring& child : children.texts) {
            found = found || child == expected[k];
        }
        Check(found, "a control reads as the template's text " + Narrow(expected[k]));
    }
    int openButtons = 0;
    for (const std::wstring& child : children.texts) {
        openButtons += child == L"파일열기" ? 1 : 0;
    }
    Check(openButtons == 3, "the three choosers' buttons read 파일열기");
    for (int id : {IDC_REFERENCE_FILE_NAME, IDC_OPEN_REFERENCE_FILE, IDC_ALIGN, IDC_UNDO}) {
        Check(GetDlgItem(s.program.dialog, id) != nullptr, "control " + std::to_string(id));
    }
    Check(IsWindowEnabled(GetDlgItem(s.program.dialog, IDC_UNDO)) != FALSE, "undo is offered");
    wchar_t caption[64] = {};
    GetWindowTextW(s.program.dialog, caption, 64);
    Check(std::wstring(caption).compare(0, 8, L"Tembrel ") == 0, "the caption");
}

// Files that the program is started with, made before it starts.
std::wstring MakeUnicodeNamedFile(const Scene& s) {
    const std::wstring film = Widen(s.folder) + L"\\" + kUnicodeName;
    WriteWholeFileW(film, SamiWithTimes({1000, 2000}));
    return film;
}

// Three folders deep: a name of well over 260 characters.
std::wstring MakeLongNamedFile(const Scene& s) {
    std::wstring film = Widen(s.folder);
    for (wchar_t step : {L'd', L'e', L'f'}) {
        film += L"\\" + std::wstring(100, step);
        CreateDirectoryW(film.c_str(), nullptr);
    }
    film += std::wstring(L"\\") + kUnicodeName;
    Check(film.size() > 300, "a name beyond 260 characters");
    WriteWholeFileW(film, SamiWithTimes({1000, 2000}));
    return film;
}

// Started as "Tembrel.exe FILE", as an Open with does it: FILE is in field
// 1000, and a shift edits it and leaves its backup beside it.
void OpenedFileIsShifted(Scene& s) {
    Check(ControlTextW(s.program, IDC_FILE_NAME) == s.opened, "field 1000 holds the name");
    Check(ControlText(s.program, IDC_RANGE_END) == "E", "the shift fields show their defaults");
    Type(s.program, IDC_SHIFT, "100");
    ExpectNoMessage(Click(s.program, IDC_START_SYNC));
    Check(ReadWholeFileW(s.opened) == SamiWithTimes({1100, 2100}), "the shifted file's bytes");
    Check(ReadWholeFileW(s.opened + L".bak") == SamiWithTimes({1000, 2000}),
          "the backup beside it holds the original");
}

// The same name on tembrel-cli's command line.
int RunCliWithAUnicodeName(const std::string& exe, const std::string& folder) {
    const std::wstring film = Widen(folder) + L"\\" + kUnicodeName;
    WriteWholeFileW(film, SamiWithTimes({1000, 2000}));
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    const std::wstring wideExe = Widen(exe);
    std::wstring commandLine = L"\"" + wideExe + L"\" shift --shift=100 \"" + film + L"\"";
    if (!CreateProcessW(wideExe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        Widen(folder).c_str(), &startup, &process)) {
        Check(false, "start " + exe);
        return 1;
    }
    DWORD exitCode = 1;
    Check(WaitForSingleObject(process.hProcess, kTimeoutMs) == WAIT_OBJECT_0, "tembrel-cli ends");
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    Check(exitCode == 0, "tembrel-cli exits with 0 (got " + std::to_string(exitCode) + ")");
    Check(ReadWholeFileW(film) == SamiWithTimes({1100, 2100}), "the shifted file's bytes");
    Check(ReadWholeFileW(film + L".bak") == SamiWithTimes({1000, 2000}),
          "the backup beside it holds the original");
    return 0;
}

struct ScenarioEntry {
    const char* name;
    void (*run)(Scene&);
    bool closeWithButton;
    std::wstring (*makeOpenedFile)(const Scene&);  // null: started without a file
};

void Nothing(Scene&) {}

constexpr ScenarioEntry kScenarios[] = {
    {"default_fields", DefaultFieldsDoNothing, true, nullptr},
    {"missing_file", MissingFileGivesMessageOne, true, nullptr},
    {"shift_msec", ShiftWithStretchInMsec, true, nullptr},
    {"shift_clock", ShiftInClockUnitToTheLastTime, true, nullptr},
    {"stretch_truncation", StretchTruncatesLikeDoubles, true, nullptr},
    {"second_run", SecondRunReplacesTheBackup, true, nullptr},
    {"nothing_moved", NothingMovedKeepsTheOlderBackup, true, nullptr},
    {"largest_first", LargestTimeFirstMovesEveryTime, true, nullptr},
    {"append", AppendThroughItsControls, true, nullptr},
    {"shift_utf16", ShiftUtf16WithKoreanText, true, nullptr},
    {"append_missing", MissingAppendFileGivesMessageTwo, true, nullptr},
    {"append_itself", AppendAFileToItself, true, nullptr},
    {"failed_save", FailedSaveGivesMessageThree, true, nullptr},
    {"keeps_attributes", AttributesAreKept, true, nullptr},
    {"keeps_older_backup", OlderBackupIsKeptWhenTheBackupCannotBeMade, true, nullptr},
    {"through_a_link", FileNamedThroughALink, true, nullptr},
    {"unreadable_field", UnreadableFieldIsRefused, true, nullptr},
    {"align", AlignsToAReference, true, nullptr},
    {"close", Nothing, true, nullptr},
    {"system_menu_close", Nothing, false, nullptr},
    {"labels_en_US", LabelsReadAsTheTemplateWroteThem, true, nullptr},
    {"open_with_unicode_name_en_US", OpenedFileIsShifted, true, MakeUnicodeNamedFile},
    {"open_with_unicode_name_ko_KR", OpenedFileIsShifted, true, MakeUnicodeNamedFile},
    {"open_with_long_name", OpenedFileIsShifted, true, MakeLongNamedFile},
};

bool EndsWithLocale(const char* scenario) {
    const std::string name = scenario;
    return name.size() > 6 && (name.compare(name.size() - 6, 6, "_en_US") == 0 ||
                               name.compare(name.size() - 6, 6, "_ko_KR") == 0);
}

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::printf("usage: %s <Tembrel.exe> <scratch folder> <scenario>\n", argv[0]);
        return 2;
    }
    if (EndsWithLocale(argv[3])) {
        ExpectCodePageOfTheLocale(argv[3]);
    }
    if (StartsWith(argv[3], "cli_unicode_name")) {
        const std::string folder = WindowsPath(argv[2]);
        RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        RunCliWithAUnicodeName(WindowsPath(argv[1]), folder);
        std::printf("%s: %s\n", argv[3], g_failures == 0 ? "passed" : "FAILED");
        return g_failures == 0 ? 0 : 1;
    }
    for (const ScenarioEntry& entry : kScenarios) {
        if (std::strcmp(entry.name, argv[3]) != 0) {
            continue;
        }
        Scene scene;
        scene.folder = WindowsPath(argv[2]);
        scene.film = scene.folder + "\\film.smi";
        scene.backup = scene.film + ".bak";
        RemoveTree(scene.folder);
        CreateDirectoryA(scene.folder.c_str(), nullptr);
        if (entry.makeOpenedFile != nullptr) {
            scene.opened = entry.makeOpenedFile(scene);
        }
        if (StartProgram(WindowsPath(argv[1]), scene.folder, &scene.program, scene.opened)) {
            entry.run(scene);
            CloseProgram(scene.program, entry.closeWithButton);
        }
        if (g_skipped && g_failures == 0) {
            std::printf("%s: skipped\n", entry.name);
            return kSkipped;
        }
        std::printf("%s: %s\n", entry.name, g_failures == 0 ? "passed" : "FAILED");
        return g_failures == 0 ? 0 : 1;
    }
    std::printf("unknown scenario %s\n", argv[3]);
    return 2;
}
