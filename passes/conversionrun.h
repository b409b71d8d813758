#pragma once
// The conversion run: every line of the reflowed HTML through the line converter, in order,
// with one ConversionState carried from line to line, and what is left written at the end.

#include "core/converter.h"
#include "passes/linestream.h"

#include <vector>

namespace quorvik {

class ConversionRun {
public:
    ConversionRun(const ConverterOptions& options, const LinkSwitches& links, LineSink& out);
    void Feed(Text& line);  // trimmed here, then converted
    void Feed(PreparedLine& line) { converter_.ConvertPrepared(line, state_); }
    void Finish();          // FlushLine

private:
    Converter converter_;
    ConversionState state_;
};

// Lines that the tag scanner has seen (Converter::ScanLine), kept one after another in a single
// text, so that a batch of them is written and read as one block of memory.
class ScannedBatch {
public:
    void Add(const LineValues& lv);
    // Calls `each(line)` for every line in order, with `scratch` holding it, made ready for the
    // converter.
    template <typename Each>
    void ForEach(PreparedLine& scratch, Each&& each) const
    {
        std::size_t start = 0;
        for (const Entry& e : entries_) {
            const TextView line = TextView(chars_).substr(start, e.end - start);
            start = e.end;
            SearchTags(line, scratch.pos);
            scratch.lv.line.assign(line);
            scratch.lv.lineLength = e.lineLength;
            scratch.lv.TagStart = e.TagStart;
            scratch.lv.TagEnd = e.TagEnd;
            each(scratch);
        }
    }
    void clear();
    bool empty() const { return entries_.empty(); }
    bool full() const { return entries_.size() >= 8192 || chars_.size() >= (1 << 17); }

private:
    struct Entry {
        std::size_t end;  // of the line's characters in chars_
        std::size_t lineLength, TagStart, TagEnd;
    };
    Text chars_;
    std::vector<Entry> entries_;
};

void RunConversion(LineReader& in, LineSink& out, const ConverterOptions& options, const LinkSwitches& links);

}  // namespace quorvik
