// The chain on two threads: batches arrive whole and in order, a failure on either side stops
// both, and a batch gives the converter the same lines however it was prepared. (That the
// threaded chain writes what the passes write is checked on real documents by the regression
// set in tests/faithful and on pages by readable_test.cpp.)

#include "../core/testsupport.h"

#include "passes/conversionrun.h"
#include "passes/linepipe.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

namespace quorvik {
namespace {

struct Numbers {
    std::vector<int> values;
    void clear() { values.clear(); }
    bool full() const { return values.size() >= 7; }
    bool empty() const { return values.empty(); }
};

void WriteNumbers(BatchPipe<Numbers>& pipe, int count, int throwAt = -1)
{
    for (int i = 0; i < count; ++i) {
        if (i == throwAt)
            throw std::runtime_error("writer failed");
        pipe.Filling().values.push_back(i);
        pipe.Added();
    }
}

// Every item arrives once and in order; a failure on either side stops both (a writer blocked
// on a full pipe too, instead of hanging) and is reported, after what was handed over arrived.
TEST(BatchPipe, CarriesEveryItemInOrderAndStopsOnAFailure)
{
    struct Case {
        std::size_t inFlight;
        int count, writerFailsAt, readerFailsAtBatch;
    };
    for (const Case& c : {Case{1, 100000, -1, -1}, Case{2, 100000, -1, -1}, Case{4, 100000, -1, -1},
                          Case{2, 100000, 5000, -1}, Case{1, 10000000, -1, 3}}) {
        BatchPipe<Numbers> pipe(c.inFlight);
        std::vector<int> seen;
        int batches = 0;
        const auto run = [&] {
            RunSideBySide(pipe, [&](BatchPipe<Numbers>& p) { WriteNumbers(p, c.count, c.writerFailsAt); },
                          [&](BatchPipe<Numbers>& p) {
                              p.Drain([&](const Numbers& b) {
                                  if (++batches == c.readerFailsAtBatch)
                                      throw std::runtime_error("reader failed");
                                  seen.insert(seen.end(), b.values.begin(), b.values.end());
                              });
                          });
        };
        if (c.writerFailsAt < 0 && c.readerFailsAtBatch < 0) {
            run();
            ASSERT_EQ(seen.size(), static_cast<std::size_t>(c.count));
        } else {
            EXPECT_THROW(run(), std::runtime_error);
            EXPECT_LE(seen.size(), static_cast<std::size_t>(c.writerFailsAt < 0 ? c.count : c.writerFailsAt));
        }
        for (std::size_t i = 0; i < seen.size(); ++i)
            ASSERT_EQ(seen[i], static_cast<int>(i));
    }
}

// A batch gives the converter the same lines and positions whether it was searched before it
// was handed over or while it is read, and whether its lines were scanned into it, kept to be
// scanned while it is read, or added; also when it is used again after other lines.
TEST(ScannedBatch, SearchedOnEitherSideAndScannedInGiveTheSame)
{
    std::vector<std::string> lines = {"<p>a &amp; b &nbsp; c", "</td><td>x", "plain", "", "<li>one</li> /ol> <br>",
                                      std::string(70000, 'w') + "<h1>", "&#160 <a href=\"x\"> </a> </h6>"};
    static const char* const kPieces[] = {"<P>", "</p>", " ", "  ", "<B >", "text", "<pre>", ">", "<", "&nbsp;",
                                          "<A HREF=\"x\">", "</a", "\xC3\x89", "\xC4\xB0", "/ol>", "<br>", "<TD>"};
    std::mt19937 rng(11);
    for (int i = 0; i < 3000; ++i) {
        std::string l;
        for (std::size_t k = rng() % 7; k > 0; --k)
            l += kPieces[rng() % std::size(kPieces)];
        lines.push_back(l);
    }
    using Seen = std::vector<std::pair<std::string, std::vector<std::size_t>>>;
    auto prepared = [&](bool searched, bool scannedIn, bool readable, bool scannedLater = false) {
        ScannedBatch batch;
        Seen out;
        // The batch is read once with the lines in reverse order, cleared, and filled again.
        for (const auto& round : {std::vector<std::string>(lines.rbegin(), lines.rend()), lines}) {
            batch.clear();
            batch.SetSearched(searched);
            batch.SetScanned(!scannedLater);
            for (const std::string& l : round) {
                if (scannedIn && l.size() < ScannedBatch::kTakenFrom) {
                    batch.AddScanned(T(l), readable);
                    continue;
                }
                LineValues lv;
                Converter::ScanLine(T(l), lv, readable);
                batch.Add(lv, SearchTags(lv.line));
            }
            out.clear();
            PreparedLine scratch;
            batch.ForEach(scratch, [&](PreparedLine& p) {
                std::vector<std::size_t> at{p.lv.lineLength, p.lv.TagStart, p.lv.TagEnd, p.pos.brackets};
                for (int t = 0; t < kTagCount; ++t)
                    at.push_back(p.pos[static_cast<Tag>(t)]);
                out.emplace_back(U8(p.lv.line), at);
            });
        }
        return out;
    };
    for (bool readable : {false, true}) {
        const Seen expected = prepared(false, false, readable);
        EXPECT_EQ(prepared(true, false, readable), expected);
        EXPECT_EQ(prepared(false, true, readable), expected);
        EXPECT_EQ(prepared(true, true, readable), expected);
        EXPECT_EQ(prepared(false, true, readable, true), expected);
        EXPECT_EQ(prepared(true, true, readable, true), expected);
    }
}

}  // namespace
}  // namespace quorvik
