// Searching and converting text several characters at a time gives what one character at a time
// gives, wherever the match falls against the width of a step and whatever the characters are.

#include "testsupport.h"

#include "core/charrefs.h"

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

TEST(Text, SearchesMatchOneCharacterAtATime)
{
    static const char32_t kWanted[] = {U'<', U'>', U' ', 0, 0x80, 0x10FFFF, 0xFFFFFFFF};
    for (const Text& t : SampleTexts()) {
        for (std::size_t from = 0; from <= t.size() + 1; ++from) {
            for (char32_t c : kWanted) {
                std::size_t expected = t.size();
                for (std::size_t i = from; i < t.size(); ++i) {
                    if (t[i] == c) {
                        expected = i;
                        break;
                    }
                }
                ASSERT_EQ(IndexOf(t.data(), t.size(), c, from), expected) << "from " << from;
            }
            for (std::size_t k = 0; k + 2 < std::size(kWanted); ++k) {
                std::size_t expected = t.size();
                for (std::size_t i = from; i < t.size(); ++i) {
                    if (t[i] == kWanted[k] || t[i] == kWanted[k + 1] || t[i] == kWanted[k + 2]) {
                        expected = i;
                        break;
                    }
                }
                ASSERT_EQ(IndexOfAny(t.data(), t.size(), kWanted[k], kWanted[k + 1], kWanted[k + 2], from), expected);
            }
            for (char32_t bound : {U' ', char32_t(0x80), char32_t(1)}) {
                std::size_t expected = t.size();
                for (std::size_t i = from; i < t.size(); ++i) {
                    if (t[i] < bound) {
                        expected = i;
                        break;
                    }
                }
                ASSERT_EQ(IndexOfBelow(t.data(), t.size(), bound, from), expected) << "from " << from;
            }
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
        std::string expected;
        for (char32_t c : t) {
            if (c >= 0xD800 && c <= 0xDFFF)
                c = 0xFFFD;
            if (c < 0x80) {
                expected += static_cast<char>(c);
            } else if (c < 0x800) {
                expected += static_cast<char>(0xC0 | (c >> 6));
                expected += static_cast<char>(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                expected += static_cast<char>(0xE0 | (c >> 12));
                expected += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                expected += static_cast<char>(0x80 | (c & 0x3F));
            } else if (c <= 0x10FFFF) {
                expected += static_cast<char>(0xF0 | (c >> 18));
                expected += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                expected += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                expected += static_cast<char>(0x80 | (c & 0x3F));
            } else {
                expected += "\xEF\xBF\xBD";
            }
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
