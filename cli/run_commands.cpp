// The three commands. Every byte they write comes from the engine's runs; this
// unit only decides whether a run happens and where it reads and writes.
#include "run_commands.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "backup_protocol.h"
#include "cli_messages.h"
#include "exit_codes.h"
#include "result_codes.h"
#include "file_identity.h"
#include "run_report.h"
#include "subtitle_append.h"
#include "sync_shift.h"
#include "terminal_progress.h"

namespace {

struct RunValues {
    CliCommand command;
    ShiftParams params;
    std::int32_t offset;
    int readQuoted;
};

RunOptions OptionsOf(const CliRequest& request) {
    return FrontEndRunOptions(request.readQuoted);
}

const char* KindName(TextKind kind) {
    if (kind == TEXT_UTF16_LE) {
        return "UTF-16 LE";
    }
    return kind == TEXT_UTF16_BE ? "UTF-16 BE" : "bytes in a code page";
}

std::string ErrorText(int error) {
    return error != 0 ? std::strerror(error) : "write error";
}

// 1 when the file opens for reading and its first byte can be read: on some
// systems a directory opens and only the read fails.
int CheckReadable(const char* path, std::string* cause) {
    errno = 0;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        *cause = ErrorText(errno);
        return 0;
    }
    std::fgetc(file);
    const int readFailed = std::ferror(file);
    const int readError = errno;
    std::fclose(file);
    if (readFailed) {
        *cause = ErrorText(readError);
        return 0;
    }
    return 1;
}

// `what` names the file in the message: "" for the file itself.
int CheckFile(const char* path, const char* what = "") {
    std::string cause;
    if (!CheckReadable(path, &cause)) {
        ReportMessage(std::string("cannot open ") + what + Quoted(path) + ": " + cause);
        return 0;
    }
    return 1;
}

std::int32_t CallEngine(const SavePlan& plan, const RunValues& values, RunCounts* counts) {
    if (values.command == COMMAND_APPEND) {
        return AppendFileCues(plan.input.c_str(), plan.appendInput.c_str(), plan.target.c_str(),
                              values.offset, values.readQuoted, counts);
    }
    return ShiftFileTimes(plan.input.c_str(), plan.target.c_str(), values.params,
                          FrontEndRunOptions(values.readQuoted), counts);
}

void ReportRunFailure(std::int32_t result, const char* file, const char* appendFile,
                      const SavePlan& plan, int runError, int undone) {
    std::string message;
    if (result == RESULT_BAD_FILE) {
        message = "cannot read " + Quoted(file) + ": " + ErrorText(runError);
    } else if (result == RESULT_MIXED_TEXT_KINDS) {
        message = "cannot append " + Quoted(appendFile != nullptr ? appendFile : "") + " to " +
                  Quoted(file) + ": the two files' encodings differ";
    } else if (result == RESULT_BAD_APPEND_FILE) {
        message = "cannot read the file to append " +
                  Quoted(appendFile != nullptr ? appendFile : "") + ": " + ErrorText(runError);
    } else {
        message = "cannot save " + Quoted(plan.target) + ": " + ErrorText(runError);
    }
    if (undone && !plan.backup.empty()) {
        message += "; " + Quoted(plan.target) + " is left as it was";
    }
    ReportMessage(message);
}

int ExitCodeOf(std::int32_t result) {
    if (result == RESULT_BAD_FILE || result == RESULT_BAD_APPEND_FILE) {
        return result;
    }
    return result == RESULT_MIXED_TEXT_KINDS ? EXIT_BAD_APPEND_FILE : EXIT_CANNOT_SAVE;
}

// One run of the engine under the backup protocol; the exit code for it, and
// on success what the run did in *counts.
int SaveResult(const char* file, const char* appendFile, const char* outputPath,
               const RunValues& values, RunCounts* counts) {
    SavePlan plan;
    PlanSave(file, appendFile, outputPath, &plan);
    // The old backup is removed before the new one is made: appending it would
    // destroy the very file that was to be appended.
    if (appendFile != nullptr && !plan.backup.empty() &&
        IsSameFile(appendFile, plan.backup.c_str())) {
        ReportMessage("cannot append " + Quoted(appendFile) + ": it is the backup " +
                      Quoted(plan.backup) + " that this run replaces");
        return EXIT_BAD_APPEND_FILE;
    }
    std::string cause;
    if (!PrepareSave(plan, &cause)) {
        ReportMessage("cannot save " + Quoted(plan.target) + ": " + cause);
        return EXIT_CANNOT_SAVE;
    }
    BeginProgress(file);
    errno = 0;
    const std::int32_t result = CallEngine(plan, values, counts);
    // The engine keeps no cause of its own; the failed call's errno is it.
    const int runError = errno;
    EndProgress();
    if (result == RESULT_OK) {
        return EXIT_DONE;
    }
    const int undone = UndoSave(plan, &cause);
    ReportRunFailure(result, file, appendFile, plan, runError, undone);
    if (!undone) {
        ReportMessage(cause);
    }
    return ExitCodeOf(result);
}

// The file's last sync time, with what the lookup found; 0 after a message
// when the file cannot be read to its end.
int LookUpLastSyncTime(const CliRequest& request, const char* file, std::int32_t* last,
                       RunCounts* counts) {
    errno = 0;
    if (ReadLastSyncTime(file, OptionsOf(request), last, counts) == RESULT_OK) {
        return 1;
    }
    const int lookupError = errno;
    // The check names a file that cannot be opened; a read that fails part-way
    // is reported with its own cause.
    if (CheckFile(file)) {
        ReportMessage("cannot read " + Quoted(file) + ": " + ErrorText(lookupError));
    }
    return 0;
}

int ShiftFile(const CliRequest& request, const char* file) {
    RunValues values = {COMMAND_SHIFT,
                        {request.rangeStart, request.rangeEnd, request.shift, request.stretch},
                        0,
                        request.readQuoted};
    ShiftParams& params = values.params;
    RunCounts counts;
    // The last sync time is looked up before the check: a file gone between
    // the check and the lookup is reported, not taken for an empty range.
    if (request.endIsLastSync) {
        if (!LookUpLastSyncTime(request, file, &params.rangeEnd, &counts)) {
            return EXIT_BAD_FILE;
        }
        if (counts.tagsFound == 0) {
            ReportRunCounts(REPORTED_LAST, file, counts, request.verbose);
        }
    }
    if (!CheckFile(file)) {
        return EXIT_BAD_FILE;
    }
    if (params.shift == 0 && params.stretch == 0) {
        ReportMessage(Quoted(file) + ": shift and stretch are both 0; nothing to do");
        return EXIT_DONE;
    }
    if (params.rangeStart >= params.rangeEnd) {
        ReportMessage(Quoted(file) + ": range start " + std::to_string(params.rangeStart) +
                      " is not below range end " + std::to_string(params.rangeEnd) +
                      "; nothing to do");
        return EXIT_DONE;
    }
    const int exitCode = SaveResult(file, nullptr, request.outputPath, values, &counts);
    if (exitCode == EXIT_DONE) {
        ReportRunCounts(REPORTED_SHIFT, file, counts, request.verbose);
    }
    return exitCode;
}

int ShiftFiles(const CliRequest& request) {
    int exitCode = EXIT_DONE;
    for (const char* file : request.files) {
        const int fileExit = ShiftFile(request, file);
        if (exitCode == EXIT_DONE) {
            exitCode = fileExit;
        }
    }
    return exitCode;
}

int AppendFile(const CliRequest& request) {
    const char* file = request.files[0];
    const char* appendFile = request.files[1];
    if (!CheckFile(file)) {
        return EXIT_BAD_FILE;
    }
    if (!CheckFile(appendFile, "the file to append ")) {
        return EXIT_BAD_APPEND_FILE;
    }
    // Checked before the backup is made, so that a refusal changes nothing.
    TextKind kind = TEXT_BYTES;
    TextKind appendKind = TEXT_BYTES;
    if (ReadTextKindOfFile(file, &kind) && ReadTextKindOfFile(appendFile, &appendKind) &&
        kind != appendKind) {
        ReportMessage("cannot append " + Quoted(appendFile) + " to " + Quoted(file) +
                      ": the two files' encodings differ (" + KindName(appendKind) + " and " +
                      KindName(kind) + ")");
        return EXIT_BAD_APPEND_FILE;
    }
    const RunValues values = {COMMAND_APPEND, {0, 0, 0, 0}, request.offset, request.readQuoted};
    RunCounts counts;
    const int exitCode = SaveResult(file, appendFile, request.outputPath, values, &counts);
    if (exitCode == EXIT_DONE) {
        ReportRunCounts(REPORTED_APPEND, appendFile, counts, request.verbose);
    }
    return exitCode;
}

int PrintLastSyncTime(const CliRequest& request) {
    const char* file = request.files[0];
    std::int32_t last = 0;
    RunCounts counts;
    if (!LookUpLastSyncTime(request, file, &last, &counts)) {
        return EXIT_BAD_FILE;
    }
    std::printf("%" PRId32 "\n", last);
    if (!FinishStandardOutput()) {
        return EXIT_CANNOT_SAVE;
    }
    ReportRunCounts(REPORTED_LAST, file, counts, request.verbose);
    return EXIT_DONE;
}

}  // namespace

int RunRequest(const CliRequest& request) {
    switch (request.command) {
        case COMMAND_SHIFT:
            return ShiftFiles(request);
        case COMMAND_APPEND:
            return AppendFile(request);
        case COMMAND_LAST:
            return PrintLastSyncTime(request);
        case COMMAND_HELP:
        case COMMAND_VERSION:
            break;
    }
    return EXIT_USAGE;
}
