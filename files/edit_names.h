// The names of an edit, decided once for both front ends and the edit job:
// which file the result replaces, its backup, and whether two names lead to
// one file. Portable, over what file_system.h asks of the system.
#pragma once

#include <string>

#include "file_system.h"

// 1 when both identities are the same file.
int SameFileIdentity(const FileIdentity& a, const FileIdentity& b);
// 1 when both names exist and lead to the same file (a link, a hard link,
// another spelling of the path), else 0.
int IsSameFile(const char* first, const char* second);

// The backup of an edit in place: the target's name followed by ".bak".
std::string BackupName(const std::string& target);

struct EditNames {
    std::string target;  // the name the result takes, links followed
    std::string backup;  // the target's backup; empty unless the edit is in place
    int inPlace;         // the result replaces an input, which keeps a backup
    int appendIsBackup;  // the file to append is the backup this edit replaces
};

// Decides the names of an edit. No output name, or one that leads to FILE
// itself (the same path, a link, another spelling), edits FILE in place; an
// output that leads to the file to append edits that file in place, so that
// no input is emptied before it is read. A link is followed to where the file
// lives. 1 when FILE leads to a file; 0 when it leads nowhere, with the names
// decided from the spellings alone.
int PlanEditNames(const char* file, const char* appendFile, const char* outputPath,
                  EditNames* names);

// The same rule over the identities of FILE and of the file to append as the
// caller holds them (null: none), as the edit job does with its open files.
void DecideEditNames(const char* file, const char* appendFile, const char* outputPath,
                     const FileIdentity* fileIdentity, const FileIdentity* appendIdentity,
                     EditNames* names);
