// tembrel-cli list: one line per sync tag on standard output, its time as
// h:mm:ss.mmm and its cue's text in UTF-8, for picking sync points by what a
// cue says, through less or grep.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "cli_options.h"
#include "cue_tags.h"

// The lines that list prints for a file's bytes (byte order mark included) and
// its tags: "TIME<tab>TEXT", or "TIME<tab>CLASS<tab>TEXT" when the cues have
// more than one class. A tag without a readable time shows "?" as its time.
// This is the whole text in memory at once, with no cue cut: list itself
// reads the file as a stream and gives the same lines, but for the text of a
// cue beyond its first kListedCueBytes bytes.
// A cue's text is listed from its first 256 KiB of the file's bytes at most:
// a cue that long is no subtitle but a file whose tags went astray, and its
// line holds several times as much in memory (up to three bytes of UTF-8 per
// byte, in the decoded cue, its text and its line), which with a MiB took the
// listing near 16 MiB. A character cut there shows as a replacement character.
inline constexpr std::uint64_t kListedCueBytes = std::uint64_t{256} << 10;

std::vector<std::string> ListLines(const std::string& bytes, const CueTags& found);

// Runs list over the request's FILE; returns the exit code.
int ListCues(const CliRequest& request);
