#include "core/tagsearch.h"

namespace quorvik {

// Every string starts with "<", "/" or "&", so only those characters need a closer look, and a
// string already found is not looked for again.
TagPositions SearchTags(TextView line)
{
    TagPositions p;
    const std::size_t n = line.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char32_t c = line[i];
        if (c != U'<' && c != U'/' && c != U'&')
            continue;
        for (int t = 0; t < kTagCount; ++t) {
            if (p.at[t] != 0)
                continue;
            const std::u32string_view s = kTagSearch[t];
            if (s[0] != c || n - i < s.size())
                continue;
            if (line.compare(i, s.size(), s) == 0)
                p.at[t] = i + 1;
        }
    }
    return p;
}

}  // namespace quorvik
