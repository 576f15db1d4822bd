// The edit job's order of steps, the same on every platform: open and check,
// lock (and open again when the name moved on while it waited), complete or
// take back what a killed run left, write the new content beside the file,
// give it the traits, flush it, swap it in (backup_swap.h). A failure at any
// step removes the new file and leaves FILE and FILE.bak as they were.
#include "edit_job.h"

#include <cerrno>
#include <cstring>

#include "backup_swap.h"
#include "edit_platform.h"
#include "result_codes.h"

namespace {

// Opens after a lock wait that found another file under the name: bounded, so
// that a name replaced over and over ends the job.
constexpr int kLockAttempts = 8;

// Where a job stands: the files it holds, to be closed however it ends.
struct EditState {
    EditFile input;
    EditFile append;
    EditFile unfinished;
    EditNames names;
    std::string unfinishedName;
    std::string linkName;
    const EditFile* kept;  // the open file whose traits the result keeps, if any
};

void ClearResult(EditResult* result) {
    result->code = RESULT_OK;
    result->step = EDIT_STEP_NONE;
    result->path.clear();
    result->target.clear();
    result->backup.clear();
    result->error = 0;
    result->nothingMoved = 0;
    result->waited = 0;
    ClearRunCounts(&result->counts);
}

std::int32_t Fail(EditResult* result, std::int32_t code, EditStep step, const std::string& path,
                  int error) {
    result->code = code;
    result->step = step;
    result->path = path;
    result->error = error;
    return code;
}

void CloseAll(EditState* state) {
    CloseEditFile(&state->unfinished);
    CloseEditFile(&state->append);
    CloseEditFile(&state->input);
}

// Drops the temporary files: the run failed or moved nothing.
void Abandon(EditState* state) {
    CloseEditFile(&state->unfinished);
    if (!state->unfinishedName.empty()) {
        RemoveLeftover(state->unfinishedName.c_str());
    }
    GuardName("");
}

std::string FolderOfName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

// 1 when the name leads to a folder.
int IsFolderName(const char* path) {
    EditFile probe;
    int notRegular = 0;
    int error = 0;
    if (OpenForReading(path, &probe, &notRegular, &error)) {
        CloseEditFile(&probe);
        return 0;
    }
    return (notRegular && error == EISDIR) ? 1 : 0;
}

// 1 when the name still leads to the open file.
int StillUnderName(const EditFile& file, const char* path) {
    FileIdentity identity;
    return (ReadFileIdentity(path, &identity) && SameFileIdentity(identity, file.identity)) ? 1 : 0;
}

// A FILE whose name is empty while its content stands under the swap's
// second name: a swap without hard links was cut between its renames, or is
// under way. Under the lock of that content (the run that swaps holds it),
// the name is given back unless that run filled it. 1 when FILE stands again.
int TakeBackMissingFile(const char* path) {
    std::string target;
    FollowLinks(path, &target);
    const std::string link = BackupLinkName(target);
    FileIdentity identity;
    EditFile second;
    int notRegular = 0;
    int error = 0;
    if (ReadFileIdentity(target.c_str(), &identity) ||
        !OpenForReading(link.c_str(), &second, &notRegular, &error)) {
        return 0;
    }
    int waited = 0;
    const int locked = LockFile(&second, nullptr, link.c_str(), &waited, &error);
    const int back = ReadFileIdentity(target.c_str(), &identity) ||
                     (locked && ReplaceName(link.c_str(), target.c_str(), &error));
    CloseEditFile(&second);
    return back;
}

// Opens FILE, checks it and takes its lock. After a wait the name may lead to
// another file (the other run swapped in its result): that one is opened anew.
std::int32_t OpenAndLock(const char* path, EditFile* file, std::int32_t failCode,
                         void (*waiting)(const char*), EditResult* result) {
    int tookBack = 0;
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        int notRegular = 0;
        int error = 0;
        if (!OpenForReading(path, file, &notRegular, &error)) {
            if (!notRegular && !tookBack && TakeBackMissingFile(path)) {
                tookBack = 1;
                continue;
            }
            return Fail(result, failCode, notRegular ? EDIT_STEP_CHECK : EDIT_STEP_OPEN, path,
                        error);
        }
        int waited = 0;
        if (!LockFile(file, attempt == 0 ? waiting : nullptr, path, &waited, &error)) {
            CloseEditFile(file);
            return Fail(result, RESULT_CANNOT_SAVE, EDIT_STEP_LOCK, path, error);
        }
        result->waited |= waited;
        if (!waited || StillUnderName(*file, path)) {
            return RESULT_OK;
        }
        CloseEditFile(file);
    }
    return Fail(result, RESULT_CANNOT_SAVE, EDIT_STEP_LOCK, path, 0);
}

// Decides the names by the one rule of edit_names.h, over the files this job
// holds open. An in-place target that is the file to append (and not FILE)
// keeps that file's traits.
void PlanNames(const EditRequest& request, EditState* state, EditResult* result) {
    DecideEditNames(request.file, request.appendFile, request.outputPath, &state->input.identity,
                    request.appendFile != nullptr ? &state->append.identity : nullptr,
                    &state->names);
    state->kept = nullptr;
    if (state->names.inPlace) {
        FileIdentity target;
        const int intoAppend = request.appendFile != nullptr &&
                               ReadFileIdentity(state->names.target.c_str(), &target) &&
                               !SameFileIdentity(target, state->input.identity) &&
                               SameFileIdentity(target, state->append.identity);
        state->kept = intoAppend ? &state->append : &state->input;
    }
    state->unfinishedName = UnfinishedName(state->names.target);
    state->linkName = BackupLinkName(state->names.target);
    result->target = state->names.target;
    result->backup = state->names.backup;
}

// A run that was asked to tell that it moved no time, and did not.
int MovedNothing(const EditRequest& request, const EditResult& result) {
    return (request.keepWhenUnmoved && result.counts.timesMoved == 0) ? 1 : 0;
}

// An existing output that is not a regular file (a device, standard output)
// is written straight into: there is nothing to keep and nothing to rename.
// It is opened by the name as given: /dev/stdout leads through /proc to a
// pipe that has no name of its own to follow to.
int WritesStraightThrough(const EditRequest& request, const EditState& state) {
    if (state.names.inPlace) {
        return 0;
    }
    EditFile probe;
    ClearEditFile(&probe);
    int notRegular = 0;
    int error = 0;
    if (OpenForReading(request.outputPath, &probe, &notRegular, &error)) {
        CloseEditFile(&probe);
        return 0;
    }
    return notRegular;
}

std::int32_t RunStraightThrough(const EditRequest& request, EditState* state, EditResult* result) {
    std::FILE* output = std::fopen(request.outputPath, "wb");
    if (output == nullptr) {
        return Fail(result, RESULT_CANNOT_SAVE, EDIT_STEP_CREATE, state->names.target, errno);
    }
    const EditStreams streams{state->input.stream,
                              state->input.size,
                              state->append.stream,
                              state->append.size,
                              output,
                              0};
    errno = 0;
    const std::int32_t code = request.run(request.context, streams, &result->counts);
    const int error = errno;
    const int closed = std::fclose(output) == 0;
    if (code != RESULT_OK) {
        return Fail(result, code, EDIT_STEP_RUN,
                    code == RESULT_CANNOT_SAVE ? state->names.target : "", error);
    }
    if (!closed) {
        return Fail(result, RESULT_CANNOT_SAVE, EDIT_STEP_FLUSH, state->names.target, errno);
    }
    result->nothingMoved = MovedNothing(request, *result);
    return RESULT_OK;
}

SwapNames SwapNamesOf(const EditState& state) {
    return SwapNames{state.names.target.c_str(), state.unfinishedName.c_str(),
                     state.linkName.c_str(), state.names.backup.c_str()};
}

std::int32_t WriteUnfinished(const EditRequest& request, EditState* state, EditResult* result) {
    // Under the lock no other run writes beside this file: what stands under the
    // temporary names was left by a run that was killed. A new file that never
    // took FILE's name holds nothing else.
    int error = 0;
    std::string failedAt;
    if (state->names.inPlace && !RecoverSwap(SwapNamesOf(*state), &failedAt, &error)) {
        return Fail(result, RESULT_CANNOT_SAVE, EDIT_STEP_BACKUP, failedAt, error);
    }
    RemoveLeftover(state->unfinishedName.c_str());
    GuardName(state->unfinishedName.c_str());
    int waited = 0;
    // Locked as FILE is, so that a run that meets it under FILE's name waits
    // for this job to end.
    if (!CreateUnfinished(state->unfinishedName.c_str(), &state->unfinished, &error) ||
        !LockFile(&state->unfinished, nullptr, state->unfinishedName.c_str(), &waited, &error)) {
        Abandon(state);
        return Fail(result, RESULT_CANNOT_SAVE, EDIT_STEP_CREATE, state->names.target, error);
    }
    const EditStreams streams{state->input.stream, state->input.size,        state->append.stream,
                              state->append.size,  state->unfinished.stream, 1};
    errno = 0;
    const std::int32_t code = request.run(request.context, streams, &result->counts);
    if (code != RESULT_OK) {
        const int runError = errno;
        Abandon(state);
        return Fail(result, code, EDIT_STEP_RUN,
                    code == RESULT_CANNOT_SAVE ? state->names.target : std::string(), runError);
    }
    // Only an edit in place can keep what it had: an output name is written
    // all the same, with the input's bytes.
    result->nothingMoved = MovedNothing(request, *result);
    if (result->nothingMoved && state->names.inPlace) {
        Abandon(state);
        return RESULT_OK;
    }
    // The traits of the file being replaced: FILE in place, an existing OUT.
    EditFile kept;
    ClearEditFile(&kept);
    const EditFile* traitsFrom = state->kept;
    if (!state->names.inPlace) {
        int notRegular = 0;
        traitsFrom = OpenForReading(state->names.target.c_str(), &kept, &notRegular, &error)
                         ? &kept
                         : nullptr;
    }
    const int traitsSet =
        traitsFrom == nullptr || CopyTraits(*traitsFrom, &state->unfinished, &error);
    CloseEditFile(&kept);
    if (!traitsSet) {
        Abandon(state);
        return Fail(result, RESULT_CANNOT_SAVE, EDIT_STEP_TRAITS, state->names.target, error);
    }
    if (!FlushToDisk(&state->unfinished, &error)) {
        Abandon(state);
        return Fail(result, RESULT_CANNOT_SAVE, EDIT_STEP_FLUSH, state->names.target, error);
    }
    return RESULT_OK;
}

std::int32_t SwapIn(EditState* state, EditResult* result) {
    int error = 0;
    std::string failedAt = state->names.target;
    EditStep failedStep = EDIT_STEP_SWAP;
    HoldInterruptions();
    int swapped = 0;
    if (state->names.inPlace) {
        swapped = SwapWithBackup(SwapNamesOf(*state), &failedStep, &failedAt, &error);
    } else {
        swapped = ReplaceName(state->unfinishedName.c_str(), state->names.target.c_str(), &error);
        FlushFolderOf(state->names.target.c_str());
    }
    if (swapped) {
        GuardName("");
    }
    LetInterruptionsIn();
    if (!swapped) {
        Abandon(state);
        return Fail(result, RESULT_CANNOT_SAVE, failedStep, failedAt, error);
    }
    return RESULT_OK;
}

std::int32_t RunLocked(const EditRequest& request, EditState* state, EditResult* result) {
    if (request.appendFile != nullptr) {
        int notRegular = 0;
        int error = 0;
        if (!OpenForReading(request.appendFile, &state->append, &notRegular, &error)) {
            return Fail(result, RESULT_BAD_APPEND_FILE,
                        notRegular ? EDIT_STEP_CHECK : EDIT_STEP_OPEN, request.appendFile, error);
        }
    }
    PlanNames(request, state, result);
    if (!state->names.inPlace) {
        FileIdentity folder;
        const std::string parent = FolderOfName(state->names.target);
        if (IsFolderName(state->names.target.c_str())) {
            return Fail(result, RESULT_CANNOT_SAVE, EDIT_STEP_CREATE, state->names.target, EISDIR);
        }
        if (!ReadFileIdentity(parent.c_str(), &folder)) {
            return Fail(result, RESULT_CANNOT_SAVE, EDIT_STEP_CREATE, state->names.target, errno);
        }
    }
    if (WritesStraightThrough(request, *state)) {
        return RunStraightThrough(request, state, result);
    }
    const std::int32_t written = WriteUnfinished(request, state, result);
    if (written != RESULT_OK || (result->nothingMoved && state->names.inPlace)) {
        return written;
    }
    CloseEditFile(&state->append);
    ReleaseBeforeSwap(&state->unfinished);
    ReleaseBeforeSwap(&state->input);
    return SwapIn(state, result);
}

}  // namespace

void ClearEditFile(EditFile* file) {
    file->handle = -1;
    file->stream = nullptr;
    file->size = 0;
    file->identity = FileIdentity{0, 0};
}

std::string UnfinishedName(const std::string& target) {
    return target + ".tembrel-unfinished";
}

std::string BackupLinkName(const std::string& target) {
    return target + ".tembrel-backup-link";
}

int CheckEditableFile(const char* path, int* notRegular, int* error) {
    EditFile file;
    if (!OpenForReading(path, &file, notRegular, error)) {
        return 0;
    }
    CloseEditFile(&file);
    return 1;
}

std::FILE* OpenRegularFile(const char* path, std::int64_t* size, int* notRegular, int* error) {
    EditFile file;
    if (!OpenForReading(path, &file, notRegular, error)) {
        return nullptr;
    }
    // The stream owns the handle: closing it closes the file.
    *size = file.size;
    return file.stream;
}

std::int32_t RunEditJob(const EditRequest& request, EditResult* result) {
    ClearResult(result);
    EditState state;
    ClearEditFile(&state.input);
    ClearEditFile(&state.append);
    ClearEditFile(&state.unfinished);
    if (OpenAndLock(request.file, &state.input, RESULT_BAD_FILE, request.waiting, result) !=
        RESULT_OK) {
        return result->code;
    }
    const std::int32_t code = RunLocked(request, &state, result);
    CloseAll(&state);
    return code;
}

std::int32_t UndoEdit(const char* file, EditResult* result) {
    ClearResult(result);
    EditFile locked;
    ClearEditFile(&locked);
    if (OpenAndLock(file, &locked, RESULT_BAD_FILE, nullptr, result) != RESULT_OK) {
        return result->code;
    }
    std::string target;
    FollowLinks(file, &target);
    const std::string backup = BackupName(target);
    const std::string link = BackupLinkName(target);
    result->target = target;
    result->backup = backup;
    // An undo cut short is completed, as an edit is, before the backup is looked for.
    const SwapNames names{target.c_str(), backup.c_str(), link.c_str(), backup.c_str()};
    std::string failedAt;
    int error = 0;
    if (!RecoverSwap(names, &failedAt, &error)) {
        CloseEditFile(&locked);
        return Fail(result, RESULT_CANNOT_SAVE, EDIT_STEP_BACKUP, failedAt, error);
    }
    EditFile backupFile;
    ClearEditFile(&backupFile);
    int notRegular = 0;
    if (!OpenForReading(backup.c_str(), &backupFile, &notRegular, &error)) {
        CloseEditFile(&locked);
        return Fail(result, RESULT_BAD_FILE, notRegular ? EDIT_STEP_CHECK : EDIT_STEP_NO_BACKUP,
                    backup, error);
    }
    CloseEditFile(&backupFile);
    ReleaseBeforeSwap(&locked);
    HoldInterruptions();
    int unsupported = 0;
    EditStep failedStep = EDIT_STEP_SWAP;
    failedAt = target;
    int exchanged = ExchangeInOneStep(target.c_str(), backup.c_str(), &unsupported, &error);
    if (exchanged) {
        FlushFolderOf(target.c_str());
    } else if (unsupported) {
        exchanged = SwapWithBackup(names, &failedStep, &failedAt, &error);
    }
    LetInterruptionsIn();
    CloseEditFile(&locked);
    if (!exchanged) {
        return Fail(result, RESULT_CANNOT_SAVE, failedStep, failedAt, error);
    }
    return RESULT_OK;
}
