// What the writer writes, read by other programs where they are installed: pandoc and unrtf
// (installed by scripts/test) and LibreOffice (large, so the test skips without it). Each must read the
// same text, and LibreOffice the same runs of formatting.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>

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

TEST(RtfExternal, OtherReadersReadWhatTheWriterWrites) {
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
    // pandoc reads RTF into HTML; the HTML shows what it understood.
    QTextDocument read;
    QString html = RunProgram(pandoc, {"-f", "rtf", "-t", "html", "quorvik.rtf"}, dir.path());
    read.setHtml(html.replace("<del>", "<s>").replace("</del>", "</s>"));
    EXPECT_EQ(read.toPlainText().trimmed(), text) << "pandoc";
    for (const Paragraph& paragraph : Summarize(document)) {
      for (const test::Run& run : paragraph.runs) {
        const QTextCursor found = read.find(run.text);
        ASSERT_FALSE(found.isNull()) << "pandoc: " << run.text.toStdString();
        const QTextCharFormat f = found.charFormat();
        EXPECT_EQ(std::make_tuple(f.fontWeight() >= QFont::DemiBold, f.fontItalic(),
                                  f.fontStrikeOut(), f.anchorHref()),
                  std::make_tuple(run.style.bold, run.style.italic, run.style.strike, run.link))
            << "pandoc: " << run.text.toStdString();
      }
    }
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
    RunProgram(soffice, {"--headless", "--convert-to", "txt:Text (encoded):UTF8", "quorvik.rtf"}, dir.path());
    RunProgram(soffice, {"--headless", "--convert-to", "fodt", "quorvik.rtf"}, dir.path());
    QString read = ReadUtf8(dir.filePath("quorvik.txt"));
    read.chop(1);  // the last paragraph's line end
    EXPECT_EQ(read, text) << "LibreOffice";
    QFile json(dir.filePath("runs.json"));
    ASSERT_TRUE(json.open(QIODevice::WriteOnly));
    json.write(RunProgram(python, {QStringLiteral(QUORVIK_RTF_FIXTURES "/lo_runs.py"), "quorvik.fodt"},
                   dir.path()).toUtf8());
    json.close();
    const QVector<ExpectedRun> runs = ReadExpectedRuns(json.fileName());
    EXPECT_FALSE(runs.isEmpty());
    ExpectRuns(document, runs);
  } else {
    std::printf("LibreOffice (soffice) or python3 is not installed: its reading is not checked\n");
  }
  if (readers == 0) GTEST_SKIP() << "neither pandoc nor LibreOffice is installed";
}

}  // namespace
}  // namespace quorvik::rtf::test
