#pragma once
// The state that carries a conversion from one input line to the next.

#include "core/text.h"

#include <cstdint>
#include <vector>

namespace quorvik {

// The converter's state words. A test for Yes or No is false for every other word; Empty is
// the empty text that the definition-list words start with (neither "yes" nor "no").
enum class Word : std::uint8_t { Empty, No, Yes, Processing, Done };

// What is put in front of the next list item: a text (empty, the bullet, or spaces) or a counter.
struct ItemMarker {
    bool isCounter = false;
    long long counter = 0;
    Text text;

    void SetText(TextView t) { isCounter = false; counter = 0; text.assign(t); }
    void SetCounter(long long n) { isCounter = true; counter = n; text.clear(); }
    bool IsEmptyText() const { return !isCounter && text.empty(); }
    Text Written() const;  // the counter in decimal, or the text unchanged
};

// One record per conversion run, passed to the line converter for every line.
struct ConversionState {
    Word InOrderedList = Word::No;
    Word InHead = Word::No;
    Word InParagraph = Word::No;
    Word InTable = Word::No;
    Word InTitle = Word::No;
    Word BreakPending = Word::No;
    ItemMarker Marker;  // `ItemMarker`
    Word InUnorderedList = Word::No;
    Word InBody = Word::No;
    Word InDefList = Word::No;
    Word CellState = Word::No;
    Word CaptionState = Word::No;
    Word InLink = Word::No;
    Word InListItem = Word::No;
    // Readable: the lists open around the line, innermost last, each ordered one with the number
    // of its last item; an item takes the marker of its own list, and the list around it goes on
    // when an inner one ends.
    struct OpenList {
        bool ordered = false;
        long long count = 0;
    };
    std::vector<OpenList> OpenLists;
};

// The option values the converter reads.
struct ConverterOptions {
    int TextLen = 80;           // 0 or below: lines are not wrapped
    Text TableCellSep = U",";   // already the value in use ("none" arrives as one space)
    Text BulletChar = U"*";
    // Clean text for real web pages: references decoded where text joins the output line,
    // white space runs made one space, preformatted lines kept, a heading after a blank line.
    bool readable = false;
};

// Where a line's first "<", its first ">" and its second ">" are (1-based, 0 when absent), as
// the tag scanner looks for them in the line with its spaces at both ends trimmed.
struct FirstBrackets {
    std::size_t lt = 0;
    std::size_t gt = 0;
    std::size_t nextGt = 0;
    bool operator==(const FirstBrackets& o) const { return lt == o.lt && gt == o.gt && nextGt == o.nextGt; }
};

// Where finished lines go. Each call is one written line; the line may itself hold a carriage
// return and line feed (running text marks its break that way), which a reader of the written
// file sees as a further line.
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual void WriteLine(TextView line) = 0;
    // The same for a line whose text the sink may take over (it is left in any state): a sink
    // that keeps the line can then avoid copying it.
    virtual void WriteTakenLine(Text& line) { WriteLine(line); }
    // The same for a line whose first brackets the writer already knows (the reflow finds them
    // on its way), so that a sink that scans the line need not look for them again.
    virtual void WriteKnownLine(TextView line, const FirstBrackets& known)
    {
        (void)known;
        WriteLine(line);
    }
};

}  // namespace quorvik
