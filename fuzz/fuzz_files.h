// Scratch files for the fuzz targets, one pair per process, and a progress bar
// that records what it is told.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "run_counts.h"

extern std::vector<std::int32_t> g_fuzzPercents;
// The options with their progress going to g_fuzzPercents.
RunOptions RecordingFuzzProgress(RunOptions options);

std::string FuzzPath(const char* name);
bool WriteWhole(const std::string& path, const std::string& bytes);
std::string ReadWhole(const std::string& path);
