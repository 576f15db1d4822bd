// SAMI text read without the engine, for checking the engine: where a sync tag
// stands, and a text with the times behind its sync tags left out.
#pragma once

#include <cstddef>
#include <string>

// Whether the 12 bytes at `at` are the sync tag, its letters in either case.
bool IsSyncTagAt(const std::string& text, std::size_t at);

// The text with each run of blanks, signs, digits and dots right behind a sync
// tag removed: what a re-timing leaves exactly as it was.
std::string WithoutTimes(const std::string& text);
