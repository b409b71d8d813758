#pragma once
// Blank-line removal with character clean-up: every line loses the clean-up sets, every run of
// blank lines shrinks to its first, and a lone ",", "*" or "-" after a blank line is dropped.

#include "passes/linestream.h"

#include <array>

namespace quorvik {

// The four clean-up sets, each used as one whole text.
struct CleanUpSets {
    std::array<Text, 4> sets{};
};

// Blanks every occurrence of each set (in order 1 to 4) out of the line and trims it. A set
// that is empty or made only of spaces is skipped.
void CleanUpChar(Text& CleanUpLine, const CleanUpSets& sets);

// Cleans one line and writes it unless it is a surplus blank or marker line.
void FilterBlankLine(Text& line, LineSink& out, long long& BlankRun, const CleanUpSets& sets);

// The pass fed line by line; also a sink, so that another pass can write into it.
//
// For the readable conversion (`readable`) a line is trimmed only at its end, so indents stay,
// and a line made only of spaces is a blank line of a preformatted block: it is written empty
// and never collapsed with its neighbours.
class BlankLinePass final : public LineSink {
public:
    BlankLinePass(const CleanUpSets& sets, LineSink& out, bool readable = false);
    void Feed(Text& line);
    void WriteLine(TextView line) override;

private:
    // The readable pass: a line made only of spaces is written empty (true); a cleaned line is
    // written trimmed at its end unless it is surplus.
    bool WroteBlockBlank(TextView line);
    void WriteReadable(TextView line);

    CleanUpSets sets_;
    bool cleansUp_;  // some set is in use: lines are copied to be cleaned
    LineSink& out_;
    bool readable_;
    long long blankRun_ = 0;
    Text buffer_;
};

void RemoveExtraLines(LineReader& in, LineSink& out, const CleanUpSets& sets, bool readable = false);

}  // namespace quorvik
