// The "did you mean" of a mistyped command or option: the known name closest
// to what was typed, when it is close enough to be a slip of the keyboard.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Edits between two texts: a byte inserted, removed or changed, or two
// neighbouring bytes swapped, each count 1.
std::size_t EditDistance(const std::string& a, const std::string& b);

// "; did you mean 'NAME'?" for the first of `names` nearest to `typed` when
// it is near enough (1 edit when `typed` has 3 or 4 letters besides its
// dashes, 2 when it has more), otherwise "" (always for 1 or 2 letters).
std::string DidYouMean(const std::string& typed, const std::vector<std::string>& names);
