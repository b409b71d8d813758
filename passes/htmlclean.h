#pragma once
// The readable conversion's clean-up: reads a document's lines and gives them on with what a
// browser does not show taken out, so that the reflow and the line converter see only text and
// the tags they know, each written by its name in lower case.
//
// - Comments and the contents of <script>, <style> and <template> are dropped, up to the end
//   of the document when they are never closed.
// - Every document starts with a head, written or implied: "<head>" is written first, and
//   "</head>" where the head ends (at "</head", "<body", or the first other tag or non-blank
//   text); in the head only the title is kept.
// - Tags the converter knows are written by name, without attributes except a link's target
//   (`<a href="...">`); a header cell is written as a data cell. Other tags go: those inside
//   running text (<b>, <span>, ...) without a trace, the others leaving one space. A "<" or
//   ">" that begins no tag is written "&lt;" or "&gt;", so every "<" that follows is a tag.
// - Each line of a <pre> block is given as a line of its own, "<pre>" and its text, with the
//   tags inside it removed.
// Every step looks at each character once.

#include "passes/linestream.h"

#include <deque>

namespace quorvik {

class HtmlCleaner final : public LineReader {
public:
    explicit HtmlCleaner(LineReader& in);
    bool ReadLine(Text& line) override;
    // Gives parts of a long line; a preformatted line is always given whole.
    bool ReadLinePart(Text& part, std::size_t most, bool& ended) override;

private:
    enum class State {
        Text,          // running text
        TagOpen,       // after "<"
        EndTagOpen,    // after "</"
        Tag,           // inside a tag, collected in tag_
        Bang,          // after "<!"
        BangDash,      // after "<!-"
        Comment,       // inside "<!-- ... -->"
        Bogus,         // inside "<!...>", "<?...>" or "</ ...>": dropped up to ">"
        RawText,       // inside an element whose text is not HTML, up to its end tag
    };

    void Pull();  // reads and cleans the next part of the input
    void Clean(TextView chunk);
    static std::size_t TagEnd(TextView chunk, std::size_t from);
    void EndOfInputLine();
    void Finish();
    void Step(char32_t c);
    void TextChar(char32_t c);
    void Put(TextView text);  // text of the document (it ends an implied head)
    void PreNewline();
    void RawChar(char32_t c);
    void EnterRaw(TextView name, bool keep);
    void HandleTag(TextView tag);  // a whole tag, "<" to ">"
    void EndHead();
    void LeavePre();
    void EndLine(bool evenEmpty = false);

    LineReader& in_;
    State state_ = State::Text;
    Text input_;
    Text cur_;                 // the line being built
    std::deque<Text> ready_;   // lines complete
    Text spare_;               // a line's text to be used again
    bool gaveMore_ = false;    // part of cur_ has been given already
    bool done_ = false;
    bool inHead_ = true;
    bool pre_ = false;         // inside a <pre> block: cur_ starts with "<pre>"
    bool skipNewline_ = false; // a line feed right after <pre> belongs to the tag
    bool cellOpen_ = false;    // a table cell has begun and not ended
    Text tag_;
    char32_t quote_ = 0;
    int dashes_ = 0;
    // RawText: the name whose end tag ends it, how much of "</name" has been matched, whether
    // the text is kept (a title) or dropped.
    TextView rawName_;
    std::size_t rawMatched_ = 0;
    bool rawKeep_ = false;
};

}  // namespace quorvik
