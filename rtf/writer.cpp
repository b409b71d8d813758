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
#include <QTextList>
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
  bool hasBackground = false;
  QRgb background = 0;
  QTextCharFormat::VerticalAlignment position = QTextCharFormat::AlignNormal;
};

// The size text is shown at, in points: its point size, else its pixel size (at 96 dots per
// inch), else the document's size scaled by its size adjustment (HTML's headings, <big>,
// <small> and font sizes), as Qt scales it.
double ShownPoints(const QTextCharFormat& format, const QFont& defaultFont) {
  if (format.hasProperty(QTextFormat::FontPointSize) && format.fontPointSize() > 0) {
    return format.fontPointSize();
  }
  if (format.hasProperty(QTextFormat::FontPixelSize) &&
      format.intProperty(QTextFormat::FontPixelSize) > 0) {
    return format.intProperty(QTextFormat::FontPixelSize) * 72.0 / 96.0;
  }
  double points = defaultFont.pointSizeF();
  if (points <= 0) points = defaultFont.pixelSize() > 0 ? defaultFont.pixelSize() * 0.75 : 12;
  if (format.hasProperty(QTextFormat::FontSizeAdjustment)) {
    static const double kScale[] = {0.7, 0.8, 1.0, 1.2, 1.5, 2.0, 2.4};
    points *= kScale[qBound(0, format.intProperty(QTextFormat::FontSizeAdjustment) + 2, 6)];
  }
  return points;
}

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
  style.halfPoints = qBound(2, qRound(ShownPoints(format, defaultFont) * 2), 3276);
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
  if (format.background().style() != Qt::NoBrush) {
    const QColor color = format.background().color().toRgb();
    style.hasBackground = true;
    style.background = qRgb(color.red(), color.green(), color.blue());
  }
  const QTextCharFormat::VerticalAlignment position = format.verticalAlignment();
  if (position == QTextCharFormat::AlignSuperScript || position == QTextCharFormat::AlignSubScript) {
    style.position = position;
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

// Lists in order of first use, each one level of \listtable, named by \lsN (N from 1).
class ListTable {
 public:
  int index(const QTextList* list) {
    const auto it = index_.constFind(list);
    if (it != index_.constEnd()) return *it;
    lists_.push_back(list->format());
    index_.insert(list, int(lists_.size()));
    return int(lists_.size());
  }

  QByteArray tables() const {
    if (lists_.isEmpty()) return {};
    QByteArray out = "{\\*\\listtable";
    for (qsizetype i = 0; i < lists_.size(); ++i) {
      const QTextListFormat& format = lists_[i];
      const QByteArray id = QByteArray::number(i + 1);
      out += "{\\list\\listtemplateid" + id + "\\listsimple{\\listlevel\\levelnfc" +
             QByteArray::number(NumberFormat(format.style())) + "\\leveljc0\\levelstartat1"
             "\\levelfollow0{\\leveltext";
      if (NumberFormat(format.style()) == kBullet) {
        out += "\\'01";
        AppendText(out, QString(Bullet(format.style())));
        out += ";}{\\levelnumbers;}";
      } else {
        // Qt shows a full stop after the number when the list names no suffix.
        const QString prefix = format.numberPrefix();
        const QString suffix =
            format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix() : ".";
        out += "\\'" + QByteArray::number(prefix.size() + suffix.size() + 1, 16).rightJustified(2, '0');
        AppendText(out, prefix);
        out += "\\'00";
        AppendText(out, suffix);
        out += ";}{\\levelnumbers\\'" +
               QByteArray::number(prefix.size() + 1, 16).rightJustified(2, '0') + ";}";
      }
      out += "\\fi-360\\li720}\\listid" + id + "}";
    }
    out += "}\n{\\*\\listoverridetable";
    for (qsizetype i = 1; i <= lists_.size(); ++i) {
      const QByteArray id = QByteArray::number(i);
      out += "{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + id + "}";
    }
    return out + "}\n";
  }

  // The marker a paragraph of `list` shows: its number, or its bullet.
  static QString Marker(const QTextList* list, const QTextBlock& block) {
    return NumberFormat(list->format().style()) == kBullet ? QString(Bullet(list->format().style()))
                                                           : list->itemText(block);
  }

 private:
  static constexpr int kBullet = 23;
  static int NumberFormat(QTextListFormat::Style style) {
    switch (style) {
      case QTextListFormat::ListDecimal: return 0;
      case QTextListFormat::ListUpperRoman: return 1;
      case QTextListFormat::ListLowerRoman: return 2;
      case QTextListFormat::ListUpperAlpha: return 3;
      case QTextListFormat::ListLowerAlpha: return 4;
      default: return kBullet;
    }
  }
  static QChar Bullet(QTextListFormat::Style style) {
    if (style == QTextListFormat::ListCircle) return QChar(0x25E6);
    if (style == QTextListFormat::ListSquare) return QChar(0x25AA);
    return QChar(0x2022);
  }

  QHash<const QTextList*, int> index_;
  QVector<QTextListFormat> lists_;
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
  ListTable lists;
  QByteArray body;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    body += "\\pard\\plain" + AlignmentWord(block.blockFormat().alignment());
    // A list paragraph names its list and shows its marker as \listtext, for readers that
    // do not number lists themselves.
    if (const QTextList* list = block.textList()) {
      body += "\\ls" + QByteArray::number(lists.index(list)) + "\\ilvl0\\fi-360\\li720 {\\listtext ";
      AppendText(body, ListTable::Marker(list, block));
      body += "\\tab}";
    } else {
      body += ' ';
    }
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
      if (style.hasBackground) {
        body += "\\chcbpat" + QByteArray::number(tables.color(style.background));
      }
      if (style.position == QTextCharFormat::AlignSuperScript) body += "\\super";
      if (style.position == QTextCharFormat::AlignSubScript) body += "\\sub";
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
  out += lists.tables();
  out += body;
  out += "}\n";
  return out;
}

}  // namespace quorvik::rtf
