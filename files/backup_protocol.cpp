// The backup protocol over the open, rename and remove by name of
// file_system.h; the causes of failures are the C library's texts for errno.
#include "backup_protocol.h"

#include <cerrno>
#include <cstring>

namespace {

// Names tried for the older backup while a run lasts: "FILE.bak~", then
// "FILE.bak~2" and on, the first one unused.
constexpr int kAsideNames = 99;

std::string Quoted(const std::string& name) {
    return "'" + name + "'";
}

std::string ErrorText() {
    return std::strerror(errno);
}

int NamesSameFile(const char* first, const char* second) {
    return (std::strcmp(first, second) == 0 || IsSameFile(first, second)) ? 1 : 0;
}

int ChooseAsideName(const std::string& backup, std::string* aside) {
    for (int number = 1; number <= kAsideNames; ++number) {
        *aside = backup + "~" + (number > 1 ? std::to_string(number) : std::string());
        if (!NameExists(aside->c_str())) {
            return 1;
        }
    }
    errno = EEXIST;
    return 0;
}

// An older backup that is a folder is removed as before the run, which works
// only when it is empty: a folder with content is never a backup to keep aside.
int SetOlderBackupAside(SavePlan* plan, std::string* cause) {
    const char* backup = plan->backup.c_str();
    if (!NameExists(backup)) {
        return 1;
    }
    std::string aside;
    const int done = IsFolder(backup) ? RemoveFileByName(backup)
                                      : (ChooseAsideName(plan->backup, &aside) &&
                                         RenameFileByName(backup, aside.c_str()));
    if (!done) {
        *cause = "cannot make the backup " + Quoted(plan->backup) + ": " + ErrorText();
        return 0;
    }
    plan->olderBackup = aside;
    return 1;
}

int PutOlderBackupBack(const SavePlan& plan, std::string* cause) {
    if (plan.olderBackup.empty() ||
        RenameFileByName(plan.olderBackup.c_str(), plan.backup.c_str())) {
        return 1;
    }
    *cause = "cannot rename the older backup " + Quoted(plan.olderBackup) + " back to " +
             Quoted(plan.backup) + ": " + ErrorText();
    return 0;
}

// Where the older backup is when the run cannot put it back.
std::string OlderBackupNote(const SavePlan& plan) {
    return plan.olderBackup.empty() ? std::string()
                                    : "; the older backup is kept as " + Quoted(plan.olderBackup);
}

}  // namespace

void PlanSave(const char* file, const char* appendFile, const char* outputPath, SavePlan* plan) {
    std::string target;
    if (outputPath == nullptr || NamesSameFile(outputPath, file)) {
        target = file;
    } else if (appendFile != nullptr && NamesSameFile(outputPath, appendFile)) {
        target = appendFile;
    } else {
        target = outputPath;
    }
    const int targetIsInput = NamesSameFile(target.c_str(), file) ||
                              (appendFile != nullptr && NamesSameFile(target.c_str(), appendFile));
    // An input is edited where it lives: renaming a link would leave its file
    // as it was. A link to anything but a regular file (a device) is not
    // followed: such a file is never renamed.
    if (targetIsInput && IsRegularFile(target.c_str())) {
        FollowLinks(target.c_str(), &plan->target);
    } else {
        plan->target = target;
    }
    plan->backup = targetIsInput ? plan->target + ".bak" : std::string();
    plan->olderBackup.clear();
    plan->traits = FileTraits{0, 0, 0, 0};
    // Names are compared now, while the target still stands under its own name.
    const auto readFrom = [plan](const char* name) {
        return (!plan->backup.empty() && NamesSameFile(name, plan->target.c_str()))
                   ? plan->backup
                   : std::string(name);
    };
    plan->input = readFrom(file);
    plan->appendInput = appendFile != nullptr ? readFrom(appendFile) : std::string();
}

int ReplacesAppendFile(const SavePlan& plan, const char* appendFile) {
    return (!plan.backup.empty() && IsSameFile(appendFile, plan.backup.c_str())) ? 1 : 0;
}

int PrepareSave(SavePlan* plan, std::string* cause) {
    if (plan->backup.empty()) {
        // An existing output must open for writing without being emptied, so
        // that an output that cannot be written is refused before the run
        // rather than found (and removed) after it.
        std::FILE* existing = OpenFileByName(plan->target.c_str(), "r+b");
        if (existing != nullptr) {
            std::fclose(existing);
            return 1;
        }
        if (errno == ENOENT) {
            return 1;
        }
        *cause = ErrorText();
        return 0;
    }
    if (!SetOlderBackupAside(plan, cause)) {
        return 0;
    }
    const char* target = plan->target.c_str();
    const char* backup = plan->backup.c_str();
    if (!RenameFileByName(target, backup)) {
        *cause = "cannot make the backup " + Quoted(plan->backup) + ": " + ErrorText();
        std::string putBackCause;
        if (!PutOlderBackupBack(*plan, &putBackCause)) {
            *cause += "; " + putBackCause;
        }
        return 0;
    }
    // The traits are read from the backup: it is the file, and it stays put.
    if (!ReadFileTraits(backup, &plan->traits) || !CreateWithTraits(target, plan->traits)) {
        *cause = ErrorText();
        std::string undoCause;
        if (!UndoSave(*plan, &undoCause)) {
            *cause += "; " + undoCause;
        }
        return 0;
    }
    return 1;
}

int FinishSave(const SavePlan& plan, std::string* cause) {
    if (plan.backup.empty()) {
        return 1;
    }
    cause->clear();
    if (!FinishTraits(plan.target.c_str(), plan.traits)) {
        *cause = "cannot give " + Quoted(plan.target) + " the permissions of " +
                 Quoted(plan.backup) + ": " + ErrorText();
    }
    if (!plan.olderBackup.empty() && !RemoveFileByName(plan.olderBackup.c_str())) {
        *cause += (cause->empty() ? "" : "; ") + std::string("cannot remove the older backup ") +
                  Quoted(plan.olderBackup) + ": " + ErrorText();
    }
    return cause->empty() ? 1 : 0;
}

int UndoSave(const SavePlan& plan, std::string* cause) {
    const char* target = plan.target.c_str();
    if (IsRegularFile(target) && !RemoveFileByName(target)) {
        *cause = "cannot remove the partial output " + Quoted(plan.target) + ": " + ErrorText();
        if (!plan.backup.empty()) {
            *cause += "; the original is kept as " + Quoted(plan.backup) + OlderBackupNote(plan);
        }
        return 0;
    }
    if (!plan.backup.empty() && !RenameFileByName(plan.backup.c_str(), target)) {
        *cause = "cannot rename " + Quoted(plan.backup) + " back to " + Quoted(plan.target) + ": " +
                 ErrorText() + "; the original is kept as " + Quoted(plan.backup) +
                 OlderBackupNote(plan);
        return 0;
    }
    return PutOlderBackupBack(plan, cause);
}
