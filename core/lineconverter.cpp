// The line converter: recognises tags by fixed lower-case searches, moves the state words,
// writes finished and blank lines, and hands the line's text to the emitter that suits the
// state. Every rule sees only the current line and the state left by earlier lines.

#include "core/converter.h"
#include "core/tagsearch.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>

namespace quorvik {

namespace {

constexpr std::uint64_t MaskOf(std::initializer_list<Tag> tags)
{
    std::uint64_t mask = 0;
    for (Tag t : tags)
        mask |= std::uint64_t{1} << t;
    return mask;
}

// One test for several strings.
bool AnyFound(const TagPositions& p, std::uint64_t mask)
{
    return (p.mask & mask) != 0;
}

constexpr std::uint64_t kHeadingOpens = MaskOf({kH1, kH2, kH3, kH4, kH5, kH6});
constexpr std::uint64_t kHeadingEnds = MaskOf({kEndH1, kEndH2, kEndH3, kEndH4, kEndH5, kEndH6});
constexpr std::uint64_t kLineEnds = MaskOf({kEndLi, kEndUl, kEndOl, kEndDl, kBr});
constexpr std::uint64_t kRules1To6 = kHeadingOpens | kLineEnds | kHeadingEnds | MaskOf({kMenu, kDir, kLi, kEndHtml});
constexpr std::uint64_t kRules11To15 = MaskOf({kEndOl, kEndUl, kEndDl, kDt, kDd});
constexpr std::uint64_t kRules16To22 = MaskOf({kEndTable, kEndTd, kEndCaption, kTable, kTr, kTd, kTh, kCaption});
constexpr std::uint64_t kRules23To26 = MaskOf({kDl, kOl, kUl, kDt, kDd});

}  // namespace

void Converter::Flush(LineValues& lv)
{
    // Only a pending OutLine is written; text before the line's first tag then joins it.
    if (!OutLine.empty()) {
        WriteLine(lv);
        BlankLines = 0;
    }
}

void Converter::CloseList(ConversionState& st, bool ordered)
{
    // The innermost list of that kind ends, with any list still open inside it; the list around
    // it, if any, goes on (its item too), and without one no list is open.
    auto& lists = st.OpenLists;
    while (!lists.empty()) {
        const bool wasOrdered = lists.back().ordered;
        lists.pop_back();
        if (wasOrdered == ordered)
            break;
    }
    if (lists.empty()) {
        st.InOrderedList = st.InUnorderedList = Word::No;
        return;
    }
    (lists.back().ordered ? st.InOrderedList : st.InUnorderedList) = Word::Yes;
    st.InListItem = Word::Yes;
}

void Converter::ConvertLine(Text& line, ConversionState& st)
{
    PreparedLine prepared;
    PrepareLine(line, prepared, options_.readable);
    ConvertPrepared(prepared, st);
    line.swap(prepared.lv.line);
}

void Converter::ScanTakenLine(Text& line, LineValues& lv, bool readable)
{
    lv.line.clear();
    lv.line.swap(line);
    Trim(lv.line);
    lv.lineLength = lv.line.size();
    if (readable && IsPreformattedLine(lv.line)) {
        lv.TagStart = 1;
        lv.TagEnd = 5;
        return;
    }
    lv.TagStart = Find(lv.line, U'<');
    lv.TagEnd = Find(lv.line, U'>');
    if (lv.TagStart >= 1 && lv.TagEnd >= 1)
        PlaceTag(lv, Find(lv.line, U'>', lv.TagEnd + 1), lv.TagStart, lv.TagEnd);
}

void Converter::ScanLine(TextView line, LineValues& lv, bool readable)
{
    lv.line.clear();
    ScanLineInto(line, lv.line, lv, readable);
}

void Converter::ScanLineInto(TextView line, Text& into, LineValues& lv, bool readable, const FirstBrackets* known)
{
    // The positions are taken from the text given, before it is copied.
    const TextView trimmed = Trimmed(line);
    const std::size_t base = into.size();
    lv.lineLength = trimmed.size();
    if (readable && IsPreformattedLine(trimmed)) {
        // The tag scanner would take the spaces after "<pre>", which are the line's indent.
        into.append(trimmed);
        lv.TagStart = 1;
        lv.TagEnd = 5;
        return;
    }
    lv.TagStart = known ? known->lt : Find(trimmed, U'<');
    lv.TagEnd = known ? known->gt : Find(trimmed, U'>');
    const std::size_t next = known ? known->nextGt : lv.TagEnd >= 1 ? Find(trimmed, U'>', lv.TagEnd + 1) : 0;
    if (lv.TagStart == 1 && lv.TagEnd >= 1) {
        // The usual line: it opens with its tag, which PlaceTag would lower (up to the second
        // ">" at most) and close up with the rest. That is done here as the line is copied, so
        // that nothing just written is read back or moved.
        const std::size_t n = trimmed.size();
        const std::size_t te = std::max(lv.TagEnd, next);
        std::size_t r = te;
        while (r < n && trimmed[r] == U' ')
            ++r;
        into.resize(base + te);
        LowerInto(trimmed.data(), te, into.data() + base);
        into.append(trimmed.data() + r, n - r);
        lv.lineLength = n - (r - te);
        return;  // both first places lie within the tag, so they stay
    }
    into.append(trimmed);
    if (lv.TagStart >= 1 && lv.TagEnd >= 1)
        PlaceTag(into, base, lv, next, lv.TagStart, lv.TagEnd);
}

void Converter::ApplyTagRules(LineValues& lv, const TagPositions& pos, ConversionState& st, std::size_t& BreakFlag,
                              std::size_t& LiPos)
{
    std::size_t nbspPos = pos[kNbsp], ampPos = pos[kAmp], num160Pos = pos[kNum160];

    const bool headingOpens = AnyFound(pos, kHeadingOpens);
    const bool headingEnds = AnyFound(pos, kHeadingEnds);

    // Rules 1 to 6 each fire only on one of their strings: a line holding none passes them.
    if (AnyFound(pos, kRules1To6)) {
        // 1. A heading ends every list, table and paragraph state. Readable: it starts on a line of
        //    its own, after one blank line.
        if (headingOpens && options_.readable) {
            Flush(lv);
            if (!lastWrittenBlank_)
                WriteBlank();
        }
        if (headingOpens) {
            st.OpenLists.clear();
            st.InParagraph = st.InOrderedList = st.InHead = st.InTable = st.InTitle = Word::No;
            st.InUnorderedList = st.InDefList = st.CellState = st.CaptionState = Word::No;
            st.InLink = st.InListItem = Word::No;
            HangIndent = 0;
        }
        // 2. List end or line break.
        if (AnyFound(pos, kLineEnds)) {
            Flush(lv);
            HangIndent = 0;
        }
        // 3. Heading ends.
        if (headingEnds) {
            Flush(lv);
            WriteBlank();
            HangIndent = 0;
        }
        // 4. Menu or directory list.
        if (pos.found(kMenu) || pos.found(kDir)) {
            st.InParagraph = Word::No;
            Flush(lv);
            WriteBlank();
            HangIndent = 0;
        }
        // 5. List item opens: the blank line comes before the text that OutLine still holds.
        if (pos.found(kLi)) {
            st.InListItem = Word::Yes;
            if (BlankLines < 1) {
                WriteBlank();
                WriteLine(lv);
                BlankLines = 0;
            } else {
                Flush(lv);
            }
            st.InParagraph = Word::No;
            HangIndent = 0;
        }
        // 6. Document end.
        if (pos.found(kEndHtml))
            FlushLine();
    }
    // 7. Entities (the readable conversion decodes them as the text is appended).
    if (options_.readable)
        nbspPos = ampPos = num160Pos = 0;
    if (nbspPos > 0)
        ReplaceEntities(lv, nbspPos, ampPos, num160Pos);
    if (ampPos > 0)
        ReplaceEntities(lv, nbspPos, ampPos, num160Pos);
    if (num160Pos > 0)
        ReplaceEntities(lv, nbspPos, ampPos, num160Pos);
    // 8. Anchor: a line holding both ends inside the link.
    if (pos.found(kEndA))
        st.InLink = Word::No;
    if (pos.found(kAHref))
        st.InLink = Word::Yes;
    // 9. Paragraph end.
    if (pos.found(kEndP) && st.InTable == Word::No) {
        if (lv.TagStart < 2) {
            Flush(lv);
            BreakFlag = 0;
        } else {
            BreakFlag = 1;
        }
    }
    // 10.
    if (pos.found(kHead))
        st.InHead = Word::Yes;
    // Rules 11 to 15 each fire only on one of their strings: a line holding none passes them.
    if (AnyFound(pos, kRules11To15)) {
        // 11. "/ol>" is the only closing form of an ordered list.
        if (pos.found(kEndOl)) {
            st.InOrderedList = Word::No;
            st.InListItem = Word::No;
            if (options_.readable)
                CloseList(st, true);
        }
        // 12.
        if (pos.found(kEndUl)) {
            st.InUnorderedList = Word::No;
            if (!(BlankLines >= 1 && OutLine.empty())) {
                WriteLine(lv);
                BlankLines = 0;
            }
            if (options_.readable)
                CloseList(st, false);
        }
        // 13.
        if (pos.found(kEndDl)) {
            st.InDefList = InDefTerm = InDefData = Word::No;
            Flush(lv);
            HangIndent = 0;
        }
        // 14.
        if (pos.found(kDt)) {
            InDefTerm = Word::Yes;
            InDefData = Word::No;
            Flush(lv);
            HangIndent = 0;
        }
        // 15. HangIndent is left alone when nothing is pending.
        if (pos.found(kDd)) {
            InDefData = Word::Yes;
            InDefTerm = Word::No;
            if (!OutLine.empty()) {
                WriteLine(lv);
                BlankLines = 0;
                HangIndent = 0;
            }
        }
    }
    // Rules 16 to 22 each fire only on one of their strings: a line holding none passes them.
    if (AnyFound(pos, kRules16To22)) {
        // 16.
        if (pos.found(kEndTable)) {
            st.InTable = Word::No;
            if (!OutLine.empty()) {
                TrimCellSep(OutLine);
                WriteLine(lv);
                BlankLines = 0;
            }
            st.CellState = Word::No;
            HangIndent = 0;
        }
        // 17.
        if (pos.found(kEndTd))
            st.CellState = Word::Done;
        // 18. Caption text that ends in its closing tag joins the caption.
        if (pos.found(kEndCaption)) {
            if (lv.TagStart >= 2 && lv.lineLength == lv.TagEnd) {
                StripText(lv);
                OutLine.push_back(U' ');
                OutLine += lv.line;
                Trim(OutLine);
            }
            if (!OutLine.empty()) {
                TrimCellSep(OutLine);
                WriteLine(lv);
                BlankLines = 0;
            }
            st.CaptionState = Word::Done;
            HangIndent = 0;
        }
        // 19.
        if (pos.found(kTable)) {
            st.InTable = Word::Yes;
            st.BreakPending = Word::Yes;
            st.InParagraph = Word::No;
            st.Marker.SetText(TextView());
            st.InListItem = Word::No;
            if (OutLine.empty()) {
                WriteBlank();
                ++BlankLines;
            } else {
                WriteLine(lv);
                BlankLines = 0;
            }
            HangIndent = 0;
        }
        // 20. A new row writes the row collected so far and a blank line.
        if (pos.found(kTr)) {
            if (!OutLine.empty()) {
                TrimCellSep(OutLine);
                WriteLine(lv);
                BlankLines = 0;
                WriteBlank();
            }
            st.CellState = Word::No;
            CellCount = 0;
            HangIndent = 0;
        }
        // 21.
        if (pos.found(kTd) || pos.found(kTh)) {
            st.CellState = Word::Yes;
            ++CellCount;
            if (CellCount > 1)
                st.CellState = Word::Processing;
        }
        // 22.
        if (pos.found(kCaption))
            st.CaptionState = Word::Yes;
    }
    // Rules 23 to 26 each fire only on one of their strings: a line holding none passes them.
    if (AnyFound(pos, kRules23To26)) {
        // 23.
        if (pos.found(kDl)) {
            st.InDefList = Word::Yes;
            st.BreakPending = Word::Yes;
            st.InParagraph = Word::No;
            st.Marker.SetText(TextView());
            Flush(lv);
            WriteBlank();
            ++BlankLines;
            HangIndent = 0;
        }
        // 24.
        if (pos.found(kOl)) {
            if (OutLine.empty()) {
                WriteBlank();
                ++BlankLines;
            } else {
                WriteLine(lv);
                BlankLines = 0;
            }
            st.InOrderedList = Word::Yes;
            st.InParagraph = Word::No;
            st.Marker.SetCounter(0);
            HangIndent = 0;
            if (options_.readable)
                st.OpenLists.push_back({true, 0});
        }
        // 25.
        if (pos.found(kUl)) {
            st.InUnorderedList = Word::Yes;
            Flush(lv);
            st.BreakPending = Word::Yes;
            st.InParagraph = Word::No;
            st.Marker.SetText(TextView());
            HangIndent = 0;
            if (options_.readable)
                st.OpenLists.push_back({false, 0});
        }
        // 26. Definition markers.
        if (pos.found(kDt) && st.InDefList == Word::Yes) {
            st.Marker.SetText(U"   ");
            LiPos = 1;
        } else if (pos.found(kDd) && st.InDefList == Word::Yes) {
            st.Marker.SetText(U"         ");
            LiPos = 1;
        }
    }
    // 27. Item markers. Readable: an item of an open list is marked as its own list marks it.
    if (options_.readable && pos.found(kLi) && !st.OpenLists.empty() && LiPos >= 1) {
        ConversionState::OpenList& list = st.OpenLists.back();
        if (list.ordered)
            st.Marker.SetCounter(++list.count);
        else
            st.Marker.SetText(options_.BulletChar);
    } else if (LiPos >= 1) {
        if (st.InOrderedList == Word::Yes) {
            if (st.Marker.isCounter) {
                st.Marker.SetCounter(st.Marker.counter + 1);
            } else if (!st.Marker.IsEmptyText() && (pos.found(kDt) || pos.found(kDd))) {
                // A term or definition inside an ordered list keeps its spaces: nothing to count.
            } else {
                // Any other text marker counts as the empty text: the count starts again.
                st.Marker.SetCounter(1);
            }
        } else if (st.InUnorderedList == Word::Yes) {
            // Readable: a term or definition inside an unordered list keeps its spaces, as it
            // does inside an ordered one, rather than taking the list's bullet.
            if (!(options_.readable && st.InDefList == Word::Yes && (pos.found(kDt) || pos.found(kDd))))
                st.Marker.SetText(options_.BulletChar);
        } else if (st.InUnorderedList == Word::No && st.InOrderedList == Word::No) {
            st.Marker.SetText(U"     ");
        }
    }
    // 28.
    if (pos.found(kEndHead)) {
        st.InHead = Word::No;
        st.InBody = Word::Yes;
    }
}

void Converter::ConvertPrepared(PreparedLine& prepared, ConversionState& st)
{
    LineValues& lv = prepared.lv;
    const TagPositions& pos = prepared.pos;
    lv.bracketsAtMost = pos.brackets;
    lineDecoded_ = false;
    if (options_.readable && IsPreformattedLine(lv.line)) {
        WritePreformattedLine(lv);
        return;
    }
    std::size_t BreakFlag = pos[kBr];
    std::size_t LiPos = pos[kLi];
    // Rules 1 to 28 each need one of the searched strings; many lines hold none of them.
    if (pos.mask != 0)
        ApplyTagRules(lv, pos, st, BreakFlag, LiPos);
    // 29.
    if (st.InLink == Word::Yes)
        AppendLinkInfo(lv);
    // 30. Paragraph opens (not inside a list item or a table).
    if (pos.found(kP) && st.InListItem == Word::No && st.InTable == Word::No) {
        Flush(lv);
        st.InParagraph = Word::Yes;
        st.BreakPending = Word::Yes;
        st.InListItem = Word::No;
        HangIndent = 0;
    }
    // 31.
    if (st.BreakPending == Word::Yes)
        WriteBreak(st.BreakPending);
    // 32.
    if (st.InDefList == Word::Yes && st.InTable == Word::No)
        AppendDefListText(lv, st.InDefList);
    // 33. A line that is only a break.
    if (BreakFlag >= 1 && lv.lineLength == 4) {
        if (OutLine.empty()) {
            WriteBreak(st.BreakPending);
        } else {
            WriteLine(lv);
            BlankLines = 0;
        }
    }
    // 34. Break at the start of a line.
    if (lv.TagStart == 1 && BreakFlag >= 1) {
        if (OutLine.empty()) {
            if (lv.lineLength == BreakFlag) {
                WriteBlank();
                ++BlankLines;
            }
        } else {
            WriteLine(lv);
            BlankLines = 0;
        }
        BreakFlag = 0;
    }
    // 35 to 40: the emitters; more than one may take the same line.
    if (st.InOrderedList == Word::Yes || (st.InUnorderedList == Word::Yes && st.InTable == Word::No))
        AppendListItem(lv, LiPos, st.Marker, BreakFlag, st.InUnorderedList, st.InOrderedList);
    if (st.InListItem == Word::Yes && st.InOrderedList == Word::No && st.InUnorderedList == Word::No
        && st.InDefList == Word::No && st.InTable == Word::No)
        AppendItemTail(lv, BreakFlag);
    if (st.InParagraph == Word::Yes && st.InDefList == Word::No && st.InUnorderedList == Word::No) {
        // The title and table emitters come after it; the body-text one never runs in a paragraph.
        lineFreeAfterParagraph_ = st.InHead != Word::Yes && st.InTable != Word::Yes;
        AppendParagraphText(lv, BreakFlag);
        lineFreeAfterParagraph_ = false;
    }
    if (st.InHead == Word::Yes)
        EmitTitle(lv, st.InTitle, pos[kTitle]);
    if (st.InTable == Word::Yes)
        AppendTableText(lv, st.CellState, st.CaptionState, BreakFlag);
    if (st.InBody == Word::Yes && lv.lineLength > 0 && st.InUnorderedList == Word::No
        && st.InOrderedList == Word::No && st.InParagraph == Word::No && st.InDefList == Word::No
        && st.InTable == Word::No && st.InListItem == Word::No)
        AppendBodyText(lv, BreakFlag);
    // 41. End-of-line break.
    if (BreakFlag > 0) {
        if (!OutLine.empty()) {
            WriteLine(lv);
            BlankLines = 0;
        } else {
            WriteBlank();
            ++BlankLines;
        }
        BreakFlag = 0;
    }
}

}  // namespace quorvik
