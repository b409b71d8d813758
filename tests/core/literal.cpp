#include "literal.h"

#include <algorithm>

namespace quorvik::literal {

namespace {

void BlankRange(Text& line, std::size_t from, std::size_t to)  // 1-based inclusive, within the line
{
    for (std::size_t i = from; i <= to; ++i) {
        if (i >= 1 && i <= line.size())
            line[i - 1] = U' ';
    }
}

}  // namespace

void StripTags(LineValues& lv)
{
    Text& line = lv.line;
    const std::size_t entry = lv.lineLength;
    std::size_t ts = lv.TagStart, te = lv.TagEnd;
    std::size_t k = 1;
    for (; k < entry; ++k) {
        if (ts > te && te >= 1)
            BlankRange(line, k, te - 1);
        if (ts == k && te > 0)
            BlankRange(line, k, te - 1);
        if (te == 0 && ts > 0)
            BlankRange(line, ts, entry);
        if (te == k)
            BlankRange(line, k, k);
        ts = Find(line, U'<');
        te = Find(line, U'>');
    }
    if (entry < 2)
        k = 1;
    if (te == k && ts == 0)
        BlankRange(line, k, k);
    Trim(line);
    lv.lineLength = line.size();
    lv.TagStart = ts;
    lv.TagEnd = te;
}

std::vector<Text> Wrap(Text o, int textLen, int& hangIndent)
{
    std::vector<Text> written;
    if (o.empty())
        return written;
    const long long T = textLen;
    const Text indent(5, U' ');
    if (hangIndent == 1) {
        if (T <= 0 || static_cast<long long>(o.size()) + 5 < T) {
            written.push_back(indent + o);
            return written;
        }
        while (!o.empty() && static_cast<long long>(o.size()) + 5 >= T) {
            std::size_t brk = 0;
            for (long long i = 1; i <= T - 6; ++i) {
                const std::size_t p = Find(o, U' ', static_cast<std::size_t>(i));
                if (p > 0 && static_cast<long long>(p) <= T - 5)
                    brk = p;
            }
            if (brk == 0)
                brk = static_cast<std::size_t>(std::max<long long>(T - 5, 1));
            brk = std::min(brk, o.size());
            written.push_back(indent + o.substr(0, brk));
            o.erase(0, brk);
            Trim(o);
        }
        if (!o.empty())
            written.push_back(indent + o);
        hangIndent = 0;
        return written;
    }
    if (T <= 0 || static_cast<long long>(o.size()) < T) {
        written.push_back(o);
        return written;
    }
    while (static_cast<long long>(o.size()) >= T) {
        std::size_t brk = 0;
        for (long long i = 1; i <= T - 1; ++i) {
            const std::size_t p = Find(o, U' ', static_cast<std::size_t>(i));
            if (i == 1 && p > static_cast<std::size_t>(T)) {
                brk = static_cast<std::size_t>(T) + 1;
                continue;
            }
            if (p > 0 && static_cast<long long>(p) <= T)
                brk = p;
        }
        std::size_t piece = brk < 2 ? static_cast<std::size_t>(T) : brk;
        Text part = o.substr(0, piece);
        o.erase(0, std::min(piece, o.size()));
        Trim(o);
        Trim(part);
        written.push_back(part);
    }
    if (!o.empty()) {
        Trim(o);
        written.push_back(o);
    }
    return written;
}

void ReplaceEntities(LineValues& lv, std::size_t ampPos, std::size_t num160Pos)
{
    Text& line = lv.line;
    std::size_t p = Find(line, U"&nbsp");
    std::size_t q = Find(line, U"&nbsp;");
    while (p > 0) {
        BlankRange(line, p, p + (q == 0 ? 5 : 6) - 1);
        p = Find(line, U"&nbsp");
        q = Find(line, U"&nbsp;");
    }
    std::size_t a = ampPos;
    while (a > 0) {
        Text next = line.substr(0, std::min(a, line.size()));
        if (a + 4 < line.size())
            next += line.substr(a + 4);
        line = next;
        a = Find(line, U"&amp");
    }
    if (num160Pos > 0) {
        std::size_t c = Find(line, U"&#160");
        while (c > 0) {
            BlankRange(line, c, c + 5);
            c = Find(line, U"&#160");
        }
    }
    Trim(line);
    lv.Recount();
}

void CleanUpChar(Text& line, const CleanUpSets& sets)
{
    for (const Text& set : sets.sets) {
        if (set.empty() || set.find_first_not_of(U' ') == Text::npos)
            continue;
        std::size_t p = Find(line, set);
        while (p > 0) {
            BlankRange(line, p, p + set.size() - 1);
            p = Find(line, set);
        }
    }
    Trim(line);
}

void TrimCellSep(Text& t, const Text& sep)
{
    // The delimiter "occurs in" a one-character text only when it is that character; an empty
    // delimiter matches nothing.
    auto occursIn = [&sep](char32_t c) { return !sep.empty() && Text(1, c).find(sep) != Text::npos; };
    Trim(t);
    if (t.empty())
        return;
    for (;;) {
        const char32_t last = t.back();
        const char32_t first = t.front();
        const bool one = t.size() == 1;
        const bool lastMatches = occursIn(last);
        const bool firstMatches = occursIn(first);
        if (lastMatches) {
            t.back() = U' ';
            Trim(t);
        }
        if (firstMatches && !(lastMatches && one)) {
            t.front() = U' ';
            Trim(t);
        }
        if ((!lastMatches && !firstMatches) || t.empty())
            return;
    }
}

void ReflowLine(Text& line, Text& carry, LineSink& out)
{
    line = carry + U" " + line;
    carry.clear();
    Trim(line);
    FlattenWhitespace(line);
    bool finished = false;
    auto positions = [&](std::size_t& a, std::size_t& b, std::size_t& c, std::size_t& d) {
        a = Find(line, U'<');
        b = Find(line, U'>');
        c = a > 0 ? Find(line, U'<', a + 1) : 0;
        d = b > 0 ? Find(line, U'>', b + 1) : 0;
    };
    auto cut = [&](std::size_t k) {
        line.erase(0, std::min(k, line.size()));
        Trim(line);
    };
    auto left = [&](std::size_t k) { return line.substr(0, std::min(k, line.size())); };
    auto trimmed = [](Text t) {
        Trim(t);
        return t;
    };
    while (!finished && !line.empty()) {
        std::size_t a, b, c, d;
        positions(a, b, c, d);
        const std::size_t n = line.size();
        const Text before = line;
        if (a == 1 && b > 0 && c == 0 && d == 0) {
            out.WriteLine(line);
            finished = true;
        }
        if (a == 1 && c > 0 && d > 0) {
            out.WriteLine(left(c - 1));
            cut(c - 1);
        }
        if (a > 1 && c > 0 && d > 0) {
            out.WriteLine(trimmed(left(b)));
            cut(b);
        }
        if (a == 1 && c > 1 && c > b && d == 0) {
            out.WriteLine(left(c - 1));
            cut(c - 1);
        }
        if (a > 1 && b > a && c == 0 && d == 0) {
            if (b == n) {
                out.WriteLine(line);
            } else {
                out.WriteLine(left(b));
                carry = trimmed(line.substr(b));
            }
            finished = true;
        }
        if (a > 0 && b == 0 && c == 0) {
            if (a == 1) {
                carry = line;
            } else {
                out.WriteLine(trimmed(left(a - 1)));
                carry = trimmed(line.substr(a - 1));
            }
            finished = true;
        }
        if (a == 0 && b > 0 && d == 0) {
            if (b == 1)
                carry = line;
            else
                out.WriteLine(line);
            finished = true;
        }
        if (a > b && b > 0) {
            out.WriteLine(line);
            finished = true;
        }
        if (a == 0 && b == 0 && n > 0) {
            out.WriteLine(line);
            finished = true;
        }
        if (a > 1 && b > a && c > b && d == 0) {
            out.WriteLine(left(c - 1));
            cut(c - 1);
        }
        if (!finished && line == before) {
            // A pass that changes nothing would change nothing ever after.
            out.WriteLine(line);
            finished = true;
        }
    }
}

}  // namespace quorvik::literal
