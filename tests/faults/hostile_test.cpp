// Inputs nobody should send: a big document, one long line, very many tiny lines, NUL bytes,
// invalid UTF-8, UTF-16 with a byte-order mark, bytes that are not HTML at all. Each converts to
// every stage without failing, and what comes out is UTF-8 text in which the document's words
// survive. (The full sizes and the timings are in bench/hostile.sh; this only checks results.)

#include "passes/filepasses.h"
#include "passes/textcodec.h"

#include "support/files.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <random>

using namespace quorvik;
using namespace quorvik::testing;

namespace {

constexpr int kMiB = 1024 * 1024;

QByteArray VariedHtml(int bytes, const QByteArray& lineEnd)
{
    const QByteArray pieces[] = {
        "<h2>Section zebra</h2>",
        "<p>Some <b>bold</b> and <i>italic</i> text &amp; an entity&nbsp;here.</p>",
        "<ul><li>first item<li>second item</ul>",
        "<table><tr><td>cell one</td><td>cell two</td></tr></table>",
        "<a href=\"http://example.com/zebra\">a link</a>",
        "<dl><dt>term<dd>definition</dl>",
        "<ol><li>one<li>two</ol>",
    };
    QByteArray doc = "<html><head><title>Zebra</title></head><body>" + lineEnd;
    for (int i = 0; doc.size() < bytes; ++i)
        doc += pieces[i % 7] + lineEnd;
    return doc + "</body></html>" + lineEnd;
}

QByteArray Utf16(const QString& text, bool bigEndian)
{
    QStringEncoder encode(bigEndian ? QStringEncoder::Utf16BE : QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    return encode(text);
}

QByteArray RandomBytes(int size, unsigned seed)
{
    std::mt19937 gen(seed);
    QByteArray out(size, '\0');
    for (char& c : out)
        c = static_cast<char>(gen() & 0xff);
    return out;
}

struct Hostile {
    const char* name;
    std::function<QByteArray()> make;
    const char* survives;  // words that must reach the formatted text, or nullptr
};

const Hostile kInputs[] = {
    {"BigDocument", [] { return VariedHtml(4 * kMiB, "\r\n"); }, "zebra"},
    {"OneLongLine", [] { return VariedHtml(3 * kMiB, "\n"); }, "zebra"},
    {"OneWordOfTwoMegabytes", [] { return "<p>" + QByteArray(2 * kMiB, 'z'); }, "zzzz"},
    {"TextWithoutAnyTag", [] { return QByteArray(kMiB, 'z'); }, nullptr},
    {"ManyTinyLines",
     [] {
         QByteArray doc;
         for (int i = 0; i < 200000; ++i)
             doc += (i % 3 == 0) ? "<p>\r\n" : (i % 3 == 1) ? "a\r\n" : "\r\n";
         return doc + "zebra\r\n";
     },
     "zebra"},
    {"NulBytes",
     [] {
         QByteArray doc = VariedHtml(kMiB, "\r\n");
         for (int i = 7; i < doc.size(); i += 97)
             doc[i] = '\0';
         return doc + "<p>last zebra</p>\r\n";
     },
     "last zebra"},
    {"InvalidUtf8",
     [] {
         QByteArray doc = VariedHtml(kMiB, "\r\n");
         for (int i = 11; i < doc.size(); i += 53)
             doc[i] = static_cast<char>(0x80 | (i & 0x7f));
         return doc + "<p>caf\xe9 zebra\xc3</p>\r\n";
     },
     "caf\xc3\xa9 zebra\xc3\x83"},  // read as Windows-1252
    {"Utf16LittleEndian", [] { return Utf16(QStringLiteral("<p>\u00fcber zebra \u20ac</p>\r\n<p>two</p>\r\n"), false); },
     "\xc3\xbc" "ber zebra \xe2\x82\xac"},
    {"Utf16BigEndian", [] { return Utf16(QStringLiteral("<ul><li>\u00fcber zebra</ul>\r\n"), true); },
     "\xc3\xbc" "ber zebra"},
    {"Utf16OddLength", [] { return Utf16(QStringLiteral("<p>zebra</p>"), false) + "x"; }, "zebra"},
    {"NotHtmlAtAll", [] { return RandomBytes(kMiB, 42); }, nullptr},
    {"OnlyTagOpeners", [] { return QByteArray(kMiB, '<'); }, nullptr},
    {"OnlyAmpersands", [] { return QByteArray(kMiB, '&') + "#160zebra"; }, nullptr},
    {"UnclosedTagAcrossLines", [] { return "<p class=\"" + QByteArray(kMiB, 'x') + "\r\nzebra\r\n"; }, nullptr},
    {"EmptyFile", [] { return QByteArray(); }, nullptr},
};

void PrintTo(const Hostile& h, std::ostream* os)
{
    *os << h.name;
}

class HostileInput : public ::testing::TestWithParam<Hostile> {};

TEST_P(HostileInput, ConvertsEveryStageToUtf8Text)
{
    const Hostile& h = GetParam();
    QTemporaryDir dir;
    const QString doc = dir.filePath("input");
    ASSERT_TRUE(WriteBytes(doc, h.make()));
    const FixedLinkSwitches links(true, true, true);
    for (Stage stage : {Stage::Reflow, Stage::Text, Stage::Formatted}) {
        SCOPED_TRACE(static_cast<int>(stage));
        const QString out = dir.filePath("out.txt");
        const PassOutcome r = ConvertDocument(doc, out, stage, SettingValues(), links);
        ASSERT_TRUE(r) << r.path.toStdString() << ": " << r.reason.toStdString();
        const QByteArray text = ReadBytes(out);
        EXPECT_TRUE(IsValidUtf8(text.constData(), static_cast<std::size_t>(text.size())));
        EXPECT_TRUE(text.isEmpty() || text.endsWith('\n'));
        if (stage == Stage::Formatted && h.survives) {
            EXPECT_TRUE(text.contains(h.survives)) << text.left(300).toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Inputs, HostileInput, ::testing::ValuesIn(kInputs),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
