// The fast algorithms against their literal versions on many random inputs.

#include "literal.h"
#include "testsupport.h"

#include "core/tagsearch.h"
#include "passes/reflow.h"
#include "passes/textcodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace quorvik {
namespace {

// Random lines built from the pieces that matter to the conversion: tag brackets, quotes,
// entity starts, spaces, punctuation and letters, with whole tags and entities mixed in.
class Generator {
public:
    explicit Generator(unsigned seed) : rng_(seed) {}

    Text Line(std::size_t maxPieces)
    {
        static const char* const kPieces[] = {
            "<", ">", " ", " ", "  ", "a", "b", "x", "word", ",", ".", "!", "?", "\"", "&", ";", "\t", "\n",
            "<p>", "</p>", "<b>", "</b>", "<br>", "<li>", "<a href=\"http://x.y/\">", "</a>", "\"mailto:m@x\"",
            "&nbsp;", "&nbsp", "&amp;", "&amp", "amp;", "&#160", "&#160;", "<td>", "</td>", "<title>",
            "</title>", "<TD>", "<P>", "É", "İ", "a b", "x y z", "|", "*", "-", "||",
            "\xC4\xBC", "\xE8\x80\xBC",  // U+013C and U+803C: "<" in their lowest byte
        };
        std::uniform_int_distribution<std::size_t> count(0, maxPieces);
        std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
        std::string s;
        const std::size_t n = count(rng_);
        for (std::size_t i = 0; i < n; ++i)
            s += kPieces[pick(rng_)];
        return FromUtf8(s);
    }

    int Between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

private:
    std::mt19937 rng_;
};

TEST(Equivalence, StripTagsMatchesTheLiteralLoop)
{
    Generator g(1);
    for (int i = 0; i < 20000; ++i) {
        LineValues lv;
        lv.line = g.Line(14);
        if (g.Between(0, 3) == 0) {
            // The usual shape after the tag scanner: one tag first, then text (often free of
            // brackets, sometimes with one more).
            Text text = g.Line(6);
            if (g.Between(0, 2) > 0)
                text.erase(std::remove_if(text.begin(), text.end(), [](char32_t c) { return c == U'<' || c == U'>'; }),
                           text.end());
            lv.line = U"<b>" + text;
        }
        if (g.Between(0, 3) == 0)
            Trim(lv.line);
        lv.lineLength = lv.line.size();
        // Callers pass positions that may be stale: sometimes the true ones, sometimes others
        // (often those of a later bracket).
        if (g.Between(0, 4) == 0) {
            lv.TagStart = Find(lv.line, U'<', static_cast<std::size_t>(g.Between(1, 4)));
            lv.TagEnd = Find(lv.line, U'>', static_cast<std::size_t>(g.Between(1, 4)));
        } else if (g.Between(0, 2) == 0) {
            lv.TagStart = static_cast<std::size_t>(g.Between(0, static_cast<int>(lv.line.size()) + 1));
            lv.TagEnd = static_cast<std::size_t>(g.Between(0, static_cast<int>(lv.line.size()) + 1));
        } else {
            lv.TagStart = Find(lv.line, U'<');
            lv.TagEnd = Find(lv.line, U'>');
        }
        // The bound on the brackets is unknown, exact or above the count.
        const auto brackets = static_cast<std::size_t>(
            std::count_if(lv.line.begin(), lv.line.end(), [](char32_t c) { return c == U'<' || c == U'>'; }));
        const int bound = g.Between(0, 2);
        lv.bracketsAtMost = bound == 0 ? SIZE_MAX : brackets + static_cast<std::size_t>(bound - 1);
        LineValues fast = lv, slow = lv;
        Converter::StripTags(fast);
        literal::StripTags(slow);
        ASSERT_EQ(U8(fast.line), U8(slow.line)) << "input: " << U8(lv.line) << " ts=" << lv.TagStart << " te=" << lv.TagEnd;
        ASSERT_EQ(fast.TagStart, slow.TagStart) << U8(lv.line);
        ASSERT_EQ(fast.TagEnd, slow.TagEnd) << U8(lv.line);
        ASSERT_EQ(fast.lineLength, slow.lineLength);
    }
}

// The tag scanner works out where the line's first "<" and ">" end up instead of looking again;
// they must be where a search of the scanned line finds them, whatever positions it was given.
// Scanning a line as it is copied (ScanLine, which handles a line that opens with its tag on its
// own) must give the same as scanning it where it stands.
TEST(Equivalence, TagScannerPositionsAreThoseOfTheScannedLine)
{
    Generator g(10);
    for (int i = 0; i < 20000; ++i) {
        LineValues lv;
        lv.line = g.Line(10);
        if (g.Between(0, 1) == 0)
            Trim(lv.line);
        lv.Recount();
        if (g.Between(0, 4) == 0) {
            lv.TagStart = static_cast<std::size_t>(g.Between(0, static_cast<int>(lv.line.size()) + 1));
            lv.TagEnd = static_cast<std::size_t>(g.Between(0, static_cast<int>(lv.line.size()) + 1));
        }
        const Text before = lv.line;
        Converter::ScanTag(lv);
        ASSERT_EQ(lv.lineLength, lv.line.size()) << U8(before);
        ASSERT_EQ(lv.TagStart, Find(lv.line, U'<')) << U8(before) << " -> " << U8(lv.line);
        ASSERT_EQ(lv.TagEnd, Find(lv.line, U'>')) << U8(before) << " -> " << U8(lv.line);
        LineValues copied, inPlace;
        Converter::ScanLine(before, copied);
        inPlace.line = before;
        Trim(inPlace.line);
        inPlace.Recount();
        Converter::ScanTag(inPlace);
        ASSERT_EQ(U8(copied.line), U8(inPlace.line)) << U8(before);
        ASSERT_EQ(copied.lineLength, inPlace.lineLength) << U8(before);
        ASSERT_EQ(copied.TagStart, inPlace.TagStart) << U8(before);
        ASSERT_EQ(copied.TagEnd, inPlace.TagEnd) << U8(before);
    }
}

// The lines WriteLine writes of `outLine` at `textLen`; `hang` is the hanging indent before and
// after. WriteLine leaves no text behind.
std::vector<Text> WriteWrapped(const Text& outLine, int textLen, int& hang)
{
    MemoryLines out;
    const FixedLinkSwitches links;
    ConverterOptions options;
    options.TextLen = textLen;
    Converter c(options, links, out);
    c.OutLine = outLine;
    c.HangIndent = hang;
    LineValues none;
    c.WriteLine(none);
    hang = c.HangIndent;
    EXPECT_TRUE(c.OutLine.empty());
    return out.lines;
}

TEST(Equivalence, WrappingMatchesTheSearchPerStartPosition)
{
    Generator g(2);
    for (int i = 0; i < 20000; ++i) {
        const Text outLine = g.Line(30);
        const int textLen = g.Between(-2, 40);
        const int hang = g.Between(0, 1);
        int fastHang = hang, slowHang = hang;
        ASSERT_EQ(U8(WriteWrapped(outLine, textLen, fastHang)), U8(literal::Wrap(outLine, textLen, slowHang)))
            << "OutLine: \"" << U8(outLine) << "\" TextLen " << textLen << " hang " << hang;
        ASSERT_EQ(fastHang, slowHang);
    }
}

TEST(Equivalence, WrappingLosesNoTextAtAnyLength)
{
    const auto withoutSpaces = [](Text t) {
        t.erase(std::remove(t.begin(), t.end(), U' '), t.end());
        return U8(t);
    };
    Generator g(3);
    for (int i = 0; i < 5000; ++i) {
        const Text outLine = g.Line(20);
        for (int textLen = 1; textLen <= 8; ++textLen) {
            for (int hang = 0; hang <= 1; ++hang) {
                Text joined;
                int after = hang;
                for (const Text& l : WriteWrapped(outLine, textLen, after))
                    joined += l;
                ASSERT_EQ(withoutSpaces(joined), withoutSpaces(outLine)) << U8(outLine) << " TextLen " << textLen;
            }
        }
    }
}

TEST(Equivalence, ReplaceEntitiesMatchesSearchingFromTheStart)
{
    Generator g(4);
    for (int i = 0; i < 20000; ++i) {
        LineValues lv;
        lv.line = g.Line(12);
        Trim(lv.line);
        lv.Recount();
        std::size_t nbsp = Find(lv.line, U"&nbsp"), amp = Find(lv.line, U"&amp;"), num = Find(lv.line, U"&#160");
        if (nbsp == 0 && amp == 0 && num == 0)
            continue;
        LineValues fast = lv, slow = lv;
        Converter::ReplaceEntities(fast, nbsp, amp, num);
        literal::ReplaceEntities(slow, Find(lv.line, U"&amp;"), Find(lv.line, U"&#160"));
        ASSERT_EQ(U8(fast.line), U8(slow.line)) << U8(lv.line);
        ASSERT_EQ(fast.TagStart, slow.TagStart);
        ASSERT_EQ(fast.TagEnd, slow.TagEnd);
        ASSERT_EQ(nbsp + amp + num, 0u);
    }
}

TEST(Equivalence, CleanUpCharMatchesSearchingFromTheFirstCharacter)
{
    Generator g(5);
    static const char* const kSets[] = {"", "a", "b", "x y", " a", "a ", "aa", "<>", "|", "*", "b a", "&", " ", "  x", ",."};
    for (int i = 0; i < 20000; ++i) {
        Text line = g.Line(12);
        CleanUpSets sets;
        for (Text& s : sets.sets)
            s = FromUtf8(kSets[g.Between(0, static_cast<int>(std::size(kSets)) - 1)]);
        Text fast = line, slow = line;
        CleanUpChar(fast, sets);
        literal::CleanUpChar(slow, sets);
        ASSERT_EQ(U8(fast), U8(slow)) << U8(line);
    }
}

TEST(Equivalence, TrimCellSepMatchesTheLiteralLoop)
{
    Generator g(6);
    static const char* const kSeps[] = {",", "|", " ", "", "||", "*", "x"};
    for (int i = 0; i < 20000; ++i) {
        const Text sep = FromUtf8(kSeps[g.Between(0, static_cast<int>(std::size(kSeps)) - 1)]);
        const Text text = g.Line(10);
        MemoryLines out;
        const FixedLinkSwitches links;
        ConverterOptions options;
        options.TableCellSep = sep;
        Converter c(options, links, out);
        Text fast = text, slow = text;
        c.TrimCellSep(fast);
        literal::TrimCellSep(slow, sep);
        ASSERT_EQ(U8(fast), U8(slow)) << U8(text) << " sep " << U8(sep);
    }
}

TEST(Equivalence, TagSearchFindsWhatFortyFourSearchesFindAndCountsTheBrackets)
{
    Generator g(7);
    for (int i = 0; i < 20000; ++i) {
        Text line = g.Line(12);
        // Mix in the searched strings themselves, anywhere (so also across the places where the
        // search moves on to the next sixteen characters).
        for (int k = g.Between(0, 2); k > 0; --k)
            line.insert(static_cast<std::size_t>(g.Between(0, static_cast<int>(line.size()))),
                        kTagSearch[static_cast<std::size_t>(g.Between(0, kTagCount - 1))]);
        const TagPositions p = SearchTags(line);
        for (int t = 0; t < kTagCount; ++t)
            ASSERT_EQ(p[static_cast<Tag>(t)], Find(line, kTagSearch[t])) << U8(line) << " / " << U8(kTagSearch[t]);
        ASSERT_EQ(p.brackets, static_cast<std::size_t>(std::count(line.begin(), line.end(), U'<')
                                                       + std::count(line.begin(), line.end(), U'>'))) << U8(line);
    }
}

// Keeps the lines written, and checks that where the reflow says it knows a line's first
// brackets, they are those a search of the line finds.
class KnownChecked final : public LineSink {
public:
    void WriteLine(TextView line) override { lines.emplace_back(line); }
    void WriteKnownLine(TextView line, const FirstBrackets& known) override
    {
        const TextView t = Trimmed(line);
        const std::size_t gt = Find(t, U'>');
        const FirstBrackets found{Find(t, U'<'), gt, gt > 0 ? Find(t, U'>', gt + 1) : 0};
        EXPECT_TRUE(known == found) << U8(line) << ": " << known.lt << " " << known.gt << " " << known.nextGt;
        ++knownLines;
        lines.emplace_back(line);
    }
    std::vector<Text> lines;
    std::size_t knownLines = 0;
};

TEST(Equivalence, ReflowMatchesPassesOverTheCutLine)
{
    Generator g(8);
    std::size_t known = 0;
    for (int i = 0; i < 20000; ++i) {
        // A few consecutive lines, so that carried text is part of the comparison.
        KnownChecked fastOut;
        MemoryLines slowOut;
        Text fastCarry, slowCarry;
        for (int k = 0; k < 3; ++k) {
            Text line = g.Line(12);
            Trim(line);
            Text a = line, b = line;
            ReflowLine(a, fastCarry, fastOut);
            literal::ReflowLine(b, slowCarry, slowOut);
            ASSERT_EQ(U8(fastOut.lines), U8(slowOut.lines)) << U8(line);
            ASSERT_EQ(U8(fastCarry), U8(slowCarry)) << U8(line);
        }
        known += fastOut.knownLines;
    }
    EXPECT_GT(known, 10000u);
}

// A long line is reflowed part by part as it is read; the result must be that of the line
// reflowed whole, whatever the parts' size and wherever they cut (in a run of spaces, inside a
// tag, between a carriage return and its line feed).
TEST(Equivalence, ReflowInPartsMatchesReflowOfWholeLines)
{
    Generator g(9);
    for (int i = 0; i < 4000; ++i) {
        std::string doc;
        const int lines = g.Between(1, 4);
        for (int k = 0; k < lines; ++k) {
            doc += U8(g.Line(g.Between(0, 1) == 0 ? 6 : 40));
            if (g.Between(0, 4) == 0)
                doc += std::string(static_cast<std::size_t>(g.Between(1, 9)), ' ');
            if (k + 1 < lines || g.Between(0, 1) == 0)
                doc += g.Between(0, 2) == 0 ? "\r" : "\r\n";
        }
        MemoryLines whole;
        {
            TextFileReader in;
            in.SetData(doc, TextFileReader::Mode::Utf8Only);
            ReflowPass pass(whole);
            Text line;
            while (in.ReadLine(line))
                pass.Feed(line);
            pass.Finish();
        }
        const std::size_t partSize = static_cast<std::size_t>(g.Between(1, 9));
        KnownChecked parts;
        {
            TextFileReader in;
            in.SetData(doc, TextFileReader::Mode::Utf8Only);
            ReflowPass pass(parts);
            while (pass.FeedNext(in, partSize)) {
            }
            pass.Finish();
        }
        ASSERT_EQ(U8(parts.lines), U8(whole.lines)) << "parts of " << partSize << " in: " << doc;
    }
}

}  // namespace
}  // namespace quorvik
