// What the file system says about a name: whether two names lead to one file,
// and whether a name is a regular file. Platform code behind portable names
// (file_identity_posix.cpp, file_identity_win.cpp); paths are byte strings in
// the system's code page, as the command line gives them.
#pragma once

// 1 when both names exist and lead to the same file (a link, another spelling
// of the path), else 0.
int IsSameFile(const char* first, const char* second);

// 1 when the name leads to a regular file: not a directory, a device or a pipe.
int IsRegularFile(const char* path);
