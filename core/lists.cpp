// Lists: ordered items start with their number, unordered items with the bullet text, a
// definition term stands on its own line and its definition follows with a hanging indent.
// One flag per list kind and one marker: an inner list changes the outer list's state.

#include "core/converter.h"

#include <string>

namespace quorvik {

Text ItemMarker::Written() const
{
    if (!isCounter)
        return text;
    const std::string digits = std::to_string(counter);
    return Text(digits.begin(), digits.end());
}

void Converter::AppendListItem(LineValues& lv, std::size_t LiPos, const ItemMarker& marker,
                               std::size_t& BreakFlag, Word InUnorderedList, Word InOrderedList)
{
    auto build = [&] {
        if (LiPos > 0) {
            // The readable conversion keeps what an earlier emitter took from this line (a term
            // or definition inside a list item) and puts the marker before it.
            const bool keep = options_.readable && lineDecoded_ && !OutLine.empty();
            if (keep)
                scratch_ = OutLine;
            OutLine = marker.Written();
            OutLine += U"   ";  // with the joining space, four spaces between marker and text
            if (keep) {
                OutLine.push_back(U' ');
                OutLine += scratch_;
            }
        }
        if (lv.lineLength > 0) {
            StripText(lv);
            if (!lv.line.empty()) {
                if (OutLine.empty()) {
                    OutLine = lv.line;
                } else {
                    OutLine.push_back(U' ');
                    OutLine += lv.line;
                }
            }
        }
    };
    // Inside both kinds at once the item is built twice; with a marker the second build
    // replaces the first, without one the text would be there twice: the readable conversion
    // builds it once.
    if (InOrderedList == Word::Yes)
        build();
    if (InUnorderedList == Word::Yes && !(options_.readable && InOrderedList == Word::Yes))
        build();
    if (BreakFlag > 0 && !OutLine.empty()) {
        WriteLine(lv);
        BreakFlag = 0;
        BlankLines = 0;
    }
}

void Converter::AppendDefListText(LineValues& lv, Word InDefList)
{
    auto append = [&] {
        if (OutLine.empty()) {
            OutLine = lv.line;
        } else {
            OutLine.push_back(U' ');
            OutLine += lv.line;
        }
    };
    // Text before the first term.
    if (InDefList == Word::Yes && InDefTerm != Word::Yes && InDefData != Word::Yes) {
        StripText(lv);
        if (lv.lineLength > 0)
            append();
    }
    if (InDefTerm == Word::Yes) {
        StripText(lv);
        if (lv.lineLength > 0)
            append();
    }
    // A definition starts a fresh OutLine that WriteLine indents by five spaces.
    if (InDefData == Word::Yes) {
        StripText(lv);
        if (lv.lineLength > 0) {
            if (OutLine.empty()) {
                HangIndent = 1;
                OutLine = lv.line;
            } else {
                append();
            }
        }
    }
}

}  // namespace quorvik
