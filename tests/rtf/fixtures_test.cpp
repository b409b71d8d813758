// RTF written by other programs and minimal files of constructs word processors write (see
// fixtures/README.md): the reader recovers what LibreOffice reads from them, text and runs,
// apart from the differences listed here on purpose.

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "doc_summary.h"
#include "rtf/rtf.h"

namespace quorvik::rtf::test {
namespace {

QByteArray ReadFixture(const QString& name) {
  QFile file(QStringLiteral(QUORVIK_RTF_FIXTURES "/") + name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// The expected text: the hand-written NAME.txt where LibreOffice's reading is not the one
// wanted, else LibreOffice's (NAME.lo.txt); without the final line end.
QString ExpectedText(const QString& base) {
  QByteArray text = ReadFixture(base + ".txt");
  if (text.isEmpty()) text = ReadFixture(base + ".lo.txt");
  if (text.endsWith('\n')) text.chop(1);
  return QString::fromUtf8(text);
}

// Paragraphs and line breaks as line ends, as LibreOffice's text export writes them.
QString TextOf(const QTextDocument& document) {
  QString text = document.toRawText();
  text.replace(QChar::ParagraphSeparator, QChar('\n'));
  text.replace(QChar::LineSeparator, QChar('\n'));
  return text;
}

}  // namespace

void ExpectRuns(const QTextDocument& document, const QVector<ExpectedRun>& runs,
                const QStringList& differs) {
  int from = 0;
  for (const ExpectedRun& run : runs) {
    if (differs.contains(run.text)) continue;
    std::string error;
    const std::optional<Style> style = StyleOfText(document, run.text, &error, &from);
    ASSERT_TRUE(style) << error;
    EXPECT_EQ(*style, run.style) << run.text.toStdString();
    EXPECT_EQ(AlignOf(document.findBlock(from - 1)), run.align) << run.text.toStdString();
  }
}

namespace {

struct Fixture {
  const char* file;
  // Texts of LibreOffice's runs this reader reads otherwise, on purpose.
  QStringList differs;
};

TEST(RtfFixtures, ReadAsLibreOfficeReadsThem) {
  const Fixture fixtures[] = {
      {"libreoffice.rtf", {}},
      {"pandoc.rtf", {}},
      // A field shows its result (3), not a page number of its own.
      {"minimal/starred-field.rtf", {"Page 0 and  and "}},
      {"minimal/section-after-paragraph.rtf", {}},
      {"minimal/table-row-unclosed.rtf", {}},
      {"minimal/paragraph-numbers.rtf", {}},
      {"minimal/footnote-soft-hyphen.rtf", {}},
      // A style's formatting applies after \plain (LibreOffice keeps only its alignment and
      // size); a character style too; \cb shades as \chcbpat does.
      {"minimal/stylesheet-positions.rtf",
       {"Heading text", "Sub heading text", "Right not bold", "Direct overrides",
        "Body emphasis and ", " shaded "}},
      // Symbol fonts show Unicode characters; LibreOffice keeps their private-use ones
      // and takes a Wingdings font without a symbol character set for a text font.
      {"minimal/symbol-fonts.rtf",
       {u"\uF0B7"_qs, u"\uF0A7"_qs, "v", u"\uF0D8"_qs, u"\uF0FC"_qs,
        u"\uF061\uF062\uF067\uF044\uF057"_qs, u"\uF0A5\uF020\uF0B9\uF020\uF0CE\uF020\uF0D6"_qs}},
  };
  for (const Fixture& fixture : fixtures) {
    SCOPED_TRACE(fixture.file);
    const QString base = QString(fixture.file).chopped(4);
    const QByteArray rtf = ReadFixture(fixture.file);
    ASSERT_FALSE(rtf.isEmpty()) << fixture.file;
    QTextDocument document;
    ReadRtf(rtf, document);
    EXPECT_EQ(TextOf(document), ExpectedText(base)) << fixture.file;

    const QVector<ExpectedRun> runs = ReadExpectedRuns(
        QStringLiteral(QUORVIK_RTF_FIXTURES "/") + base + ".lo.json");
    ASSERT_FALSE(runs.isEmpty()) << fixture.file;
    ExpectRuns(document, runs, fixture.differs);
  }
}

}  // namespace
}  // namespace quorvik::rtf::test
