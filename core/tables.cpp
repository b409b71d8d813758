// Tables: one text line per row, the cells joined by the cell delimiter and a space, a blank
// line after each row; a caption becomes a line of its own.

#include "core/converter.h"

namespace quorvik {

void Converter::AppendTableText(LineValues& lv, Word CellState, Word CaptionState, std::size_t BreakFlag)
{
    auto append = [&](TextView t) {
        if (OutLine.empty()) {
            OutLine.assign(t);
        } else {
            OutLine.push_back(U' ');
            OutLine += t;
        }
    };
    // Each step tests the states as they were on entry.
    if (CaptionState == Word::Yes) {
        StripText(lv);
        if (lv.lineLength > 0) {
            append(Trimmed(lv.line));
            Trim(OutLine);
        }
    }
    if (CellState == Word::Yes) {
        if (lv.lineLength > 0) {
            StripText(lv);
            Trim(lv.line);
            append(lv.line);
            Trim(OutLine);
        }
    }
    if (CellState == Word::Processing) {
        if (lv.lineLength > 0) {
            StripText(lv);
            Trim(lv.line);
            append(lv.line);
        }
        Trim(OutLine);
    }
    // After a cell end the delimiter goes in even when the line brings no text (a line that
    // holds only "</td>"); the delimiter left at the end of a row is trimmed when it is written.
    if (CellState == Word::Done) {
        if (lv.lineLength > 0) {
            StripText(lv);
            Trim(lv.line);
        }
        OutLine += options_.TableCellSep;
        OutLine.push_back(U' ');
        OutLine += lv.line;
        Trim(OutLine);
    }
    if (!OutLine.empty() && BreakFlag > 0 && CellState == Word::Yes) {
        TrimCellSep(OutLine);
        WriteLine(lv);
        BlankLines = 0;
    }
}

// Removes the delimiter from both ends of a row, repeatedly, with the spaces beside it. An end
// character matches when the delimiter occurs in it, so only a one-character delimiter can
// match; an empty delimiter matches nothing (it would otherwise erase the whole row).
void Converter::TrimCellSep(Text& text) const
{
    const Text& sep = options_.TableCellSep;
    auto matches = [&sep](char32_t c) { return sep.size() == 1 && sep[0] == c; };

    std::size_t lo = 0, hi = text.size();
    while (hi > lo && text[hi - 1] == U' ')
        --hi;
    while (lo < hi && text[lo] == U' ')
        ++lo;
    while (lo < hi) {
        const bool single = hi - lo == 1;
        const bool lastMatches = matches(text[hi - 1]);
        const bool firstMatches = matches(text[lo]);
        if (lastMatches) {
            --hi;
            while (hi > lo && text[hi - 1] == U' ')
                --hi;
        }
        if (firstMatches && !(lastMatches && single)) {
            ++lo;
            while (lo < hi && text[lo] == U' ')
                ++lo;
        }
        if (!lastMatches && !firstMatches)
            break;
    }
    text.erase(hi);
    text.erase(0, lo);
}

}  // namespace quorvik
