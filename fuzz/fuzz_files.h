// Scratch files for the fuzz targets, one pair per process.
#pragma once

#include <string>

std::string FuzzPath(const char* name);
bool WriteWhole(const std::string& path, const std::string& bytes);
std::string ReadWhole(const std::string& path);
