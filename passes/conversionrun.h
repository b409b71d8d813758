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
    // A long line is taken over (lv.line is left empty) instead of copied.
    void Add(LineValues& lv);
    // Calls `each(line)` for every line in order, with `scratch` holding it, made ready for the
    // converter.
    template <typename Each>
    void ForEach(PreparedLine& scratch, Each&& each)
    {
        std::size_t start = 0, taken = 0;
        for (const Entry& e : entries_) {
            if (e.taken) {
                scratch.lv.line.swap(long_[taken++]);
                SearchTags(scratch.lv.line, scratch.pos);
            } else {
                const TextView line = TextView(chars_).substr(start, e.end - start);
                start = e.end;
                SearchTags(line, scratch.pos);
                scratch.lv.line.assign(line);
            }
            scratch.lv.lineLength = e.lineLength;
            scratch.lv.TagStart = e.TagStart;
            scratch.lv.TagEnd = e.TagEnd;
            each(scratch);
        }
    }
    void clear();
    bool empty() const { return entries_.empty(); }
    bool full() const { return entries_.size() >= 8192 || chars_.size() >= (1 << 17) || !long_.empty(); }

private:
    struct Entry {
        std::size_t end;  // of the line's characters in chars_
        std::size_t lineLength, TagStart, TagEnd;
        bool taken;  // the line is the next one of long_
    };
    Text chars_;
    std::vector<Entry> entries_;
    std::vector<Text> long_;
};

void RunConversion(LineReader& in, LineSink& out, const ConverterOptions& options, const LinkSwitches& links);

}  // namespace quorvik
