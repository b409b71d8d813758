#include "passes/conversionrun.h"

namespace quorvik {

ConversionRun::ConversionRun(const ConverterOptions& options, const LinkSwitches& links, LineSink& out)
    : converter_(options, links, out)
{
    converter_.Reset();
}

void ConversionRun::Feed(Text& line)
{
    Trim(line);
    converter_.ConvertLine(line, state_);
}

void ConversionRun::Finish()
{
    converter_.FlushLine();
}

void ScannedBatch::Add(LineValues& lv, const TagPositions& pos)
{
    ReserveWhenNew();
    const bool take = lv.line.size() >= kTakenFrom;
    const std::uint64_t mask = searched_ ? pos.mask : 0;
    const std::size_t brackets = searched_ ? pos.brackets : 0;
    if (take) {
        long_.push_back(LongLine{Text(), lv.lineLength, lv.TagStart, lv.TagEnd, brackets});
        long_.back().text.swap(lv.line);
        entries_.emplace_back(chars_.size(), 0, 0, 0, mask, 0, true, false);
    } else {
        chars_ += lv.line;
        entries_.emplace_back(chars_.size(), lv.lineLength, lv.TagStart, lv.TagEnd, mask, brackets, false, false);
    }
    for (std::uint64_t bits = mask; bits != 0; bits &= bits - 1)
        found_.push_back(pos.at[static_cast<std::size_t>(__builtin_ctzll(bits))]);
}

void ScannedBatch::Keep(TextView line, bool readable)
{
    ReserveWhenNew();
    chars_ += line;
    readable_ = readable;
    raw_ = true;
    entries_.emplace_back(chars_.size(), 0, 0, 0, 0, 0, false, true);
}

void ScannedBatch::AddScanned(TextView line, bool readable, const FirstBrackets* known)
{
    if (!scanned_in_) {
        Keep(line, readable);
        return;
    }
    ReserveWhenNew();
    const std::size_t start = chars_.size();
    Converter::ScanLineInto(line, chars_, scanned_, readable, known);
    std::uint64_t mask = 0;
    std::size_t brackets = 0;
    if (searched_) {
        SearchTags(TextView(chars_).substr(start), search_);
        mask = search_.mask;
        brackets = search_.brackets;
        for (std::uint64_t bits = mask; bits != 0; bits &= bits - 1)
            found_.push_back(search_.at[static_cast<std::size_t>(__builtin_ctzll(bits))]);
    }
    entries_.emplace_back(chars_.size(), scanned_.lineLength, scanned_.TagStart, scanned_.TagEnd, mask, brackets, false, false);
}

void ScannedBatch::clear()
{
    // A batch that carried a very long line does not keep that memory.
    if (chars_.capacity() > (std::size_t(1) << 20))
        Text().swap(chars_);
    chars_.clear();
    entries_.clear();
    raw_ = false;
    found_.clear();
    long_.clear();
}

void RunConversion(LineReader& in, LineSink& out, const ConverterOptions& options, const LinkSwitches& links)
{
    ConversionRun run(options, links, out);
    Text line;
    while (in.ReadLine(line))
        run.Feed(line);
    run.Finish();
}

}  // namespace quorvik
