#pragma once
// The conversion run: every line of the reflowed HTML through the line converter, in order,
// with one ConversionState carried from line to line, and what is left written at the end.

#include "core/converter.h"
#include "passes/linestream.h"

#include <cstdint>
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

// Lines for the tag scanner (Converter::ScanLine), kept one after another in a single text, so
// that a batch of them is written and read as one block of memory. The scan of a line and the
// search for the fixed strings are each done either before a batch is handed over (then only the
// strings found are kept) or while it is read, whichever thread has time for them: the result is
// the same.
class ScannedBatch {
public:
    // Whether the lines added to an empty batch come with their searched strings.
    void SetSearched(bool searched) { searched_ = searched; }
    bool Searched() const { return searched_; }
    // Whether AddScanned scans its line at once (the default) or keeps it as given, to be scanned
    // while the batch is read (and searched then, whether the batch is Searched() or not).
    void SetScanned(bool scanned) { scanned_in_ = scanned; }
    // A long line is taken over (lv.line is left empty) instead of copied. `pos` is read only
    // when the batch is Searched().
    void Add(LineValues& lv, const TagPositions& pos);
    // Converter::ScanLine straight into the batch (or later, see SetScanned), searched when the
    // batch is Searched(): the same as Add of the scanned line, with the line written once. For
    // lines shorter than kTakenFrom characters (longer ones are taken over by Add). `known`, when
    // not null, is where the line's first brackets are.
    void AddScanned(TextView line, bool readable, const FirstBrackets* known = nullptr);
    static constexpr std::size_t kTakenFrom = std::size_t(1) << 16;
    // Calls `each(line)` for every line in order, with `scratch` holding it, made ready for the
    // converter.
    template <typename Each>
    void ForEach(PreparedLine& scratch, Each&& each)
    {
        if (raw_)
            Prepare<true>(scratch, each);
        else
            Prepare<false>(scratch, each);
    }
    void clear();
    bool empty() const { return entries_.empty(); }
    bool full() const { return entries_.size() >= kLines || chars_.size() >= kChars || !long_.empty(); }

private:
    static constexpr std::size_t kLines = 8192;
    static constexpr std::size_t kChars = std::size_t(1) << 17;
    // A new batch gets at once the room a full one needs (a line shorter than kTakenFrom can
    // still be added below kChars), rather than growing to it copy by copy. Batches are used
    // again, so this happens for the first few only.
    void ReserveWhenNew()
    {
        if (entries_.capacity() == 0) {
            entries_.reserve(kLines);
            chars_.reserve(kChars + kTakenFrom);
            found_.reserve(2 * kLines);
        }
    }
    [[gnu::noinline]] void Keep(TextView line, bool readable);  // AddScanned without the scan
    template <bool kAnyRaw, typename Each>
    void Prepare(PreparedLine& scratch, Each& each)
    {
        std::size_t start = 0, taken = 0;
        const std::size_t* at = found_.data();
        for (const Entry& e : entries_) {
            const bool raw = kAnyRaw && e.raw;
            if (raw) {
                Converter::ScanLine(TextView(chars_.data() + start, e.end - start), scratch.lv, readable_);
                start = e.end;
            } else if (e.taken) {
                LongLine& l = long_[taken++];
                scratch.lv.line.swap(l.text);
                scratch.lv.lineLength = l.lineLength;
                scratch.lv.TagStart = l.TagStart;
                scratch.lv.TagEnd = l.TagEnd;
            } else {
                scratch.lv.line.assign(chars_.data() + start, e.end - start);
                start = e.end;
                scratch.lv.lineLength = e.lineLength;
                scratch.lv.TagStart = e.TagStart;
                scratch.lv.TagEnd = e.TagEnd;
            }
            if (searched_ && !raw) {
                scratch.pos.mask = e.mask;
                scratch.pos.brackets = e.taken ? long_[taken - 1].brackets : e.brackets;
                for (std::uint64_t bits = e.mask; bits != 0; bits &= bits - 1)
                    scratch.pos.at[static_cast<std::size_t>(__builtin_ctzll(bits))] = *at++;
            } else {
                SearchTags(scratch.lv.line, scratch.pos);
            }
            each(scratch);
            if (e.taken)
                Text().swap(scratch.lv.line);  // the next lines do not keep a long line's memory
        }
    }

    // A line's place in the batch and its positions, in 32 bits each: the batch holds less than
    // kChars + kTakenFrom characters and each of its own lines less than kTakenFrom, so all of
    // them fit, and an entry takes half the memory that one of 64-bit numbers would, written
    // by one thread and read by the other for every line. A long line taken over keeps its
    // positions beside its text.
    struct Entry {
        // Built where it is kept (emplace_back): a copy of one built aside is read back in wider
        // pieces than it was written in, which stalls the processor on every line.
        Entry(std::size_t end, std::size_t lineLength, std::size_t TagStart, std::size_t TagEnd, std::uint64_t mask,
              std::size_t brackets, bool taken, bool raw)
            : mask(mask), end(static_cast<std::uint32_t>(end)), lineLength(static_cast<std::uint32_t>(lineLength)),
              TagStart(static_cast<std::uint32_t>(TagStart)), TagEnd(static_cast<std::uint32_t>(TagEnd)),
              brackets(static_cast<std::uint32_t>(brackets)), taken(taken), raw(raw)
        {
        }
        std::uint64_t mask;  // the strings found; their positions are the next ones of found_
        std::uint32_t end;   // of the line's characters in chars_
        std::uint32_t lineLength, TagStart, TagEnd;
        std::uint32_t brackets;
        bool taken;  // the line is the next one of long_, which keeps its numbers (those above are 0)
        bool raw;    // the line is kept as given to AddScanned, not yet scanned
    };
    static_assert(kChars + kTakenFrom < (std::size_t(1) << 32), "an entry's numbers are 32 bits");
    struct LongLine {
        Text text;
        std::size_t lineLength, TagStart, TagEnd, brackets;
    };
    Text chars_;
    std::vector<Entry> entries_;
    std::vector<std::size_t> found_;
    std::vector<LongLine> long_;
    bool searched_ = false;
    bool scanned_in_ = true;
    bool raw_ = false;       // some lines are kept as given
    bool readable_ = false;  // how AddScanned was told to scan the lines it kept as given
    LineValues scanned_;  // AddScanned's positions (its line stays empty)
    TagPositions search_;
};

void RunConversion(LineReader& in, LineSink& out, const ConverterOptions& options, const LinkSwitches& links);

}  // namespace quorvik
