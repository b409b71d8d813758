// Character entities: "&nbsp" (with or without ";") and "&#160" become spaces where they
// stand, "&amp;" becomes "&". Every other reference passes through as written.

#include "core/converter.h"

#include <algorithm>

namespace quorvik {

namespace {

void Blank(Text& line, std::size_t from, std::size_t count)  // 1-based; stops at the line's end
{
    const std::size_t n = line.size();
    for (std::size_t i = from; i < from + count && i <= n; ++i)
        line[i - 1] = U' ';
}

bool HasAt(const Text& line, std::size_t pos, TextView what)  // 1-based
{
    return pos >= 1 && pos - 1 + what.size() <= line.size() && line.compare(pos - 1, what.size(), what) == 0;
}

}  // namespace

void Converter::ReplaceEntities(LineValues& lv, std::size_t& nbspPos, std::size_t& ampPos, std::size_t& num160Pos)
{
    Text& line = lv.line;

    // 1. Non-breaking spaces: six characters wide as long as the line holds an "&nbsp;" anywhere,
    //    five otherwise. Blanking never creates a reference, so each search goes on from the
    //    last one instead of starting again at the front.
    //    The converter's position is where the first one was found before earlier rules ran,
    //    which only blank characters: none can start before it.
    std::size_t p = nbspPos > 0 ? Find(line, U"&nbsp", nbspPos) : 0;
    std::size_t q = p > 0 ? Find(line, U"&nbsp;", p) : 0;
    while (p > 0) {
        Blank(line, p, q == 0 ? 5 : 6);
        p = Find(line, U"&nbsp", p + 1);
        if (q > 0 && !HasAt(line, q, U"&nbsp;"))
            q = Find(line, U"&nbsp;", q + 1);
    }

    // 2. Ampersands: the four characters after the "&" are dropped. The first cut is made at the
    //    converter's position; every later one at the first "&amp" (no ";" needed) of the line.
    if (ampPos > 0) {
        const std::size_t a = ampPos;  // the four characters after line[a - 1] go
        if (a + 4 < line.size())
            line.erase(a, 4);
        else if (a < line.size())
            line.erase(a);
        std::size_t first = Find(line, U"&amp");
        if (first > 0) {
            // A later "&amp" can only start at or after the "&" just kept, so the line is
            // compacted in one pass: w is where kept text goes, r where unread text starts.
            const std::size_t n = line.size();
            std::size_t w = first;                  // line[0, w) is final; line[w-1] is "&"
            std::size_t r = std::min(first + 4, n);  // skip the four characters after it
            for (;;) {
                if (r + 3 <= n && line[r] == U'a' && line[r + 1] == U'm' && line[r + 2] == U'p') {
                    r = std::min(r + 4, n);
                    continue;
                }
                const std::size_t found = Find(line, U"&amp", r + 1);
                const std::size_t f = found > 0 ? found - 1 : Text::npos;
                if (f == Text::npos) {
                    std::copy(line.begin() + static_cast<std::ptrdiff_t>(r), line.end(),
                              line.begin() + static_cast<std::ptrdiff_t>(w));
                    w += n - r;
                    break;
                }
                std::copy(line.begin() + static_cast<std::ptrdiff_t>(r),
                          line.begin() + static_cast<std::ptrdiff_t>(f + 1),
                          line.begin() + static_cast<std::ptrdiff_t>(w));
                w += f + 1 - r;
                r = std::min(f + 5, n);
            }
            line.resize(w);
        }
    }

    // 3. Numeric non-breaking spaces, six characters wide. A fresh search: step 2 may have
    //    shortened the line, so the converter's position could point at other characters.
    if (num160Pos > 0) {
        std::size_t c = Find(line, U"&#160");
        while (c > 0) {
            Blank(line, c, 6);
            c = Find(line, U"&#160", c + 1);
        }
    }

    Trim(line);
    lv.Recount();
    nbspPos = ampPos = num160Pos = 0;
}

}  // namespace quorvik
