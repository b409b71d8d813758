#include "passes/reflow.h"

#include "core/converter.h"
#include "passes/htmlclean.h"

#include <algorithm>

namespace quorvik {

namespace {

void Write(TextView line, const FirstBrackets* known, LineSink& out)
{
    if (known)
        out.WriteKnownLine(line, *known);
    else
        out.WriteLine(line);
}

// The flattened line held whole.
class WholeLine {
public:
    explicit WholeLine(const Text& text) : text_(text) {}
    std::size_t Loaded() const { return text_.size(); }
    bool LoadMore() { return false; }
    void LoadAll() {}
    void Release(std::size_t) {}
    char32_t At(std::size_t i) const { return text_[i]; }
    TextView View(std::size_t from, std::size_t to) const { return TextView(text_).substr(from, to - from); }
    std::size_t Find(char32_t c, std::size_t from) const  // npos when not in what is loaded
    {
        const std::size_t i = IndexOf(text_.data(), text_.size(), c, from);
        return i < text_.size() ? i : Text::npos;
    }
    // Writes the text from `from` to `to`, whose first brackets are `known` (when not null);
    // nothing before `to` is read again.
    void WriteFront(std::size_t from, std::size_t to, const FirstBrackets* known, LineSink& out)
    {
        Write(View(from, to), known, out);
    }
    // Writes, or puts into `into`, the line from `from` to its end; the reflow of the line is
    // then over.
    void WriteRest(std::size_t from, const FirstBrackets* known, LineSink& out)
    {
        Write(View(from, Loaded()), known, out);
    }
    void TakeRest(std::size_t from, Text& into) { into.assign(View(from, Loaded())); }

private:
    const Text& text_;
};

// The flattened line read part by part, so that a line of many megabytes (a document whose
// lines end in a line feed alone is one such line) is never held whole unless a rule writes
// what is left of it. Positions are those in the whole flattened line; the text before the
// place the reflow has reached is let go.
class LineInParts {
public:
    // `first` is the line's first part (not its end); `carry` is joined in front of the line.
    LineInParts(LineReader& in, std::size_t partSize, const Text& carry, const Text& first)
        : in_(in), partSize_(partSize)
    {
        if (!carry.empty()) {
            AppendFlattened(carry);
            AppendFlattened(TextView(U" "));
        }
        AppendRaw(first);
    }

    std::size_t Loaded() const { return offset_ + text_.size(); }

    // Reads the next part; false once the whole line is loaded (and trimmed at its end).
    bool LoadMore()
    {
        if (complete_)
            return false;
        // Read straight onto the end of the text, then made what AppendRaw would make of it.
        const std::size_t old = text_.size();
        bool ended = true;
        if (in_.ReadLinePart(text_, partSize_, ended))
            RawAppended(old);
        if (ended) {
            complete_ = true;
            std::size_t e = text_.size();
            while (e > 0 && text_[e - 1] == U' ')
                --e;
            text_.resize(e);
        }
        return true;
    }
    void LoadAll()
    {
        while (LoadMore()) {
        }
    }
    // The text before `from` is not needed any more.
    void Release(std::size_t from)
    {
        const std::size_t done = from - offset_;
        if (done >= partSize_ && done * 2 >= text_.size()) {
            text_.erase(0, done);
            offset_ = from;
        }
    }
    char32_t At(std::size_t i) const { return text_[i - offset_]; }
    TextView View(std::size_t from, std::size_t to) const
    {
        return TextView(text_).substr(from - offset_, to - from);
    }
    std::size_t Find(char32_t c, std::size_t from) const
    {
        const std::size_t i = IndexOf(text_.data(), text_.size(), c, from - offset_);
        return i < text_.size() ? i + offset_ : Text::npos;
    }
    // Writes the text from `from` to `to`; nothing before `to` is read again. A long piece that
    // is more than what is loaded after it is handed over, and what follows it copied instead:
    // a very long line is then never held twice.
    void WriteFront(std::size_t from, std::size_t to, const FirstBrackets* known, LineSink& out)
    {
        const std::size_t length = to - from;
        if (length < partSize_ || length < Loaded() - to) {
            Write(View(from, to), known, out);
            return;
        }
        Text after(View(to, Loaded()));
        text_.resize(to - offset_);
        text_.erase(0, from - offset_);
        out.WriteTakenLine(text_);
        text_.swap(after);
        offset_ = to;
    }
    // Writes, or puts into `into`, the line from `from` to its end (all loaded), handing its text
    // over instead of copying it: what is left can be most of a very long line. The reflow of
    // the line is then over.
    void WriteRest(std::size_t from, const FirstBrackets*, LineSink& out)
    {
        text_.erase(0, from - offset_);
        offset_ = from;
        out.WriteTakenLine(text_);
        text_.clear();
    }
    void TakeRest(std::size_t from, Text& into)
    {
        text_.erase(0, from - offset_);
        offset_ = from;
        into.clear();
        into.swap(text_);
    }

private:
    // The line trimmed of spaces at its front, as the pass trims every line before joining it.
    void AppendRaw(TextView raw)
    {
        if (!rawStarted_) {
            std::size_t b = 0;
            while (b < raw.size() && raw[b] == U' ')
                ++b;
            raw.remove_prefix(b);
            rawStarted_ = !raw.empty();
        }
        AppendFlattened(raw);
    }
    // The same for raw text already appended to the text from `old` on.
    void RawAppended(std::size_t old)
    {
        if (!rawStarted_) {
            std::size_t b = old;
            while (b < text_.size() && text_[b] == U' ')
                ++b;
            text_.erase(old, b - old);
            rawStarted_ = text_.size() > old;
        }
        Flatten(old);
    }
    // Tabs, carriage returns and line feeds become spaces; the flattened line starts with
    // something other than a space.
    void AppendFlattened(TextView t)
    {
        const std::size_t old = text_.size();
        if (old + t.size() > text_.capacity() && old >= partSize_) {
            // Text is piling up (a long stretch without the tags the rules cut at): it is most
            // likely the rest of the line, so room for all that can still come is made at once
            // rather than copying it again at every doubling.
            const std::int64_t left = in_.BytesLeft();
            if (left >= 0)
                text_.reserve(old + t.size() + static_cast<std::size_t>(left));
        }
        text_ += t;
        Flatten(old);
    }
    // AppendFlattened's work on the text appended from `old` on.
    void Flatten(std::size_t old)
    {
        const std::size_t n = text_.size();
        char32_t* d = text_.data();
        for (std::size_t i = IndexOfBelow(d, n, U' ', old); i < n; i = IndexOfBelow(d, n, U' ', i + 1)) {
            if (d[i] == U'\t' || d[i] == U'\r' || d[i] == U'\n')
                d[i] = U' ';
        }
        if (offset_ == 0 && old == 0) {
            std::size_t b = 0;
            while (b < n && d[b] == U' ')
                ++b;
            text_.erase(0, b);
        }
    }

    LineReader& in_;
    const std::size_t partSize_;
    Text text_;
    std::size_t offset_ = 0;
    bool rawStarted_ = false;
    bool complete_ = false;
};

// The occurrences of one character, met in order: `At(from)` is the first at or after `from`,
// and `After(pos)` the one after a found occurrence. The places asked for only ever move forward
// over text that does not change, so every character is looked at once.
template <typename Line>
class Occurrences {
public:
    Occurrences(Line& line, char32_t c) : line_(line), c_(c) {}

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
    std::size_t Scan(std::size_t from)  // reads on through the line until found or ended
    {
        std::size_t at = from;
        for (;;) {
            const std::size_t i = line_.Find(c_, at);
            if (i != Text::npos)
                return i;
            at = std::max(at, line_.Loaded());
            if (!line_.LoadMore())
                break;
        }
        exhaustedFrom_ = std::min(exhaustedFrom_, from);
        return Text::npos;
    }

    Line& line_;
    char32_t c_;
    std::size_t first_ = Text::npos;
    std::size_t second_ = Text::npos;
    bool secondKnown_ = false;
    std::size_t exhaustedFrom_ = Text::npos;
};

// The line is cut only at its front and was trimmed at its end, so every state of it is a
// suffix of the flattened line: it is kept as a start index into that text. The four positions
// (first "<", first ">", the "<" after the first "<", the ">" after the first ">") only move
// forward, so they are taken from the occurrences of "<" and ">" met in order. A pass that no
// rule applies to leaves the line as it is; it is then written at once.
//
// Every rule that ends the line either found that a second "<" or ">" is missing (so the whole
// line has been read) or writes what is left of it (read in full first); the rules that cut look
// no further than the second "<" or ">".
template <typename Line>
void ReflowText(Line& text, Text& Carry, LineSink& out)
{
    std::size_t s = 0;
    Occurrences<Line> lt(text, U'<'), gt(text, U'>');

    auto rest = [&]() {
        text.LoadAll();
        return text.View(s, text.Loaded());
    };
    // The first brackets from the current start (as a, b and d below), while it has not moved:
    // those of a line written from there follow from them.
    FirstBrackets first;
    bool firstKnown = false;
    auto knownUpTo = [&](std::size_t k, FirstBrackets& known) -> const FirstBrackets* {
        if (!firstKnown)
            return nullptr;
        known.lt = first.lt <= k ? first.lt : 0;
        known.gt = first.gt <= k ? first.gt : 0;
        known.nextGt = first.nextGt <= k ? first.nextGt : 0;
        return &known;
    };
    auto writeRest = [&]() {
        text.LoadAll();
        FirstBrackets known;
        text.WriteRest(s, knownUpTo(text.Loaded() - s, known), out);
    };
    auto carryFrom = [&](std::size_t from) {
        text.LoadAll();
        text.TakeRest(from, Carry);
        Trim(Carry);
    };
    auto carryRest = [&]() {
        text.LoadAll();
        text.TakeRest(s, Carry);
    };
    auto writeFront = [&](std::size_t k, bool trim) {  // the first k characters, trimmed or not
        std::size_t b = 0, e = k;
        if (trim) {
            const TextView f = text.View(s, s + k);
            while (b < e && f[b] == U' ')
                ++b;
            while (e > b && f[e - 1] == U' ')
                --e;
        }
        // The text at the start is never a space (see cut), so a trimmed line starts there too,
        // and what is trimmed at its end holds no bracket.
        FirstBrackets known;
        text.WriteFront(s + b, s + e, knownUpTo(k, known), out);
    };
    auto cut = [&](std::size_t k) {
        firstKnown = false;
        s += k;
        do {
            while (s < text.Loaded() && text.At(s) == U' ')
                ++s;
        } while (s == text.Loaded() && text.LoadMore());
    };

    cut(0);  // a line read in parts may have shown nothing yet but spaces
    while (s < text.Loaded()) {
        text.Release(s);
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
        first = {a, b, d};
        firstKnown = true;

        // Rules R1 to R10. Conditions are taken on the positions before this pass; apart from
        // R3 followed by R8 no two of them can hold together.
        if (a == 1 && b > 0 && c == 0 && d == 0) {  // R1: the line opens with its only tag
            writeRest();
            return;
        }
        if (a == 1 && c > 0 && d > 0) {  // R2: a tag, then another
            writeFront(c - 1, false);
            cut(c - 1);
            continue;
        }
        if (a > 1 && c > 0 && d > 0) {  // R3: text first, then at least two tags
            writeFront(b, true);
            cut(b);
            if (a > b) {  // R8 in the same pass: the remainder goes out as it stands
                writeRest();
                return;
            }
            continue;
        }
        if (a == 1 && c > 1 && c > b && d == 0) {  // R4
            writeFront(c - 1, false);
            cut(c - 1);
            continue;
        }
        if (a > 1 && b > a && c == 0 && d == 0) {  // R5: text, then the only tag
            if (b == rest().size()) {
                writeRest();
            } else {
                writeFront(b, false);
                carryFrom(s + b);
            }
            return;
        }
        if (a > 0 && b == 0 && c == 0) {  // R6: a tag that goes on in the next line
            if (a == 1) {
                carryRest();
            } else {
                writeFront(a - 1, true);
                carryFrom(s + a - 1);
            }
            return;
        }
        if (a == 0 && b > 0 && d == 0) {  // R7: the end of a tag begun on an earlier line
            if (b == 1)
                carryRest();
            else
                writeRest();  // text with a lone ">" inside: written as it stands
            return;
        }
        if (a > b && b > 0) {  // R8
            writeRest();
            return;
        }
        if (a == 0 && b == 0) {  // R9: no tag at all
            writeRest();
            return;
        }
        if (a > 1 && b > a && c > b && d == 0) {  // R10
            writeFront(c - 1, false);
            cut(c - 1);
            continue;
        }
        // No rule applies ("a > b > c", "<a<b>"): the line would never change again.
        writeRest();
        return;
    }
}

// Lines up to this many characters are read whole; longer ones in parts of this size.
constexpr std::size_t kPartSize = std::size_t(1) << 16;

}  // namespace

void ReflowLine(Text& line, Text& Carry, LineSink& out)
{
    if (!Carry.empty()) {
        Carry.push_back(U' ');
        Carry += line;
        line.swap(Carry);
        Carry.clear();
    }
    FlattenWhitespace(line);  // trims as well
    WholeLine text(line);
    ReflowText(text, Carry, out);
}

void ReflowPass::Feed(Text& line)
{
    Trim(line);
    if (readable_ && Converter::IsPreformattedLine(line)) {
        // A preformatted line stands on its own, as it is; text carried goes before it.
        Finish();
        out_.WriteLine(line);
        return;
    }
    ReflowLine(line, carry_, out_);
}

void ReflowPass::Finish()
{
    if (!carry_.empty()) {
        out_.WriteLine(carry_);
        carry_.clear();
    }
}

bool ReflowPass::FeedNext(LineReader& in, std::size_t partSize)
{
    if (partSize == 0)
        partSize = kPartSize;
    part_.clear();
    bool ended = true;
    if (!in.ReadLinePart(part_, partSize, ended))
        return false;
    if (ended) {
        Feed(part_);
        return true;
    }
    LineInParts text(in, partSize, carry_, part_);
    carry_.clear();
    ReflowText(text, carry_, out_);
    text.LoadAll();  // every rule that ends the line has read it whole; this only makes sure
    return true;
}

void RunReflowPass(LineReader& in, LineSink& out, bool readable)
{
    ReflowPass pass(out, readable);
    if (readable) {
        HtmlCleaner cleaned(in);
        while (pass.FeedNext(cleaned)) {
        }
    } else {
        while (pass.FeedNext(in)) {
        }
    }
    pass.Finish();
}

}  // namespace quorvik
