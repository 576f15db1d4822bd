// tembrel-cli list: one line per sync tag on standard output, its time as
// h:mm:ss.mmm and its cue's text in UTF-8, for picking sync points by what a
// cue says, through less or grep.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "cli_options.h"
#include "cue_tags.h"

// The lines that list prints for a file's bytes (byte order mark included) and
// its tags: "TIME<tab>TEXT", or "TIME<tab>CLASS<tab>TEXT" when the cues have
// more than one class. A tag without a readable time shows "?" as its time.
std::vector<std::string> ListLines(const std::string& bytes, const CueTags& found);

// Runs list over the request's FILE; returns the exit code.
int ListCues(const CliRequest& request);
