// Fuzz target: arbitrary bytes through the whole conversion, with options taken from the first
// bytes (odd text lengths, delimiters, bullets, clean-up sets, link switches, the readable
// conversion). Checks what must always hold: every stage ends, writes valid UTF-8 with no line
// break inside a line, the formatted stage is the text stage after blank-line removal, lines
// reflowed in small parts come out as whole lines do, the readable conversion shows nothing of
// a script, the fast operations agree with their literal versions on lines made from the
// same bytes, and lines scanned straight into a batch come out as lines scanned one by one.

#include "core/converter.h"
#include "passes/blanklines.h"
#include "passes/chain.h"
#include "passes/conversionrun.h"
#include "passes/htmlclean.h"
#include "passes/reflow.h"
#include "passes/textcodec.h"
#include "literal.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace quorvik;

namespace {

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

std::vector<Text> Chain(const std::string& doc, Stage stage, const ChainOptions& options, const LinkSwitches& links)
{
    TextFileReader reader;
    reader.SetData(doc, DocumentMode(options.readable));
    MemoryLines out;
    RunChain(reader, stage, options, links, out);
    return out.lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 6)
        return 0;
    static const char* const kSeps[] = {",", "|", " ", "", "||", "*"};
    static const char* const kBullets[] = {"*", "-", "", "•", "ab"};
    static const char* const kSets[] = {"", "a", "*", " ", "a b", "<", ",,", "é"};
    ChainOptions options;
    options.converter.TextLen = static_cast<std::int8_t>(data[0]);
    options.converter.TableCellSep = FromUtf8(kSeps[data[1] % 6]);
    options.converter.BulletChar = FromUtf8(kBullets[data[2] % 5]);
    for (std::size_t i = 0; i < 4; ++i)
        options.cleanUp.sets[i] = FromUtf8(kSets[(data[3] >> (2 * i)) & 7]);
    const FixedLinkSwitches links(data[4] & 1, data[4] & 2, data[4] & 4);
    options.readable = options.converter.readable = (data[4] & 8) != 0;
    std::string doc(reinterpret_cast<const char*>(data) + 5, size - 5);
    // A script at the start, in varied spellings, whose text must never be shown (unless the
    // document itself holds that text, as the fuzzer may learn to write it).
    static const char* const kScripts[] = {"<script>", "<SCRIPT type=x>", "<Script\r\n>"};
    static const char* const kEnds[] = {"</script>", "</SCRIPT >", "</script\r\n>"};
    const bool scriptShown = doc.find("zqxscriptqz") != std::string::npos;
    if (options.readable)
        doc = std::string(kScripts[data[4] >> 4 & 1 ? 1 : (data[4] >> 5) % 3]) + "if (a<b) zqxscriptqz();"
              + kEnds[(data[4] >> 6) % 3] + doc;

    const std::vector<Text> reflowed = Chain(doc, Stage::Reflow, options, links);
    const std::vector<Text> text = Chain(doc, Stage::Text, options, links);
    const std::vector<Text> formatted = Chain(doc, Stage::Formatted, options, links);
    for (const auto* stage : {&reflowed, &text, &formatted}) {
        for (const Text& line : *stage) {
            Check(line.find(U'\r') == Text::npos);
            const std::string bytes = ToUtf8(line);
            Check(IsValidUtf8(bytes.data(), bytes.size()));
            Check(!options.readable || scriptShown || bytes.find("zqxscriptqz") == std::string::npos);
        }
    }
    MemoryLines textLines(text), again;
    RemoveExtraLines(textLines, again, options.cleanUp, options.readable);
    Check(again.lines == formatted);

    // Lines read and reflowed in parts of a few characters give what whole lines give.
    {
        TextFileReader whole, inParts;
        whole.SetData(doc, DocumentMode(options.readable));
        inParts.SetData(doc, DocumentMode(options.readable));
        HtmlCleaner wholeCleaned(whole), partsCleaned(inParts);
        LineReader& wholeIn = options.readable ? static_cast<LineReader&>(wholeCleaned) : whole;
        LineReader& partsIn = options.readable ? static_cast<LineReader&>(partsCleaned) : inParts;
        MemoryLines wholeOut, partsOut;
        ReflowPass wholePass(wholeOut, options.readable), partsPass(partsOut, options.readable);
        Text line;
        while (wholeIn.ReadLine(line))
            wholePass.Feed(line);
        wholePass.Finish();
        while (partsPass.FeedNext(partsIn, 1 + data[2] % 7)) {
        }
        partsPass.Finish();
        Check(wholeOut.lines == partsOut.lines && partsOut.lines == reflowed);
    }

    // The same bytes as single lines for the operations that have literal versions.
    TextFileReader reader;
    reader.SetData(doc, TextFileReader::Mode::Detect);
    Text line, fastCarry, slowCarry;
    MemoryLines fastOut, slowOut;
    const FixedLinkSwitches none;
    // Lines scanned straight into a searched batch come out as lines scanned one by one and
    // searched while the batch is read.
    ScannedBatch scannedIn, added;
    scannedIn.SetSearched(true);
    while (reader.ReadLine(line)) {
        if (line.size() < ScannedBatch::kTakenFrom) {
            scannedIn.AddScanned(line, options.readable);
            LineValues lv;
            Converter::ScanLine(line, lv, options.readable);
            added.Add(lv, TagPositions());
        }
        Trim(line);
        Text a = line, b = line;
        ReflowLine(a, fastCarry, fastOut);
        literal::ReflowLine(b, slowCarry, slowOut);
        Check(fastOut.lines == slowOut.lines && fastCarry == slowCarry);

        LineValues lv;
        lv.line = line;
        lv.Recount();
        LineValues fast = lv, slow = lv;
        Converter::StripTags(fast);
        literal::StripTags(slow);
        Check(fast.line == slow.line && fast.TagStart == slow.TagStart && fast.TagEnd == slow.TagEnd);
        // The same with the bracket count the tag search gives.
        const TagPositions found = SearchTags(lv.line);
        fast = lv;
        fast.bracketsAtMost = found.brackets;
        Converter::StripTags(fast);
        Check(fast.line == slow.line && fast.TagStart == slow.TagStart && fast.TagEnd == slow.TagEnd);

        std::size_t nbsp = Find(lv.line, U"&nbsp"), amp = Find(lv.line, U"&amp;"), num = Find(lv.line, U"&#160");
        if (nbsp + amp + num > 0) {
            fast = lv;
            slow = lv;
            Converter::ReplaceEntities(fast, nbsp, amp, num);
            literal::ReplaceEntities(slow, Find(lv.line, U"&amp;"), Find(lv.line, U"&#160"));
            Check(fast.line == slow.line);
        }

        Text c1 = line, c2 = line;
        CleanUpChar(c1, options.cleanUp);
        literal::CleanUpChar(c2, options.cleanUp);
        Check(c1 == c2);

        for (int hang = 0; hang <= 1; ++hang) {
            MemoryLines wrapped;
            Converter c(options.converter, none, wrapped);
            c.OutLine = line;
            c.HangIndent = hang;
            LineValues empty;
            c.WriteLine(empty);
            int slowHang = hang;
            Check(wrapped.lines == literal::Wrap(line, options.converter.TextLen, slowHang));
        }
    }
    std::vector<PreparedLine> fromScanned;
    PreparedLine scratch;
    scannedIn.ForEach(scratch, [&](PreparedLine& p) { fromScanned.push_back(p); });
    std::size_t k = 0;
    added.ForEach(scratch, [&](PreparedLine& p) {
        const PreparedLine& q = fromScanned[k++];
        Check(p.lv.line == q.lv.line && p.lv.lineLength == q.lv.lineLength && p.lv.TagStart == q.lv.TagStart
              && p.lv.TagEnd == q.lv.TagEnd && p.pos.mask == q.pos.mask && p.pos.brackets == q.pos.brackets);
        for (int t = 0; t < kTagCount; ++t)
            Check(p.pos[static_cast<Tag>(t)] == q.pos[static_cast<Tag>(t)]);
    });
    Check(k == fromScanned.size());
    return 0;
}
