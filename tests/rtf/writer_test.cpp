#include <QRandomGenerator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include <gtest/gtest.h>

#include "doc_summary.h"
#include "rtf/rtf.h"

namespace quorvik::rtf::test {
namespace {

QVector<Paragraph> RoundTrip(const QTextDocument& original) {
  QTextDocument copy;
  copy.setDefaultFont(original.defaultFont());
  ReadRtf(WriteRtf(original), copy);
  return Summarize(copy);
}

QByteArray WritePlain(const QString& text) {
  QTextDocument document;
  QTextCursor(&document).insertText(text);
  return WriteRtf(document);
}

TEST(RtfWriter, EscapesText) {
  const struct {
    QString text;
    QByteArray expected;
  } cases[] = {
      {"a\\b{c}", "a\\\\b\\{c\\}"},
      {"x;y", "x;y"},
      {u"café"_qs, "caf\\'e9"},
      {u"€‘’"_qs, "\\'80\\'91\\'92"},
      {u"Ω"_qs, "\\u937\\'3f"},
      {u"日"_qs, "\\u26085\\'3f"},
      {u"\uF09F"_qs, "\\u-3937\\'3f"},
      {u"\U0001F600"_qs, "\\u-10179\\'3f\\u-8704\\'3f"},
      {"a\tb", "a\\tab b"},
      {u"a\u2028b"_qs, "a\\line b"},
      {u"a\u00A0b"_qs, "a\\~b"},
      {u"a\u2011b"_qs, "a\\_b"},
      {u"a\u00ADb"_qs, "a\\'adb"},
  };
  for (const auto& c : cases) {
    const QByteArray rtf = WritePlain(c.text);
    EXPECT_TRUE(rtf.contains(c.expected)) << c.text.toStdString() << " -> " << rtf.toStdString();
  }
  const QByteArray rtf = WritePlain(u"\u0001\u0007x"_qs);
  EXPECT_FALSE(rtf.contains('\x01'));
  EXPECT_FALSE(rtf.contains('\x07'));
  for (char c : rtf) EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "RTF is 7-bit";
}

// Random documents: writing then reading gives the same paragraphs, text and styles, whatever
// characters (every class the writer treats specially), style properties, alignments, link
// targets and empty paragraphs they hold.
TEST(RtfWriter, RoundTripOfRandomDocuments) {
  const QString characters = u"aZ 09;{}\\\t\u2028\u00A0\u2011\u00ADé€“Ωжあ\U0001F600"_qs;
  // Font names and (with an x) link targets.
  const QStringList families{"", "Courier New", "DejaVu Serif", "Odd;{Name}", "a\\b\"#&"};
  const double sizes[] = {0, 8, 10.5, 12, 30};
  const QColor colors[] = {QColor(), QColor(255, 0, 0), QColor(1, 2, 3)};
  const Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                  Qt::AlignJustify};
  QRandomGenerator random(42);
  for (int round = 0; round < 200; ++round) {
    QTextDocument document;
    QTextCursor cursor(&document);
    const int paragraphs = random.bounded(1, 5);
    for (int p = 0; p < paragraphs; ++p) {
      if (p > 0) cursor.insertBlock();
      QTextBlockFormat block;
      block.setAlignment(aligns[random.bounded(4)]);
      cursor.setBlockFormat(block);
      const int runs = random.bounded(0, 4);
      for (int r = 0; r < runs; ++r) {
        QTextCharFormat format;
        format.setFontWeight(random.bounded(2) ? QFont::Bold : QFont::Normal);
        format.setFontItalic(random.bounded(2));
        format.setFontUnderline(random.bounded(2));
        format.setFontStrikeOut(random.bounded(2));
        const QString family = families[random.bounded(families.size())];
        if (!family.isEmpty()) format.setFontFamilies({family});
        const double size = sizes[random.bounded(5)];
        if (size > 0) format.setFontPointSize(size);
        const QColor color = colors[random.bounded(3)];
        if (color.isValid()) format.setForeground(color);
        if (random.bounded(3) == 0) format.setBackground(colors[random.bounded(1, 3)]);
        if (random.bounded(3) == 0) {
          format.setVerticalAlignment(random.bounded(2) ? QTextCharFormat::AlignSuperScript
                                                        : QTextCharFormat::AlignSubScript);
        }
        if (random.bounded(4) == 0) {
          format.setAnchor(true);
          format.setAnchorHref(families[random.bounded(families.size())] + "x");
        }
        QString text;
        const int length = random.bounded(1, 8);
        for (int i = 0; i < length; ++i) {
          const int at = random.bounded(characters.size());
          // Keep a surrogate pair together.
          if (characters.at(at).isLowSurrogate()) {
            text += characters.mid(at - 1, 2);
          } else if (characters.at(at).isHighSurrogate()) {
            text += characters.mid(at, 2);
          } else {
            text += characters.at(at);
          }
        }
        cursor.insertText(text, format);
      }
    }
    ASSERT_EQ(RoundTrip(document), Summarize(document))
        << "round " << round << ": " << WriteRtf(document).toStdString();
  }
}

// Text from HTML is written at the size it is shown at: headings, <big>, <small> and HTML
// font sizes scale the document's size as Qt shows them; pixels are at 96 dots per inch.
TEST(RtfWriter, WritesTheSizeShown) {
  const struct {
    const char* html;
    double points;
  } cases[] = {
      {"<h1>X</h1>", 20}, {"<h3>X</h3>", 12}, {"<p><big>X</big></p>", 12},
      {"<p><small>X</small></p>", 8}, {"<p><font size=7>X</font></p>", 24},
      {"<p><span style='font-size:20px'>X</span></p>", 15},
      {"<p><span style='font-size:7pt'>X</span></p>", 7}, {"<p>X</p>", 10},
  };
  for (const auto& c : cases) {
    QTextDocument document;
    document.setDefaultFont(QFont("DejaVu Sans", 10));
    document.setHtml(c.html);
    QTextDocument copy;
    ReadRtf(WriteRtf(document), copy);
    std::string error;
    const std::optional<Style> style = StyleOfText(copy, "X", &error);
    ASSERT_TRUE(style) << c.html << ": " << error;
    EXPECT_EQ(style->points, c.points) << c.html;
  }
}

// List paragraphs carry their markers (\listtext) for readers that do not number lists.
TEST(RtfWriter, WritesListMarkers) {
  QTextDocument document;
  document.setHtml("<ol><li>one<li>two</ol><ul><li>dot</ul><ol type=i><li>r</ol><p>after</p>");
  QTextDocument copy;
  ReadRtf(WriteRtf(document), copy);
  EXPECT_EQ(copy.toPlainText(), u"1.\tone\n2.\ttwo\n•\tdot\ni.\tr\nafter"_qs);
}

TEST(RtfWriter, TableRowsBecomeTabSeparatedParagraphs) {
  QTextDocument document;
  QTextCursor cursor(&document);
  cursor.insertText("before");
  QTextTable* table = cursor.insertTable(2, 3);
  const char* cells[2][3] = {{"a", "b", "c"}, {"d", "", "f"}};
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 3; ++column) {
      table->cellAt(row, column).firstCursorPosition().insertText(cells[row][column]);
    }
  }
  QTextCursor inCell = table->cellAt(0, 0).lastCursorPosition();
  inCell.insertBlock();
  inCell.insertText("a2");
  QTextDocument copy;
  ReadRtf(WriteRtf(document), copy);
  EXPECT_EQ(copy.toPlainText(), "before\na a2\tb\tc\nd\t\tf\n");
}

}  // namespace
}  // namespace quorvik::rtf::test
