// Blank-line removal, with and without clean-up sets (the clean-up itself is checked against its
// literal version in tests/core/equivalence_test.cpp).

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
    BlankCase{"LineCleanedToNothingIsBlank", {"a", "", "|||", "b"}, {"a", "", "b"}, {"|", "", "", ""}},
    BlankCase{"SetsOfSpacesOnlyAreSkipped", {" x  y "}, {"x  y"}, {" ", "  ", "", ""}}
));

}  // namespace
}  // namespace quorvik
