// The document layer: reading documents and work files, the name a save writes, the private
// work folder, and the work-file chain. (What a save writes, and its failures, are checked
// through the window: tests/app/mainform_test.cpp and tests/faults/window_test.cpp.)

#include "document/documentfiles.h"
#include "document/savepath.h"
#include "document/workfilechain.h"
#include "document/workpaths.h"
#include "passes/textcodec.h"
#include "support/files.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

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
    for (bool first = true; reader.ReadLine(line); first = false)
        text += (first ? QString() : QStringLiteral("\n")) + QString::fromUcs4(line.data(), qsizetype(line.size()));
    return text;
}

std::vector<StageReport> RunChain(const ChainRequest& request, const WorkPaths& paths, bool cancelled = false)
{
    std::vector<StageReport> reports;
    const std::atomic<bool> cancel{cancelled};
    WorkFileChain::Run(request, paths, cancel, {}, [&](const StageReport& r) { reports.push_back(r); });
    return reports;
}

}  // namespace

class DocumentTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QByteArray oldRuntime_, oldTmp_;
    QString path(const QString& name) const { return dir_->filePath(name); }

private slots:
    // Each test has a scratch folder of its own, which is also where work folders are made.
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        oldRuntime_ = qgetenv("XDG_RUNTIME_DIR");
        oldTmp_ = qgetenv("TMPDIR");
        qputenv("XDG_RUNTIME_DIR", dir_->path().toUtf8());
    }
    void cleanup()
    {
        qputenv("XDG_RUNTIME_DIR", oldRuntime_);
        qputenv("TMPDIR", oldTmp_);
        dir_.reset();
    }

    void savePathWithExtension_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("written");
        QTest::newRow("html as text") << "/d/page.html" << "txt" << "/d/page.txt";
        QTest::newRow("last of several dots") << "/d/a.b.htm" << "rtf" << "/d/a.b.rtf";
        QTest::newRow("no dot appends") << "/d/notes" << "txt" << "/d/notes.txt";
        QTest::newRow("dot only in folder appends") << "/d.v2/notes" << "rtf" << "/d.v2/notes.rtf";
        QTest::newRow("trailing dot") << "/d/notes." << "txt" << "/d/notes.txt";
        QTest::newRow("leading dot names the file") << "/d/.profile" << "txt" << "/d/.profile.txt";
        QTest::newRow("blanks at ends removed") << "  /d/a b.htm  " << "txt" << "/d/a b.txt";
        QTest::newRow("blanks after name without dot") << "/d/notes  " << "txt" << "/d/notes.txt";
    }
    void savePathWithExtension()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, extension);
        QTEST(SavePathWithExtension(chosen, extension), "written");
    }

    // The work folder is private (0700) under XDG_RUNTIME_DIR, else under TMPDIR or /tmp with
    // the user's id; a second window takes a folder of its own, and a symbolic link planted at
    // the folder's place is refused without anything written through it.
    void workFolder()
    {
        WorkPaths first, second, third;
        QString reason;
        auto lock1 = std::make_unique<WorkFolderLock>();
        WorkFolderLock lock2, lock3;
        QVERIFY2(InitWorkPaths(first, *lock1, reason), qPrintable(reason));
        QCOMPARE(first.Folder, path("quorvik"));
        QCOMPARE(first.FormattedTextPath, path("quorvik/zelbrin.tmp"));
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(first.Folder).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0700u);
        QVERIFY(InitWorkPaths(second, lock2, reason));
        QCOMPARE(second.Folder, first.Folder + QStringLiteral("-2"));
        lock1.reset();  // the first window is gone: its folder is free again
        QVERIFY(InitWorkPaths(third, lock3, reason));
        QCOMPARE(third.Folder, first.Folder);

        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", dir_->path().toUtf8() + "/");
        const QString uid = QString::number(::getuid());
        QCOMPARE(WorkFolderBase(), path("quorvik-") + uid);
        qunsetenv("TMPDIR");
        QCOMPARE(WorkFolderBase(), QStringLiteral("/tmp/quorvik-") + uid);

        QVERIFY(QDir().mkdir(path("elsewhere")) && QDir().mkdir(path("run")));
        QVERIFY(QFile::link(path("elsewhere"), path("run/quorvik")));
        qputenv("XDG_RUNTIME_DIR", path("run").toUtf8());
        WorkPaths paths;
        WorkFolderLock lock;
        QVERIFY(!InitWorkPaths(paths, lock, reason));
        QVERIFY(reason.contains(QStringLiteral("symbolic link")));
        QVERIFY(QDir(path("elsewhere")).isEmpty());
    }

    // Random work files and documents of line ends (CR LF, lone CR, lone LF), no-break spaces,
    // separators and other non-ASCII text read as the passes' reader reads them; a document that
    // is not UTF-8 (a stray byte, a UTF-16 mark) too.
    void readFiles_splitAsThePassesReader()
    {
        const QByteArray pieces[] = {"\r\n", "\r", "\n", "a", "word ", "\xc2\xa0", "\xe2\x80\xa8", "\xe2\x80\xa9",
                                     "\xc3\xa9", "\xf0\x9f\x98\x80", "\t", ""};
        QRandomGenerator random(42);
        for (int round = 0; round < 600; ++round) {
            QByteArray bytes;
            for (int i = int(random.bounded(40)); i > 0; --i)
                bytes += pieces[random.bounded(int(std::size(pieces)))];
            QVERIFY(WriteBytes(path("work.tmp"), bytes));
            QString text, reason;
            QVERIFY(ReadWorkFile(path("work.tmp"), text, reason));
            QVERIFY2(text == ReadLineByLine(bytes), bytes.toPercentEncoding().constData());
            if (round % 3 == 1)
                bytes += "\x93q\x94";  // Windows-1252
            else if (round % 3 == 2)  // UTF-16 with its mark (little-endian, as this machine)
                bytes = QByteArray("\xff\xfe") + QByteArray(reinterpret_cast<const char*>(QString::fromUtf8(bytes).utf16()),
                                                              QString::fromUtf8(bytes).size() * 2);
            QVERIFY(WriteBytes(path("doc.html"), bytes));
            QVERIFY(ReadPlainDocument(path("doc.html"), text, reason));
            QVERIFY2(text == ReadLineByLine(bytes), bytes.toPercentEncoding().constData());
        }
    }

    void stages_writeWorkFilesOnlyWhenComplete()
    {
        const WorkPaths paths{dir_->path(), path("quorvik.tmp"), path("htmtemp.tmp"), path("zelbrin.tmp")};
        const QString document = path("page.html");
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
        QCOMPARE(StrayFiles(dir_->path(), {QStringLiteral("htmtemp.tmp"), QStringLiteral("zelbrin.tmp")}), QStringList());

        // Cancelled: reported as such, nothing written.
        request.first = Stage::Formatted;
        reports = RunChain(request, paths, true);
        QCOMPARE(reports.size(), std::size_t(1));
        QVERIFY(reports[0].cancelled && !reports[0].ok);
        QVERIFY(!QFile::exists(paths.FormattedTextPath) && !QFile::exists(TemporaryWorkName(paths.FormattedTextPath)));
    }
};

QTEST_MAIN(DocumentTest)
#include "document_test.moc"
