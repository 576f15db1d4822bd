// Edit distance with swaps of neighbours (a typed "shfit" is one slip from
// "shift"), over three rows of a table that grows with the shorter name only.
#include "nearest_name.h"

#include <algorithm>

std::size_t EditDistance(const std::string& a, const std::string& b) {
    const std::size_t width = b.size() + 1;
    std::vector<std::size_t> beforePrevious(width, 0);
    std::vector<std::size_t> previous(width, 0);
    std::vector<std::size_t> current(width, 0);
    for (std::size_t j = 0; j < width; ++j) {
        previous[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j < width; ++j) {
            const std::size_t change = previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1);
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, change});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                current[j] = std::min(current[j], beforePrevious[j - 2] + 1);
            }
        }
        beforePrevious.swap(previous);
        previous.swap(current);
    }
    return previous[b.size()];
}

std::string DidYouMean(const std::string& typed, const std::vector<std::string>& names) {
    // Every one- or two-letter name is a slip away from every other one.
    const std::size_t letters = typed.size() - std::min(typed.find_first_not_of('-'), typed.size());
    if (letters <= 2) {
        return "";
    }
    const std::size_t allowed = letters <= 4 ? 1 : 2;
    const std::string* best = nullptr;
    std::size_t bestDistance = 0;
    for (const std::string& name : names) {
        const std::size_t distance = EditDistance(typed, name);
        if (distance > 0 && distance <= allowed && (best == nullptr || distance < bestDistance)) {
            best = &name;
            bestDistance = distance;
        }
    }
    return best != nullptr ? "; did you mean '" + *best + "'?" : "";
}
