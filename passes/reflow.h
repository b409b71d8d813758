#pragma once
// The tag reflow pre-pass: rewrites a document's HTML so that every line holds at most one
// tag at its start, with the text that belongs to it. It joins a tag broken across lines, cuts
// a line in front of its second tag and moves text after a line's last tag to the next line.

#include "passes/linestream.h"

namespace quorvik {

// Reflows one input line (already trimmed), after joining the text carried from the previous
// line, and leaves in `Carry` what the next line must start with.
void ReflowLine(Text& line, Text& Carry, LineSink& out);

// One pre-pass run, fed line by line.
class ReflowPass {
public:
    // `readable`: the lines come from the readable clean-up (HtmlCleaner), whose preformatted
    // lines are written as they stand.
    explicit ReflowPass(LineSink& out, bool readable = false) : out_(out), readable_(readable) {}
    void Feed(Text& line);  // a line as read: trimmed here
    // Reads the next line from `in` and reflows it; false when no line is left. A line longer
    // than `partSize` characters (0: the usual size) is read and reflowed part by part, with the
    // same result as Feed on the whole line.
    bool FeedNext(LineReader& in, std::size_t partSize = 0);
    void Finish();  // text still carried at the end is written as a last line

private:
    LineSink& out_;
    bool readable_;
    Text carry_;
    Text part_;
};

// One run over a whole document; `readable` puts the readable clean-up in front.
void RunReflowPass(LineReader& in, LineSink& out, bool readable = false);

}  // namespace quorvik
