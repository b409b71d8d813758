// RTF writer: QTextDocument -> RTF 1.x in Windows-1252 with \uN\'3f escapes beyond it.
// Every run is a group carrying its full character formatting, so a reader needs no
// state from earlier runs to show it right.

#include <QColor>
#include <QHash>
#include <QFont>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextTable>

#include "codepage.h"
#include "rtf/rtf.h"

namespace quorvik::rtf {
namespace {

struct RunStyle {
  QString family;
  int halfPoints = 24;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  bool hasColor = false;  // false: the automatic colour
  QRgb color = 0;         // opaque
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
  if (format.foreground().style() != Qt::NoBrush) {
    const QColor color = format.foreground().color().toRgb();
    style.hasColor = true;
    style.color = qRgb(color.red(), color.green(), color.blue());
  }
  return style;
}

// Appends `text` as RTF text: specials escaped, Windows-1252 beyond ASCII as \'hh,
// everything else as \uN with \'3f ('?') for readers that do not know \u. The fallback is
// written as a hex byte, not a literal '?': some readers take the literal character for
// part of the text that follows and drop the next real character instead.
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
      out += "\\'3f";
    }
  }
}

// Font and colour tables in order of first use. Hash lookups keep writing linear even
// for a document with thousands of distinct fonts or colours.
class StyleTables {
 public:
  int font(const QString& family) { return indexOf(family, fontIndex_, fonts_); }
  // Index in \colortbl; entry 0 is the automatic colour, so the first real one is 1.
  int color(QRgb rgb) { return indexOf(rgb, colorIndex_, colors_) + 1; }
  const QStringList& fonts() const { return fonts_; }
  const QList<QRgb>& colors() const { return colors_; }

 private:
  template <typename T, typename List>
  static int indexOf(const T& value, QHash<T, int>& index, List& list) {
    const auto it = index.constFind(value);
    if (it != index.constEnd()) return *it;
    list.append(value);
    index.insert(value, int(list.size()) - 1);
    return int(list.size()) - 1;
  }

  QHash<QString, int> fontIndex_;
  QStringList fonts_;
  QHash<QRgb, int> colorIndex_;
  QList<QRgb> colors_;
};

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

// A field instruction's quoted argument: backslashes and quotes escaped as field codes
// want them, then RTF's own escapes.
void AppendFieldArgument(QByteArray& out, const QString& argument) {
  QString escaped = argument;
  escaped.replace(QLatin1String("\\"), QLatin1String("\\\\"));
  escaped.replace(QLatin1String("\""), QLatin1String("\\\""));
  out += '"';
  AppendText(out, escaped);
  out += '"';
}

}  // namespace

QByteArray WriteRtf(const QTextDocument& document) {
  const QFont defaultFont = document.defaultFont();
  // Table cells only exist in a document with frames; looking for them costs time.
  const bool hasFrames = !document.rootFrame()->childFrames().isEmpty();

  // The body first, so the tables list exactly what it uses; font 0 is the default font.
  StyleTables tables;
  tables.font(defaultFont.family());
  QByteArray body;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    body += "\\pard\\plain" + AlignmentWord(block.blockFormat().alignment()) + ' ';
    // Runs of one link target are the result of one HYPERLINK field.
    QString link;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.text().isEmpty()) continue;
      const QTextCharFormat format = fragment.charFormat();
      const QString href = format.isAnchor() ? format.anchorHref() : QString();
      if (href != link) {
        if (!link.isEmpty()) body += "}}}";
        if (!href.isEmpty()) {
          // Instruction and result each in a group of their own, as word processors write
          // them (some readers know a link only in this form).
          body += "{\\field{\\*\\fldinst{HYPERLINK ";
          AppendFieldArgument(body, href);
          body += "}}{\\fldrslt{";
        }
        link = href;
      }
      const RunStyle style = StyleOf(format, defaultFont);
      body += "{\\f" + QByteArray::number(tables.font(style.family)) + "\\fs" +
              QByteArray::number(style.halfPoints);
      if (style.bold) body += "\\b";
      if (style.italic) body += "\\i";
      if (style.underline) body += "\\ul";
      if (style.strike) body += "\\strike";
      if (style.hasColor) body += "\\cf" + QByteArray::number(tables.color(style.color));
      body += ' ';
      AppendText(body, fragment.text());
      body += '}';
    }
    if (!link.isEmpty()) body += "}}}";
    body += hasFrames ? BlockEnd(block) : QByteArray("\\par\n");
  }

  QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n{\\fonttbl";
  for (int i = 0; i < tables.fonts().size(); ++i) {
    out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset0 ";
    AppendText(out, tables.fonts()[i], true);
    out += ";}";
  }
  out += "}\n{\\colortbl;";
  for (const QRgb color : tables.colors()) {
    out += "\\red" + QByteArray::number(qRed(color)) + "\\green" +
           QByteArray::number(qGreen(color)) + "\\blue" + QByteArray::number(qBlue(color)) + ';';
  }
  out += "}\n";
  out += body;
  out += "}\n";
  return out;
}

}  // namespace quorvik::rtf
