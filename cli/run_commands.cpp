// The six commands: each reads the request into the runs layer's request,
// and words what the run came to. Every byte they write comes from the
// engine's runs; every decision about a run is the runs layer's.
#include "run_commands.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "align_command.h"
#include "align_run.h"
#include "append_run.h"
#include "cli_messages.h"
#include "edit_job.h"
#include "edit_names.h"
#include "exit_codes.h"
#include "file_access.h"
#include "list_command.h"
#include "null_device.h"
#include "result_codes.h"
#include "run_report.h"
#include "shift_run.h"
#include "standard_output.h"
#include "terminal_progress.h"
#include "undo_run.h"

namespace {

const char* KindName(TextKind kind) {
    if (kind == TEXT_UTF16_LE) {
        return "UTF-16 LE";
    }
    return kind == TEXT_UTF16_BE ? "UTF-16 BE" : "bytes in a code page";
}

std::string ErrorText(int error, const char* unknown = "write error") {
    return error != 0 ? std::strerror(error) : unknown;
}

void ReportWaiting(const char* file) {
    ReportMessage("waiting for another run on " + Quoted(file) + " to end");
}

const char* StepText(EditStep step) {
    switch (step) {
        case EDIT_STEP_LOCK:
            return "cannot lock it";
        case EDIT_STEP_CREATE:
            return "cannot create the new file beside it";
        case EDIT_STEP_TRAITS:
            return "cannot give the new file its permissions";
        case EDIT_STEP_FLUSH:
            return "cannot write the new file to disk";
        case EDIT_STEP_SWAP:
            return "cannot put the new file in place";
        default:
            return "cannot write it";
    }
}

// Where a run writes, as the request says: in place, -o OUT, standard output
// (-o -), or for a dry run the null device, which stands for the real output.
struct Output {
    RunTarget target;
    std::FILE* stream;  // opened here for a dry run
};

int OpenOutput(const CliRequest& request, const char* file, Output* output) {
    RunOptions options = FrontEndRunOptions(request.readQuoted);
    AddTerminalProgress(&options);
    output->target = RunTarget{file, request.outputPath, nullptr, 0, options, ReportWaiting};
    output->stream = nullptr;
    const int toStandardOutput =
        request.outputPath != nullptr && std::strcmp(request.outputPath, "-") == 0;
    if (request.dryRun) {
        output->stream = OpenFileByName(NullDevicePath(), "wb");
        if (output->stream == nullptr) {
            ReportMessage("cannot save " + Quoted(NullDevicePath()) + ": " + ErrorText(errno));
            return 0;
        }
        output->target.outputStream = output->stream;
        output->target.dryRun = 1;
    } else if (toStandardOutput) {
        UseBinaryStandardOutput();
        output->target.outputStream = stdout;
    }
    return 1;
}

void CloseOutput(Output* output) {
    if (output->stream != nullptr) {
        std::fclose(output->stream);
    }
}

// One run of the runs layer on FILE into the request's output, with progress
// on the terminal: 1 with what it came to in *run and where it wrote in
// *target, or 0 after a message when the output cannot be opened.
template <typename Run>
int RunIntoOutput(const CliRequest& request, const char* file, Run run, RunResult* result,
                  RunTarget* target) {
    BeginProgress(file);
    Output output;
    if (!OpenOutput(request, file, &output)) {
        EndProgress();
        return 0;
    }
    run(output.target, result);
    EndProgress();
    CloseOutput(&output);
    *target = output.target;
    return 1;
}

// The failure of a run: the file it names, the step, the system's cause, and
// whether FILE is as it was.
void ReportFailure(const RunResult& run, const RunTarget& target, const char* appendFile) {
    const EditResult& result = run.edit;
    const char* file = target.file;
    const int ofAppend = result.code == RESULT_BAD_APPEND_FILE && appendFile != nullptr;
    const char* named = ofAppend ? appendFile : file;
    const std::string whichFile = ofAppend ? "the file to append " : "";
    std::string message;
    if (run.outcome == OUTCOME_UNREADABLE) {
        ReportMessage("cannot read " + Quoted(file) + ": " + ErrorText(result.error, "read error"));
        return;
    }
    if (result.step == EDIT_STEP_CHECK) {
        message = "cannot open " + whichFile + Quoted(named) + ": " +
                  (result.error == EISDIR ? ErrorText(EISDIR) : "it is not a regular file");
    } else if (result.step == EDIT_STEP_OPEN) {
        message = "cannot open " + whichFile + Quoted(named) + ": " + ErrorText(result.error);
    } else if (result.step == EDIT_STEP_RUN) {
        if (result.code == RESULT_BAD_FILE) {
            message = "cannot read " + Quoted(file) + ": " + ErrorText(result.error);
        } else if (result.code == RESULT_MIXED_TEXT_KINDS) {
            message = "cannot append " + Quoted(appendFile != nullptr ? appendFile : "") + " to " +
                      Quoted(file) + ": the two files' encodings differ";
        } else if (result.code == RESULT_BAD_APPEND_FILE) {
            message = "cannot read the file to append " +
                      Quoted(appendFile != nullptr ? appendFile : "") + ": " +
                      ErrorText(result.error);
        } else if (target.outputStream == stdout) {
            message = "cannot write to standard output: " + ErrorText(result.error);
        } else {
            message = "cannot save " +
                      Quoted(target.outputStream != nullptr ? NullDevicePath() : result.target) +
                      ": " + ErrorText(result.error);
        }
    } else if (result.step == EDIT_STEP_CREATE) {
        message = "cannot save " + Quoted(result.path) + ": " + ErrorText(result.error);
    } else if (result.step == EDIT_STEP_BACKUP) {
        ReportMessage("cannot save " + Quoted(result.target) + ": cannot make the backup " +
                      Quoted(result.backup) + ": " + ErrorText(result.error));
        return;
    } else {
        message = "cannot save " + Quoted(result.path) + ": " + StepText(result.step) + ": " +
                  ErrorText(result.error, "it was replaced again and again");
    }
    // The file the edit would have replaced: FILE, or the file to append
    // that -o names.
    const std::string kept = result.step == EDIT_STEP_RUN && result.code == RESULT_CANNOT_SAVE
                                 ? result.target
                                 : std::string(file);
    if (run.inPlace && result.step != EDIT_STEP_CHECK && result.step != EDIT_STEP_OPEN) {
        message += "; " + Quoted(kept) + " is left as it was";
    }
    ReportMessage(message);
}

int ExitCodeOf(std::int32_t result) {
    if (result == RESULT_BAD_FILE || result == RESULT_BAD_APPEND_FILE) {
        return result;
    }
    return result == RESULT_MIXED_TEXT_KINDS ? EXIT_BAD_APPEND_FILE : EXIT_CANNOT_SAVE;
}

// The words for a run's outcome that is no plain success; the exit code.
int ReportOutcome(const CliRequest& request, const RunResult& run, const RunTarget& target,
                  const char* appendFile) {
    const char* file = target.file;
    const ShiftParams& params = run.params;
    switch (run.outcome) {
        case OUTCOME_DONE:
            return EXIT_DONE;
        case OUTCOME_NOTHING_MOVED:
            ReportMessage(Quoted(file) + ": no time moved; " +
                          (run.inPlace ? std::string("nothing written")
                                       : Quoted(target.outputPath) + " is written unchanged"));
            return EXIT_DONE;
        case OUTCOME_NO_SHIFT:
            ReportMessage(Quoted(file) + ": shift and stretch are both 0; nothing to do");
            return EXIT_DONE;
        case OUTCOME_EMPTY_RANGE:
            ReportMessage(Quoted(file) + ": range start " + std::to_string(params.rangeStart) +
                          " is not below range end " + std::to_string(params.rangeEnd) +
                          "; nothing to do");
            return EXIT_DONE;
        case OUTCOME_TOO_LARGE:
            if (request.command == COMMAND_SYNC) {
                ReportMessage("cannot sync " + Quoted(file) +
                              ": the line through the --at points needs a stretch beyond 32 "
                              "bits up to its last sync time " +
                              std::to_string(params.rangeEnd));
            } else {
                ReportMessage("cannot shift " + Quoted(file) +
                              ": the --fps rates need a stretch beyond 32 bits over the range " +
                              std::to_string(params.rangeStart) + " to " +
                              std::to_string(params.rangeEnd));
            }
            return EXIT_USAGE;
        case OUTCOME_APPEND_IS_BACKUP:
            ReportMessage("cannot append " + Quoted(appendFile) + ": it is the backup " +
                          Quoted(run.backup) + " that this run replaces");
            return EXIT_BAD_APPEND_FILE;
        case OUTCOME_MIXED_KINDS:
            ReportMessage("cannot append " + Quoted(appendFile) + " to " + Quoted(file) +
                          ": the two files' encodings differ (" + KindName(run.appendKind) +
                          " and " + KindName(run.kind) + ")");
            return EXIT_BAD_APPEND_FILE;
        case OUTCOME_END_KEEPS_CHANGING:
            ReportMessage("cannot save " + Quoted(file) +
                          ": its last sync time changed with each of " +
                          std::to_string(kRangeEndAttempts) + " runs; " + Quoted(file) +
                          " is left as it was");
            return EXIT_CANNOT_SAVE;
        case OUTCOME_NO_BACKUP:
            ReportMessage("cannot undo " + Quoted(file) + ": there is no backup " +
                          Quoted(run.backup));
            return EXIT_BAD_FILE;
        default:
            ReportFailure(run, target, appendFile);
            return ExitCodeOf(run.edit.code);
    }
}

int ShiftFile(const CliRequest& request, const char* file) {
    ShiftRequest shift{};
    shift.params = {request.rangeStart, request.rangeEnd, request.shift, request.stretch};
    shift.endIsLast = request.endIsLastSync;
    if (request.command == COMMAND_SYNC) {
        shift.derive = DERIVE_LINE;
        for (int k = 0; k < 2; ++k) {
            shift.lineOld[k] = request.syncOld[k];
            shift.lineNew[k] = request.syncNew[k];
        }
    } else if (request.fpsGiven) {
        shift.derive = DERIVE_RATES;
        shift.rateFrom = request.fpsFrom;
        shift.rateTo = request.fpsTo;
    }
    // A dry run shows the counts as --verbose does; for sync they say how many
    // times its line puts below 0.
    const int verbose = request.verbose || request.dryRun;
    shift.countBelowZero = verbose && request.command == COMMAND_SYNC;
    RunResult run;
    RunTarget target;
    if (!RunIntoOutput(
            request, file,
            [&shift](const RunTarget& to, RunResult* result) { ShiftTarget(to, shift, result); },
            &run, &target)) {
        return EXIT_CANNOT_SAVE;
    }
    if (run.lookedUp && run.lookupCounts.tagsFound == 0) {
        ReportRunCounts(REPORTED_LAST, file, run.lookupCounts, request.verbose);
    }
    const int exitCode = ReportOutcome(request, run, target, nullptr);
    if (run.outcome == OUTCOME_DONE || run.outcome == OUTCOME_NOTHING_MOVED) {
        ReportRunCounts(REPORTED_SHIFT, file, run.edit.counts, verbose, run.timesBelowZero);
    }
    return exitCode;
}

// 1 when `file` names a file that an earlier name of the command named too (a
// link, a hard link, another spelling). Decided for all names before the first
// edit: after a swap another name of the file may lead to the new one.
std::vector<int> RepeatedFiles(const std::vector<const char*>& files) {
    std::vector<FileIdentity> seen(files.size());
    std::vector<int> known(files.size(), 0);
    std::vector<int> repeated(files.size(), 0);
    for (std::size_t k = 0; k < files.size(); ++k) {
        known[k] = ReadFileIdentity(files[k], &seen[k]);
        for (std::size_t earlier = 0; known[k] && earlier < k && !repeated[k]; ++earlier) {
            repeated[k] =
                known[earlier] && !repeated[earlier] && SameFileIdentity(seen[earlier], seen[k]);
            if (repeated[k]) {
                ReportMessage(Quoted(files[k]) + " is the file " + Quoted(files[earlier]) +
                              " named again; it is edited once");
            }
        }
    }
    return repeated;
}

// Each file once, in the order given; the exit code of the first failure.
int ForEachFile(const CliRequest& request, int (*each)(const CliRequest&, const char*)) {
    int exitCode = EXIT_DONE;
    const std::vector<const char*> files(request.files.begin(), request.files.end());
    const std::vector<int> repeated = RepeatedFiles(files);
    if (files.size() > 1) {
        DeferFolderFlushes();
    }
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (repeated[k]) {
            continue;
        }
        const int fileExit = each(request, files[k]);
        if (exitCode == EXIT_DONE) {
            exitCode = fileExit;
        }
    }
    FlushEditedFolders();
    return exitCode;
}

int AppendFile(const CliRequest& request) {
    const char* file = request.files[0];
    const char* appendFile = request.files[1];
    const std::int32_t offset = request.offset;
    RunResult run;
    RunTarget target;
    if (!RunIntoOutput(
            request, file,
            [appendFile, offset](const RunTarget& to, RunResult* result) {
                AppendTarget(to, appendFile, offset, result);
            },
            &run, &target)) {
        return EXIT_CANNOT_SAVE;
    }
    const int exitCode = ReportOutcome(request, run, target, appendFile);
    if (run.outcome == OUTCOME_DONE) {
        ReportRunCounts(REPORTED_APPEND, appendFile, run.edit.counts,
                        request.verbose || request.dryRun);
    }
    return exitCode;
}

int PrintLastSyncTime(const CliRequest& request) {
    const char* file = request.files[0];
    std::int32_t last = 0;
    RunResult run;
    ClearRunResult(&run);
    if (!LookUpLastSyncTime(file, FrontEndRunOptions(request.readQuoted), &last, &run)) {
        const RunTarget target = InPlaceTarget(file, FrontEndRunOptions(request.readQuoted));
        ReportFailure(run, target, nullptr);
        return EXIT_BAD_FILE;
    }
    std::printf("%" PRId32 "\n", last);
    if (!FinishStandardOutput()) {
        return EXIT_CANNOT_SAVE;
    }
    ReportRunCounts(REPORTED_LAST, file, run.lookupCounts, request.verbose);
    return EXIT_DONE;
}

// Each FILE swapped with its FILE.bak: a second undo redoes.
int UndoOneFile(const CliRequest& request, const char* file) {
    RunResult run;
    UndoFile(file, &run);
    const RunTarget target = InPlaceTarget(file, FrontEndRunOptions(request.readQuoted));
    return ReportOutcome(request, run, target, nullptr);
}

}  // namespace

int SaveMappedFile(const CliRequest& request, const char* file, const TimeMap& map,
                   RunCounts* counts) {
    RunResult run;
    RunTarget target;
    if (!RunIntoOutput(
            request, file,
            [&map](const RunTarget& to, RunResult* result) { MapTarget(to, map, result); }, &run,
            &target)) {
        return EXIT_CANNOT_SAVE;
    }
    *counts = run.edit.counts;
    return ReportOutcome(request, run, target, nullptr);
}

int RunRequest(const CliRequest& request) {
    switch (request.command) {
        case COMMAND_SHIFT:
        case COMMAND_SYNC:
            return request.referencePath != nullptr ? AlignFiles(request)
                                                    : ForEachFile(request, ShiftFile);
        case COMMAND_APPEND:
            return AppendFile(request);
        case COMMAND_LAST:
            return PrintLastSyncTime(request);
        case COMMAND_UNDO:
            return ForEachFile(request, UndoOneFile);
        case COMMAND_LIST:
            return ListCues(request);
        case COMMAND_HELP:
        case COMMAND_VERSION:
            break;
    }
    return EXIT_USAGE;
}
