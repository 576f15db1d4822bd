// The code pages that listing decodes besides UTF-8 and UTF-16, as tables to
// Unicode made by scripts/make_code_page_tables.py. 0 marks a sequence the
// code page does not map.
#pragma once

#include <cstdint>

inline constexpr unsigned kCp949FirstLead = 0x81;
inline constexpr unsigned kCp949LastLead = 0xFE;
inline constexpr unsigned kCp949FirstTrail = 0x41;
inline constexpr unsigned kCp949LastTrail = 0xFE;
inline constexpr unsigned kCp949TrailCount = kCp949LastTrail - kCp949FirstTrail + 1;

// Entry (lead - 0x81) * 190 + (trail - 0x41): the character of a two-byte sequence.
extern const std::uint16_t kCp949Table[(kCp949LastLead - kCp949FirstLead + 1) * kCp949TrailCount];
// Entry byte - 0x80: the character of a byte of 0x80 or above.
extern const std::uint16_t kCp1252HighTable[128];
