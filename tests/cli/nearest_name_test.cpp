// The "did you mean" of mistyped names: the edit distance with swaps, and
// which names are offered for what was typed.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "nearest_name.h"

namespace {

struct DistanceCase {
    std::string a;
    std::string b;
    std::size_t distance;
};

void PrintTo(const DistanceCase& c, std::ostream* os) {
    *os << c.a << " / " << c.b;
}

class EditDistances : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(EditDistances, CountInsertionsRemovalsChangesAndSwaps) {
    EXPECT_EQ(EditDistance(GetParam().a, GetParam().b), GetParam().distance);
    EXPECT_EQ(EditDistance(GetParam().b, GetParam().a), GetParam().distance) << "symmetric";
}

INSTANTIATE_TEST_SUITE_P(
    Table, EditDistances,
    ::testing::Values(DistanceCase{"", "", 0}, DistanceCase{"", "abc", 3},
                      DistanceCase{"shift", "shift", 0}, DistanceCase{"shfit", "shift", 1},
                      DistanceCase{"shft", "shift", 1}, DistanceCase{"shiift", "shift", 1},
                      DistanceCase{"shirt", "shift", 1}, DistanceCase{"hsift", "shift", 1},
                      DistanceCase{"lsit", "list", 1}, DistanceCase{"last", "list", 1},
                      DistanceCase{"sync", "shift", 4}, DistanceCase{"kitten", "sitting", 3},
                      DistanceCase{"ca", "abc", 3}, DistanceCase{"--verison", "--version", 1}));

struct SuggestionCase {
    std::string typed;
    std::vector<std::string> names;
    std::string said;
};

void PrintTo(const SuggestionCase& c, std::ostream* os) {
    *os << c.typed;
}

class Suggestions : public ::testing::TestWithParam<SuggestionCase> {};

TEST_P(Suggestions, NameTheNearestWhenItIsNearEnough) {
    EXPECT_EQ(DidYouMean(GetParam().typed, GetParam().names), GetParam().said);
}

const std::vector<std::string> kCommands = {"shift", "sync", "append", "last", "list"};
const std::vector<std::string> kOptions = {"--start", "--end",    "--shift",  "--stretch",
                                           "--fps",   "--output", "--quoted", "--help"};

INSTANTIATE_TEST_SUITE_P(
    Table, Suggestions,
    ::testing::Values(SuggestionCase{"shfit", kCommands, "; did you mean 'shift'?"},
                      SuggestionCase{"apend", kCommands, "; did you mean 'append'?"},
                      SuggestionCase{"lsit", kCommands, "; did you mean 'list'?"},
                      SuggestionCase{"lst", kCommands, "; did you mean 'last'?"},
                      SuggestionCase{"snyc", kCommands, "; did you mean 'sync'?"},
                      SuggestionCase{"rotate", kCommands, ""}, SuggestionCase{"sh", kCommands, ""},
                      SuggestionCase{"shift", kCommands, ""},
                      SuggestionCase{"--shfit", kOptions, "; did you mean '--shift'?"},
                      SuggestionCase{"--strech", kOptions, "; did you mean '--stretch'?"},
                      SuggestionCase{"--quote", kOptions, "; did you mean '--quoted'?"},
                      SuggestionCase{"--ned", kOptions, "; did you mean '--end'?"},
                      SuggestionCase{"--bogus", kOptions, ""}, SuggestionCase{"-x", kOptions, ""},
                      SuggestionCase{"--at", kOptions, ""},
                      SuggestionCase{"-start", kOptions, "; did you mean '--start'?"}));

}  // namespace
