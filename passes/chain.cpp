#include "passes/chain.h"

#include "passes/conversionrun.h"
#include "passes/linepipe.h"
#include "passes/reflow.h"

#include <QList>
#include <QString>

namespace quorvik {

namespace {

Text ToText(const QString& s)
{
    const QList<uint> ucs4 = s.toUcs4();
    return Text(ucs4.begin(), ucs4.end());
}

// Shows each line written to the tag scanner and hands it to the conversion's thread. The search
// for the fixed strings goes with a batch when the conversion's thread is behind (batches are
// waiting for it), and is left to that thread otherwise; when at most the batch just handed over
// waits, that thread is the one with time to spare and scans the short lines too. So neither
// thread waits long for the other whatever the document.
class IntoConversion final : public LineSink {
public:
    IntoConversion(BatchPipe<ScannedBatch>& pipe, bool readable) : pipe_(pipe), readable_(readable) {}
    void WriteLine(TextView line) override { Write(line, nullptr); }
    void WriteKnownLine(TextView line, const FirstBrackets& known) override { Write(line, &known); }
    void WriteTakenLine(Text& line) override
    {
        Converter::ScanTakenLine(line, scanned_, readable_);
        HandOn();
    }

private:
    void Write(TextView line, const FirstBrackets* known)
    {
        if (line.size() < ScannedBatch::kTakenFrom) {
            Start().AddScanned(line, readable_, known);
            pipe_.Added();
            return;
        }
        Converter::ScanLine(line, scanned_, readable_);
        HandOn();
    }
    ScannedBatch& Start()  // the batch being filled, told whether to search when it is new
    {
        ScannedBatch& batch = pipe_.Filling();
        if (batch.empty()) {
            const std::size_t waiting = pipe_.Waiting();
            batch.SetSearched(waiting >= 3);
            batch.SetScanned(waiting > 1);
        }
        return batch;
    }
    void HandOn()
    {
        ScannedBatch& batch = Start();
        if (batch.Searched())
            SearchTags(scanned_.line, found_);
        batch.Add(scanned_, found_);
        pipe_.Added();
    }

    BatchPipe<ScannedBatch>& pipe_;
    bool readable_;
    LineValues scanned_;
    TagPositions found_;
};

}  // namespace

ChainOptions ChainOptionsFrom(const SettingValues& values)
{
    ChainOptions o;
    o.converter.TextLen = values.TextLen;
    o.converter.TableCellSep = ToText(TableCellSepValue(values.TableCellSep));
    o.converter.BulletChar = ToText(values.BulletChar);
    for (std::size_t i = 0; i < 4; ++i)
        o.cleanUp.sets[i] = ToText(values.sCleanChar[i]);
    o.readable = o.converter.readable = values.Readable;
    return o;
}

void RunChain(LineReader& in, Stage stage, const ChainOptions& options, const LinkSwitches& links, LineSink& out)
{
    // Only the converter writes lines with a line break inside (running text carries its break
    // that way); the pre-pass and the blank-line pass never do, since the pre-pass turns carriage
    // returns into spaces and the blank-line pass gets lines already split. So only what the
    // converter writes needs splitting before the next reader sees it.
    if (stage == Stage::Reflow) {
        RunReflowPass(in, out, options.readable);
        return;
    }
    // Two threads share the work: reading, the pre-pass and the tag scanner on one; the rest of
    // the conversion, blank-line removal and writing on the other; the search for the fixed
    // strings on either (see IntoConversion).
    BlankLinePass blank(options.cleanUp, out, options.readable);
    ReadBackSplitter toNext(stage == Stage::Text ? out : static_cast<LineSink&>(blank));
    ConversionRun conversion(options.converter, links, toNext);
    BatchPipe<ScannedBatch> toConversion;
    RunSideBySide(
        toConversion,
        [&](BatchPipe<ScannedBatch>& pipe) {
            IntoConversion scanned(pipe, options.readable);
            RunReflowPass(in, scanned, options.readable);
        },
        [&](BatchPipe<ScannedBatch>& pipe) {
            PreparedLine line;
            pipe.Drain([&](ScannedBatch& batch) {
                batch.ForEach(line, [&](PreparedLine& l) { conversion.Feed(l); });
            });
        });
    conversion.Finish();
}

}  // namespace quorvik
