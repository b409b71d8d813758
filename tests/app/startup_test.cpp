// The window program's command line: what it asks for, and a file given there opened as
// File > Open opens it with the first file type.

#include "app/mainform.h"
#include "app/startupfile.h"
#include "support/files.h"
#include "support/windowtest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <memory>

using namespace quorvik;
using namespace quorvik::testing;

using Action = StartupRequest::Action;
Q_DECLARE_METATYPE(StartupRequest::Action)


class StartupTest : public WindowTest {
    Q_OBJECT

private:
    // The window is built on these, which answer for the scripted dialogs.
    StartupDialogs startup_{dialogs_};
    Dialogs& windowDialogs() override { return startup_; }

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("file");

        QTest::newRow("nothing") << QStringList() << Action::Run << QString();
        QTest::newRow("one file") << QStringList{"page.html"} << Action::Run << "page.html";
        QTest::newRow("file after --") << QStringList{"--", "-odd.html"} << Action::Run << "-odd.html";
        QTest::newRow("--help") << QStringList{"--help"} << Action::Help << QString();
        QTest::newRow("-h after a file") << QStringList{"page.html", "-h"} << Action::Help << QString();
        // The raw command line still holds Qt's options; --help must be found among them.
        QTest::newRow("help among Qt options") << QStringList{"-platform", "offscreen", "--help"} << Action::Help
                                               << QString();
        QTest::newRow("--version") << QStringList{"--version"} << Action::Version << QString();
        QTest::newRow("--help after --") << QStringList{"--", "--help"} << Action::Run << "--help";
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << Action::UsageError << QString();
        QTest::newRow("two files") << QStringList{"a.html", "b.html"} << Action::UsageError << QString();
        QTest::newRow("standard input") << QStringList{"-"} << Action::UsageError << QString();
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(Action, action);
        QFETCH(QString, file);
        const StartupRequest r = ParseStartupArguments(args);
        QCOMPARE(r.action, action);
        QCOMPARE(r.file, file);
        QCOMPARE(r.error.isEmpty(), action != Action::UsageError);
    }

    // A relative name is opened from the current folder and kept as a full path; the Open
    // dialog afterwards asks the user again, starting from that file and the first type.
    void file_isOpenedAsOpenWould()
    {
        QVERIFY(WriteBytes(path(QStringLiteral("page.html")), "<html><body><p>Given on the command line</p></body></html>\r\n"));
        const QString old = QDir::currentPath();
        QDir::setCurrent(folder());
        OpenStartupFile(*window_, startup_, QStringLiteral("page.html"));
        QDir::setCurrent(old);

        const QString full = QFileInfo(path(QStringLiteral("page.html"))).absoluteFilePath();
        QCOMPARE(window_->documentRecord().FileName, full);
        QCOMPARE(window_->documentRecord().Loaded, 1);
        QVERIFY(window_->view(0)->toPlainText().contains(QStringLiteral("<p>Given on the command line</p>")));
        QCOMPARE(window_->currentView(), 0);
        QVERIFY(dialogs_.shown().empty());

        dialogs_.cancelFile();
        window_->OpenDocument();
        QCOMPARE(dialogs_.lastFileDialogState().fileName, full);
        QCOMPARE(dialogs_.lastFileDialogState().type, 1);
        QCOMPARE(window_->documentRecord().FileName, full);
    }

    // The first type reads every file as plain text, rich text included: it is shown as its
    // source and stays convertible.
    void richTextFile_isReadAsPlainText()
    {
        QVERIFY(WriteBytes(path(QStringLiteral("letter.rtf")), "{\\rtf1\\ansi Hello}"));
        OpenStartupFile(*window_, startup_, path(QStringLiteral("letter.rtf")));
        QCOMPARE(window_->documentRecord().DocType, QString());
        QCOMPARE(window_->view(0)->toPlainText(), QStringLiteral("{\\rtf1\\ansi Hello}"));
    }

    void missingFile_isReported_andTheWindowStaysEmpty()
    {
        dialogs_.answerMessage(Answer::Ok);
        OpenStartupFile(*window_, startup_, path(QStringLiteral("gone.html")));
        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QCOMPARE(dialogs_.shown().front().kind, QStringLiteral("warning"));
        QVERIFY(dialogs_.shown().front().text.contains(QDir::toNativeSeparators(path(QStringLiteral("gone.html")))));
        QCOMPARE(window_->documentRecord().FileName, QString());
        QCOMPARE(window_->documentRecord().Loaded, 0);
        QVERIFY(!startup_.hasPreset());
    }
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
