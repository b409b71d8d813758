// Blank-line removal and character clean-up.

#include "../core/testsupport.h"

#include "passes/blanklines.h"

#include <gtest/gtest.h>

namespace quorvik {
namespace {

using Lines = std::vector<std::string>;

using Sets = std::array<const char*, 4>;

CleanUpSets Clean(const Sets& sets)
{
    CleanUpSets clean;
    for (std::size_t i = 0; i < 4; ++i)
        clean.sets[i] = T(sets[i]);
    return clean;
}

struct BlankCase {
    const char* name;
    Lines input;
    Lines expected;
    Sets sets = {"", "", "", ""};
};

void PrintTo(const BlankCase& c, std::ostream* os) { *os << c.name; }

class RemovesExtraLines : public testing::TestWithParam<BlankCase> {};

TEST_P(RemovesExtraLines, KeepsOneBlankLinePerRun)
{
    MemoryLines in, out;
    for (const std::string& l : GetParam().input)
        in.lines.push_back(T(l));
    RemoveExtraLines(in, out, Clean(GetParam().sets));
    EXPECT_EQ(U8(out.lines), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Pass, RemovesExtraLines, testing::Values(
    BlankCase{"RunOfThree", {"a", "", "", "", "b"}, {"a", "", "b"}},
    BlankCase{"BlankLinesAtTheStart", {"", "", "a"}, {"", "a"}},
    BlankCase{"MarkerAfterBlankDropped", {"text", "", "*", "", "text"}, {"text", "", "text"}},
    BlankCase{"MarkerAfterTextKept", {"text", "-"}, {"text", "-"}},
    BlankCase{"MarkerIsTrimmedFirst", {"a", "", " * ", "b"}, {"a", "", "b"}},
    BlankCase{"TwoCharactersAreText", {"a", "", "**"}, {"a", "", "**"}},
    BlankCase{"Empty", {}, {}},
    BlankCase{"SpacesOnlyIsBlank", {"a", "   ", "", "b"}, {"a", "", "b"}},
    BlankCase{"LineCleanedToNothingIsBlank", {"a", "", "|||", "b"}, {"a", "", "b"}, {"|", "", "", ""}}
));

struct CleanCase {
    Sets sets;
    const char* line;
    const char* expected;
};

class CleansUp : public testing::TestWithParam<CleanCase> {};

TEST_P(CleansUp, BlanksWholeSetsOnly)
{
    Text line = T(GetParam().line);
    CleanUpChar(line, Clean(GetParam().sets));
    EXPECT_EQ(U8(line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Sets, CleansUp, testing::Values(
    CleanCase{{"", "", "", ""}, "  a b  ", "a b"},
    CleanCase{{"|", "", "", ""}, "a|b|c", "a b c"},
    CleanCase{{"<>", "", "", ""}, "x<y>z", "x<y>z"},
    CleanCase{{"aa", "", "", ""}, "aaa", "a"},
    CleanCase{{"ab", "", "", ""}, "ababab", ""},
    CleanCase{{"*", "a b", "", ""}, "a*b", ""},        // an earlier set completes a later one
    CleanCase{{" ", "  ", "", ""}, " x  y ", "x  y"},   // sets of spaces only are skipped
    CleanCase{{"", "", "", "Z"}, "aZb", "a b"}
));

}  // namespace
}  // namespace quorvik
