// The swap's steps and their recovery over the platform's renames and links;
// the order of the steps and what each state means are in backup_swap.h.
#include "backup_swap.h"

#include "edit_platform.h"

namespace {

int Failed(EditStep step, const char* name, EditStep* failedStep, std::string* failedAt) {
    *failedStep = step;
    *failedAt = name;
    return 0;
}

// After step 4 failed: the file as it was back under its name. The
// newcomer leaves the name first, so that it is never lost either.
void TakeBackAfterReplace(const SwapNames& names, std::uint32_t attributes) {
    int error = 0;
    if (ReplaceName(names.target, names.newcomer, &error) &&
        ReplaceName(names.link, names.target, &error)) {
        GiveBackAttributes(names.target, attributes);
    }
}

}  // namespace

int SwapWithBackup(const SwapNames& names, EditStep* failedStep, std::string* failedAt,
                   int* error) {
    if (!CanBeReplaced(names.target, error)) {
        return Failed(EDIT_STEP_SWAP, names.target, failedStep, failedAt);
    }
    if (!ClearEmptyFolder(names.backup, error)) {
        return Failed(EDIT_STEP_BACKUP, names.backup, failedStep, failedAt);
    }
    const std::uint32_t attributes = ReadReplacedAttributes(names.target);
    int unsupported = 0;
    int linked = MakeSecondName(names.target, names.link, &unsupported, error);
    if (!linked && !(unsupported && ReplaceName(names.target, names.link, error))) {
        return Failed(EDIT_STEP_SWAP, names.target, failedStep, failedAt);
    }
    int ignored = 0;
    if (!ReplaceName(names.newcomer, names.target, error)) {
        if (linked) {
            RemoveLeftover(names.link);
        } else {
            ReplaceName(names.link, names.target, &ignored);
        }
        FlushFolderOf(names.target);
        return Failed(EDIT_STEP_SWAP, names.target, failedStep, failedAt);
    }
    if (!ReplaceName(names.link, names.backup, error)) {
        TakeBackAfterReplace(names, attributes);
        FlushFolderOf(names.target);
        return Failed(EDIT_STEP_BACKUP, names.backup, failedStep, failedAt);
    }
    GiveBackAttributes(names.backup, attributes);
    FlushFolderOf(names.target);
    return 1;
}

int RecoverSwap(const SwapNames& names, std::string* failedAt, int* error) {
    if (!LeftoverExists(names.link)) {
        return 1;
    }
    FileIdentity file;
    FileIdentity second;
    int recovered = 0;
    if (!ReadFileIdentity(names.target, &file)) {
        // Cut between the renames that stand in for a hard link: back.
        recovered = ReplaceName(names.link, names.target, error);
        *failedAt = names.target;
    } else if (ReadFileIdentity(names.link, &second) && SameFileIdentity(file, second)) {
        RemoveLeftover(names.link);
        recovered = 1;
    } else {
        recovered =
            ClearEmptyFolder(names.backup, error) && ReplaceName(names.link, names.backup, error);
        *failedAt = names.backup;
    }
    FlushFolderOf(names.target);
    return recovered;
}
