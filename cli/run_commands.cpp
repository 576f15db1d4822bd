// The four commands. Every byte they write comes from the engine's runs; this
// unit only decides whether a run happens and where it reads and writes.
#include "run_commands.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "align_command.h"
#include "cli_messages.h"
#include "edit_job.h"
#include "exit_codes.h"
#include "file_access.h"
#include "edit_names.h"
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
#include "time_map_run.h"

namespace {

struct RunValues {
    CliCommand command;  // shift, sync or append
    ShiftParams params;
    std::int32_t offset;
    int readQuoted;
    int dryRun;
    const TimeMap* map;  // sync --to: the map run instead of shift
    int endGuessed;      // the range end E was guessed from the file's tail
};

// SaveResult's answer when the run found that the guessed E was not the file's
// largest sync time: nothing was written and nothing told.
constexpr int kGuessMissed = -1;

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

// 1 when the name leads to a regular file that opens for reading. A device,
// pipe, socket or folder is refused without a byte read from it.
int CheckReadable(const char* path, std::string* cause) {
    int notRegular = 0;
    int error = 0;
    if (CheckEditableFile(path, &notRegular, &error)) {
        return 1;
    }
    *cause = (notRegular && error != EISDIR) ? "it is not a regular file" : ErrorText(error);
    return 0;
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
                      const EditNames& names, int runError, int undone) {
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
        message = "cannot save " + Quoted(names.target) + ": " + ErrorText(runError);
    }
    if (undone && !names.backup.empty()) {
        message += "; " + Quoted(names.target) + " is left as it was";
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
        ReportRunFailure(result, file, appendFile, EditNames{}, runError, 0);
        return ExitCodeOf(result);
    }
    return EXIT_DONE;
}

// The run with its output going to the null device: the inputs are read where
// they stand, since no backup is made, nothing is written, and the counts are
// the real run's.
int DryRun(const char* file, const char* appendFile, const RunValues& values, RunCounts* counts) {
    EditNames names{};
    names.target = NullDevicePath();
    BeginProgress(file);
    errno = 0;
    const std::int32_t result = CallEngine(file, appendFile, names.target.c_str(), values, counts);
    const int runError = errno;
    EndProgress();
    if (result != RESULT_OK) {
        ReportRunFailure(result, file, appendFile, names, runError, 0);
        return ExitCodeOf(result);
    }
    return EXIT_DONE;
}

// The engine's run over the streams the edit job opened.
std::int32_t RunOnStreams(void* context, const EditStreams& streams, RunCounts* counts) {
    const RunValues& values = *static_cast<const RunValues*>(context);
    RunOptions options = FrontEndRunOptions(values.readQuoted);
    AddTerminalProgress(&options);
    if (values.command == COMMAND_APPEND) {
        return AppendFileCues(streams.input, streams.inputSize, streams.append, streams.appendSize,
                              streams.output, values.offset, options, counts);
    }
    if (values.map != nullptr) {
        return MapFileTimes(streams.input, streams.inputSize, streams.output, *values.map, options,
                            counts);
    }
    if (values.endGuessed) {
        // What goes straight into a device cannot be taken back: E is looked
        // up first instead.
        if (!streams.discardable) {
            return RESULT_LAST_TIME_DIFFERS;
        }
        return ShiftFileTimesToGuessedEnd(streams.input, streams.inputSize, streams.output,
                                          values.params, options, counts);
    }
    return ShiftFileTimes(streams.input, streams.inputSize, streams.output, values.params, options,
                          counts);
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

void ReportEditFailure(const EditResult& result, const char* file, const char* appendFile,
                       int inPlace) {
    const char* named =
        result.code == RESULT_BAD_APPEND_FILE && appendFile != nullptr ? appendFile : file;
    std::string message;
    if (result.step == EDIT_STEP_CHECK) {
        message = std::string("cannot open ") + (named == appendFile ? "the file to append " : "") +
                  Quoted(named) + ": " +
                  (result.error == EISDIR ? ErrorText(EISDIR) : "it is not a regular file");
    } else if (result.step == EDIT_STEP_OPEN) {
        message = "cannot open " + Quoted(named) + ": " + ErrorText(result.error);
    } else if (result.step == EDIT_STEP_RUN) {
        EditNames names{};
        names.target = result.code == RESULT_CANNOT_SAVE ? result.target : std::string(file);
        names.backup = inPlace ? result.backup : std::string();
        ReportRunFailure(result.code, file, appendFile, names, result.error, 1);
        return;
    } else if (result.step == EDIT_STEP_CREATE) {
        message = "cannot save " + Quoted(result.path) + ": " + ErrorText(result.error);
    } else if (result.step == EDIT_STEP_BACKUP) {
        message = "cannot save " + Quoted(result.target) + ": cannot make the backup " +
                  Quoted(result.backup) + ": " + ErrorText(result.error);
        ReportMessage(message);
        return;
    } else {
        message = "cannot save " + Quoted(result.path) + ": " + StepText(result.step) + ": " +
                  ErrorText(result.error, "it was replaced again and again");
    }
    if (inPlace && result.step != EDIT_STEP_CHECK && result.step != EDIT_STEP_OPEN) {
        message += "; " + Quoted(file) + " is left as it was";
    }
    ReportMessage(message);
}

// One run of the engine through the edit job (or a dry run); the exit code for
// it, and on success what the run did in *counts.
int SaveResult(const char* file, const char* appendFile, const char* outputPath,
               const RunValues& values, RunCounts* counts) {
    if (outputPath != nullptr && std::strcmp(outputPath, "-") == 0 && !values.dryRun) {
        return WriteToStandardOutput(file, appendFile, values, counts);
    }
    EditNames names;
    PlanEditNames(file, appendFile, outputPath, &names);
    if (names.appendIsBackup) {
        ReportMessage("cannot append " + Quoted(appendFile) + ": it is the backup " +
                      Quoted(names.backup) + " that this run replaces");
        return EXIT_BAD_APPEND_FILE;
    }
    if (values.dryRun) {
        return DryRun(file, appendFile, values, counts);
    }
    RunValues context = values;
    const EditRequest request{
        file,         appendFile, outputPath,   values.command != COMMAND_APPEND,
        RunOnStreams, &context,   ReportWaiting};
    EditResult result;
    BeginProgress(file);
    RunEditJob(request, &result);
    EndProgress();
    *counts = result.counts;
    if (result.code == RESULT_LAST_TIME_DIFFERS) {
        return kGuessMissed;
    }
    if (result.code != RESULT_OK) {
        ReportEditFailure(result, file, appendFile, !names.backup.empty());
        return ExitCodeOf(result.code);
    }
    if (result.nothingMoved) {
        ReportMessage(Quoted(file) + ": no time moved; " +
                      (result.backup.empty() ? Quoted(result.target) + " is written unchanged"
                                             : std::string("nothing written")));
    }
    return EXIT_DONE;
}

// The file's last sync time, with what the lookup found; 0 after a message
// when the file cannot be read to its end.
int LookUpLastSyncTime(const CliRequest& request, const char* file, std::int32_t* last,
                       RunCounts* counts) {
    // A device or pipe is refused before it is read (a pipe would hold the
    // lookup, /dev/zero would never end it).
    if (!CheckFile(file)) {
        return 0;
    }
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

// The checks before a shift tell why nothing runs unless `quiet`: a range end
// that was only guessed is looked up before the user is told anything.
int NothingToShift(const char* file, const ShiftParams& params, int quiet) {
    if (params.shift == 0 && params.stretch == 0) {
        if (!quiet) {
            ReportMessage(Quoted(file) + ": shift and stretch are both 0; nothing to do");
        }
        return 1;
    }
    return 0;
}

int RangeIsEmpty(const char* file, const ShiftParams& params, int quiet) {
    if (params.rangeStart >= params.rangeEnd) {
        if (!quiet) {
            ReportMessage(Quoted(file) + ": range start " + std::to_string(params.rangeStart) +
                          " is not below range end " + std::to_string(params.rangeEnd) +
                          "; nothing to do");
        }
        return 1;
    }
    return 0;
}

// The shift and stretch of sync, or the stretch of --fps, for this file's
// range; 0 (after a message unless `quiet`) when they do not fit in 32 bits.
int DeriveParams(const CliRequest& request, const char* file, ShiftParams* params, int quiet) {
    if (request.command == COMMAND_SYNC) {
        SyncLine line;
        if (LineThroughPoints(request.syncOld, request.syncNew, &line) &&
            ParamsForLine(line, params->rangeEnd, params, nullptr)) {
            return 1;
        }
        if (!quiet) {
            ReportMessage("cannot sync " + Quoted(file) +
                          ": the line through the --at points needs a stretch beyond 32 bits up "
                          "to its last sync time " +
                          std::to_string(params->rangeEnd));
        }
        return 0;
    }
    if (StretchForRates(params->rangeStart, params->rangeEnd, request.fpsFrom, request.fpsTo,
                        &params->stretch)) {
        return 1;
    }
    if (!quiet) {
        ReportMessage("cannot shift " + Quoted(file) +
                      ": the --fps rates need a stretch beyond 32 bits over the range " +
                      std::to_string(params->rangeStart) + " to " +
                      std::to_string(params->rangeEnd));
    }
    return 0;
}

// The shift of one file once its range end is known or guessed: the checks,
// the values derived from the range, the run and its report. A run whose end
// stands for E (values.endGuessed) and that finds another largest time gives
// kGuessMissed, with nothing told or written and the largest time it found in
// *found. With `quiet` (an E guessed from the tail) so does any check that
// stops the run, and *found is then 0.
int ShiftWithinRange(const CliRequest& request, const char* file, RunValues values, int quiet,
                     std::int32_t* found) {
    ShiftParams& params = values.params;
    const int derived = request.command == COMMAND_SYNC || request.fpsGiven;
    // Values computed from the range need the range first.
    if ((!derived && NothingToShift(file, params, quiet)) || RangeIsEmpty(file, params, quiet)) {
        return quiet ? kGuessMissed : EXIT_DONE;
    }
    if (derived && !DeriveParams(request, file, &params, quiet)) {
        return quiet ? kGuessMissed : EXIT_USAGE;
    }
    if (derived && NothingToShift(file, params, quiet)) {
        return quiet ? kGuessMissed : EXIT_DONE;
    }
    // A dry run shows the counts as --verbose does. For sync they say how many
    // times its line puts below 0, counted from FILE before a real run
    // replaces it.
    const int verbose = request.verbose || request.dryRun;
    const std::int64_t timesBelowZero =
        (verbose && request.command == COMMAND_SYNC) ? CountTimesBelowZero(file, values) : -1;
    RunCounts counts;
    const int exitCode = SaveResult(file, nullptr, request.outputPath, values, &counts);
    if (exitCode == kGuessMissed) {
        *found = counts.largestTime;
        return kGuessMissed;
    }
    if (exitCode == EXIT_DONE) {
        ReportRunCounts(REPORTED_SHIFT, file, counts, verbose, timesBelowZero);
    }
    return exitCode;
}

// E is checked by the run itself only where the run writes a file through the
// edit job, which throws a run away unseen: not for a dry run, standard output,
// or an output that is a pipe or device (opened twice, a pipe would tell its
// reader of an end after the first run).
int RunChecksLastTime(const CliRequest& request) {
    if (!request.endIsLastSync || request.dryRun) {
        return 0;
    }
    if (request.outputPath == nullptr) {
        return 1;
    }
    int notRegular = 0;
    int error = 0;
    return std::strcmp(request.outputPath, "-") != 0 &&
           (CheckEditableFile(request.outputPath, &notRegular, &error) || !notRegular);
}

// Runs of one file whose E was found different by the run each time: another
// program (or run) keeps changing the file.
constexpr int kRangeEndAttempts = 8;

// E looked up by a pass of its own, with what the lookup found told; 0 after a
// message when the file cannot be read.
int LookUpRangeEnd(const CliRequest& request, const char* file, std::int32_t* last) {
    RunCounts counts;
    if (!LookUpLastSyncTime(request, file, last, &counts)) {
        return 0;
    }
    if (counts.tagsFound == 0) {
        ReportRunCounts(REPORTED_LAST, file, counts, request.verbose);
    }
    return 1;
}

// shift and sync: sync is a shift over 0 .. E whose shift and stretch come
// from the line, as --fps gives the stretch of a shift. E, the file's largest
// sync time, is mostly its last cue's: guessed from the file's tail, it lets
// the one run start at once. Where the run can be taken back it checks E
// against every time it reads, under the file's lock; when they differ (times
// out of order, or another run changed the file since E was read) the file
// runs again with the E the run found.
int ShiftFile(const CliRequest& request, const char* file) {
    RunValues values = {request.command,
                        {request.rangeStart, request.rangeEnd, request.shift, request.stretch},
                        0,
                        request.readQuoted,
                        request.dryRun,
                        nullptr,
                        0};
    ShiftParams& params = values.params;
    std::int32_t unused = 0;
    if (!request.endIsLastSync) {
        return CheckFile(file) ? ShiftWithinRange(request, file, values, 0, &unused)
                               : EXIT_BAD_FILE;
    }
    values.endGuessed = RunChecksLastTime(request);
    // A device or pipe is refused before anything opens it to read.
    if (values.endGuessed && !CheckFile(file)) {
        return EXIT_BAD_FILE;
    }
    int quiet =
        values.endGuessed && GuessNamedLastSyncTime(file, request.readQuoted, &params.rangeEnd);
    int known = quiet;
    for (int attempt = 0; attempt < kRangeEndAttempts; ++attempt) {
        // The last sync time is looked up before the check: a file gone between
        // the check and the lookup is reported, not taken for an empty range.
        if (!known && (!LookUpRangeEnd(request, file, &params.rangeEnd) || !CheckFile(file))) {
            return EXIT_BAD_FILE;
        }
        std::int32_t found = 0;
        const int exitCode = ShiftWithinRange(request, file, values, quiet, &found);
        if (exitCode != kGuessMissed) {
            return exitCode;
        }
        // A run that read the whole file found E itself; when a check stopped
        // the guess before any run (found is 0), E is looked up.
        params.rangeEnd = found;
        known = found != 0;
        quiet = 0;
    }
    ReportMessage("cannot save " + Quoted(file) + ": its last sync time changed with each of " +
                  std::to_string(kRangeEndAttempts) + " runs; " + Quoted(file) +
                  " is left as it was");
    return EXIT_CANNOT_SAVE;
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

int ShiftFiles(const CliRequest& request) {
    int exitCode = EXIT_DONE;
    const std::vector<const char*> files(request.files.begin(), request.files.end());
    const std::vector<int> repeated = RepeatedFiles(files);
    if (files.size() > 1) {
        DeferFolderFlushes();
    }
    for (std::size_t k = 0; k < files.size(); ++k) {
        const char* file = files[k];
        if (repeated[k]) {
            continue;
        }
        const int fileExit = ShiftFile(request, file);
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
    const RunValues values = {COMMAND_APPEND,
                              {0, 0, 0, 0},
                              request.offset,
                              request.readQuoted,
                              request.dryRun,
                              nullptr,
                              0};
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
    const RunValues values = {COMMAND_SYNC,   {0, 0, 0, 0}, 0, request.readQuoted,
                              request.dryRun, &map,         0};
    return SaveResult(file, nullptr, request.outputPath, values, counts);
}

namespace {

// Each FILE swapped with its FILE.bak: a second undo redoes.
int UndoFiles(const CliRequest& request) {
    int exitCode = EXIT_DONE;
    const std::vector<const char*> files(request.files.begin(), request.files.end());
    const std::vector<int> repeated = RepeatedFiles(files);
    for (std::size_t k = 0; k < files.size(); ++k) {
        if (repeated[k]) {
            continue;
        }
        EditResult result;
        int fileExit = EXIT_DONE;
        if (UndoEdit(files[k], &result) != RESULT_OK) {
            if (result.step == EDIT_STEP_NO_BACKUP) {
                ReportMessage("cannot undo " + Quoted(files[k]) + ": there is no backup " +
                              Quoted(result.path));
            } else {
                ReportEditFailure(result, files[k], nullptr, 1);
            }
            fileExit = ExitCodeOf(result.code);
        }
        if (exitCode == EXIT_DONE) {
            exitCode = fileExit;
        }
    }
    return exitCode;
}

}  // namespace

int RunRequest(const CliRequest& request) {
    switch (request.command) {
        case COMMAND_SHIFT:
        case COMMAND_SYNC:
            return request.referencePath != nullptr ? AlignFiles(request) : ShiftFiles(request);
        case COMMAND_APPEND:
            return AppendFile(request);
        case COMMAND_LAST:
            return PrintLastSyncTime(request);
        case COMMAND_UNDO:
            return UndoFiles(request);
        case COMMAND_LIST:
            return ListCues(request);
        case COMMAND_HELP:
        case COMMAND_VERSION:
            break;
    }
    return EXIT_USAGE;
}
