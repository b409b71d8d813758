// What the writer writes, read by other programs where they are installed: pandoc and unrtf
// (installed by scripts/test) and LibreOffice (large, so the test skips it when missing).
// Each must read the same text, LibreOffice the same runs of formatting; and what pandoc and
// LibreOffice write back as RTF the reader must read as the document it started from.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include <gtest/gtest.h>

#include "doc_summary.h"
#include "rtf/rtf.h"

namespace quorvik::rtf::test {
namespace {

// Every kind of text and formatting the writer writes. Cyrillic, Greek and CJK text with
// its punctuation catches a reader that drops the character after a \u fallback.
const char* const kHtml =
    "<body style=\"font-family:'DejaVu Sans'; font-size:12pt\">"
    "<p>Привет, мир. Ελληνικά, κείμενο. 日本語、テキスト。 café “q” € {x} back\\slash</p>"
    "<p><b>bold</b> <i>italic</i> <u>under</u> <s>struck</s> "
    "<a href='http://example.org/a?b=1'>a link</a> "
    "<span style=\"font-family:'Courier New'; font-size:15pt; color:#12ab34\">mono</span> "
    "x<sup>2</sup> H<sub>2</sub>O <span style='background-color:#ffff00'>marked</span></p>"
    "<p align=center>centred</p><p align=right>right</p><p align=justify>justified</p>"
    "</body>";

QString RunProgram(const QString& program, const QStringList& arguments, const QString& dir) {
  QProcess process;
  process.setWorkingDirectory(dir);
  process.start(program, arguments);
  if (!process.waitForFinished(120000) || process.exitCode() != 0) {
    ADD_FAILURE() << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return {};
  }
  return QString::fromUtf8(process.readAllStandardOutput());
}

QString ReadUtf8(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QString text = QString::fromUtf8(file.readAll());
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  return text;
}

// The document as runs of one emphasis, position and link, paragraph ends as runs of their
// own: what pandoc keeps of it.
QStringList Emphasis(const QTextDocument& document) {
  QStringList out;
  QString last;
  for (const Paragraph& paragraph : Summarize(document)) {
    for (const test::Run& run : paragraph.runs) {
      const Style& s = run.style;
      const QString key = QString("[%1%2%3%4%5 %6] ").arg(s.bold).arg(s.italic).arg(s.underline)
                              .arg(s.strike).arg(int(s.position)).arg(run.link);
      if (key == last) {
        out.back() += run.text;
      } else {
        out << key + run.text;
      }
      last = key;
    }
    out << "\n";
    last.clear();
  }
  return out;
}

// Reads the RTF file another program wrote from the writer's RTF: it must show the
// document's paragraphs and runs (`full`), or its text with the same emphasis, positions and
// links.
void ExpectReadBack(const QTextDocument& document, const QString& path, const char* writer,
                    bool full) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << writer << " wrote no RTF";
  QTextDocument read;
  read.setDefaultFont(document.defaultFont());
  ReadRtf(file.readAll(), read);
  if (full) {
    EXPECT_EQ(Summarize(read), Summarize(document)) << writer;
  } else {
    EXPECT_EQ(Emphasis(read), Emphasis(document)) << writer;
  }
}

TEST(RtfExternal, OtherProgramsReadWhatTheWriterWritesAndWriteItBack) {
  QTextDocument document;
  document.setHtml(QString::fromUtf8(kHtml));
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile file(dir.filePath("quorvik.rtf"));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(WriteRtf(document));
  file.close();
  const QString text = document.toPlainText();

  int readers = 0;
  if (const QString pandoc = QStandardPaths::findExecutable("pandoc"); !pandoc.isEmpty()) {
    ++readers;
    RunProgram(pandoc, {"-s", "-f", "rtf", "-t", "rtf", "-o", "pandoc.rtf", "quorvik.rtf"}, dir.path());
    ExpectReadBack(document, dir.filePath("pandoc.rtf"), "pandoc", false);
  }
  if (const QString unrtf = QStandardPaths::findExecutable("unrtf"); !unrtf.isEmpty()) {
    ++readers;
    // unrtf writes Latin-1 (other characters as '?') and a link as its target: the lines
    // after the second are compared. Comment lines and a line of dashes come first.
    const QString read = RunProgram(unrtf, {"--text", "quorvik.rtf"}, dir.path());
    EXPECT_EQ(read.mid(read.indexOf("-----------------\n") + 18).trimmed().section('\n', 2),
              text.section('\n', 2))
        << "unrtf";
  }
  const QString soffice = QStandardPaths::findExecutable("soffice");
  const QString python = QStandardPaths::findExecutable("python3");
  if (!soffice.isEmpty() && !python.isEmpty()) {
    ++readers;
    // A profile of its own: a LibreOffice already running would otherwise take the work.
    const QString profile =
        "-env:UserInstallation=" + QUrl::fromLocalFile(dir.filePath("profile")).toString();
    for (const char* format : {"txt:Text (encoded):UTF8", "fodt", "rtf"}) {
      RunProgram(soffice, {profile, "--headless", "--convert-to", format, "--outdir", "lo", "quorvik.rtf"},
                 dir.path());
    }
    QString read = ReadUtf8(dir.filePath("lo/quorvik.txt"));
    read.chop(1);  // the last paragraph's line end
    EXPECT_EQ(read, text) << "LibreOffice";
    QFile json(dir.filePath("runs.json"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(RunProgram(python, {QStringLiteral(QUORVIK_RTF_FIXTURES "/lo_runs.py"), "lo/quorvik.fodt"},
                          dir.path()).toUtf8());
    json.close();
    const QVector<ExpectedRun> runs = ReadExpectedRuns(json.fileName());
    EXPECT_FALSE(runs.isEmpty());
    ExpectRuns(document, runs);
    ExpectReadBack(document, dir.filePath("lo/quorvik.rtf"), "LibreOffice", true);
  } else {
    std::printf("LibreOffice (soffice) or python3 is not installed: its reading is not checked\n");
  }
  if (readers == 0) GTEST_SKIP() << "neither pandoc nor LibreOffice is installed";
}

}  // namespace
}  // namespace quorvik::rtf::test
