#include "passes/reflow.h"

#include <algorithm>

namespace quorvik {

namespace {

// The occurrences of one character, met in order: `At(from)` is the first at or after `from`,
// and `After(pos)` the one after a found occurrence. The places asked for only ever move forward
// over text that does not change, so every character is looked at once.
class Occurrences {
public:
    Occurrences(const Text& text, char32_t c) : text_(text), c_(c) {}

    std::size_t At(std::size_t from)  // npos when absent
    {
        if (first_ != Text::npos && first_ >= from)
            return first_;
        if (second_ != Text::npos && second_ >= from) {
            first_ = second_;
            second_ = Text::npos;
            secondKnown_ = false;
            return first_;
        }
        if (exhaustedFrom_ <= from)
            return Text::npos;
        first_ = Scan(from);
        secondKnown_ = false;
        return first_;
    }

    std::size_t After(std::size_t pos)  // the next one after `pos`, which At just returned
    {
        if (!secondKnown_) {
            second_ = Scan(pos + 1);
            secondKnown_ = true;
        }
        return second_;
    }

private:
    std::size_t Scan(std::size_t from)
    {
        const std::size_t n = text_.size();
        const char32_t* d = text_.data();
        for (std::size_t i = from; i < n; ++i) {
            if (d[i] == c_)
                return i;
        }
        exhaustedFrom_ = std::min(exhaustedFrom_, from);
        return Text::npos;
    }

    const Text& text_;
    char32_t c_;
    std::size_t first_ = Text::npos;
    std::size_t second_ = Text::npos;
    bool secondKnown_ = false;
    std::size_t exhaustedFrom_ = Text::npos;
};

}  // namespace

// The line is cut only at its front and was trimmed at its end, so every state of it is a
// suffix of the flattened line: it is kept as a start index into that text. The four positions
// (first "<", first ">", the "<" after the first "<", the ">" after the first ">") only move
// forward, so they are taken from the occurrences of "<" and ">" met in order. A pass that no rule applies to leaves the line as it
// is; it is then written at once.
void ReflowLine(Text& line, Text& Carry, LineSink& out)
{
    if (!Carry.empty()) {
        Carry.push_back(U' ');
        Carry += line;
        line.swap(Carry);
        Carry.clear();
    }
    FlattenWhitespace(line);  // trims as well

    const std::size_t e = line.size();
    const TextView text(line);
    std::size_t s = 0;
    Occurrences lt(line, U'<'), gt(line, U'>');

    auto carryFrom = [&](std::size_t from) { Carry.assign(Trimmed(text.substr(from, e - from))); };
    auto cut = [&](std::size_t k) {
        s += k;
        while (s < e && line[s] == U' ')
            ++s;
    };

    while (s < e) {
        const std::size_t len = e - s;
        // 1-based positions relative to the current start, 0 when absent.
        const std::size_t aAbs = lt.At(s);
        const std::size_t bAbs = gt.At(s);
        const std::size_t a = aAbs == Text::npos ? 0 : aAbs - s + 1;
        const std::size_t b = bAbs == Text::npos ? 0 : bAbs - s + 1;
        std::size_t c = 0, d = 0;
        if (a > 0) {
            const std::size_t cAbs = lt.After(aAbs);
            c = cAbs == Text::npos ? 0 : cAbs - s + 1;
        }
        if (b > 0) {
            const std::size_t dAbs = gt.After(bAbs);
            d = dAbs == Text::npos ? 0 : dAbs - s + 1;
        }
        const TextView rest = text.substr(s, len);

        // Rules R1 to R10. Conditions are taken on the positions before this pass; apart from
        // R3 followed by R8 no two of them can hold together.
        if (a == 1 && b > 0 && c == 0 && d == 0) {  // R1: the line opens with its only tag
            out.WriteLine(rest);
            return;
        }
        if (a == 1 && c > 0 && d > 0) {  // R2: a tag, then another
            out.WriteLine(rest.substr(0, c - 1));
            cut(c - 1);
            continue;
        }
        if (a > 1 && c > 0 && d > 0) {  // R3: text first, then at least two tags
            out.WriteLine(Trimmed(rest.substr(0, b)));
            cut(b);
            if (a > b) {  // R8 in the same pass: the remainder goes out as it stands
                out.WriteLine(text.substr(s, e - s));
                return;
            }
            continue;
        }
        if (a == 1 && c > 1 && c > b && d == 0) {  // R4
            out.WriteLine(rest.substr(0, c - 1));
            cut(c - 1);
            continue;
        }
        if (a > 1 && b > a && c == 0 && d == 0) {  // R5: text, then the only tag
            if (b == len) {
                out.WriteLine(rest);
            } else {
                out.WriteLine(rest.substr(0, b));
                carryFrom(s + b);
            }
            return;
        }
        if (a > 0 && b == 0 && c == 0) {  // R6: a tag that goes on in the next line
            if (a == 1) {
                Carry.assign(rest);
            } else {
                out.WriteLine(Trimmed(rest.substr(0, a - 1)));
                carryFrom(s + a - 1);
            }
            return;
        }
        if (a == 0 && b > 0 && d == 0) {  // R7: the end of a tag begun on an earlier line
            if (b == 1)
                Carry.assign(rest);
            else
                out.WriteLine(rest);  // text with a lone ">" inside: written as it stands
            return;
        }
        if (a > b && b > 0) {  // R8
            out.WriteLine(rest);
            return;
        }
        if (a == 0 && b == 0) {  // R9: no tag at all
            out.WriteLine(rest);
            return;
        }
        if (a > 1 && b > a && c > b && d == 0) {  // R10
            out.WriteLine(rest.substr(0, c - 1));
            cut(c - 1);
            continue;
        }
        // No rule applies ("a > b > c", "<a<b>"): the line would never change again.
        out.WriteLine(rest);
        return;
    }
}

void ReflowPass::Feed(Text& line)
{
    Trim(line);
    ReflowLine(line, carry_, out_);
}

void ReflowPass::Finish()
{
    if (!carry_.empty()) {
        out_.WriteLine(carry_);
        carry_.clear();
    }
}

void RunReflowPass(LineReader& in, LineSink& out)
{
    ReflowPass pass(out);
    Text line;
    while (in.ReadLine(line))
        pass.Feed(line);
    pass.Finish();
}

}  // namespace quorvik
