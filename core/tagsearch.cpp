#include "core/tagsearch.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvik {

namespace {

// How many different first-two-character pairs the strings have.
constexpr int PairCount()
{
    int pairs = 0;
    for (int t = 0; t < kTagCount; ++t) {
        bool seen = false;
        for (int u = 0; u < t; ++u)
            seen = seen || (kTagSearch[u][0] == kTagSearch[t][0] && kTagSearch[u][1] == kTagSearch[t][1]);
        pairs += seen ? 0 : 1;
    }
    return pairs;
}

// The strings grouped by their first two characters and then by their third, so that each "<",
// "/" or "&" of a line is compared only with the few strings that can start there ("</" starts
// sixteen, but only "</h" starts more than one). "<p" is the one string of two characters.
struct Buckets {
    static constexpr int kPairs = PairCount();
    std::int8_t firstIndex[128];
    std::int8_t pairOf[3][128];
    std::int8_t twoCharacterTag[kPairs];
    std::uint8_t start[kPairs][128] = {};
    std::uint8_t count[kPairs][128] = {};
    std::int8_t tags[kTagCount] = {};

    Buckets()
    {
        for (auto& f : firstIndex)
            f = -1;
        for (auto& row : pairOf)
            for (auto& p : row)
                p = -1;
        for (auto& t : twoCharacterTag)
            t = -1;
        firstIndex[int{'<'}] = 0;
        firstIndex[int{'/'}] = 1;
        firstIndex[int{'&'}] = 2;
        int pairs = 0;
        for (int t = 0; t < kTagCount; ++t) {
            const std::u32string_view s = kTagSearch[t];
            std::int8_t& pair = pairOf[firstIndex[s[0]]][s[1]];
            if (pair < 0)
                pair = static_cast<std::int8_t>(pairs++);
            if (s.size() == 2)
                twoCharacterTag[pair] = static_cast<std::int8_t>(t);
            else
                ++count[pair][s[2]];
        }
        int next = 0;
        for (int p = 0; p < kPairs; ++p) {
            for (int third = 0; third < 128; ++third) {
                start[p][third] = static_cast<std::uint8_t>(next);
                next += count[p][third];
                count[p][third] = 0;
            }
        }
        for (int t = 0; t < kTagCount; ++t) {
            const std::u32string_view s = kTagSearch[t];
            if (s.size() == 2)
                continue;
            const int pair = pairOf[firstIndex[s[0]]][s[1]];
            tags[start[pair][s[2]] + count[pair][s[2]]++] = static_cast<std::int8_t>(t);
        }
    }
};

const Buckets kBuckets;

bool MatchesAt(const char32_t* at, std::u32string_view s)
{
    for (std::size_t k = 3; k < s.size(); ++k) {  // the first three are known to match
        if (at[k] != s[k])
            return false;
    }
    return true;
}

}  // namespace

// Every string starts with "<", "/" or "&", so only those characters need a closer look (four
// characters are checked at a time where the processor allows), and a string already found is
// not looked for again.
void SearchTags(TextView line, TagPositions& p)
{
    p.mask = 0;
    p.brackets = 0;
    const std::size_t n = line.size();
    const char32_t* d = line.data();
    auto record = [&p](int t, std::size_t i) {
        if (!((p.mask >> t) & 1U)) {
            p.at[t] = i + 1;
            p.mask |= std::uint64_t{1} << t;
        }
    };
    auto look = [&](std::size_t i) {
        const char32_t second = d[i + 1];
        if (second >= 128)
            return;
        const int pair = kBuckets.pairOf[kBuckets.firstIndex[d[i]]][second];
        if (pair < 0)
            return;
        if (kBuckets.twoCharacterTag[pair] >= 0)
            record(kBuckets.twoCharacterTag[pair], i);
        if (i + 2 >= n || d[i + 2] >= 128)
            return;
        const char32_t third = d[i + 2];
        const int from = kBuckets.start[pair][third];
        const int to = from + kBuckets.count[pair][third];
        for (int k = from; k < to; ++k) {
            const int t = kBuckets.tags[k];
            if (!((p.mask >> t) & 1U) && n - i >= kTagSearch[t].size() && MatchesAt(d + i, kTagSearch[t]))
                record(t, i);
        }
    };
    if (n < 2) {
        p.brackets = n == 1 && (d[0] == U'<' || d[0] == U'>') ? 1 : 0;
        return;
    }
    const std::size_t last = n - 1;  // a string is at least two characters long
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sixteen characters at a time, narrowed to bytes first: every value that is not ASCII
    // becomes 0 or 255 on the way (saturation), so it matches none of the three.
    const __m128i lt8 = _mm_set1_epi8('<'), slash8 = _mm_set1_epi8('/'), amp8 = _mm_set1_epi8('&');
    const __m128i gt8 = _mm_set1_epi8('>');
    unsigned brackets = 0;  // bit k: d[at + k] is "<" or ">", for the last step taken
    auto hits = [&](std::size_t at) {  // bit k: d[at + k] is one of the three
        const auto* p = reinterpret_cast<const __m128i*>(d + at);
        const __m128i lo = _mm_packs_epi32(_mm_loadu_si128(p), _mm_loadu_si128(p + 1));
        const __m128i hi = _mm_packs_epi32(_mm_loadu_si128(p + 2), _mm_loadu_si128(p + 3));
        const __m128i v = _mm_packus_epi16(lo, hi);
        const __m128i lt = _mm_cmpeq_epi8(v, lt8);
        brackets = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(lt, _mm_cmpeq_epi8(v, gt8))));
        const __m128i hit = _mm_or_si128(_mm_or_si128(lt, _mm_cmpeq_epi8(v, slash8)), _mm_cmpeq_epi8(v, amp8));
        return static_cast<unsigned>(_mm_movemask_epi8(hit));
    };
    auto lookAll = [&](std::size_t at, unsigned bits) {
        for (; bits != 0; bits &= bits - 1)
            look(at + static_cast<std::size_t>(__builtin_ctz(bits)));
    };
    auto count = [&p](unsigned bits) {  // a line holds few brackets: one step for each
        for (; bits != 0; bits &= bits - 1)
            ++p.brackets;
    };
    for (; i + 16 <= last; i += 16) {
        lookAll(i, hits(i));
        count(brackets);
    }
    if (i < last && last >= 16) {
        // The last sixteen places, less those already looked at: no loop for the rest.
        const std::size_t at = last - 16;
        lookAll(i, hits(at) >> (i - at));
        count(brackets >> (i - at));
        p.brackets += d[last] == U'<' || d[last] == U'>' ? 1 : 0;
        return;
    }
    const __m128i lt = _mm_set1_epi32('<'), slash = _mm_set1_epi32('/'), amp = _mm_set1_epi32('&');
    const __m128i gt = _mm_set1_epi32('>');
    for (; i + 4 <= last; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i isLt = _mm_cmpeq_epi32(v, lt);
        const __m128i hit = _mm_or_si128(_mm_or_si128(isLt, _mm_cmpeq_epi32(v, slash)), _mm_cmpeq_epi32(v, amp));
        const int br = _mm_movemask_ps(_mm_castsi128_ps(_mm_or_si128(isLt, _mm_cmpeq_epi32(v, gt))));
        count(static_cast<unsigned>(br));
        lookAll(i, static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(hit))));
    }
#endif
    for (; i < last; ++i) {
        const char32_t c = d[i];
        if (c == U'<' || c == U'/' || c == U'&')
            look(i);
        p.brackets += c == U'<' || c == U'>' ? 1 : 0;
    }
    p.brackets += d[last] == U'<' || d[last] == U'>' ? 1 : 0;
}

}  // namespace quorvik
