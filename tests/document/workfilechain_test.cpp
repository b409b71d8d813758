#include "document/workfilechain.h"
#include "passes/textcodec.h"
#include "support/files.h"
#include "tests.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace quorvik;
using namespace quorvik::testing;

namespace {

// The literal reading: the passes' own reader, line by line, the lines joined with line feeds.
QString ReadLineByLine(const QByteArray& bytes)
{
    TextFileReader reader;
    reader.SetData(bytes.toStdString(), TextFileReader::Mode::Detect);
    QString text;
    Text line;
    for (bool first = true; reader.ReadLine(line); first = false) {
        if (!first)
            text += u'\n';
        text += QString::fromUcs4(line.data(), static_cast<qsizetype>(line.size()));
    }
    return text;
}

WorkPaths PathsIn(const QTemporaryDir& dir)
{
    return {dir.path(), dir.filePath(QStringLiteral("quorvik.tmp")), dir.filePath(QStringLiteral("htmtemp.tmp")),
            dir.filePath(QStringLiteral("zelbrin.tmp"))};
}

std::vector<StageReport> RunChain(const ChainRequest& request, const WorkPaths& paths, bool cancelled = false)
{
    std::vector<StageReport> reports;
    const std::atomic<bool> cancel{cancelled};
    WorkFileChain::Run(request, paths, cancel, {}, [&](const StageReport& r) { reports.push_back(r); });
    return reports;
}

}  // namespace

void WorkFileChainTest::readWorkFile_splitsAsThePassesReader()
{
    // Random work files of line ends (CR LF, lone CR, lone LF), no-break spaces, separators and
    // other non-ASCII text.
    const QByteArray pieces[] = {"\r\n", "\r", "\n", "a", "word ", "\xc2\xa0", "\xe2\x80\xa8", "\xe2\x80\xa9",
                                 "\xc3\xa9", "\xf0\x9f\x98\x80", "\t", ""};
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("work.tmp"));
    QRandomGenerator random(42);
    for (int round = 0; round < 500; ++round) {
        QByteArray bytes;
        const int count = static_cast<int>(random.bounded(40));
        for (int i = 0; i < count; ++i)
            bytes += pieces[random.bounded(static_cast<int>(std::size(pieces)))];
        QVERIFY(WriteBytes(path, bytes));
        QString text, reason;
        QVERIFY(ReadWorkFile(path, text, reason));
        QVERIFY2(text == ReadLineByLine(bytes), bytes.toPercentEncoding().constData());
    }
}

void WorkFileChainTest::stages_writeWorkFilesOnlyWhenComplete()
{
    QTemporaryDir dir;
    const WorkPaths paths = PathsIn(dir);
    const QString document = dir.filePath(QStringLiteral("page.html"));
    QVERIFY(WriteBytes(document, "<p>One</p>\r\n\r\n\r\n<p>Two</p>\r\n"));
    ChainRequest request;
    request.document = document;
    request.last = Stage::Formatted;
    std::vector<StageReport> reports = RunChain(request, paths);
    QCOMPARE(reports.size(), std::size_t(3));
    QVERIFY(reports[2].ok && reports[2].text.contains(QStringLiteral("Two")));
    QCOMPARE(reports[2].workFile, paths.FormattedTextPath);

    // The document gone: the first stage fails, naming it; its old work file goes, and no
    // temporary is left.
    QVERIFY(QFile::remove(document));
    reports = RunChain(request, paths);
    QCOMPARE(reports.size(), std::size_t(1));
    QVERIFY(!reports[0].ok && !reports[0].cancelled);
    QCOMPARE(reports[0].workFile, document);
    QVERIFY(!reports[0].reason.isEmpty());
    QVERIFY(!QFile::exists(paths.FormattedHtmlPath));
    QCOMPARE(StrayFiles(dir.path(), {QStringLiteral("htmtemp.tmp"), QStringLiteral("zelbrin.tmp")}), QStringList());

    // Cancelled: reported as such, nothing written.
    request.first = Stage::Formatted;
    reports = RunChain(request, paths, true);
    QCOMPARE(reports.size(), std::size_t(1));
    QVERIFY(reports[0].cancelled && !reports[0].ok);
    QVERIFY(!QFile::exists(paths.FormattedTextPath) && !QFile::exists(TemporaryWorkName(paths.FormattedTextPath)));
}
