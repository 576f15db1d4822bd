// What the front ends do with files by name and what they ask about them:
// platform code behind portable names (file_system_posix.cpp,
// file_system_win.cpp). Every open, rename and remove by name goes through the
// three functions below, so that how names reach the system is decided in one
// place per platform. Names are byte strings in the system's code page, as the
// command line and the dialog's fields give them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// The C library's fopen, with its modes. Null with errno on failure.
std::FILE* OpenFileByName(const char* path, const char* mode);
// 1 when the name now leads to the file, else 0 with errno. On Windows an
// existing `to` is never replaced.
int RenameFileByName(const char* from, const char* to);
// Removes a file (on POSIX also an empty folder); on Windows a read-only file
// too. 1 when it is gone, else 0 with errno.
int RemoveFileByName(const char* path);

// 1 when the name itself exists (a symbolic link counts, whatever it leads to).
int NameExists(const char* path);
// 1 when the name itself is a folder, not a link to one.
int IsFolder(const char* path);
// 1 when both names exist and lead to the same file (a link, another spelling
// of the path), else 0.
int IsSameFile(const char* first, const char* second);
// 1 when the name leads to a regular file: not a folder, a device or a pipe.
int IsRegularFile(const char* path);

// The name under which the file lives: a symbolic link, or a chain of them, is
// followed to the file; any other name comes back as it is.
void FollowLinks(const char* path, std::string* file);

// What a file carries beside its bytes and keeps through an edit in place: on
// POSIX its permission bits, owner and group; on Windows its read-only, hidden
// and system attributes.
struct FileTraits {
    std::uint32_t permissions;
    std::uint32_t owner;
    std::uint32_t group;
    std::uint32_t attributes;
};

// 1 with the traits of the file the name leads to, else 0.
int ReadFileTraits(const char* path, FileTraits* traits);
// Before any content is written: on POSIX creates the file empty with the
// permission bits (and write permission for its owner, to be written at all),
// then the owner and group where the user may set them; a refusal of those two
// is no failure. The run then writes into this file, so its content is never
// readable by more users than the original's was. Windows needs nothing here.
// 1 when done, else 0 with errno.
int CreateWithTraits(const char* path, const FileTraits& traits);
// After a run that succeeded: the exact permission bits (POSIX), the kept
// attributes (Windows). 1 when done, else 0 with errno.
int FinishTraits(const char* path, const FileTraits& traits);
