#include "doc_summary.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

namespace quorvik::rtf::test {
namespace {

Align AlignOfFormat(Qt::Alignment alignment) {
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
  if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript) {
    style.position = Position::Super;
  } else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript) {
    style.position = Position::Sub;
  }
  if (format.background().style() != Qt::NoBrush) style.background = format.background().color();
  return style;
}

}  // namespace

Align AlignOf(const QTextBlock& block) { return AlignOfFormat(block.blockFormat().alignment()); }

bool Style::operator==(const Style& other) const {
  const auto same = [](const QColor& a, const QColor& b) {
    return a.isValid() == b.isValid() && (!a.isValid() || a.rgb() == b.rgb());
  };
  return bold == other.bold && italic == other.italic && underline == other.underline &&
         strike == other.strike && family == other.family && qFuzzyCompare(points, other.points) &&
         same(color, other.color) && position == other.position && same(background, other.background);
}

QVector<ExpectedRun> ReadExpectedRuns(const QString& jsonFile) {
  QFile file(jsonFile);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QVector<ExpectedRun> runs;
  const QJsonArray array = QJsonDocument::fromJson(file.readAll()).array();
  for (const QJsonValue& value : array) {
    const QJsonObject o = value.toObject();
    ExpectedRun run;
    run.text = o["text"].toString().replace(QChar('\n'), QChar::LineSeparator);
    run.style.bold = o["b"].toBool();
    run.style.italic = o["i"].toBool();
    run.style.underline = o["u"].toBool();
    run.style.strike = o["s"].toBool();
    run.style.family = o["font"].toString();
    run.style.points = o["size"].toDouble();
    run.style.color = QColor(o["color"].toString());  // "" gives the invalid, automatic colour
    run.style.background = QColor(o["background"].toString());
    run.style.position = QHash<QString, Position>{{"super", Position::Super}, {"sub", Position::Sub}}
                             .value(o["position"].toString());
    run.align = QHash<QString, Align>{{"center", Align::Center}, {"right", Align::Right},
                                      {"justify", Align::Justify}}
                    .value(o["align"].toString());
    runs.push_back(run);
  }
  return runs;
}

QVector<Paragraph> Summarize(const QTextDocument& document) {
  QVector<Paragraph> paragraphs;
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    Paragraph paragraph;
    paragraph.align = AlignOf(block);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      if (fragment.text().isEmpty()) continue;
      const Style style = EffectiveStyle(fragment.charFormat(), document.defaultFont());
      const QString link = fragment.charFormat().anchorHref();
      if (!paragraph.runs.isEmpty() && paragraph.runs.back().style == style &&
          paragraph.runs.back().link == link) {
        paragraph.runs.back().text += fragment.text();
      } else {
        paragraph.runs.push_back(Run{fragment.text(), style, link});
      }
    }
    paragraphs.push_back(paragraph);
  }
  return paragraphs;
}

std::optional<Style> StyleOfText(const QTextDocument& document, const QString& needle,
                                 std::string* error, int* from) {
  // Positions in the raw text are document positions. (QTextDocument::find takes a no-break
  // space for a space, and so never finds text that holds one.)
  const qsizetype start = document.toRawText().indexOf(needle, from ? *from : 0);
  if (start < 0) {
    *error = "text not found: " + needle.toStdString();
    return std::nullopt;
  }
  const int end = int(start + needle.size());
  if (from) *from = end;
  std::optional<Style> style;
  QTextCursor cursor(const_cast<QTextDocument*>(&document));
  for (int pos = int(start) + 1; pos <= end; ++pos) {
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

void PrintTo(const Style& style, std::ostream* os) {
  *os << (style.bold ? "b" : "") << (style.italic ? "i" : "") << (style.underline ? "u" : "")
      << (style.strike ? "s" : "") << " '" << style.family.toStdString() << "' "
      << style.points << "pt";
  if (style.color.isValid()) *os << ' ' << style.color.name().toStdString();
  if (style.position != Position::Normal) *os << (style.position == Position::Super ? " sup" : " sub");
  if (style.background.isValid()) *os << " on " << style.background.name().toStdString();
}

void PrintTo(const Paragraph& paragraph, std::ostream* os) {
  *os << "align " << int(paragraph.align) << ":";
  for (const Run& run : paragraph.runs) {
    *os << " [" << run.text.toStdString() << " | ";
    PrintTo(run.style, os);
    if (!run.link.isEmpty()) *os << " -> " << run.link.toStdString();
    *os << "]";
  }
}

}  // namespace quorvik::rtf::test

QT_BEGIN_NAMESPACE
void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
QT_END_NAMESPACE
