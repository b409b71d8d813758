// The tag scanner: lowers the first tag of a line and puts it at the start or the end of the
// line, or blanks it out when it stands in the middle, so that the line converter's lower-case
// searches find it.

#include "core/converter.h"

namespace quorvik {

void LineValues::Recount()
{
    lineLength = line.size();
    TagStart = Find(line, U'<');
    TagEnd = Find(line, U'>');
}

void Converter::ScanTag(LineValues& lv)
{
    Text& line = lv.line;
    Trim(line);
    const std::size_t n = line.size();
    // The positions given are those of the line's first "<" and ">" when nothing like them
    // stands before them (a short look); otherwise the line is searched.
    auto firstOf = [&line, n](char32_t c, std::size_t given) {
        if (given >= 1 && given <= n && line[given - 1] == c && IndexOf(line.data(), given - 1, c) == given - 1)
            return given;
        return Find(line, c);
    };
    const std::size_t lt = firstOf(U'<', lv.TagStart), gt = firstOf(U'>', lv.TagEnd);
    PlaceTag(lv, Find(line, U'>', lv.TagEnd + 1), lt, gt);
}

void Converter::PlaceTag(Text& text, std::size_t base, LineValues& lv, std::size_t next, std::size_t lt, std::size_t gt)
{
    const std::size_t n = text.size() - base;
    char32_t* line = text.data() + base;  // valid until the text is shortened

    // Widen the tag once, to the second ">" of the line at most.
    if (next > lv.TagEnd)
        lv.TagEnd = next;

    // A ">" before the first "<" would make the range run backwards: leave the line as it is.
    if (lv.TagEnd < lv.TagStart || lv.TagStart == 0 || lv.TagEnd > n) {
        lv.lineLength = n;
        lv.TagStart = lt;
        lv.TagEnd = gt;
        return;
    }

    const std::size_t ts = lv.TagStart - 1;  // 0-based first character of the tag
    const std::size_t te = lv.TagEnd;        // 0-based one past its last character

    // The first "<" and ">" of the line as it will be follow from those before it changes:
    // moving or blanking the tag only shifts them or, for a blanked tag, passes on to the next
    // ones after it.
    auto shifted = [](std::size_t p, std::size_t after, std::size_t by) { return p > after ? p - by : p; };

    if (lv.TagStart == 1 && lv.TagEnd == n) {
        // "whole": the tag text alone.
        LowerAll(line, n);
    } else if (lv.TagStart == 1) {
        // "start": the tag text directly followed by the rest, trimmed.
        LowerAll(line, te);
        std::size_t r = te;
        while (r < n && line[r] == U' ')
            ++r;
        if (r > te)
            text.erase(base + te, r - te);
        lt = shifted(lt, te, r - te);
        gt = shifted(gt, te, r - te);
    } else if (lv.TagEnd == n) {
        // "end": the rest, trimmed, directly followed by the tag text.
        LowerAll(line + ts, n - ts);
        std::size_t l = ts;
        while (l > 0 && line[l - 1] == U' ')
            --l;
        if (ts > l)
            text.erase(base + l, ts - l);
        lt = shifted(lt, ts, ts - l);
        gt = shifted(gt, ts, ts - l);
    } else {
        // In the middle: the tag is gone, its characters stay as spaces inside the line. The line
        // keeps its first and last characters, so trimming changes nothing.
        const TextView whole(line, n);
        if (lt > ts && lt <= te)
            lt = Find(whole, U'<', te + 1);
        if (gt > ts && gt <= te)
            gt = Find(whole, U'>', te + 1);
        for (std::size_t i = ts; i < te; ++i)
            line[i] = U' ';
    }
    lv.lineLength = text.size() - base;
    lv.TagStart = lt;
    lv.TagEnd = gt;
}

}  // namespace quorvik
