// Realistic SAMI files for the benchmarks: a HEAD with a STYLE block, then a cue
// every 50 to 100 bytes with Korean text in CP949 and CR LF line ends.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes about `size` bytes (never less) to `path`; returns false if it cannot.
bool WriteGeneratedSami(const std::string& path, std::int64_t size, unsigned seed);

// The same text in UTF-16 LE behind its byte order mark, about `size` bytes:
// every byte of a generated file of half the size widened to one code unit.
bool WriteGeneratedSamiUtf16(const std::string& path, std::int64_t size, unsigned seed);

// A plain buffered copy of one or more files, one after another, into `to`
// through the standard streams in 1 MiB blocks: the floor that the runs are
// measured against. Returns false if any step fails.
bool CopyFilesBuffered(const std::vector<std::string>& from, const std::string& to);
