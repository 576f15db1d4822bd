// The names of an edit and the same-file test, over the identities that
// file_system.h reads.
#include "edit_names.h"

#include <cstring>

namespace {

// 1 when `name` is spelled as `other` or leads to the file of `identity`.
int LeadsTo(const char* name, const char* other, const FileIdentity* identity) {
    if (std::strcmp(name, other) == 0) {
        return 1;
    }
    FileIdentity named;
    return (identity != nullptr && ReadFileIdentity(name, &named) &&
            SameFileIdentity(named, *identity))
               ? 1
               : 0;
}

}  // namespace

int SameFileIdentity(const FileIdentity& a, const FileIdentity& b) {
    return (a.device == b.device && a.index == b.index) ? 1 : 0;
}

int IsSameFile(const char* first, const char* second) {
    FileIdentity a;
    FileIdentity b;
    return (ReadFileIdentity(first, &a) && ReadFileIdentity(second, &b) && SameFileIdentity(a, b))
               ? 1
               : 0;
}

std::string BackupName(const std::string& target) {
    return target + ".bak";
}

void DecideEditNames(const char* file, const char* appendFile, const char* outputPath,
                     const FileIdentity* fileIdentity, const FileIdentity* appendIdentity,
                     EditNames* names) {
    const char* target = file;
    names->inPlace = 1;
    if (outputPath != nullptr && !LeadsTo(outputPath, file, fileIdentity)) {
        if (appendFile != nullptr && LeadsTo(outputPath, appendFile, appendIdentity)) {
            target = appendFile;
        } else {
            target = outputPath;
            names->inPlace = 0;
        }
    }
    FollowLinks(target, &names->target);
    names->backup = names->inPlace ? BackupName(names->target) : std::string();
    FileIdentity backup;
    names->appendIsBackup = (names->inPlace && appendIdentity != nullptr &&
                             ReadFileIdentity(names->backup.c_str(), &backup) &&
                             SameFileIdentity(backup, *appendIdentity))
                                ? 1
                                : 0;
}

int PlanEditNames(const char* file, const char* appendFile, const char* outputPath,
                  EditNames* names) {
    FileIdentity fileIdentity;
    FileIdentity appendIdentity;
    const int known = ReadFileIdentity(file, &fileIdentity);
    const int appendKnown = appendFile != nullptr && ReadFileIdentity(appendFile, &appendIdentity);
    DecideEditNames(file, appendFile, outputPath, known ? &fileIdentity : nullptr,
                    appendKnown ? &appendIdentity : nullptr, names);
    return known;
}
