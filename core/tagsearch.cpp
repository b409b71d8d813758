#include "core/tagsearch.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvik {

namespace {

// The most strings that share their first two characters ("</" starts 16 of them).
constexpr int LargestBucket()
{
    int largest = 0;
    for (int t = 0; t < kTagCount; ++t) {
        int same = 0;
        for (int u = 0; u < kTagCount; ++u)
            same += kTagSearch[u][0] == kTagSearch[t][0] && kTagSearch[u][1] == kTagSearch[t][1];
        largest = same > largest ? same : largest;
    }
    return largest;
}

// The strings grouped by their first two characters, so that each "<", "/" or "&" of a line is
// compared only with the few strings that can start there.
struct Buckets {
    static constexpr int kMaxPerBucket = LargestBucket();
    std::int8_t firstIndex[128];
    std::int8_t count[3][128] = {};
    std::int8_t tags[3][128][kMaxPerBucket] = {};

    Buckets()
    {
        for (auto& f : firstIndex)
            f = -1;
        firstIndex[int{'<'}] = 0;
        firstIndex[int{'/'}] = 1;
        firstIndex[int{'&'}] = 2;
        for (int t = 0; t < kTagCount; ++t) {
            const std::u32string_view s = kTagSearch[t];
            const int f = firstIndex[s[0]];
            const int second = static_cast<int>(s[1]);
            tags[f][second][count[f][second]++] = static_cast<std::int8_t>(t);
        }
    }
};

const Buckets kBuckets;

bool MatchesAt(const char32_t* at, std::u32string_view s)
{
    for (std::size_t k = 2; k < s.size(); ++k) {  // the first two are known to match
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
    const std::size_t n = line.size();
    const char32_t* d = line.data();
    auto look = [&](std::size_t i) {
        const int f = kBuckets.firstIndex[d[i]];
        const char32_t second = d[i + 1];
        if (second >= 128)
            return;
        const int count = kBuckets.count[f][second];
        for (int k = 0; k < count; ++k) {
            const int t = kBuckets.tags[f][second][k];
            if ((p.mask >> t) & 1U)
                continue;
            const std::u32string_view s = kTagSearch[t];
            if (n - i >= s.size() && MatchesAt(d + i, s)) {
                p.at[t] = i + 1;
                p.mask |= std::uint64_t{1} << t;
            }
        }
    };
    if (n < 2)
        return;
    const std::size_t last = n - 1;  // a string is at least two characters long
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i lt = _mm_set1_epi32('<'), slash = _mm_set1_epi32('/'), amp = _mm_set1_epi32('&');
    for (; i + 4 <= last; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(v, lt), _mm_cmpeq_epi32(v, slash)),
                                         _mm_cmpeq_epi32(v, amp));
        int bits = _mm_movemask_ps(_mm_castsi128_ps(hit));
        while (bits != 0) {
            const int k = __builtin_ctz(static_cast<unsigned>(bits));
            look(i + static_cast<std::size_t>(k));
            bits &= bits - 1;
        }
    }
#endif
    for (; i < last; ++i) {
        const char32_t c = d[i];
        if (c == U'<' || c == U'/' || c == U'&')
            look(i);
    }
}

}  // namespace quorvik
