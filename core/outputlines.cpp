// Output lines: the writers that put finished lines out (WriteLine wraps at TextLen,
// FlushLine and WriteBreak write what is pending), the tag stripper every emitter uses, and
// the three plain-text emitters.

#include "core/charrefs.h"
#include "core/converter.h"

#include <algorithm>

namespace quorvik {

Converter::Converter(const ConverterOptions& options, const LinkSwitches& links, LineSink& out)
    : options_(options), links_(links), out_(out)
{
}

void Converter::Reset()
{
    // Every run starts from the same state, so converting a file twice gives the same text.
    OutLine.clear();
    BlankLines = 0;
    CellCount = 0;
    HangIndent = 0;
    InDefTerm = Word::Empty;
    InDefData = Word::Empty;
    lastWrittenBlank_ = true;
}

void Converter::WriteLine(LineValues& lv)
{
    // 1. The text before the line's first tag joins OutLine (after a space unless it starts
    //    with joining punctuation) and is blanked in the line; positions stay as they are.
    if (lv.TagStart > 1) {
        Text& line = lv.line;
        const std::size_t k = std::min(lv.TagStart - 1, line.size());
        if (options_.readable && !lineDecoded_) {
            // Readable: no space is written before text that begins the line, nor for none.
            scratch_.assign(line, 0, k);
            MakeReadableText(scratch_);
            if (!scratch_.empty()) {
                if (!OutLine.empty() && !IsJoiningPunctuation(scratch_[0]))
                    OutLine.push_back(U' ');
                OutLine += scratch_;
            }
        } else {
            if (line.empty() || !IsJoiningPunctuation(line[0]))
                OutLine.push_back(U' ');
            OutLine.append(line, 0, k);
        }
        std::fill(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(k), U' ');
    }
    if (OutLine.empty())
        return;

    const int textLen = options_.TextLen;
    if (HangIndent == 1) {
        if (textLen <= 0 || static_cast<long long>(OutLine.size()) + 5 < textLen) {
            scratch_.assign(5, U' ');
            scratch_ += OutLine;
            Write(scratch_);  // a short definition line keeps the indent for the next lines
        } else {
            WrapHanging(0);
            HangIndent = 0;
        }
    } else {
        if (textLen <= 0 || static_cast<long long>(OutLine.size()) < textLen)
            Write(OutLine);
        else
            WrapPlain(0);
    }
    BlankLines = 0;
    OutLine.clear();
}

namespace {

// The largest of the first spaces found from every start position 1 to W - 1 of the text that
// starts at `s`, among those at or before position W; 0 when there is none. Those first spaces
// rise with the start position, so the largest is the first space at or after W - 1 when that
// is W - 1 or W, and otherwise simply the last space at or before W - 2. The text holds at
// least W characters from `s`.
std::size_t LargestFirstSpace(const Text& o, std::size_t s, std::size_t W)
{
    if (o[s + W - 2] == U' ')
        return W - 1;
    if (o[s + W - 1] == U' ')
        return W;
    for (std::size_t p = W - 2; p >= 1; --p) {
        if (o[s + p - 1] == U' ')
            return p;
    }
    return 0;
}

}  // namespace

// Wrapping without indent: the break is LargestFirstSpace with W = TextLen, so at most TextLen
// characters are looked at per piece instead of a search per start position. A word longer than
// the line (first space beyond TextLen) gives a piece of TextLen + 1 characters.
void Converter::WrapPlain(std::size_t s)
{
    const std::size_t T = static_cast<std::size_t>(options_.TextLen);
    const Text& o = OutLine;
    std::size_t e = o.size();
    std::size_t lastSpace = o.rfind(U' ');  // the last space before e, npos when none
    bool first = true;
    while (e - s >= T) {
        std::size_t brk = 0;
        if (T >= 2 && lastSpace != Text::npos && lastSpace >= s) {
            std::size_t f = 0;  // first space among positions 1..T
            for (std::size_t i = 0; i < T; ++i) {
                if (o[s + i] == U' ') {
                    f = i + 1;
                    break;
                }
            }
            brk = f == 0 ? T + 1 : LargestFirstSpace(o, s, T);
        }
        std::size_t piece = brk < 2 ? T : brk;
        piece = std::min(piece, e - s);
        Write(Trimmed(TextView(o).substr(s, piece)));
        s += piece;
        while (s < e && o[s] == U' ')
            ++s;
        if (first) {
            first = false;
            while (e > s && o[e - 1] == U' ')
                --e;
            while (lastSpace != Text::npos && lastSpace >= e)
                lastSpace = lastSpace == 0 ? Text::npos : TextView(o).substr(0, e).rfind(U' ');
        }
    }
    if (s < e)
        Write(Trimmed(TextView(o).substr(s, e - s)));
}

// Wrapping with the five-space hanging indent of definitions: pieces of at most TextLen - 5
// characters, broken at LargestFirstSpace with W = TextLen - 5, written untrimmed after the
// indent. Without such a space the piece is the first TextLen - 5 characters. A TextLen of 6
// or less leaves no room beside the indent: the text is then written one character per line,
// so nothing is lost and the wrapping always ends.
void Converter::WrapHanging(std::size_t s)
{
    const long long T = options_.TextLen;
    const long long width = T - 5;
    const Text& o = OutLine;
    std::size_t e = o.size();
    bool first = true;
    while (s < e && static_cast<long long>(e - s) + 5 >= T) {
        const std::size_t brk = width >= 2 ? LargestFirstSpace(o, s, static_cast<std::size_t>(width)) : 0;
        std::size_t piece = brk > 0 ? brk : static_cast<std::size_t>(std::max<long long>(width, 1));
        piece = std::min(piece, e - s);
        scratch_.assign(5, U' ');
        scratch_.append(o, s, piece);
        Write(scratch_);
        s += piece;
        while (s < e && o[s] == U' ')
            ++s;
        if (first) {
            first = false;
            while (e > s && o[e - 1] == U' ')
                --e;
        }
    }
    if (s < e) {
        scratch_.assign(5, U' ');
        scratch_.append(o, s, e - s);
        Write(scratch_);
    }
}

void Converter::FlushLine()
{
    if (!OutLine.empty()) {
        Write(Trimmed(OutLine));
        BlankLines = 0;
        OutLine.clear();
    }
}

void Converter::WriteBreak(Word& BreakPending)
{
    if (!OutLine.empty()) {
        Write(Trimmed(OutLine));
        BlankLines = 0;
        OutLine.clear();
    } else {
        WriteBlank();
        if (BlankLines == 0)
            BlankLines = 1;
    }
    BreakPending = Word::No;
}

// Removes the tags of a line by overwriting them with spaces, then trims it.
//
// For every k from 1 below the entry length, a ">" that stands before the first "<" (the end
// of a tag begun earlier) wipes out what lies before it, a "<" at k is wiped up to the first
// ">", an unclosed "<" wipes out the rest of the line, and the ">" at k goes; after each k the
// first "<" and ">" are looked up again. Blanking only ever turns characters into spaces, so
// those first positions can only move forward: they are kept by cursors that never go back,
// and ranges already blanked are not blanked again. That makes one pass over the line.
void Converter::StripTags(LineValues& lv)
{
    Text& line = lv.line;
    const std::size_t n = line.size();
    const std::size_t entryLen = lv.lineLength;
    std::size_t TS = lv.TagStart;
    std::size_t TE = lv.TagEnd;

    // The usual line after the tag scanner: one tag and nothing else that looks like one. The
    // rounds blank the tag and nothing more; only a tag that ends the line is blanked after the
    // last round, which leaves its end as TagEnd.
    if (TS >= 1 && TE > TS && TE <= entryLen && entryLen == n && line[TS - 1] == U'<' && line[TE - 1] == U'>') {
        // No other bracket before the tag, inside it or after it: a line known to hold no more
        // than two has none; otherwise after the "<" the first one met must be the ">", and
        // after that none.
        const char32_t* d = line.data();
        if (lv.bracketsAtMost <= 2
            || (IndexOfAny(d, TS - 1, U'<', U'>', U'>') == TS - 1 && IndexOfAny(d, n, U'<', U'>', U'>', TS) == TE - 1
                && IndexOfAny(d, n, U'<', U'>', U'>', TE) == n)) {
            if (TS == 1) {
                // The tag goes, and the line is trimmed, in one move.
                std::size_t e = n;
                while (e > TE && line[e - 1] == U' ')
                    --e;
                std::size_t b = TE;
                while (b < e && line[b] == U' ')
                    ++b;
                line.erase(e);
                line.erase(0, b);
            } else {
                for (std::size_t i = TS - 1; i < TE; ++i)
                    line[i] = U' ';
                Trim(line);
            }
            lv.lineLength = line.size();
            lv.TagStart = 0;
            lv.TagEnd = TE == entryLen ? TE : 0;
            return;
        }
    }

    std::size_t ltCursor = 1, gtCursor = 1;  // no "<" (">") stands before the cursor
    auto firstOf = [&line, n](std::size_t& cursor, char32_t c) -> std::size_t {
        while (cursor <= n && line[cursor - 1] != c)
            ++cursor;
        return cursor <= n ? cursor : 0;
    };
    auto blank = [&line, n](std::size_t from, std::size_t to) {  // 1-based, inclusive
        to = std::min(to, n);
        for (std::size_t i = from; i <= to; ++i)
            line[i - 1] = U' ';
    };
    std::size_t blankedTo = 0;      // [k, blankedTo] is already blank
    std::size_t tailFrom = n + 1;   // [tailFrom, n] is already blank
    auto blankFromK = [&](std::size_t k, std::size_t to) {
        if (to < k)
            return;
        const std::size_t from = blankedTo >= k ? blankedTo + 1 : k;
        if (from <= to)
            blank(from, to);
        blankedTo = std::max(blankedTo, to);
    };

    std::size_t k = 1;
    while (k < entryLen) {
        if (TS > TE && TE >= 1)
            blankFromK(k, TE - 1);
        if (TS == k && TE > 0)
            blankFromK(k, TE - 1);
        if (TE == 0 && TS > 0 && TS < tailFrom) {
            blank(TS, std::min(entryLen, tailFrom - 1));
            if (entryLen >= n)
                tailFrom = TS;
        }
        if (TE == k)
            blank(k, k);
        TS = firstOf(ltCursor, U'<');
        TE = firstOf(gtCursor, U'>');
        // From here on the positions are the line's own. Unless an unclosed "<" is about to
        // wipe out the rest, a round changes something only where k meets one of them, so the
        // rounds in between are skipped, after doing what their first step would do: blank
        // everything before a ">" that stands before the first "<".
        if (TE == 0 && TS > 0) {
            ++k;
            continue;
        }
        std::size_t next = entryLen;
        if (TS > k)
            next = std::min(next, TS);
        if (TE > k)
            next = std::min(next, TE);
        next = std::max(k + 1, std::min(next, entryLen));
        if (TS > TE && TE >= 1 && next > k + 1)
            blankFromK(k + 1, TE - 1);
        k = next;
    }
    if (entryLen < 2)
        k = 1;
    if (TE == k && TS == 0)
        blank(k, k);

    Trim(line);
    lv.lineLength = line.size();
    lv.TagStart = TS;
    lv.TagEnd = TE;
}

void Converter::StripText(LineValues& lv)
{
    if (!options_.readable) {
        StripTags(lv);
        return;
    }
    // What decoding gives is text, never a tag: the line is stripped and decoded only once. Its
    // text goes to the output once: an emitter that comes after the one that took it (a list
    // item inside a definition, say) finds the line empty.
    if (lineDecoded_) {
        lv.line.clear();
        lv.lineLength = lv.TagStart = lv.TagEnd = 0;
        return;
    }
    lineDecoded_ = true;
    StripTags(lv);
    const std::size_t stripped = lv.lineLength;
    MakeReadableText(lv.line);
    lv.bracketsAtMost = SIZE_MAX;  // a decoded "&lt;" is a bracket now
    lv.lineLength = lv.line.size();
    lv.TagStart = 0;
    lv.TagEnd = lv.TagEnd > 0 && lv.TagEnd == stripped ? lv.lineLength : 0;
}

void Converter::WritePreformattedLine(LineValues& lv)
{
    Flush(lv);
    Text& text = lv.line;
    text.erase(0, 5);
    MakePreformattedText(text);
    // A blank line of the block is written as one space, so that blank-line removal can tell
    // it from the blank lines it collapses.
    if (text.empty())
        text.push_back(U' ');
    lastWrittenBlank_ = false;
    out_.WriteLine(text);
    BlankLines = 0;
}

void Converter::AppendParagraphText(LineValues& lv, std::size_t& BreakFlag)
{
    if (lv.lineLength > 0) {
        if (lv.TagStart > 0 || lv.TagEnd > 0 || options_.readable)
            StripText(lv);
        const bool joins = !lv.line.empty() && IsJoiningPunctuation(lv.line[0]);
        Trim(lv.line);
        if (OutLine.empty() && lineFreeAfterParagraph_ && lv.TagStart <= 1) {
            OutLine.swap(lv.line);  // see lineFreeAfterParagraph_; WriteLine reads it only for TagStart > 1
        } else if (OutLine.empty()) {
            OutLine = lv.line;
        } else {
            if (!joins)
                OutLine.push_back(U' ');
            OutLine += lv.line;
        }
    }
    if (BreakFlag > 0 && !OutLine.empty()) {
        WriteLine(lv);
        BreakFlag = 0;
        BlankLines = 0;
    }
}

void Converter::AppendBodyText(LineValues& lv, std::size_t& BreakFlag)
{
    if (lv.lineLength > 0) {
        StripText(lv);
        if (lv.lineLength > 0) {
            if (OutLine.empty() && lv.TagStart <= 1) {
                // The last emitter of the line: its text is moved, not copied (a line of many
                // megabytes is then held once). Only WriteLine could read the line after this,
                // and it does so only while a "<" stands after the line's first character.
                OutLine.swap(lv.line);
            } else {
                OutLine.push_back(U' ');
                OutLine += Trimmed(lv.line);
            }
        }
    }
    Trim(OutLine);
    // The break is carried inside OutLine; the end-of-line rule writes it, and the pair then
    // reads back as one more (empty) line.
    if (BreakFlag > 0 && !OutLine.empty())
        OutLine += U"\r\n";
}

void Converter::AppendItemTail(LineValues& lv, std::size_t& BreakFlag)
{
    StripText(lv);
    if (lv.lineLength > 0) {
        if (OutLine.empty()) {
            OutLine = lv.line;
        } else {
            OutLine.push_back(U' ');
            OutLine += lv.line;
        }
    }
    if (BreakFlag > 0 && !OutLine.empty())
        OutLine += U"\r\n";
}

}  // namespace quorvik
