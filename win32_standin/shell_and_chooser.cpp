// The shell's part of the stand-in and the Open dialog: drops with their
// handles, the command line and its arguments, and the chooser answered as a
// test scripts it.
#include <algorithm>
#include <cwchar>

#include "standin_internal.h"

namespace {

std::vector<std::unique_ptr<StandinDrop>> g_drops;
std::wstring g_commandLine;
// The one argument list CommandLineToArgvW hands out until LocalFree.
std::vector<std::wstring> g_arguments;
std::vector<LPWSTR> g_argumentPointers;

}  // namespace

void ForgetStandinShell() {
    g_drops.clear();
    g_arguments.clear();
    g_argumentPointers.clear();
}

BOOL GetOpenFileNameW(OPENFILENAMEW* record) {
    StandinChooserCall call{*record, std::string(), WideToUtf8(record->lpstrFile)};
    for (LPCWSTR entry = record->lpstrFilter; entry != nullptr && *entry != 0;
         entry += std::wcslen(entry) + 1) {
        call.filter += WideToUtf8(entry);
        call.filter.push_back('\0');
    }
    call.filter.push_back('\0');
    g_standin.chooserCalls.push_back(call);
    if (g_standin.chooserAnswers.empty()) {
        return FALSE;
    }
    const StandinChooserAnswer answer = g_standin.chooserAnswers.front();
    g_standin.chooserAnswers.pop_front();
    const std::wstring path = Utf8ToWide(answer.path);
    if (!answer.confirm || path.size() >= record->nMaxFile) {
        return FALSE;
    }
    std::copy(path.c_str(), path.c_str() + path.size() + 1, record->lpstrFile);
    // As the system's chooser does: the filter in use when the user confirmed
    // stays in the record.
    record->nFilterIndex = 2;
    return TRUE;
}

void DragAcceptFiles(HWND window, BOOL accept) {
    if (window != nullptr && window == g_standin.dialog) {
        g_standin.acceptsFiles = accept ? 1 : 0;
    }
}

UINT DragQueryFileW(HDROP drop, UINT index, LPWSTR file, UINT count) {
    if (drop == nullptr || drop->finished) {
        return 0;
    }
    if (index == 0xFFFFFFFFu) {
        return static_cast<UINT>(drop->files.size());
    }
    if (index >= drop->files.size()) {
        return 0;
    }
    const std::wstring& name = drop->files[index];
    if (file == nullptr) {
        return static_cast<UINT>(name.size());
    }
    if (count == 0) {
        return 0;
    }
    const std::size_t copied = std::min(static_cast<std::size_t>(count) - 1, name.size());
    std::copy(name.begin(), name.begin() + static_cast<std::ptrdiff_t>(copied), file);
    file[copied] = 0;
    return static_cast<UINT>(copied);
}

BOOL DragQueryPoint(HDROP drop, POINT* point) {
    if (drop == nullptr || drop->finished) {
        return FALSE;
    }
    *point = drop->point;
    return TRUE;
}

void DragFinish(HDROP drop) {
    if (drop != nullptr && !drop->finished) {
        drop->finished = 1;
        --g_standin.openDrops;
    }
}

LPWSTR GetCommandLineW() {
    g_commandLine = Utf8ToWide(g_standin.commandLine);
    return &g_commandLine[0];
}

// Blanks separate the arguments, double quotes group them; backslashes are
// taken as they are, which is all a test's command lines need.
LPWSTR* CommandLineToArgvW(LPCWSTR commandLine, int* count) {
    g_arguments.clear();
    std::wstring argument;
    bool inArgument = false;
    bool quoted = false;
    for (LPCWSTR c = commandLine; *c != 0; ++c) {
        if (*c == L'"') {
            quoted = !quoted;
            inArgument = true;
        } else if ((*c == L' ' || *c == L'\t') && !quoted) {
            if (inArgument) {
                g_arguments.push_back(argument);
            }
            argument.clear();
            inArgument = false;
        } else {
            argument.push_back(*c);
            inArgument = true;
        }
    }
    if (inArgument) {
        g_arguments.push_back(argument);
    }
    g_argumentPointers.clear();
    for (std::wstring& each : g_arguments) {
        g_argumentPointers.push_back(&each[0]);
    }
    g_argumentPointers.push_back(nullptr);
    ++g_standin.openArgumentLists;
    *count = static_cast<int>(g_arguments.size());
    return g_argumentPointers.data();
}

HLOCAL LocalFree(HLOCAL memory) {
    if (memory != nullptr && memory == static_cast<void*>(g_argumentPointers.data())) {
        --g_standin.openArgumentLists;
        g_arguments.clear();
        g_argumentPointers.clear();
        return nullptr;
    }
    return memory;
}

void DropFiles(HWND dialog, const std::vector<std::string>& files, POINT point) {
    auto drop = std::make_unique<StandinDrop>();
    for (const std::string& file : files) {
        drop->files.push_back(Utf8ToWide(file));
    }
    drop->point = point;
    drop->finished = 0;
    g_drops.push_back(std::move(drop));
    ++g_standin.openDrops;
    SendMessageA(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(g_drops.back().get()), 0);
}
