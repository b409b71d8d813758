// RTF writer: QTextDocument -> RTF 1.x in Windows-1252 with \uN? escapes beyond it.
// Every run is a group carrying its full character formatting, so a reader needs no
// state from earlier runs to show it right.

#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextTable>

#include "codepage.h"
#include "rtf.h"

namespace quorvik::rtf {
namespace {

struct RunStyle {
  QString family;
  int halfPoints = 24;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  QColor color;  // invalid: the automatic colour
};

RunStyle StyleOf(const QTextCharFormat& format, const QFont& defaultFont) {
  RunStyle style;
  const QStringList families = format.fontFamilies().toStringList();
  if (!families.isEmpty() && !families.first().isEmpty()) {
    style.family = families.first();
  } else if (const QString family = format.stringProperty(QTextFormat::FontFamily);
             !family.isEmpty()) {
    style.family = family;
  } else {
    style.family = defaultFont.family();
  }
  double points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                                   : defaultFont.pointSizeF();
  if (points <= 0) points = 12;  // a pixel-sized font has no point size: RTF's default
  style.halfPoints = qBound(2, qRound(points * 2), 3276);
  style.bold = format.fontWeight() >= QFont::DemiBold;
  style.italic = format.fontItalic();
  style.underline =
      format.fontUnderline() || format.underlineStyle() != QTextCharFormat::NoUnderline;
  style.strike = format.fontStrikeOut();
  if (format.foreground().style() != Qt::NoBrush) style.color = format.foreground().color();
  return style;
}

// Appends `text` as RTF text: specials escaped, Windows-1252 beyond ASCII as \'hh,
// everything else as \uN with '?' for readers that do not know \u.
void AppendText(QByteArray& out, const QString& text, bool inFontTable = false) {
  for (const QChar qc : text) {
    const char16_t ch = qc.unicode();
    if (ch == '\\' || ch == '{' || ch == '}') {
      out += '\\';
      out += char(ch);
    } else if (ch == ';' && inFontTable) {
      out += "\\'3b";  // a literal ';' would end the font's name
    } else if (ch == '\t') {
      out += "\\tab ";
    } else if (ch == QChar::LineSeparator) {
      out += "\\line ";
    } else if (ch == 0x00A0) {
      out += "\\~";
    } else if (ch == 0x2011) {
      out += "\\_";
    } else if (ch < 0x20 || ch == 0x7F || ch == QChar::ObjectReplacementCharacter) {
      continue;  // controls and embedded objects have no text to write
    } else if (ch < 0x80) {
      out += char(ch);
    } else if (const int byte = UnicodeToCp1252(ch); byte >= 0) {
      out += "\\'";
      out += QByteArray::number(byte, 16).rightJustified(2, '0');
    } else {
      out += "\\u";
      out += QByteArray::number(int(static_cast<int16_t>(ch)));
      out += '?';
    }
  }
}

QByteArray AlignmentWord(Qt::Alignment alignment) {
  const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
  if (horizontal & Qt::AlignHCenter) return "\\qc";
  if (horizontal & Qt::AlignJustify) return "\\qj";
  if (horizontal & Qt::AlignRight) return "\\qr";
  return "\\ql";
}

// What ends a block: \par, or for a table cell a tab before the next cell of its row.
QByteArray BlockEnd(const QTextBlock& block) {
  QTextCursor cursor(block);
  if (QTextTable* table = cursor.currentTable()) {
    const QTextTableCell cell = table->cellAt(cursor);
    if (cell.isValid()) {
      if (cell.lastCursorPosition().block() != block) return " ";  // more text in this cell
      if (cell.column() + cell.columnSpan() < table->columns()) return "\\tab ";
    }
  }
  return "\\par\n";
}

}  // namespace

QByteArray WriteRtf(const QTextDocument& document) {
  const QFont defaultFont = document.defaultFont();

  // Font and colour tables from what the document uses; font 0 is the default font.
  QStringList fonts{defaultFont.family()};
  QList<QColor> colors;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const RunStyle style = StyleOf(it.fragment().charFormat(), defaultFont);
      if (!fonts.contains(style.family)) fonts.append(style.family);
      if (style.color.isValid()) {
        const QColor rgb = style.color.toRgb();
        const QColor opaque(rgb.red(), rgb.green(), rgb.blue());
        if (!colors.contains(opaque)) colors.append(opaque);
      }
    }
  }

  QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
  for (int i = 0; i < fonts.size(); ++i) {
    out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
    AppendText(out, fonts[i], true);
    out += ";}";
  }
  out += "}\n{\\colortbl;";
  for (const QColor& color : colors) {
    out += "\\red" + QByteArray::number(color.red()) + "\\green" +
           QByteArray::number(color.green()) + "\\blue" + QByteArray::number(color.blue()) + ';';
  }
  out += "}\n";

  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    out += "\\pard\\plain" + AlignmentWord(block.blockFormat().alignment()) + ' ';
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.text().isEmpty()) continue;
      const RunStyle style = StyleOf(fragment.charFormat(), defaultFont);
      out += "{\\f" + QByteArray::number(fonts.indexOf(style.family)) + "\\fs" +
             QByteArray::number(style.halfPoints);
      if (style.bold) out += "\\b";
      if (style.italic) out += "\\i";
      if (style.underline) out += "\\ul";
      if (style.strike) out += "\\strike";
      if (style.color.isValid()) {
        const QColor rgb = style.color.toRgb();
        out += "\\cf" +
               QByteArray::number(colors.indexOf(QColor(rgb.red(), rgb.green(), rgb.blue())) + 1);
      }
      out += ' ';
      AppendText(out, fragment.text());
      out += '}';
    }
    out += BlockEnd(block);
  }
  out += "}\n";
  return out;
}

}  // namespace quorvik::rtf
