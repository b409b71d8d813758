#include "doc_summary.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

namespace quorvik::rtf::test {
namespace {

Align AlignOf(Qt::Alignment alignment) {
  const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
  if (horizontal & Qt::AlignHCenter) return Align::Center;
  if (horizontal & Qt::AlignJustify) return Align::Justify;
  if (horizontal & Qt::AlignRight) return Align::Right;
  return Align::Left;
}

Style EffectiveStyle(const QTextCharFormat& format, const QFont& defaultFont) {
  Style style;
  style.bold = format.fontWeight() >= QFont::DemiBold;
  style.italic = format.fontItalic();
  style.underline = format.fontUnderline();
  style.strike = format.fontStrikeOut();
  const QStringList families = format.fontFamilies().toStringList();
  style.family = families.isEmpty() ? defaultFont.family() : families.first();
  style.points = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize()
                                                                  : defaultFont.pointSizeF();
  if (format.foreground().style() != Qt::NoBrush) style.color = format.foreground().color();
  return style;
}

}  // namespace

bool Style::operator==(const Style& other) const {
  return bold == other.bold && italic == other.italic && underline == other.underline &&
         strike == other.strike && family == other.family && qFuzzyCompare(points, other.points) &&
         color.isValid() == other.color.isValid() &&
         (!color.isValid() || color.rgb() == other.color.rgb());
}

QVector<Paragraph> Summarize(const QTextDocument& document) {
  QVector<Paragraph> paragraphs;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    Paragraph paragraph;
    paragraph.align = AlignOf(block.blockFormat().alignment());
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.text().isEmpty()) continue;
      const Style style = EffectiveStyle(fragment.charFormat(), document.defaultFont());
      if (!paragraph.runs.isEmpty() && paragraph.runs.back().style == style) {
        paragraph.runs.back().text += fragment.text();
      } else {
        paragraph.runs.push_back(Run{fragment.text(), style});
      }
    }
    paragraphs.push_back(paragraph);
  }
  return paragraphs;
}

std::optional<Style> StyleOfText(const QTextDocument& document, const QString& needle,
                                 std::string* error) {
  const QTextCursor found = document.find(needle, 0, QTextDocument::FindCaseSensitively);
  if (found.isNull()) {
    *error = "text not found: " + needle.toStdString();
    return std::nullopt;
  }
  std::optional<Style> style;
  QTextCursor cursor(const_cast<QTextDocument*>(&document));
  for (int pos = found.selectionStart() + 1; pos <= found.selectionEnd(); ++pos) {
    cursor.setPosition(pos);  // charFormat() is the format of the character before
    const Style here = EffectiveStyle(cursor.charFormat(), document.defaultFont());
    if (style && *style != here) {
      *error = "mixed styles in: " + needle.toStdString();
      return std::nullopt;
    }
    style = here;
  }
  return style;
}

std::optional<Align> AlignOfText(const QTextDocument& document, const QString& needle) {
  const QTextCursor found = document.find(needle, 0, QTextDocument::FindCaseSensitively);
  if (found.isNull()) return std::nullopt;
  return AlignOf(found.block().blockFormat().alignment());
}

void PrintTo(const Style& style, std::ostream* os) {
  *os << (style.bold ? "b" : "") << (style.italic ? "i" : "") << (style.underline ? "u" : "")
      << (style.strike ? "s" : "") << " '" << style.family.toStdString() << "' "
      << style.points << "pt";
  if (style.color.isValid()) *os << ' ' << style.color.name().toStdString();
}

void PrintTo(const Paragraph& paragraph, std::ostream* os) {
  *os << "align " << int(paragraph.align) << ":";
  for (const Run& run : paragraph.runs) {
    *os << " [" << run.text.toStdString() << " | ";
    PrintTo(run.style, os);
    *os << "]";
  }
}

}  // namespace quorvik::rtf::test

QT_BEGIN_NAMESPACE
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE
