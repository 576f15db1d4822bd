// The four commands. Every byte they write comes from the engine's runs; this
// unit only decides whether a run happens and where it reads and writes.
#include "run_commands.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "align_command.h"
#include "backup_protocol.h"
#include "cli_messages.h"
#include "exit_codes.h"
#include "file_access.h"
#include "file_system.h"
#include "named_runs.h"
#include "list_command.h"
#include "result_codes.h"
#include "null_device.h"
#include "retime_plan.h"
#include "run_report.h"
#include "standard_output.h"
#include "subtitle_append.h"
#include "sync_shift.h"
#include "time_map_run.h"
#include "terminal_progress.h"

namespace {

struct RunValues {
    CliCommand command;  // shift, sync or append
    ShiftParams params;
    std::int32_t offset;
    int readQuoted;
    int dryRun;
    const TimeMap* map;  // sync --to: the map run instead of shift
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

std::string ErrorText(int error, const char* unknown = "write error") {
    return error != 0 ? std::strerror(error) : unknown;
}

// 1 when the file opens for reading and its first byte can be read: on some
// systems a directory opens and only the read fails.
int CheckReadable(const char* path, std::string* cause) {
    errno = 0;
    std::FILE* file = OpenFileByName(path, "rb");
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

std::int32_t CallEngine(const char* input, const char* appendInput, const char* output,
                        const RunValues& values, RunCounts* counts) {
    RunOptions options = FrontEndRunOptions(values.readQuoted);
    AddTerminalProgress(&options);
    if (values.command == COMMAND_APPEND) {
        return AppendNamedFiles(input, appendInput, output, values.offset, options, counts);
    }
    if (values.map != nullptr) {
        return MapNamedFile(input, output, *values.map, options, counts);
    }
    return ShiftNamedFile(input, output, values.params, options, counts);
}

// How many of the times of `file` the run with these values leaves because
// they would go below 0, or -1 when the file cannot be read. They are the
// range's first times (the mapping never falls), so the engine counts them in a
// run over just those times that keeps each one as it is (shift and stretch 0
// accept every time from 0 up) and writes nowhere. For ranges that start at 0
// or later, as sync's does.
std::int64_t CountTimesBelowZero(const char* file, const RunValues& values) {
    const std::int64_t firstKept = FirstTimeNotBelowZero(values.params);
    if (firstKept <= values.params.rangeStart) {
        return 0;
    }
    RunValues below = values;
    below.params = {values.params.rangeStart, static_cast<std::int32_t>(firstKept - 1), 0, 0};
    RunCounts counts;
    if (CallEngine(file, nullptr, NullDevicePath(), below, &counts) != RESULT_OK) {
        return -1;
    }
    return counts.timesMoved;
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

// The run with its output going to an open stream, the inputs opened here by
// name. The engine flushes the output and leaves it open.
std::int32_t CallEngineInto(const char* input, const char* appendInput, std::FILE* output,
                            const RunValues& values, RunCounts* counts) {
    RunOptions options = FrontEndRunOptions(values.readQuoted);
    AddTerminalProgress(&options);
    ClearRunCounts(counts);
    std::FILE* in = OpenFileByName(input, "rb");
    if (in == nullptr) {
        return RESULT_BAD_FILE;
    }
    std::int32_t result = RESULT_OK;
    if (values.command == COMMAND_APPEND) {
        std::FILE* append = OpenFileByName(appendInput, "rb");
        if (append == nullptr) {
            std::fclose(in);
            return RESULT_BAD_APPEND_FILE;
        }
        result = AppendFileCues(in, FileSizeByName(input), append, FileSizeByName(appendInput),
                                output, values.offset, options, counts);
        std::fclose(append);
    } else if (values.map != nullptr) {
        result = MapFileTimes(in, FileSizeByName(input), output, *values.map, options, counts);
    } else {
        result = ShiftFileTimes(in, FileSizeByName(input), output, values.params, options, counts);
    }
    const int runError = errno;
    std::fclose(in);
    errno = runError;
    return result;
}

// -o -: the result goes to standard output, and FILE is only read: no backup
// and no file is made.
int WriteToStandardOutput(const char* file, const char* appendFile, const RunValues& values,
                          RunCounts* counts) {
    UseBinaryStandardOutput();
    BeginProgress(file);
    errno = 0;
    const std::int32_t result = CallEngineInto(file, appendFile, stdout, values, counts);
    const int runError = errno;
    EndProgress();
    if (result == RESULT_CANNOT_SAVE) {
        ReportMessage("cannot write to standard output: " + ErrorText(runError));
        return EXIT_CANNOT_SAVE;
    }
    if (result != RESULT_OK) {
        SavePlan plan;
        ReportRunFailure(result, file, appendFile, plan, runError, 0);
        return ExitCodeOf(result);
    }
    return EXIT_DONE;
}

// The run with its output going to the null device: the inputs are read where
// they stand, since no backup is made, nothing is written, and the counts are
// the real run's.
int DryRun(const char* file, const char* appendFile, const RunValues& values, RunCounts* counts) {
    SavePlan plan;
    plan.target = NullDevicePath();
    BeginProgress(file);
    errno = 0;
    const std::int32_t result = CallEngine(file, appendFile, plan.target.c_str(), values, counts);
    const int runError = errno;
    EndProgress();
    if (result != RESULT_OK) {
        ReportRunFailure(result, file, appendFile, plan, runError, 0);
        return ExitCodeOf(result);
    }
    return EXIT_DONE;
}

// One run of the engine under the backup protocol (or a dry run); the exit code
// for it, and on success what the run did in *counts.
int SaveResult(const char* file, const char* appendFile, const char* outputPath,
               const RunValues& values, RunCounts* counts) {
    if (outputPath != nullptr && std::strcmp(outputPath, "-") == 0 && !values.dryRun) {
        return WriteToStandardOutput(file, appendFile, values, counts);
    }
    SavePlan plan;
    PlanSave(file, appendFile, outputPath, &plan);
    if (appendFile != nullptr && ReplacesAppendFile(plan, appendFile)) {
        ReportMessage("cannot append " + Quoted(appendFile) + ": it is the backup " +
                      Quoted(plan.backup) + " that this run replaces");
        return EXIT_BAD_APPEND_FILE;
    }
    if (values.dryRun) {
        return DryRun(file, appendFile, values, counts);
    }
    std::string cause;
    if (!PrepareSave(&plan, &cause)) {
        ReportMessage("cannot save " + Quoted(plan.target) + ": " + cause);
        return EXIT_CANNOT_SAVE;
    }
    BeginProgress(file);
    errno = 0;
    const std::int32_t result = CallEngine(plan.input.c_str(), plan.appendInput.c_str(),
                                           plan.target.c_str(), values, counts);
    // The engine keeps no cause of its own; the failed call's errno is it.
    const int runError = errno;
    EndProgress();
    if (result == RESULT_OK) {
        // The result stands even when what is left to tidy fails.
        if (!FinishSave(plan, &cause)) {
            ReportMessage(cause);
        }
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
    if (ReadNamedLastSyncTime(file, OptionsOf(request), last, counts) == RESULT_OK) {
        return 1;
    }
    const int lookupError = errno;
    // The check names a file that cannot be opened; a read that fails part-way
    // is reported with its own cause.
    if (CheckFile(file)) {
        ReportMessage("cannot read " + Quoted(file) + ": " + ErrorText(lookupError, "read error"));
    }
    return 0;
}

int NothingToShift(const char* file, const ShiftParams& params) {
    if (params.shift == 0 && params.stretch == 0) {
        ReportMessage(Quoted(file) + ": shift and stretch are both 0; nothing to do");
        return 1;
    }
    return 0;
}

int RangeIsEmpty(const char* file, const ShiftParams& params) {
    if (params.rangeStart >= params.rangeEnd) {
        ReportMessage(Quoted(file) + ": range start " + std::to_string(params.rangeStart) +
                      " is not below range end " + std::to_string(params.rangeEnd) +
                      "; nothing to do");
        return 1;
    }
    return 0;
}

// The shift and stretch of sync, or the stretch of --fps, for this file's
// range; 0 after a message when they do not fit in 32 bits.
int DeriveParams(const CliRequest& request, const char* file, ShiftParams* params) {
    if (request.command == COMMAND_SYNC) {
        SyncLine line;
        if (LineThroughPoints(request.syncOld, request.syncNew, &line) &&
            ParamsForLine(line, params->rangeEnd, params, nullptr)) {
            return 1;
        }
        ReportMessage("cannot sync " + Quoted(file) +
                      ": the line through the --at points needs a stretch beyond 32 bits up to "
                      "its last sync time " +
                      std::to_string(params->rangeEnd));
        return 0;
    }
    if (StretchForRates(params->rangeStart, params->rangeEnd, request.fpsFrom, request.fpsTo,
                        &params->stretch)) {
        return 1;
    }
    ReportMessage("cannot shift " + Quoted(file) +
                  ": the --fps rates need a stretch beyond 32 bits over the range " +
                  std::to_string(params->rangeStart) + " to " + std::to_string(params->rangeEnd));
    return 0;
}

// shift and sync: sync is a shift over 0 .. E whose shift and stretch come
// from the line, as --fps gives the stretch of a shift.
int ShiftFile(const CliRequest& request, const char* file) {
    RunValues values = {request.command,
                        {request.rangeStart, request.rangeEnd, request.shift, request.stretch},
                        0,
                        request.readQuoted,
                        request.dryRun,
                        nullptr};
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
    const int derived = request.command == COMMAND_SYNC || request.fpsGiven;
    // Values computed from the range need the range first.
    if ((!derived && NothingToShift(file, params)) || RangeIsEmpty(file, params)) {
        return EXIT_DONE;
    }
    if (derived && !DeriveParams(request, file, &params)) {
        return EXIT_USAGE;
    }
    if (derived && NothingToShift(file, params)) {
        return EXIT_DONE;
    }
    // A dry run shows the counts as --verbose does. For sync they say how many
    // times its line puts below 0, counted from FILE before a real run
    // replaces it.
    const int verbose = request.verbose || request.dryRun;
    const std::int64_t timesBelowZero =
        (verbose && request.command == COMMAND_SYNC) ? CountTimesBelowZero(file, values) : -1;
    const int exitCode = SaveResult(file, nullptr, request.outputPath, values, &counts);
    if (exitCode == EXIT_DONE) {
        ReportRunCounts(REPORTED_SHIFT, file, counts, verbose, timesBelowZero);
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
    const RunValues values = {COMMAND_APPEND,     {0, 0, 0, 0},   request.offset,
                              request.readQuoted, request.dryRun, nullptr};
    RunCounts counts;
    const int exitCode = SaveResult(file, appendFile, request.outputPath, values, &counts);
    if (exitCode == EXIT_DONE) {
        ReportRunCounts(REPORTED_APPEND, appendFile, counts, request.verbose || request.dryRun);
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

int SaveMappedFile(const CliRequest& request, const char* file, const TimeMap& map,
                   RunCounts* counts) {
    const RunValues values = {COMMAND_SYNC,       {0, 0, 0, 0},   0,
                              request.readQuoted, request.dryRun, &map};
    return SaveResult(file, nullptr, request.outputPath, values, counts);
}

int RunRequest(const CliRequest& request) {
    switch (request.command) {
        case COMMAND_SHIFT:
        case COMMAND_SYNC:
            return request.referencePath != nullptr ? AlignFiles(request) : ShiftFiles(request);
        case COMMAND_APPEND:
            return AppendFile(request);
        case COMMAND_LAST:
            return PrintLastSyncTime(request);
        case COMMAND_LIST:
            return ListCues(request);
        case COMMAND_HELP:
        case COMMAND_VERSION:
            break;
    }
    return EXIT_USAGE;
}
