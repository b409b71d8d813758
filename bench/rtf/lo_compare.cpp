// Prints how closely the reader agrees with LibreOffice on RTF files: for each file, the
// share of LibreOffice's words the reader recovers in order (longest common subsequence)
// and of LibreOffice's runs it reads with the same text, style and alignment; and whether
// its text (lines and tabs) equals the expected text (FILE.txt where LibreOffice's reading
// is not the one wanted, else FILE.lo.txt).
//   quorvik_rtf_lo_compare FILE.rtf...   (beside each: FILE.lo.txt and FILE.lo.json)

#include <QFile>
#include <QGuiApplication>
#include <QTextBlock>
#include <QTextDocument>

#include <cstdio>
#include <vector>

#include "doc_summary.h"
#include "rtf/rtf.h"

using namespace quorvik::rtf;

namespace {

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int CommonWords(const QStringList& a, const QStringList& b) {
  std::vector<int> row(b.size() + 1, 0);
  for (const QString& word : a) {
    int diagonal = 0;
    for (qsizetype j = 1; j <= b.size(); ++j) {
      const int above = row[j];
      row[j] = word == b[j - 1] ? diagonal + 1 : qMax(row[j], row[j - 1]);
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The words of a text: what lies between white space of any kind (no-break spaces and
// paragraph and line separators too), the same for both readings.
QStringList Words(QString text) {
  for (QChar& c : text) {
    if (c.isSpace()) c = ' ';
  }
  return text.split(' ', Qt::SkipEmptyParts);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  std::printf("%-40s %14s %14s %9s\n", "file", "words matched", "runs matched", "expected");
  int files = 0, wordFiles = 0, runFiles = 0, equalFiles = 0;
  for (int i = 1; i < argc; ++i) {
    const QString path = QString::fromLocal8Bit(argv[i]);
    const QString base = path.chopped(4);
    QTextDocument document;
    ReadRtf(Read(path), document);
    QString text = document.toRawText();
    QString lines = text;
    lines.replace(QChar::ParagraphSeparator, '\n').replace(QChar::LineSeparator, '\n');
    QByteArray expected = Read(base + ".txt");
    if (expected.isEmpty()) expected = Read(base + ".lo.txt");
    if (expected.endsWith('\n')) expected.chop(1);
    const bool equal = lines == QString::fromUtf8(expected);
    const QStringList ours = Words(text);
    const QStringList theirs = Words(QString::fromUtf8(Read(base + ".lo.txt")));
    const int words = CommonWords(theirs, ours);
    const QVector<test::ExpectedRun> runs = test::ReadExpectedRuns(base + ".lo.json");
    int matched = 0, from = 0;
    for (const test::ExpectedRun& run : runs) {
      std::string error;
      int at = from;
      const auto style = test::StyleOfText(document, run.text, &error, &at);
      if (style && *style == run.style && test::AlignOf(document.findBlock(at - 1)) == run.align) {
        ++matched;
        from = at;
      }
    }
    std::printf("%-40s %6d/%-6lld %7d/%-6lld %9s\n", qPrintable(path.section('/', -2)), words,
                static_cast<long long>(theirs.size()), matched, static_cast<long long>(runs.size()),
                equal ? "yes" : "no");
    equalFiles += equal;
    ++files;
    wordFiles += words == theirs.size() && ours.size() == theirs.size();
    runFiles += matched == runs.size();
  }
  std::printf("%d files: LibreOffice's words all matched in %d, its runs in %d; expected text in %d\n",
              files, wordFiles, runFiles, equalFiles);
  return 0;
}
