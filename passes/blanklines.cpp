#include "passes/blanklines.h"

#include <algorithm>

namespace quorvik {

namespace {

// A set that is empty or made only of spaces is skipped.
bool InUse(const Text& set)
{
    return !set.empty() && set.find_first_not_of(U' ') != Text::npos;
}

}  // namespace

// After an occurrence has been blanked, the next one cannot start before it unless it takes
// in some of the new spaces, so the search goes on from there: from the end of the blanked
// characters for a set without spaces, from a set's length before that end for a set with
// spaces (whose spaces the blanking may complete). Searching again from the front of the line
// after every occurrence gives the same result in quadratic time.
namespace {

void BlankSets(Text& line, const CleanUpSets& sets)
{
    for (const Text& set : sets.sets) {
        if (!InUse(set))
            continue;
        const std::size_t len = set.size();
        const bool hasSpace = set.find(U' ') != Text::npos;
        // Find gives 1-based positions, 0 when absent.
        for (std::size_t p = Find(line, set); p > 0;) {
            for (std::size_t i = p - 1; i < p - 1 + len; ++i)
                line[i] = U' ';
            const std::size_t from = hasSpace ? (p >= len ? p - len : 0) : p - 1 + len;
            p = Find(line, set, from + 1);
        }
    }
}

}  // namespace

void CleanUpChar(Text& CleanUpLine, const CleanUpSets& sets)
{
    BlankSets(CleanUpLine, sets);
    Trim(CleanUpLine);
}

namespace {

// What FilterBlankLine does with a line already cleaned up and trimmed.
void WriteUnlessSurplus(TextView line, LineSink& out, long long& BlankRun)
{
    const std::size_t n = line.size();
    const bool markerLine = n == 1 && (line[0] == U',' || line[0] == U'*' || line[0] == U'-');
    if (n > 0) {
        if (markerLine && BlankRun > 0) {
            ++BlankRun;  // a marker after a blank line is dropped and counts as blank
        } else {
            out.WriteLine(line);
            BlankRun = 0;
        }
    } else {
        if (BlankRun < 1)
            out.WriteLine(TextView());
        ++BlankRun;
    }
}

}  // namespace

void FilterBlankLine(Text& line, LineSink& out, long long& BlankRun, const CleanUpSets& sets)
{
    CleanUpChar(line, sets);
    WriteUnlessSurplus(line, out, BlankRun);
}

BlankLinePass::BlankLinePass(const CleanUpSets& sets, LineSink& out, bool readable)
    : sets_(sets), cleansUp_(std::any_of(sets.sets.begin(), sets.sets.end(), InUse)), out_(out), readable_(readable)
{
}

void BlankLinePass::Feed(Text& line)
{
    if (!readable_) {
        FilterBlankLine(line, out_, blankRun_, sets_);
        return;
    }
    if (WroteBlockBlank(line))
        return;
    BlankSets(line, sets_);
    WriteReadable(line);
}

bool BlankLinePass::WroteBlockBlank(TextView line)
{
    if (line.empty() || line.find_first_not_of(U' ') != TextView::npos)
        return false;
    out_.WriteLine(TextView());
    blankRun_ = 0;
    return true;
}

void BlankLinePass::WriteReadable(TextView line)
{
    std::size_t e = line.size();
    while (e > 0 && line[e - 1] == U' ')
        --e;
    WriteUnlessSurplus(line.substr(0, e), out_, blankRun_);
}

void BlankLinePass::WriteLine(TextView line)
{
    if (readable_) {
        // Without clean-up sets the line is only looked at: no copy is needed.
        if (!cleansUp_) {
            if (!WroteBlockBlank(line))
                WriteReadable(line);
            return;
        }
        buffer_.assign(line);
        Feed(buffer_);
        return;
    }
    // Without clean-up sets, cleaning a line only trims it: no copy is needed for that.
    if (!cleansUp_) {
        WriteUnlessSurplus(Trimmed(line), out_, blankRun_);
        return;
    }
    buffer_.assign(line);
    Feed(buffer_);
}

void RemoveExtraLines(LineReader& in, LineSink& out, const CleanUpSets& sets, bool readable)
{
    BlankLinePass pass(sets, out, readable);
    Text line;
    while (in.ReadLine(line))
        pass.Feed(line);
}

}  // namespace quorvik
