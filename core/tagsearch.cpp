#include "core/tagsearch.h"

#include <cstdint>

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

// Every string starts with "<", "/" or "&", so only those characters need a closer look, and a
// string already found is not looked for again.
TagPositions SearchTags(TextView line)
{
    TagPositions p;
    const std::size_t n = line.size();
    const char32_t* d = line.data();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const char32_t c = d[i];
        if (c > U'<')  // letters and most text: one comparison
            continue;
        const int f = kBuckets.firstIndex[c];
        if (f < 0)
            continue;
        const char32_t second = d[i + 1];
        if (second >= 128)
            continue;
        const int count = kBuckets.count[f][second];
        for (int k = 0; k < count; ++k) {
            const int t = kBuckets.tags[f][second][k];
            if (p.at[t] != 0)
                continue;
            const std::u32string_view s = kTagSearch[t];
            if (n - i >= s.size() && MatchesAt(d + i, s))
                p.at[t] = i + 1;
        }
    }
    return p;
}

}  // namespace quorvik
