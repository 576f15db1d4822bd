// Scratch files for the tests: a fresh folder per test and process, whole-file reads and writes.
#pragma once

#include <string>

// A new empty folder under the system's temporary folder, unique to this test.
std::string MakeScratchDir();
// The same below the temporary folder's `parent` (each suite has its own).
std::string MakeScratchDirIn(const char* parent);
void WriteBytes(const std::string& path, const std::string& bytes);
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
