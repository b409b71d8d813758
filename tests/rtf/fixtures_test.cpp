// RTF written by other programs (see fixtures/README.md for how each file was made): the
// reader recovers their text exactly and the style of each piece of it.

#include <QFile>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "doc_summary.h"
#include "rtf/rtf.h"

namespace quorvik::rtf::test {
namespace {

QByteArray ReadFixture(const char* name) {
  QFile file(QStringLiteral(QUORVIK_RTF_FIXTURES "/") + name);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// A piece of text, its style flags ("b", "i", "u", "s" or none), font, size, colour
// and paragraph alignment.
struct Piece {
  const char* text;
  const char* flags;
  const char* family;
  double points;
  QColor color;
  Align align;
};

void CheckPieces(const char* fixture, const QString& expectedText,
                 std::initializer_list<Piece> pieces) {
  const QByteArray rtf = ReadFixture(fixture);
  ASSERT_FALSE(rtf.isEmpty()) << fixture;
  QTextDocument document;
  ReadRtf(rtf, document);
  EXPECT_EQ(document.toPlainText(), expectedText) << fixture;
  for (const Piece& piece : pieces) {
    const QString text = QString::fromUtf8(piece.text);
    std::string error;
    const std::optional<Style> style = StyleOfText(document, text, &error);
    ASSERT_TRUE(style) << fixture << ": " << error;
    Style expected;
    const QByteArray flags = piece.flags;
    expected.bold = flags.contains('b');
    expected.italic = flags.contains('i');
    expected.underline = flags.contains('u');
    expected.strike = flags.contains('s');
    expected.family = piece.family;
    expected.points = piece.points;
    expected.color = piece.color;
    EXPECT_EQ(*style, expected) << fixture << ": " << piece.text;
    EXPECT_EQ(AlignOfText(document, text), piece.align) << fixture << ": " << piece.text;
  }
}

const QColor kAuto;

TEST(RtfFixtures, LibreOfficeWriter) {
  // Text without a font of its own is in the file's \deff font, DejaVu Serif, at 12 pt.
  const char* serif = "DejaVu Serif";
  CheckPieces(
      "libreoffice.rtf",
      u"Plain start. Bold words and italic words and underlined words and struck words.\n"
      "Centred paragraph\n"
      "Right aligned\n"
      "Justified paragraph text.\n"
      "Courier text and large text and red text.\n"
      "Accents: café, naïve, € 5, “quotes”, Ελληνικά, 日本.\n"
      "Name\tValue\n"
      "alpha\t1\n"
      "Braces {x} and back\\slash.\nSecond line."_qs,
      {
          {"Plain start. ", "", serif, 12, kAuto, Align::Left},
          {"Bold words", "b", serif, 12, kAuto, Align::Left},
          {"italic words", "i", serif, 12, kAuto, Align::Left},
          {"underlined words", "u", serif, 12, kAuto, Align::Left},
          {"struck words", "s", serif, 12, kAuto, Align::Left},
          {"Centred paragraph", "", serif, 12, kAuto, Align::Center},
          {"Right aligned", "", serif, 12, kAuto, Align::Right},
          {"Justified paragraph text.", "", serif, 12, kAuto, Align::Justify},
          {"Courier text", "", "Courier New", 12, kAuto, Align::Left},
          {"large text", "", serif, 18, kAuto, Align::Left},
          {"red text", "", serif, 12, QColor(255, 0, 0), Align::Left},
          {"café", "", serif, 12, kAuto, Align::Left},
          {"Name", "", serif, 12, kAuto, Align::Left},
      });
}

TEST(RtfFixtures, Pandoc) {
  // pandoc ends its table with an empty paragraph and gives no size to body text.
  const char* sans = "Helvetica";
  CheckPieces(
      "pandoc.rtf",
      u"Plain start. Bold words and italic words and underlined words and struck words.\n"
      "Some code text in a paragraph.\n"
      "A heading\n"
      "Accents: café, naïve, € 5, “quotes”, Ελληνικά, 日本.\n"
      "Name\tValue\n"
      "alpha\t1\n"
      "\n"
      "Braces {x} and back\\slash."_qs,
      {
          {"Plain start. ", "", sans, 12, kAuto, Align::Left},
          {"Bold words", "b", sans, 12, kAuto, Align::Left},
          {"italic words", "i", sans, 12, kAuto, Align::Left},
          {"underlined words", "u", sans, 12, kAuto, Align::Left},
          {"struck words", "s", sans, 12, kAuto, Align::Left},
          {"code text", "", "Courier", 12, kAuto, Align::Left},
          {"A heading", "b", sans, 18, kAuto, Align::Left},
          {"日本", "", sans, 12, kAuto, Align::Left},
          {"alpha", "", sans, 12, kAuto, Align::Left},
      });
}

}  // namespace
}  // namespace quorvik::rtf::test
