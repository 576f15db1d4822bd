// The backup protocol over the C library's remove and rename, which take the
// names in the system's code page on every platform.
#include "backup_protocol.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli_messages.h"
#include "file_identity.h"

namespace {

int NamesSameFile(const char* first, const char* second) {
    return (std::strcmp(first, second) == 0 || IsSameFile(first, second)) ? 1 : 0;
}

}  // namespace

void PlanSave(const char* file, const char* appendFile, const char* outputPath, SavePlan* plan) {
    if (outputPath == nullptr || NamesSameFile(outputPath, file)) {
        plan->target = file;
    } else if (appendFile != nullptr && NamesSameFile(outputPath, appendFile)) {
        plan->target = appendFile;
    } else {
        plan->target = outputPath;
    }
    const int targetIsInput =
        NamesSameFile(plan->target.c_str(), file) ||
        (appendFile != nullptr && NamesSameFile(plan->target.c_str(), appendFile));
    plan->backup = targetIsInput ? plan->target + ".bak" : std::string();
    // Names are compared now, while the target still stands under its own name.
    const auto readFrom = [plan](const char* name) {
        return (!plan->backup.empty() && NamesSameFile(name, plan->target.c_str()))
                   ? plan->backup
                   : std::string(name);
    };
    plan->input = readFrom(file);
    plan->appendInput = appendFile != nullptr ? readFrom(appendFile) : std::string();
}

int PrepareSave(const SavePlan& plan, std::string* cause) {
    if (plan.backup.empty()) {
        // An existing output must open for writing without being emptied, so
        // that an output that cannot be written is refused before the run
        // rather than found (and removed) after it.
        std::FILE* existing = std::fopen(plan.target.c_str(), "r+b");
        if (existing != nullptr) {
            std::fclose(existing);
            return 1;
        }
        if (errno == ENOENT) {
            return 1;
        }
        *cause = std::strerror(errno);
        return 0;
    }
    errno = 0;
    const int removed = std::remove(plan.backup.c_str()) == 0;
    const int removeError = errno;
    if (std::rename(plan.target.c_str(), plan.backup.c_str()) != 0) {
        const int renameError = errno;
        *cause = "cannot make the backup " + Quoted(plan.backup) + ": " +
                 std::strerror((!removed && removeError != ENOENT) ? removeError : renameError);
        return 0;
    }
    return 1;
}

int UndoSave(const SavePlan& plan, std::string* cause) {
    if (IsRegularFile(plan.target.c_str()) && std::remove(plan.target.c_str()) != 0) {
        *cause =
            "cannot remove the partial output " + Quoted(plan.target) + ": " + std::strerror(errno);
        if (!plan.backup.empty()) {
            *cause += "; the original is kept as " + Quoted(plan.backup);
        }
        return 0;
    }
    if (!plan.backup.empty() && std::rename(plan.backup.c_str(), plan.target.c_str()) != 0) {
        *cause = "cannot rename " + Quoted(plan.backup) + " back to " + Quoted(plan.target) + ": " +
                 std::strerror(errno) + "; the original is kept as " + Quoted(plan.backup);
        return 0;
    }
    return 1;
}
