// Lines of HTML through the conversion, with the text each must give. Inputs are given as the
// pre-pass leaves them (one tag at the start of a line), unless a case runs the whole chain.

#include "testsupport.h"

#include <gtest/gtest.h>

namespace quorvik {
namespace {

using Lines = std::vector<std::string>;

struct Case {
    const char* name;
    Lines input;
    Lines expected;
    const char* bullet = "*";
    int links = 0;  // the link targets written: 1 web, 2 mail, 4 other
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class ConvertsLines : public testing::TestWithParam<Case> {};

TEST_P(ConvertsLines, AsTheRulesSay)
{
    const Case& c = GetParam();
    ConverterOptions options;
    options.BulletChar = T(c.bullet);
    EXPECT_EQ(Convert(c.input, options, FixedLinkSwitches(c.links & 1, c.links & 2, c.links & 4)), c.expected);
}

// Running text is only written after the head has ended.
const Lines kBody = {"</head>"};

Lines Body(Lines more)
{
    Lines all = kBody;
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

const Lines kLinks = Body({"<a href=\"http://x.com\">Home</a>", "<br>", "<a href=\"mailto:me@x.com\">Mail</a>", "<br>",
                           "<a href=\"page.htm\">Next</a>", "<br>", "<a href='single.htm'>Single</a>"});
const std::string kWord(100, 'y');

INSTANTIATE_TEST_SUITE_P(Documents, ConvertsLines, testing::Values(
    Case{"UnorderedList", {"<ul>", "<li>one", "<li>two", "<li>three", "</ul>"},
         {"", "*    one", "", "*    two", "*    three"}},
    Case{"OrderedList", {"<ol>", "<li>one", "<li>two", "<li>three", "</ol>"},
         {"", "1    one", "", "2    two", "3    three"}},
    Case{"ItemTextOnTheNextLine", {"<ul>", "<li>", "one", "<li>", "two", "<li>", "three", "</ul>"},
         {"", "*    one", "", "*    two", "*    three"}},
    Case{"DefinitionTermAndMeaning", {"<dl>", "<dt>Term", "<dd>Meaning of the term", "</dl>"},
         {"", "", "Term", "     Meaning of the term"}},
    Case{"TableRowsJoinedByTheDelimiter",
         {"<table>", "<tr>", "<td>A", "</td>", "<td>B", "</td>", "<tr>", "<td>C", "</td>", "</table>"},
         {"", "", "A, B", "", "C"}},
    Case{"CellTextOverTwoLines", {"<table>", "<tr>", "<td>A", "more", "</td>", "<td>B", "</td>", "</table>"},
         {"", "", "A more, B"}},
    Case{"CaptionOnItsOwnLine", {"<table>", "<caption>Title", "</caption>", "<tr>", "<td>A", "</td>", "</table>"},
         {"", "", "Title", "A"}},
    Case{"TitleFramed", {"<head>", "<title>My Page", "</title>", "</head>"}, {"+++ My Page +++", ""}},
    Case{"TitleOnOneLineIsLowered", {"<head>", "<title>My Page</title>", "</head>"}, {"+++ my page +++", ""}},
    Case{"TitleOnItsOwnLine", {"<head>", "<title>", "My Page", "</title>", "</head>"}, {"+++ My Page +++", ""}},
    Case{"EmptyTitleWritesNothing", {"<head>", "<title></title>", "</head>"}, {}},
    Case{"ParagraphJoinsPunctuation", {"<p>Hello", ", world", "</p>"}, {"", "Hello, world"}},
    Case{"BodyTextKeepsTheSpace", Body({"Hello", ", world"}), {"Hello , world"}},
    Case{"BreakAfterBodyText", Body({"text<br>"}), {"text", ""}},
    Case{"BreakAloneAfterPendingText", Body({"text", "<br>"}), {"text", ""}},
    Case{"HeadingJoinsPendingText", Body({"para", "<h1>Head", "</h1>"}), {"para Head", ""}},
    Case{"HeadingInTheHeadOnlyEndsWithABlankLine", {"<head>", "<h1>Head", "</h1>"}, {""}},
    Case{"HeadTextIsNotWritten", {"<head>", "<style>", "p { color: red }", "</style>", "</head>"}, {}},
    Case{"LinkTagInTheHeadOpensAListItem", {"<head>", "<link rel=x>", "<style>", "p {}", "</head>"},
         {"", "p {}"}},
    Case{"DocumentWithoutHeadEndWritesNoRunningText", {"<html>", "Some text", "</html>"}, {}},
    Case{"EntitiesDecoded", Body({"a&nbsp;b", "<br>", "a&nbspb", "<br>", "x&amp;y", "<br>", "x&amp;amp;y"}),
         {"a      b", "", "a     b", "", "x&y", "", "x&y"}},
    Case{"EntitiesAfterAmpersand", Body({"x&amp;y&#160z", "<br>", "&amp;#160;", "<br>", "&lt;b&gt; &NBSP;"}),
         {"x&y", "", "&#160;", "", "&lt;b&gt; &NBSP;"}},
    Case{"NbspWidthFollowsTheWholeLine", Body({"a&nbspb&nbsp;c"}), {"a            c"}},
    Case{"OnlyTheFirstTagIsLoweredAndAllAreStripped", {"<P>One <I>two</I> three"}, {"", "one    two     three"}},
    Case{"ParagraphInsideATableOpensNoParagraph", {"<table>", "<tr>", "<td>A", "<p>x", "</td>", "</table>"},
         {"", "", "A x"}},
    Case{"ParagraphAfterAClosedListItemGoesToTheItemTail", Body({"<ul>", "<li>a", "</ul>", "<p>after", "more"}),
         {"", "*    a", "after more"}},
    Case{"LinkWithoutTargetLeavesItsSpace", Body({"text", "<a href=x>Words</a>"}), {"text  words"}},
    Case{"HeadingEndsTheTable", Body({"<table>", "<tr>", "<td>A", "<h2>Head", "</h2>", "after"}),
         {"", "", "A Head", "", "after"}},
    // Paragraph text and the title emitter both take the same line: the paragraph must leave the
    // line whole for the title.
    Case{"TitleInsideAnOpenParagraphIsAlsoParagraphText", {"<html><body>", "<p>", "<head>", "<title>Page title", "</head>"},
         {"", "+++ Page title +++", "", "Page title"}},
    Case{"LinkTargetsOff", kLinks, {"home", "", "mail", "", "next", "", "single"}},
    Case{"LinkTargetsOn", kLinks, {"\"http://x.com\" home", "", "\"mailto:me@x.com\" mail", "", "\"page.htm\" next", "", "single"},
         "*", 7},
    Case{"OnlyTheSwitchedKindsOfTargets", kLinks, {"home", "", "\"mailto:me@x.com\" mail", "", "next", "", "single"},
         "*", 2},
    // A quoted attribute before the target: the length is not positive, no target. A second
    // quote right before the mail target gives it no length: no target, not even the web one.
    Case{"QuotedAttributeBeforeTheTarget", Body({"<a name=\"n\" href=\"http://x.com\">Go</a>"}), {"go"}, "*", 7},
    Case{"MailTargetOfNoLengthDropsTheWebOne", Body({"<a href=\"http://x.org/\"\"mailto:me@x.org\">Go</a>"}),
         {"go"}, "*", 3},
    // The flush at the end never wraps. (Wrapping itself, and trimming the delimiter, are checked
    // against their literal versions in equivalence_test.cpp.)
    Case{"FlushNeverWraps", Body({"<p>" + kWord + " " + kWord}), {"", kWord + " " + kWord}},
    Case{"BulletText", {"<ul>", "<li>one", "</ul>"}, {"", "-    one"}, "-"},
    // A nested unordered list empties the marker, and a bullet left by one counts as no number:
    // the next ordered items count from 1 again. A term inside an ordered list keeps the three
    // spaces of its marker.
    Case{"NestedUnorderedListRestartsTheCount", {"<ol>", "<li>a", "<li>b", "<ul>", "</ul>", "<li>c", "</ol>"},
         {"", "1    a", "2    b", "", "1    c"}},
    Case{"BulletMarkerIsNoNumber", {"<ul>", "<li>x", "<ol>", "<li>y", "</ol>", "</ul>"}, {"", "*    x", "", "1    y"}},
    Case{"TermInAnOrderedList", {"<ol>", "<dl>", "<dt>Term", "</dl>", "</ol>"}, {"", "", "", "       Term"}},
    // A row's later cells are in a state of their own, apart from its first: pinned by the
    // output of this row, which the first cell's state would give with a trailing space.
    Case{"LaterCellOfARow", {"<table>", "<th>x", "<TD>", "<caption>", "<a href=\"page.htm\">", "<dd>"},
         {"", "", "x"}},
    // After the end of the head a title is not framed: its text is running text.
    Case{"TitleAfterTheHeadIsNotWritten", {"/ol>", "<title>My Page<head></head>"}, {"my page"}},
    Case{"ControlCharacterAtTheStartIsText", {"<p>\x01 start", "more", "</p>"}, {"", "\x01 start more"}}
));

}  // namespace
}  // namespace quorvik
