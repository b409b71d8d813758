#pragma once
// What a user sees of a QTextDocument, for comparing documents: paragraphs with their
// alignment, and runs of text with their effective character style (properties a run
// leaves unset are taken from the document's default font).

#include <QColor>
#include <QString>
#include <QVector>

#include <optional>
#include <ostream>

class QTextBlock;
class QTextDocument;

namespace quorvik::rtf::test {

enum class Align { Left, Center, Right, Justify };
enum class Position { Normal, Super, Sub };

struct Style {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strike = false;
  QString family;
  double points = 0;
  QColor color;       // invalid: automatic
  Position position = Position::Normal;
  QColor background;  // invalid: none
  bool operator==(const Style& other) const;
  bool operator!=(const Style& other) const { return !(*this == other); }
};

struct Run {
  QString text;
  Style style;
  QString link;  // the target of a link
  bool operator==(const Run& other) const {
    return text == other.text && style == other.style && link == other.link;
  }
};

struct Paragraph {
  Align align = Align::Left;
  QVector<Run> runs;  // adjacent runs always differ in style
  bool operator==(const Paragraph& other) const {
    return align == other.align && runs == other.runs;
  }
};

QVector<Paragraph> Summarize(const QTextDocument& document);

// The style of every character of the first occurrence of `needle` (at or after *from
// when given; *from then moves past it), or nothing (with the reason in `error`) when the
// text is missing or its characters differ in style.
std::optional<Style> StyleOfText(const QTextDocument& document, const QString& needle,
                                 std::string* error, int* from = nullptr);
Align AlignOf(const QTextBlock& block);

// What LibreOffice read from a fixture: runs of text with their style and the alignment of
// their paragraph (written by fixtures/lo_runs.py). Empty when the file is missing.
struct ExpectedRun {
  QString text;
  Style style;
  Align align = Align::Left;
};
QVector<ExpectedRun> ReadExpectedRuns(const QString& jsonFile);
// Checks that `document` holds the runs in order, each with its style and alignment, but
// for those whose text is in `differs` (a test assertion: fixtures_test.cpp).
void ExpectRuns(const QTextDocument& document, const QVector<ExpectedRun>& runs,
                const QStringList& differs = {});

void PrintTo(const Style& style, std::ostream* os);
void PrintTo(const Paragraph& paragraph, std::ostream* os);

}  // namespace quorvik::rtf::test

QT_BEGIN_NAMESPACE
void PrintTo(const QString& text, std::ostream* os);
QT_END_NAMESPACE
