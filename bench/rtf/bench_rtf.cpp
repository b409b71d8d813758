// Times the RTF reader against Qt's own insertion loop building the same document, and
// shows that reading and writing time grow linearly with the input whatever it holds.
//   build/bench/rtf/bench_rtf [runs]
// Each figure is the best of `runs` runs (default 5), the reader and Qt's loop taking turns,
// so that a busy moment of a shared machine counts against neither. Exits with 1 when the
// reader takes more than 1.3 times as long as Qt's loop, or when eight times the input
// takes more than 24 times as long (linear work gives about 8 to 12, Qt's own document
// structures and the caches adding a little per unit; quadratic work 64).

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <functional>

#include "rtf/rtf.h"

using namespace quorvik;

namespace {

const QByteArray kHeader = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}\n";

double Seconds(const std::function<void()>& work) {
  QElapsedTimer timer;
  timer.start();
  work();
  return timer.nsecsElapsed() / 1e9;
}

double ReadSeconds(const QByteArray& rtf) {
  QTextDocument document;
  return Seconds([&] { rtf::ReadRtf(rtf, document); });
}

// Qt's own loop: the same paragraphs inserted one by one through a cursor, undo off, in one
// edit block, in the format the reader gives its text.
double QtLoopSeconds(const QStringList& paragraphs) {
  QTextDocument document;
  document.setUndoRedoEnabled(false);
  QTextCharFormat format;
  format.setFontFamilies({"Arial"});
  format.setFontPointSize(12);
  return Seconds([&] {
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
      if (i > 0) cursor.insertBlock();
      if (!paragraphs[i].isEmpty()) cursor.insertText(paragraphs[i], format);
    }
    cursor.endEditBlock();
  });
}

bool CompareWithQt(const char* name, const QByteArray& rtf, const QStringList& paragraphs,
                   int runs) {
  double reader = 1e9, qt = 1e9;
  for (int run = 0; run < runs; ++run) {
    reader = qMin(reader, ReadSeconds(rtf));
    qt = qMin(qt, QtLoopSeconds(paragraphs));
  }
  const double ratio = reader / qt;
  std::printf("%-32s reader %7.3f s   Qt's loop %7.3f s   ratio %5.2f  %s\n", name, reader, qt,
              ratio, ratio <= 1.3 ? "ok" : "OVER 1.3");
  return ratio <= 1.3;
}

bool Linear(const char* name, const std::function<double(int)>& secondsFor, int units, int runs) {
  // The smaller input is made large enough to take 50 ms or more: below that the clock and
  // the machine's noise would hide even a quadratic cost.
  while (units < (1 << 22) && qMin(secondsFor(units), secondsFor(units)) < 0.05) units *= 2;
  double small = 1e9, large = 1e9;
  for (int run = 0; run < runs; ++run) {
    small = qMin(small, secondsFor(units));
    large = qMin(large, secondsFor(units * 8));
  }
  const double ratio = large / small;
  std::printf("%-32s %7d units %7.3f s   x8 %7.3f s   ratio %5.1f  %s\n", name, units, small,
              large, ratio, ratio <= 24 ? "linear" : "NOT LINEAR");
  return ratio <= 24;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const int runs = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
  bool ok = true;

  {
    const int count = 2000000;
    const QByteArray rtf = kHeader + QByteArray("\\par\n").repeated(count) + "}";
    ok &= CompareWithQt("2 million empty paragraphs", rtf, QStringList(count + 1, QString()), runs);
  }
  {
    const int count = 1000000;
    QByteArray rtf = kHeader;
    QStringList paragraphs;
    for (int i = 0; i < count; ++i) {
      const QString text = "Paragraph " + QString::number(i) + " of the benchmark, in plain text.";
      rtf += text.toLatin1() + "\\par\n";
      paragraphs << text;
    }
    rtf += "}";
    paragraphs << QString();
    ok &= CompareWithQt("1 million text paragraphs", rtf, paragraphs, runs);
  }

  std::printf("\n");
  const struct {
    const char* name;
    QByteArray unit;
  } patterns[] = {
      {"reading: paragraphs", "{\\b x}\\par "},
      {"reading: format runs", "{\\b a}{\\i\\f1 b}\\cf1 c\\plain "},
      {"reading: table cells", "\\trowd\\intbl a\\cell \\cell b\\par c\\cell\\row "},
      {"reading: unicode and bytes", "\\u937?\\'e9\\uc2\\u8364\\'80\\'80 "},
      {"reading: nested groups", "{{{{{{{{x}}}}}}}}"},
      {"reading: skipped destinations", "{\\*\\x{\\pict 0123}}{\\fldinst a}{\\fldrslt b}"},
      {"reading: links", "{\\field{\\*\\fldinst{HYPERLINK \"u\"}}{\\fldrslt{a}}}"},
      {"reading: numbered paragraphs", "\\pard{\\*\\pn\\pndec{\\pntxta .}}a\\par "},
      {"reading: unclosed groups", "{a"},
  };
  for (const auto& p : patterns) {
    ok &= Linear(p.name, [&](int units) { return ReadSeconds(kHeader + p.unit.repeated(units) + "}"); },
                 20000, runs);
  }
  // Writing a document whose every run has a font and colour of its own (as one read from a
  // hostile file may).
  ok &= Linear("writing: distinct styles", [](int units) {
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (int i = 0; i < units; ++i) {
      QTextCharFormat format;
      format.setFontFamilies({"F" + QString::number(i)});
      format.setForeground(QColor::fromRgb(QRgb(i * 7919)));
      cursor.insertText("x", format);
    }
    cursor.endEditBlock();
    return Seconds([&] { rtf::WriteRtf(document); });
  }, 3000, runs);
  return ok ? 0 : 1;
}
