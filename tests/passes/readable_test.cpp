// The readable conversion: documents as real pages write them, through the whole chain, with
// the lines a reader of the result must see.

#include "../core/testsupport.h"

#include "core/charrefs.h"
#include "passes/charsets.h"
#include "passes/htmlclean.h"

#include <gtest/gtest.h>

#include <random>

namespace quorvik {
namespace {

using Lines = std::vector<std::string>;

Lines Readable(const std::string& bytes, Stage stage = Stage::Formatted, int textLen = 80, bool links = false)
{
    ChainOptions options;
    options.readable = options.converter.readable = true;
    options.converter.TextLen = textLen;
    TextFileReader reader;
    reader.SetData(bytes, TextFileReader::Mode::DetectDeclared);
    MemoryLines out;
    RunChain(reader, stage, options, FixedLinkSwitches(links, links, links), out);
    return U8(out.lines);
}

struct Decoding {
    const char* name;
    const char* in;
    const char* out;
    bool attribute;
};

void PrintTo(const Decoding& c, std::ostream* os) { *os << c.name; }

class DecodesReferences : public testing::TestWithParam<Decoding> {};

TEST_P(DecodesReferences, AsABrowserDoes)
{
    Text t = T(GetParam().in);
    DecodeCharacterReferences(t, GetParam().attribute);
    EXPECT_EQ(U8(t), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(References, DecodesReferences, testing::Values(
    Decoding{"DecodedOnce", "&amp;lt; &lt;p&gt;", "&lt; <p>", false},
    Decoding{"Numeric", "&#233;&#xE9;&#XE9&#233x", "éééé" "x", false},
    Decoding{"C1AsWindows1252", "&#150;&#x80;&#129;", "–€\xC2\x81", false},
    Decoding{"NoCharacters", "&#0;&#xD800;&#x110000;&#99999999999;", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", false},
    Decoding{"LegacyWithoutSemicolon", "&copy 2024 &eacute&notify; &notin;", "© 2024 é¬ify; ∉", false},
    Decoding{"TwoCharacters", "&NotEqualTilde;", "≂̸", false},
    Decoding{"UnknownStays", "&bogus; & &# &#x; &;", "&bogus; & &# &#x; &;", false},
    Decoding{"AttributeKeepsLegacyBeforeName", "?a=1&notify=2&not=3&amp;b&copy;", "?a=1&notify=2&not=3&b©", true},
    Decoding{"AttributeDecodesLegacyAtEnd", "x&copy", "x©", true}));

// Every name of the list, written with an "x" after it, decodes to its characters; names just
// beside those of the list stay as they are written.
TEST(DecodesReferences, EveryNameOfTheList)
{
    struct Named {
        const char* name;
        char32_t first, second;
    };
    static constexpr Named kAll[] = {
#include "core/entitytable.inc"
    };
    std::size_t checked = 0;
    for (const Named& n : kAll) {
        Text t = U"&" + T(n.name) + U"x";
        DecodeCharacterReferences(t, false);
        Text want{n.first};
        if (n.second != 0)
            want.push_back(n.second);
        want.push_back(U'x');
        ASSERT_EQ(U8(t), U8(want)) << n.name;
        ++checked;
    }
    EXPECT_GT(checked, 2000U);
    for (const char* missing : {"&am;", "&nbs;", "&Amp;", "&zwnj", "&NotEqualTild;", "&a;"}) {
        Text t = T(missing);
        DecodeCharacterReferences(t, false);
        EXPECT_EQ(U8(t), missing);
    }
}

const std::string kLate = std::string(1024, ' ') + "<meta charset=iso-8859-2>";

std::string Utf16LE(const std::string& ascii)
{
    std::string out = "\xFF\xFE";
    for (char c : ascii)
        out += std::string{c, '\0'};
    return out;
}

struct Page {
    const char* name;
    std::string html;
    Lines expected;
    Stage stage = Stage::Formatted;
    int textLen = 80;
    bool links = false;
};

void PrintTo(const Page& c, std::ostream* os) { *os << c.name; }

class ReadablePages : public testing::TestWithParam<Page> {};

TEST_P(ReadablePages, GiveTheirText)
{
    const Page& p = GetParam();
    EXPECT_EQ(Readable(p.html, p.stage, p.textLen, p.links), p.expected);
}

INSTANTIATE_TEST_SUITE_P(Pages, ReadablePages, testing::Values(
    // Character references.
    Page{"EntitiesInText", "<p>10&nbsp;degrees, 10&#160;x&#xA0;y\xC2\xA0z &#150; &amp;lt; &lt;p&gt; &bogus;",
         {"", "10 degrees, 10 x y z – &lt; <p> &bogus;"}},
    Page{"WrappingCountsDecodedCharacters", "<p>&eacute;&eacute;&eacute; &eacute;&eacute;&eacute; &eacute;&eacute;</p>",
         {"", "ééé ééé", "éé"}, Stage::Formatted, 8},
    Page{"LinkTargetsDecodedAsAttributes", "<p><A CLASS=x HREF='http://x/?a=1&notify=2&amp;b=&lt;'>here</a>",
         {"", "\"http://x/?a=1&notify=2&b=<\" here"}, Stage::Formatted, 80, true},
    Page{"ReflowShowsTheCleanedHtml", "<HTML><Head><Style>x</Style><TITLE>T</TITLE><Body><P Class=a>a > b<Pre>  c</PRE>",
         {"<head>", "<title>T", "</title>", "</head>", "<p>a &gt; b", "<pre>  c"}, Stage::Reflow},
    Page{"EntitiesInTitle", "<title>Caf&eacute; &amp; &quot;Bar&quot;</title>", {"+++ Café & \"Bar\" +++", ""}},
    Page{"DecodedTextIsNeverATag", "<ul><li>&lt;li&gt;one</ul>", {"", "*    <li>one"}},
    // Content that is not text.
    Page{"ScriptAndStyleAnyCase",
         "<style>\r\np { color: red }\r\n</style>before<SCRIPT>if (a<b) x = '</scr';\r\n</SCRIPT >after",
         {"beforeafter"}},
    Page{"CommentsOverLines", "one <!-- two\r\nthree --> four <!---->five<!-->six", {"one four fivesix"}},
    Page{"TemplateDropped", "<p>a<template><p>b</template>c", {"", "ac"}},
    Page{"UnclosedCommentDropsTheRest", "<p>kept\r\nalso kept <!-- gone\r\n<p>gone too", {"", "kept also kept"}},
    Page{"UnclosedScriptDropsTheRest", "<script>var x;\r\n<p>never", {}},
    // Documents without a head.
    Page{"DoctypeAndTitle", "<!DOCTYPE html><title>T</title><p>x", {"+++ T +++", "", "x"}},
    Page{"BareFragment", "Just a <b>fragment</b> of text", {"Just a fragment of text"}},
    Page{"NoHead", "<html><body><h1>Title</h1>Loose text", {"Title", "", "Loose text"}},
    Page{"HeadElementsAreNoText",
         "<html><head><meta charset=utf-8><link rel=x><base href=y><title>T</title></head><body>text",
         {"+++ T +++", "", "text"}},
    Page{"HeaderTheadAndLinkAreNoHead", "<header>a</header><table><thead><tr><th>b</th></thead></table><link>c",
         {"a", "", "b", "c"}},
    // Character sets as declared.
    Page{"MetaCharset", "<meta charset=\"ISO-8859-2\">\xB1\xE6", {"ąć"}},
    Page{"HttpEquiv", "<meta http-equiv=Content-Type content='text/html; charset=windows-1251'>\xC4\xE0", {"Да"}},
    Page{"Latin1MeansWindows1252", "<meta charset=iso-8859-1>\x96\xE9", {"–é"}},
    Page{"ValidUtf8WinsOverTheDeclaration", "<meta charset=iso-8859-2>\xC4\x85", {"ą"}},
    Page{"MultiByte", "<meta charset=shift_jis>\x93\xfa\x96\x7b", {"日本"}},
    Page{"MetaInACommentIgnored", "<!-- <meta charset=iso-8859-2> -->\xB1", {"±"}},
    Page{"UnknownLabel", "<meta charset=no-such-set>\xE9", {"é"}},
    Page{"MetaAfter1024BytesIgnored", kLate + "\xB1", {"±"}},
    Page{"ByteOrderMarkWins", Utf16LE("<meta charset=koi8-r>\xE9"), {"é"}},
    // Preformatted text.
    Page{"PreKeepsItsLines",
         "<p>Intro<pre>\r\n  if (a &lt; b) <b>{</b>\r\n\r\n\r\n\tcall(<a href=\"x\">x</a>);\n}\r\n</pre>after",
         {"", "Intro", "  if (a < b) {", "", "", "\tcall(x);", "}", "after"}},
    Page{"PreIsNotWrapped", "<pre>" + std::string(100, 'x') + " " + std::string(10, 'y') + "</pre>",
         {std::string(100, 'x') + " " + std::string(10, 'y')}},
    // Layout.
    Page{"HeadingAfterABlankLine", "<p>text<h2>Head</h2>more", {"", "text", "", "Head", "", "more"}},
    Page{"HeaderCellsJoined", "<table><tr><th>A<th>B<tr><td>1<td>2</table>", {"", "A, B", "", "1, 2"}},
    Page{"ListEndAddsNoSpace", "<ul><li>a\r\nb</ul>\r\n<ul><li>item<pre>  code</pre>tail</ul>",
         {"", "*    a b", "", "*    item", "  code", "tail"}},
    Page{"NestedListsKeepTheirMarkers", "<ol><li>A<ul><li>x</ul><li>B<ol><li>y</ol><li>C</ol>",
         {"", "1    A", "", "*    x", "", "2    B", "", "1    y", "", "3    C"}},
    Page{"DefinitionsInAnyListKeepTheirIndent",
         "<ul><li>U<dl><dt>t<dd>d</dl></ul><ol><li>O<dl><dt>t<dd>d</dl></ol>",
         {"", "*    U", "", "       t", "                  d", "", "1    O", "", "       t", "                  d"}},
    Page{"LinkWithoutTargetAddsNoSpace", "<ul><li><a href=\"#x\">T</a></ul><p>see <a href=\"#x\">here</a> now",
         {"", "*    T", "see here now"}},
    Page{"MarkerWithoutTextIsABlankLine", "<ol><dl><dt><li>x</ol><p>y", {"", "1    x", "", "y"}},
    Page{"WhiteSpaceRunsButNotMarkers", "<ol><li>First   <i>item</i>\tnow</ol><dl><dt>T<dd>two  words</dl>",
         {"", "1    First item now", "", "T", "     two words"}}));

// The clean-up passes over stretches of text, tags and comments at once; fed its input a few
// characters at a time (stretches of one character), it must give the same lines.
TEST(Readable, CleanUpInStretchesMatchesCharacterByCharacter)
{
    struct Trickle final : LineReader {
        TextFileReader& in;
        std::size_t k = 0;
        explicit Trickle(TextFileReader& r) : in(r) {}
        bool ReadLine(Text& line) override { return in.ReadLine(line); }
        bool ReadLinePart(Text& part, std::size_t most, bool& ended) override
        {
            return in.ReadLinePart(part, std::min<std::size_t>(most, 1 + k++ % 3), ended);
        }
    };
    static const char* const kPieces[] = {
        "<p>", "</P >", "<a href=\"x>y\">", "<b class='a\"b'>", "</b>", "<!-- a -- b -->", "<!--->", "-->", "--",
        "<script>if (a<b) x='</p>'</script >", "<STYLE>p{}</style>", "<pre>", "</pre>", "\n", "\r\n", "  ", "\t",
        "<", ">", "&amp;", "&lt;", "word", "<title>T</title>", "<br/>", "<td>", "<th x=\"1\">", "<!x>", "</ x>",
        // Quotes that start a value (after "=" and spaces) and quotes that do not.
        "<a href = 'q>r' >", "<i a=\"", "\">", "<b x'y>", "<td a= \"1\"b=2 c\t=\n'>'>", "<p =\">\">", "= '",
    };
    std::mt19937 rng(21);
    for (int doc = 0; doc < 300; ++doc) {
        std::string bytes;
        for (int k = static_cast<int>(rng() % 60); k > 0; --k)
            bytes += kPieces[rng() % std::size(kPieces)];
        auto clean = [&](bool trickle) {
            TextFileReader reader;
            reader.SetData(bytes, TextFileReader::Mode::Detect);
            Trickle slow(reader);
            HtmlCleaner cleaner(trickle ? static_cast<LineReader&>(slow) : reader);
            std::vector<std::string> lines;
            Text line;
            while (cleaner.ReadLine(line))
                lines.push_back(U8(line));
            return lines;
        };
        ASSERT_EQ(clean(true), clean(false)) << bytes;
    }
}

}  // namespace
}  // namespace quorvik
