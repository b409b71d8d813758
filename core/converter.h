#pragma once
// The line-by-line HTML-to-text converter: its long-lived fields and its operations.
// Each operation keeps the name it has in the conversion's description; the files of this
// folder group them by what they do (tag scanner, line converter, output lines, lists,
// tables, entities, links, title).

#include "core/conversionstate.h"
#include "core/linkswitches.h"
#include "core/tagsearch.h"
#include "core/text.h"

#include <cstddef>
#include <cstdint>

namespace quorvik {

// The current line and its companions. They travel together: whoever rewrites the line
// recomputes the others. Positions are 1-based, 0 when absent.
struct LineValues {
    Text line;
    std::size_t lineLength = 0;
    std::size_t TagStart = 0;  // first "<"
    std::size_t TagEnd = 0;    // first ">"
    // The line holds no more "<" and ">" than this (SIZE_MAX: not known). The conversion only
    // ever takes brackets out of a line, so this stays true; whatever may put one in (the
    // readable decoding) sets it back to SIZE_MAX.
    std::size_t bracketsAtMost = SIZE_MAX;

    void Recount();  // lineLength, TagStart and TagEnd from the line as it stands
};

// A line made ready for the converter: trimmed, its first tag put in place by the tag scanner,
// and every searched string found. This depends on the line alone, never on the state, so it
// can be done ahead of the conversion (on another thread).
struct PreparedLine {
    LineValues lv;
    TagPositions pos;
};

class Converter {
public:
    Converter(const ConverterOptions& options, const LinkSwitches& links, LineSink& out);

    // Starts a run: every field back to its start value.
    void Reset();
    // Converts one input line (already trimmed by the run, trimmed again here).
    void ConvertLine(Text& line, ConversionState& state);
    // The same in steps: the two parts that look at the line alone (the tag scanner, then the
    // search for the fixed strings), then the rest.
    // In the readable conversion (`readable`) a preformatted line is kept as it stands.
    static void ScanLine(TextView line, LineValues& lv, bool readable = false);
    static void ScanTakenLine(Text& line, LineValues& lv, bool readable = false);  // taking the text over
    // ScanLine with the scanned line appended to `into` (lv.line is left alone): lines kept one
    // after another are then written once.
    // `known`, when not null, is where the line's first brackets are (they are not looked for).
    static void ScanLineInto(TextView line, Text& into, LineValues& lv, bool readable = false,
                             const FirstBrackets* known = nullptr);
    static void PrepareLine(TextView line, PreparedLine& prepared, bool readable = false)
    {
        ScanLine(line, prepared.lv, readable);
        SearchTags(prepared.lv.line, prepared.pos);
    }
    void ConvertPrepared(PreparedLine& prepared, ConversionState& state);
    // Writes what is left at the end of a run.
    void FlushLine();

    // Long-lived fields, public for the tests that set up a situation.
    Text OutLine;
    long long BlankLines = 0;
    long long CellCount = 0;
    int HangIndent = 0;
    Word InDefTerm = Word::Empty;
    Word InDefData = Word::Empty;

    // Tag scanner.
    static void ScanTag(LineValues& lv);
    // ScanTag's work on a trimmed line, given the ">" after lv.TagEnd (`next`) and the line's
    // first "<" and ">" (`lt`, `gt`), all 1-based and 0 when absent, found before the line was
    // copied (reading back characters just written costs more than reading them before).
    static void PlaceTag(LineValues& lv, std::size_t next, std::size_t lt, std::size_t gt)
    {
        PlaceTag(lv.line, 0, lv, next, lt, gt);
    }
    // The same on the line that fills `text` from `base` to its end; lv.line is not read.
    static void PlaceTag(Text& text, std::size_t base, LineValues& lv, std::size_t next, std::size_t lt,
                         std::size_t gt);

    // Output lines and wrapping.
    void WriteLine(LineValues& lv);
    void WriteBreak(Word& BreakPending);
    static void StripTags(LineValues& lv);
    // StripTags as the emitters use it: in the readable conversion the text left is then made
    // readable (MakeReadableText), and only the first emitter of a line gets it.
    void StripText(LineValues& lv);
    // A line of a preformatted block, as the readable conversion's clean-up writes it: "<pre>"
    // and the line's text.
    static bool IsPreformattedLine(TextView line) { return line.substr(0, 5) == U"<pre>"; }
    void WritePreformattedLine(LineValues& lv);
    void AppendParagraphText(LineValues& lv, std::size_t& BreakFlag);
    void AppendBodyText(LineValues& lv, std::size_t& BreakFlag);
    void AppendItemTail(LineValues& lv, std::size_t& BreakFlag);

    // Lists.
    void AppendListItem(LineValues& lv, std::size_t LiPos, const ItemMarker& marker, std::size_t& BreakFlag,
                        Word InUnorderedList, Word InOrderedList);
    void AppendDefListText(LineValues& lv, Word InDefList);

    // Tables.
    void AppendTableText(LineValues& lv, Word CellState, Word CaptionState, std::size_t BreakFlag);
    void TrimCellSep(Text& text) const;

    // Entities. No "&nbsp" starts before `nbspPos` (0: the line holds none); `ampPos` is where
    // the first cut is made.
    static void ReplaceEntities(LineValues& lv, std::size_t& nbspPos, std::size_t& ampPos, std::size_t& num160Pos);

    // Links.
    void AppendLinkInfo(const LineValues& lv);

    // Title.
    void EmitTitle(LineValues& lv, Word& InTitle, std::size_t titlePos);

private:
    void Write(TextView text)
    {
        // Readable: a line of nothing but spaces (a marker without text) is a blank line, as
        // only a blank line of a preformatted block is written as one space.
        if (options_.readable && !text.empty() && text[0] == U' ' && text.find_first_not_of(U' ') == TextView::npos)
            text = TextView();
        lastWrittenBlank_ = text.empty() || text.back() == U'\n';
        out_.WriteLine(text);
    }
    void WriteBlank()
    {
        lastWrittenBlank_ = true;
        out_.WriteLine(TextView());
    }
    void Flush(LineValues& lv);  // "flush": a pending OutLine is written through WriteLine
    // Readable: the end of the innermost open list of one kind ("/ol>" or "</ul").
    static void CloseList(ConversionState& st, bool ordered);
    // Rules 1 to 28 of ConvertPrepared: those that fire on a searched string found in the line.
    void ApplyTagRules(LineValues& lv, const TagPositions& pos, ConversionState& st, std::size_t& BreakFlag,
                       std::size_t& LiPos);
    void WrapPlain(std::size_t start);
    void WrapHanging(std::size_t start);

    // Set while AppendParagraphText runs for a line that no later emitter reads (the line is not
    // in the head or a table): its text may then be moved into an empty OutLine, not copied.
    bool lineFreeAfterParagraph_ = false;
    bool lineDecoded_ = false;       // the readable conversion has made this line's text readable
    bool lastWrittenBlank_ = true;   // the last line written was blank (or none was written)
    ConverterOptions options_;
    const LinkSwitches& links_;
    LineSink& out_;
    Text scratch_;
};

// The four characters that join text without a space.
inline bool IsJoiningPunctuation(char32_t c)
{
    return c == U',' || c == U'.' || c == U'?' || c == U'!';
}

}  // namespace quorvik
