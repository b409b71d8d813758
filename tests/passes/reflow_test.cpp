// The tag reflow pre-pass as a pass: text carried from line to line, empty lines, the end of the
// document. (Each rule on one line is checked against the literal passes in
// tests/core/equivalence_test.cpp.)

#include "../core/testsupport.h"

#include "passes/reflow.h"

#include <gtest/gtest.h>

namespace quorvik {
namespace {

using Lines = std::vector<std::string>;

struct Reflow {
    const char* name;
    Lines input;
    Lines written;
};

void PrintTo(const Reflow& r, std::ostream* os) { *os << r.name; }

Lines RunReflow(const Lines& input)
{
    MemoryLines out;
    ReflowPass pass(out);
    for (const std::string& l : input) {
        Text line = T(l);
        pass.Feed(line);
    }
    pass.Finish();
    return U8(out.lines);
}

class ReflowsLines : public testing::TestWithParam<Reflow> {};

TEST_P(ReflowsLines, OneTagPerLine)
{
    EXPECT_EQ(RunReflow(GetParam().input), GetParam().written);
}

INSTANTIATE_TEST_SUITE_P(PrePass, ReflowsLines, testing::Values(
    Reflow{"SmallDocument",
           {"<html><head><title>Test</title></head>", "<body>", "<p>First paragraph", "continues here.</p>",
            "<ul><li>One<li>Two</ul>", "</body></html>"},
           {"<html>", "<head>", "<title>Test", "</title>", "</head>", "<body>", "<p>First paragraph",
            "continues here.</p>", "<ul>", "<li>One", "<li>Two", "</ul>", "</body>", "</html>"}},
    Reflow{"TagBrokenOverTwoLines", {"<a href=x.htm", "class=y>Link</a>"},
           {"<a href=x.htm class=y>Link", "</a>"}},
    Reflow{"UnfinishedTagIsCarried", {"Text <b", "x>"}, {"Text", "<b x>"}},
    Reflow{"EmptyLineKeepsTheCarriedTag", {"<a", "", "href=x>y"}, {"<a href=x>y"}},
    Reflow{"EmptyLineAloneWritesNothing", {"", "   "}, {}},
    Reflow{"LoneGreaterThanFirstIsCarried", {">tail", "<p>x"}, {">tail <p>x"}},
    Reflow{"CarriedTextWrittenAtTheEnd", {"a <b> rest"}, {"a <b>", "rest"}},
    Reflow{"UnclosedTagAtTheEnd", {"text <a href="}, {"text", "<a href="}}
));

TEST(ReflowPass, ManyTagsInOneLongLineComeOutOnePerLine)
{
    // An LF-only document is one line: tens of thousands of tags must all be cut apart.
    std::string doc;
    for (int i = 0; i < 50000; ++i)
        doc += "<p>x" + std::to_string(i) + "\n";
    const Lines out = RunReflow({doc});
    ASSERT_EQ(out.size(), 50000u);
    EXPECT_EQ(out.front(), "<p>x0 ");  // written untrimmed up to the next tag
    EXPECT_EQ(out.back(), "<p>x49999");
}

}  // namespace
}  // namespace quorvik
