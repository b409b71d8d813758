// The document title: the only text of the head that reaches the output, on a line of its own
// framed as "+++ " title " +++", followed by a blank line.

#include "core/converter.h"

namespace quorvik {

void Converter::EmitTitle(LineValues& lv, Word& InTitle, std::size_t titlePos)
{
    const std::size_t closing = Find(lv.line, U"</title");

    // Written as one line, never wrapped; nothing at all when no title text is left.
    auto writeFramed = [&] {
        if (lv.lineLength == 0)
            return;
        Text framed;
        framed.reserve(lv.line.size() + 8);  // once: a long title is not copied again as it grows
        framed = U"+++ ";
        framed += lv.line;
        framed += U" +++";
        FlattenWhitespace(framed);
        Write(framed);
        WriteBlank();
    };

    if (InTitle == Word::Yes) {
        // Title text on a line of its own, after an opening tag that ended its line.
        if (lv.TagStart == 0 && lv.TagEnd == 0 && lv.lineLength > 0) {
            StripText(lv);
            writeFramed();
        }
        // Title text ending in the closing tag.
        if (closing >= 1 && lv.TagStart > 1 && lv.lineLength == lv.TagEnd) {
            StripText(lv);
            writeFramed();
        }
        if (closing > 0)
            InTitle = Word::No;
    }
    // Opening tag and title text on one line.
    if (titlePos > 0 && lv.TagEnd < lv.lineLength) {
        StripText(lv);
        Trim(lv.line);
        writeFramed();
    }
    // The opening tag ends the line: the title follows on the next lines.
    if (titlePos > 0 && lv.lineLength == lv.TagEnd)
        InTitle = Word::Yes;
}

}  // namespace quorvik
