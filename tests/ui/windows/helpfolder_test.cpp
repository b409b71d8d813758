// Finding the help document: beside the program (build tree) or in share/quorvik/help of an
// installed program, laid out in a temporary prefix.

#include "ui/windows/helpviewer.h"
#include "ui/scripteddialogs.h"

#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace quorvik;

namespace {

// Puts a contents page into `folder` (created with its parents).
void PlaceContents(const QString& folder, const QByteArray& title)
{
    QVERIFY(QDir().mkpath(folder));
    QFile f(QDir(folder).filePath(HelpContentsFile()));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("<html><head><title>" + title + "</title></head><body>Contents</body></html>");
}

}  // namespace

class TestHelpFolder : public QObject {
    Q_OBJECT

private slots:
    // Which of the two places wins; "-" where the lookup must fall back to the first candidate.
    void findsTheDocument_data()
    {
        QTest::addColumn<bool>("beside");        // prefix/bin/help/index.html
        QTest::addColumn<bool>("besideEmpty");   // prefix/bin/help exists without a contents page
        QTest::addColumn<bool>("shared");        // prefix/share/quorvik/help/index.html
        QTest::addColumn<QString>("expected");   // relative to the prefix

        QTest::newRow("build tree") << true << false << false << "bin/help";
        QTest::newRow("installed") << false << false << true << "share/quorvik/help";
        QTest::newRow("both: beside first") << true << false << true << "bin/help";
        QTest::newRow("empty folder beside") << false << true << true << "share/quorvik/help";
        QTest::newRow("nowhere") << false << false << false << "bin/help";
        QTest::newRow("nowhere, empty beside") << false << true << false << "bin/help";
    }
    void findsTheDocument()
    {
        QFETCH(bool, beside);
        QFETCH(bool, besideEmpty);
        QFETCH(bool, shared);
        QFETCH(QString, expected);

        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        const QDir root(prefix.path());
        QVERIFY(root.mkpath(QStringLiteral("bin")));
        if (beside)
            PlaceContents(root.filePath(QStringLiteral("bin/help")), "beside");
        if (besideEmpty)
            QVERIFY(root.mkpath(QStringLiteral("bin/help")));
        if (shared)
            PlaceContents(root.filePath(QStringLiteral("share/quorvik/help")), "shared");

        const QString program = root.filePath(QStringLiteral("bin"));
        QCOMPARE(FindHelpFolder(program), QDir::cleanPath(root.filePath(expected)));
        QCOMPARE(HelpFolderCandidates(program),
                 QStringList({QDir::cleanPath(root.filePath(QStringLiteral("bin/help"))),
                              QDir::cleanPath(root.filePath(QStringLiteral("share/quorvik/help")))}));
    }

    // The installed layout end to end: the help window opens the shared contents page, and a
    // missing document is reported with the place it was looked for first.
    void installedProgram_showsTheSharedDocument()
    {
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        const QDir root(prefix.path());
        QVERIFY(root.mkpath(QStringLiteral("bin")));
        PlaceContents(root.filePath(QStringLiteral("share/quorvik/help")), "Installed help");

        ScriptedDialogs dialogs;
        QMainWindow owner;
        HelpViewer viewer(&owner, dialogs, FindHelpFolder(root.filePath(QStringLiteral("bin"))));
        QVERIFY(viewer.ShowContents());
        QVERIFY(viewer.window());
        QCOMPARE(viewer.window()->source().toLocalFile(),
                 QDir::cleanPath(root.filePath(QStringLiteral("share/quorvik/help/index.html"))));
        QVERIFY(dialogs.shown().empty());
        QVERIFY(dialogs.unexpected().isEmpty());
    }

    void noDocument_isReportedAtTheFirstPlace()
    {
        QTemporaryDir prefix;
        QVERIFY(prefix.isValid());
        const QDir root(prefix.path());
        QVERIFY(root.mkpath(QStringLiteral("bin")));

        ScriptedDialogs dialogs;
        QMainWindow owner;
        HelpViewer viewer(&owner, dialogs, FindHelpFolder(root.filePath(QStringLiteral("bin"))));
        dialogs.answerMessage(Answer::Ok);
        QVERIFY(!viewer.ShowContents());
        QVERIFY(!viewer.window());
        QCOMPARE(dialogs.shown().size(), std::size_t(1));
        QVERIFY(dialogs.shown().front().text.contains(
            QDir::toNativeSeparators(QDir::cleanPath(root.filePath(QStringLiteral("bin/help/index.html"))))));
        QVERIFY(dialogs.leftover().isEmpty());
    }
};

QTEST_MAIN(TestHelpFolder)
#include "helpfolder_test.moc"
