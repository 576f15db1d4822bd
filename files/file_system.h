// What a name leads to, asked of the system once per platform
// (file_system_posix.cpp, file_system_win.cpp): the identity of the file and
// the name under which it lives. The decisions built on them (the same-file
// test, the names of an edit) are portable and live in edit_names.h. Names are
// UTF-8 on Windows, as the command line and the dialog's fields give them, and
// byte strings as given elsewhere.
#pragma once

#include <cstdint>
#include <string>

// The identity of a file (device and inode, volume and index).
struct FileIdentity {
    std::uint64_t device;
    std::uint64_t index;
};

// 1 with the identity of the file the name leads to (a link is followed),
// else 0.
int ReadFileIdentity(const char* path, FileIdentity* identity);

// The name under which the file lives: a symbolic link, or a chain of them, is
// followed to the file; any other name comes back as it is.
void FollowLinks(const char* path, std::string* file);
