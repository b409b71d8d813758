#pragma once
// Lines in and out of the passes. A pass reads through a LineReader and writes through a
// LineSink, so the same pass runs over the window's work files, over documents and standard
// streams for the command line, and over memory in the tests.

#include "core/conversionstate.h"
#include "core/text.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace quorvik {

class LineReader {
public:
    virtual ~LineReader() = default;
    // Replaces `line` with the next line (without its terminator); false at the end.
    virtual bool ReadLine(Text& line) = 0;
    // Appends to `part` the next characters of the line being read, at most `most` of them
    // (a reader may give a whole line at once); `ended` tells whether that was the end of the
    // line. False when no line is left. A very long line can so be handled piece by piece.
    virtual bool ReadLinePart(Text& part, std::size_t most, bool& ended);
    // How many bytes are left to read, -1 when unknown. No line holds more characters than that.
    virtual std::int64_t BytesLeft() const { return -1; }
};

// Splits what is written the way a reader of the written file would see it: a written line is
// followed by CR LF, so a carriage return inside it (alone or followed by a line feed) ends a
// line there too. A lone line feed stays inside its line.
class ReadBackSplitter final : public LineSink {
public:
    explicit ReadBackSplitter(LineSink& next) : next_(next) {}
    void WriteLine(TextView line) override;

private:
    LineSink& next_;
};

// Lines kept in memory (tests, small tools).
class MemoryLines final : public LineSink, public LineReader {
public:
    MemoryLines() = default;
    explicit MemoryLines(std::vector<Text> lines) : lines(std::move(lines)) {}
    void WriteLine(TextView line) override { lines.emplace_back(line); }
    bool ReadLine(Text& line) override;

    std::vector<Text> lines;

private:
    std::size_t next_ = 0;
};

}  // namespace quorvik
