// RTF written by other programs (see fixtures/README.md for how each file was made).

#include <QFile>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "doc_summary.h"
#include "rtf.h"

namespace quorvik::rtf::test {
namespace {

QByteArray ReadFixture(const char* name) {
  QFile file(QStringLiteral(QUORVIK_RTF_FIXTURES "/") + name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// A piece of text and what it must look like; unset fields are not checked.
struct Expectation {
  QString text;
  std::optional<bool> bold, italic, underline, strike;
  QString family;
  double points = 0;
  QColor color;
  std::optional<Align> align;
};

void Check(const QTextDocument& document, const Expectation& e, const char* fixture) {
  std::string error;
  const std::optional<Style> style = StyleOfText(document, e.text, &error);
  ASSERT_TRUE(style) << fixture << ": " << error;
  const std::string where = std::string(fixture) + ": " + e.text.toStdString();
  if (e.bold) {
    EXPECT_EQ(style->bold, *e.bold) << where;
  }
  if (e.italic) {
    EXPECT_EQ(style->italic, *e.italic) << where;
  }
  if (e.underline) {
    EXPECT_EQ(style->underline, *e.underline) << where;
  }
  if (e.strike) {
    EXPECT_EQ(style->strike, *e.strike) << where;
  }
  if (!e.family.isEmpty()) {
    EXPECT_EQ(style->family, e.family) << where;
  }
  if (e.points > 0) {
    EXPECT_DOUBLE_EQ(style->points, e.points) << where;
  }
  if (e.color.isValid()) {
    EXPECT_EQ(style->color, e.color) << where;
  }
  if (e.align) {
    EXPECT_EQ(AlignOfText(document, e.text), *e.align) << where;
  }
}

Expectation Plain(const QString& text, const QString& family, double points) {
  Expectation e;
  e.text = text;
  e.bold = e.italic = e.underline = e.strike = false;
  e.family = family;
  e.points = points;
  return e;
}

TEST(RtfFixtures, LibreOfficeWriter) {
  const QByteArray rtf = ReadFixture("libreoffice.rtf");
  ASSERT_FALSE(rtf.isEmpty());
  QTextDocument document;
  ReadRtf(rtf, document);
  EXPECT_EQ(document.toPlainText(),
            u"Plain start. Bold words and italic words and underlined words and struck words.\n"
            "Centred paragraph\n"
            "Right aligned\n"
            "Justified paragraph text.\n"
            "Courier text and large text and red text.\n"
            "Accents: café, naïve, € 5, “quotes”, Ελληνικά, 日本.\n"
            "Name\tValue\n"
            "alpha\t1\n"
            "Braces {x} and back\\slash.\nSecond line."_qs);

  const QString serif = "DejaVu Serif";  // the default font of the file's \deff
  std::vector<Expectation> expectations{
      Plain("Plain start.", serif, 12), Plain(" and ", serif, 12),
      Plain("Centred paragraph", serif, 12), Plain("Name", serif, 12)};
  expectations[0].align = Align::Left;
  expectations[2].align = Align::Center;
  Expectation e = Plain("Bold words", serif, 12);
  e.bold = true;
  expectations.push_back(e);
  e = Plain("italic words", serif, 12);
  e.italic = true;
  expectations.push_back(e);
  e = Plain("underlined words", serif, 12);
  e.underline = true;
  expectations.push_back(e);
  e = Plain("struck words", serif, 12);
  e.strike = true;
  expectations.push_back(e);
  e = Plain("Right aligned", serif, 12);
  e.align = Align::Right;
  expectations.push_back(e);
  e = Plain("Justified paragraph text.", serif, 12);
  e.align = Align::Justify;
  expectations.push_back(e);
  expectations.push_back(Plain("Courier text", "Courier New", 12));
  expectations.push_back(Plain("large text", serif, 18));
  e = Plain("red text", serif, 12);
  e.color = QColor(255, 0, 0);
  expectations.push_back(e);
  for (const Expectation& expectation : expectations) {
    Check(document, expectation, "libreoffice.rtf");
  }
}

TEST(RtfFixtures, Pandoc) {
  const QByteArray rtf = ReadFixture("pandoc.rtf");
  ASSERT_FALSE(rtf.isEmpty());
  QTextDocument document;
  ReadRtf(rtf, document);
  // pandoc ends its table with an empty paragraph.
  EXPECT_EQ(document.toPlainText(),
            u"Plain start. Bold words and italic words and underlined words and struck words.\n"
            "Some code text in a paragraph.\n"
            "A heading\n"
            "Accents: café, naïve, € 5, “quotes”, Ελληνικά, 日本.\n"
            "Name\tValue\n"
            "alpha\t1\n"
            "\n"
            "Braces {x} and back\\slash."_qs);

  const QString sans = "Helvetica";
  std::vector<Expectation> expectations{Plain("Plain start.", sans, 12),
                                        Plain(" in a paragraph.", sans, 12),
                                        Plain("alpha", sans, 12)};
  expectations[0].align = Align::Left;
  Expectation e = Plain("Bold words", sans, 12);
  e.bold = true;
  expectations.push_back(e);
  e = Plain("italic words", sans, 12);
  e.italic = true;
  expectations.push_back(e);
  e = Plain("underlined words", sans, 12);
  e.underline = true;
  expectations.push_back(e);
  e = Plain("struck words", sans, 12);
  e.strike = true;
  expectations.push_back(e);
  expectations.push_back(Plain("code text", "Courier", 12));
  e = Plain("A heading", sans, 18);
  e.bold = true;
  expectations.push_back(e);
  for (const Expectation& expectation : expectations) {
    Check(document, expectation, "pandoc.rtf");
  }
}

}  // namespace
}  // namespace quorvik::rtf::test
