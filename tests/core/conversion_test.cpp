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
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

class ConvertsLines : public testing::TestWithParam<Case> {};

TEST_P(ConvertsLines, AsTheRulesSay)
{
    EXPECT_EQ(Convert(GetParam().input), GetParam().expected);
}

// Running text is only written after the head has ended.
const Lines kBody = {"</head>"};

Lines Body(Lines more)
{
    Lines all = kBody;
    all.insert(all.end(), more.begin(), more.end());
    return all;
}

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
         {"", "+++ Page title +++", "", "Page title"}}
));

TEST(Converter, LinkTargetsFollowTheSwitches)
{
    const Lines doc = Body({"<a href=\"http://x.com\">Home</a>", "<br>", "<a href=\"mailto:me@x.com\">Mail</a>", "<br>",
                            "<a href=\"page.htm\">Next</a>", "<br>", "<a href='single.htm'>Single</a>"});
    EXPECT_EQ(Convert(doc, {}, FixedLinkSwitches(false, false, false)),
              (Lines{"home", "", "mail", "", "next", "", "single"}));
    EXPECT_EQ(Convert(doc, {}, FixedLinkSwitches(true, true, true)),
              (Lines{"\"http://x.com\" home", "", "\"mailto:me@x.com\" mail", "", "\"page.htm\" next", "",
                     "single"}));
    // A quoted attribute before the target: the length is not positive, no target.
    EXPECT_EQ(Convert(Body({"<a name=\"n\" href=\"http://x.com\">Go</a>"}), {}, FixedLinkSwitches(true, false, false)),
              (Lines{"go"}));
}

TEST(Converter, WrapsAtTextLen)
{
    const std::string w79(79, 'x');
    const std::string word(100, 'y');
    ConverterOptions options;
    EXPECT_EQ(Convert(Body({"<p>" + w79, "</p>"}), options), (Lines{"", w79}));
    // 80 characters with spaces: broken at the last space at or before 80.
    const std::string eighty = std::string(50, 'a') + " " + std::string(29, 'b');
    EXPECT_EQ(Convert(Body({"<p>" + eighty, "</p>"})), (Lines{"", std::string(50, 'a'), std::string(29, 'b')}));
    // A word longer than the line: 80 then the rest; with more text after it, 81 first.
    EXPECT_EQ(Convert(Body({"<p>" + word, "</p>"})), (Lines{"", word.substr(0, 80), word.substr(80)}));
    EXPECT_EQ(Convert(Body({"<p>" + word + " more", "</p>"})), (Lines{"", word.substr(0, 81), word.substr(81) + " more"}));
    // FlushLine at the end of a run never wraps.
    const std::string long200 = std::string(100, 'c') + " " + std::string(99, 'd');
    EXPECT_EQ(Convert(Body({"<p>" + long200})), (Lines{"", long200}));
}

TEST(Converter, TextLenZeroOrBelowDoesNotWrap)
{
    const std::string text = std::string(150, 'a') + " " + std::string(150, 'b');
    for (int len : {0, -5}) {
        ConverterOptions options;
        options.TextLen = len;
        EXPECT_EQ(Convert(Body({"<p>" + text, "</p>"}), options), (Lines{"", text}));
        EXPECT_EQ(Convert({"<dl>", "<dd>" + text, "</dl>"}, options), (Lines{"", "", "     " + text}));
    }
}

TEST(Converter, DefinitionWrapsWithTheIndent)
{
    ConverterOptions options;
    options.TextLen = 20;
    EXPECT_EQ(Convert({"<dl>", "<dd>one two three four five six", "</dl>"}, options),
              (Lines{"", "", "     one two three ", "     four five six"}));
    // No space in reach: pieces of TextLen - 5 characters.
    EXPECT_EQ(Convert({"<dl>", "<dd>" + std::string(20, 'z'), "</dl>"}, options),
              (Lines{"", "", "     " + std::string(15, 'z'), "     zzzzz"}));
}

TEST(Converter, DelimiterVariants)
{
    const Lines row = {"<table>", "<tr>", "<td>A", "</td>", "<td>B", "</td>", "<tr>", "</table>"};
    auto withSep = [&](const char* sep) {
        ConverterOptions o;
        o.TableCellSep = T(sep);
        return Convert(row, o);
    };
    EXPECT_EQ(withSep(","), (Lines{"", "", "A, B", ""}));
    EXPECT_EQ(withSep("|"), (Lines{"", "", "A| B", ""}));
    EXPECT_EQ(withSep(" "), (Lines{"", "", "A B", ""}));
    EXPECT_EQ(withSep("||"), (Lines{"", "", "A|| B||", ""}));
    // An empty delimiter matches nothing: the row is kept.
    EXPECT_EQ(withSep(""), (Lines{"", "", "A B", ""}));
}

TEST(Converter, BulletText)
{
    ConverterOptions o;
    o.BulletChar = T("-");
    EXPECT_EQ(Convert({"<ul>", "<li>one", "</ul>"}, o), (Lines{"", "-    one"}));
}

TEST(Converter, OrderedListWithTextMarkerRestartsTheCount)
{
    // A nested unordered list empties the marker; the next ordered items count from 1 again.
    EXPECT_EQ(Convert({"<ol>", "<li>a", "<li>b", "<ul>", "</ul>", "<li>c", "</ol>"}),
              (Lines{"", "1    a", "2    b", "", "1    c"}));
    // A bullet marker left by an unordered list counts as no number either.
    EXPECT_EQ(Convert({"<ul>", "<li>x", "<ol>", "<li>y", "</ol>", "</ul>"}), (Lines{"", "*    x", "", "1    y"}));
    // A term inside an ordered list keeps the three spaces of its marker: nothing is counted.
    EXPECT_EQ(Convert({"<ol>", "<dl>", "<dt>Term", "</dl>", "</ol>"}), (Lines{"", "", "", "       Term"}));
}

TEST(Converter, ControlCharacterAtTheStartIsText)
{
    EXPECT_EQ(Convert({"<p>\x01 start", "more", "</p>"}), (Lines{"", "\x01 start more"}));
}

TEST(Converter, TextLenCountsCharactersNotBytes)
{
    ConverterOptions o;
    o.TextLen = 10;
    EXPECT_EQ(Convert(Body({"<p>éééé ééééé ü", "</p>"}), o), (Lines{"", "éééé", "ééééé ü"}));
}

}  // namespace
}  // namespace quorvik
