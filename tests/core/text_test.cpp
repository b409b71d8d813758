// Searching and converting text several characters at a time gives what one character at a time
// gives, wherever the match falls against the width of a step and whatever the characters are.

#include "testsupport.h"

#include "core/charrefs.h"

#include <QString>

#include <gtest/gtest.h>

#include <random>

namespace quorvik {
namespace {

// Texts of every length up to a few steps, made of characters around the values that matter:
// ASCII, the searched characters, values above 0x7F and above 0x7FFFFFFF (which a signed
// comparison would take for negative).
std::vector<Text> SampleTexts()
{
    static const char32_t kChars[] = {U'a', U' ', U'<', U'>', U'\t', U'\r', U'\n', 0, U'@', U'A', U'Z', U'[', 0x7F,
                                      0x80, 0xE9, 0xC9, 0xA0, U'\f', 0x20AC, 0x1F600, 0x10FFFF, 0x7FFFFFFF,
                                      0x80000000, 0xFFFFFFFF};
    std::mt19937 rng(11);
    std::vector<Text> texts;
    for (std::size_t len = 0; len <= 40; ++len) {
        for (int k = 0; k < 60; ++k) {
            Text t;
            // Mostly one filler with a few others, so that first matches fall anywhere.
            const char32_t filler = kChars[rng() % 2];
            for (std::size_t i = 0; i < len; ++i)
                t.push_back(rng() % 5 == 0 ? kChars[rng() % std::size(kChars)] : filler);
            texts.push_back(t);
        }
    }
    return texts;
}

// The first place at or after `from` whose character `hit` accepts, else the text's size.
template <typename Hit>
std::size_t FirstFrom(const Text& t, std::size_t from, Hit hit)
{
    for (std::size_t i = from; i < t.size(); ++i)
        if (hit(t[i]))
            return i;
    return t.size();
}

TEST(Text, SearchesMatchOneCharacterAtATime)
{
    static const char32_t kWanted[] = {U'<', U'>', U' ', 0, 0x80, 0x10FFFF, 0xFFFFFFFF};
    for (const Text& t : SampleTexts()) {
        for (std::size_t from = 0; from <= t.size() + 1; ++from) {
            for (char32_t c : kWanted)
                ASSERT_EQ(IndexOf(t.data(), t.size(), c, from), FirstFrom(t, from, [c](char32_t x) { return x == c; }))
                    << "from " << from;
            for (std::size_t k = 0; k + 2 < std::size(kWanted); ++k) {
                const char32_t a = kWanted[k], b = kWanted[k + 1], c = kWanted[k + 2];
                ASSERT_EQ(IndexOfAny(t.data(), t.size(), a, b, c, from),
                          FirstFrom(t, from, [&](char32_t x) { return x == a || x == b || x == c; }));
            }
            for (char32_t bound : {U' ', char32_t(0x80), char32_t(1)})
                ASSERT_EQ(IndexOfBelow(t.data(), t.size(), bound, from),
                          FirstFrom(t, from, [bound](char32_t x) { return x < bound; })) << "from " << from;
        }
    }
}

TEST(Text, FindingATextMatchesTheStandardSearch)
{
    const std::vector<Text> texts = SampleTexts();
    std::mt19937 rng(12);
    for (const Text& t : texts) {
        // Needles taken from the text itself (so they are found), and a few fixed ones.
        std::vector<Text> needles = {Text(), Text(U"<"), Text(U"<>"), Text(U"a a"), Text(U"&nbsp")};
        if (!t.empty()) {
            const std::size_t at = rng() % t.size();
            needles.push_back(t.substr(at, 1 + rng() % 4));
        }
        for (const Text& needle : needles) {
            for (std::size_t from = 0; from <= t.size() + 2; ++from) {
                const std::size_t p = from > t.size() + 1 ? Text::npos : t.find(needle, from < 1 ? 0 : from - 1);
                ASSERT_EQ(Find(t, needle, from), p == Text::npos ? 0 : p + 1) << "from " << from;
            }
        }
    }
}

TEST(Text, ConversionsMatchOneCharacterAtATime)
{
    for (const Text& t : SampleTexts()) {
        // Qt's encoding of each character, U+FFFD for a surrogate or a value beyond Unicode.
        std::string expected;
        for (char32_t c : t) {
            const char32_t valid = (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF ? 0xFFFD : c;
            expected += QString::fromUcs4(&valid, 1).toStdString();
        }
        std::string out = "prefix";
        AppendUtf8(out, t);
        ASSERT_EQ(out, "prefix" + expected);

        Text flat = t;
        FlattenWhitespace(flat);
        Text slow = t;
        for (char32_t& c : slow) {
            if (c == U'\t' || c == U'\r' || c == U'\n')
                c = U' ';
        }
        Trim(slow);
        ASSERT_EQ(flat, slow);

        Text lowered = t;
        LowerAll(lowered.data(), lowered.size());
        for (std::size_t i = 0; i < t.size(); ++i)
            ASSERT_EQ(lowered[i], LowerChar(t[i])) << "at " << i;

        // Readable text: every run of white space one space, none at the ends.
        Text readable = t;
        MakeReadableText(readable);
        Text collapsed;
        for (char32_t c : t) {
            const bool white = c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\f' || c == 0xA0;
            if (!white)
                collapsed.push_back(c);
            else if (!collapsed.empty() && collapsed.back() != U' ')
                collapsed.push_back(U' ');
        }
        if (!collapsed.empty() && collapsed.back() == U' ')
            collapsed.pop_back();
        ASSERT_EQ(readable, collapsed);
    }
}

}  // namespace
}  // namespace quorvik
