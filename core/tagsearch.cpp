#include "core/tagsearch.h"

#include <vector>

namespace quorvik {

namespace {

// The strings grouped by their first two characters, so that each "<", "/" or "&" of a line is
// compared only with the few strings that can start there.
struct Buckets {
    std::vector<int> of[3][128];

    static int First(char32_t c) { return c == U'<' ? 0 : c == U'/' ? 1 : c == U'&' ? 2 : -1; }

    Buckets()
    {
        for (int t = 0; t < kTagCount; ++t) {
            const std::u32string_view s = kTagSearch[t];
            of[First(s[0])][s[1] & 127].push_back(t);
        }
    }
};

const Buckets& TheBuckets()
{
    static const Buckets buckets;
    return buckets;
}

}  // namespace

// Every string starts with "<", "/" or "&", so only those characters need a closer look, and a
// string already found is not looked for again.
TagPositions SearchTags(TextView line)
{
    const Buckets& buckets = TheBuckets();
    TagPositions p;
    const std::size_t n = line.size();
    for (std::size_t i = 0; i + 1 < n; ++i) {
        const int first = Buckets::First(line[i]);
        if (first < 0 || line[i + 1] >= 128)
            continue;
        for (int t : buckets.of[first][line[i + 1]]) {
            if (p.at[t] != 0)
                continue;
            const std::u32string_view s = kTagSearch[t];
            if (n - i >= s.size() && line.compare(i, s.size(), s) == 0)
                p.at[t] = i + 1;
        }
    }
    return p;
}

}  // namespace quorvik
