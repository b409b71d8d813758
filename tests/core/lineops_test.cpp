// The operations that rewrite one line: the tag scanner (the tag stripper is checked against its
// literal version in equivalence_test.cpp) and entities at the end of the line.

#include "testsupport.h"

#include <gtest/gtest.h>

namespace quorvik {
namespace {

struct Rewrite {
    const char* input;
    const char* expected;
};

class ScansTag : public testing::TestWithParam<Rewrite> {};

TEST_P(ScansTag, LowersAndPlacesTheFirstTag)
{
    LineValues lv;
    lv.line = T(GetParam().input);
    lv.Recount();
    Converter::ScanTag(lv);
    EXPECT_EQ(U8(lv.line), GetParam().expected);
    EXPECT_EQ(lv.lineLength, lv.line.size());
    EXPECT_EQ(lv.TagStart, Find(lv.line, U'<'));
    EXPECT_EQ(lv.TagEnd, Find(lv.line, U'>'));
}

INSTANTIATE_TEST_SUITE_P(Lines, ScansTag, testing::Values(
    Rewrite{"<P>Hello world", "<p>Hello world"},
    Rewrite{"Some text <BR>", "Some text<br>"},
    Rewrite{"<B>Bold</B> text", "<b>bold</b>text"},
    Rewrite{"<TD>", "<td>"},
    Rewrite{"a <b> c", "a     c"},
    Rewrite{"<P>One <I>two</I> three", "<p>one <i>two</I> three"},
    Rewrite{"a > b <c", "a > b <c"},          // the range would run backwards: left alone
    Rewrite{"x>y> <Z>", "x>y> <Z>"},
    Rewrite{"<DİV>Ärger", "<div>Ärger"},      // one character for one: no position shifts
    Rewrite{"Text <TITLE>X</TITLE>", "Text<title>x</title>"}
));

TEST(Entities, BlankingStopsAtTheEndOfTheLine)
{
    struct Case {
        const char* line;
        std::size_t nbsp, num;  // the positions the converter found
        const char* expected;
    };
    for (const Case& c : {Case{"ab&#16", 0, 0, "ab&#16"}, Case{"ab&#160", 0, 3, "ab"}, Case{"x&nbsp", 2, 0, "x"}}) {
        LineValues lv;
        lv.line = T(c.line);
        lv.Recount();
        std::size_t nbsp = c.nbsp, amp = 0, num = c.num;
        Converter::ReplaceEntities(lv, nbsp, amp, num);
        EXPECT_EQ(U8(lv.line), c.expected) << c.line;
    }
}

}  // namespace
}  // namespace quorvik
