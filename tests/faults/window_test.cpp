// The window when the world fails under it: its work folder removed or replaced while it runs,
// a work file taken by someone else, a full disk while it writes a work file or saves, the
// document replaced between Open and Remove HTML Code. Each case checks the message (the file
// and the reason) and that no view shows a half-made result and no saved file is damaged.

#include "faultsupport.h"
#include "support/windowtest.h"

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <memory>
#include <unistd.h>

using namespace quorvik;
using namespace quorvik::faults;
using namespace quorvik::testing;

class WindowFaultsTest : public WindowTest {
    Q_OBJECT

private:
    // Runs `command` expecting exactly one warning, and returns its text.
    QString failingCommand(const char* command)
    {
        dialogs_.clearShown();
        dialogs_.answerMessage(Answer::Ok);
        trigger(command);
        if (dialogs_.shown().size() != 1 || dialogs_.shown()[0].kind != QLatin1String("warning"))
            return QStringLiteral("(expected one warning, got: %1)").arg(dialogs_.shownTexts().join(u'|'));
        return dialogs_.shown()[0].text;
    }
    bool viewsEmptyFrom(int first)
    {
        for (int i = first; i < 4; ++i)
            if (!w().view(i)->toPlainText().isEmpty())
                return false;
        return true;
    }

private slots:
    // What stands where the window keeps its work: the folder removed (as a cleaner of temporary
    // files does with an old folder) is made again; a folder replaced by a file or a link, a work
    // file of another user or a link planted at a work file, is refused with its path and the
    // reason, and left as it was (the link not followed). The views from a refused work file's
    // stage on are emptied, and Remove Extra Lines waits for a conversion that goes through.
    void workPlaceTakenWhileRunning_data()
    {
        QTest::addColumn<QString>("taker");
        QTest::addColumn<QString>("reason");  // empty: the conversion goes through
        QTest::newRow("folder removed") << "" << "";
        QTest::newRow("folder replaced by a file") << "file" << "not a folder of its own";
        QTest::newRow("folder replaced by a link") << "link" << "not a folder of its own";
        QTest::newRow("work file of another user") << "user" << "belongs to another user";
        QTest::newRow("link at the reflowed HTML") << "link 0" << "symbolic link";
        QTest::newRow("link at the converted text") << "link 1" << "symbolic link";
        QTest::newRow("link at the formatted text") << "link 2" << "symbolic link";
    }
    void workPlaceTakenWhileRunning()
    {
        QFETCH(QString, taker);
        QFETCH(QString, reason);
        openDocument(QStringLiteral("page.html"), Paragraphs(3));
        trigger("RemoveHTMLMen");
        QVERIFY(!w().view(2)->toPlainText().isEmpty());
        QString taken = w().workPaths().Folder;
        QByteArray left;  // what the taken path holds afterwards
        int emptyFrom = 0;  // the first view emptied, when checked
        if (taker.startsWith(QLatin1String("link "))) {
            const WorkPaths& paths = w().workPaths();
            emptyFrom = taker.back().digitValue() + 1;
            taken = QStringList{paths.FormattedHtmlPath, paths.TextFilePath, paths.FormattedTextPath}[emptyFrom - 1];
            left = "precious";
            QVERIFY(WriteBytes(path(QStringLiteral("victim.txt")), left));
            QFile::remove(taken);
            QVERIFY(QFile::link(path(QStringLiteral("victim.txt")), taken));
        } else if (taker == QLatin1String("user")) {
            taken = w().workPaths().TextFilePath;
            left = "theirs";
            QVERIFY(WriteBytes(taken, left));
            if (::chown(QFile::encodeName(taken).constData(), 65534, 65534) != 0)
                QSKIP("changing a file's owner needs privileges");
        } else {
            QVERIFY(QDir(taken).removeRecursively());
            if (taker == QLatin1String("file")) {
                left = "not a folder";
                QVERIFY(WriteBytes(taken, left));
            } else if (taker == QLatin1String("link")) {
                QDir().mkpath(path(QStringLiteral("elsewhere")));
                QVERIFY(QFile::link(path(QStringLiteral("elsewhere")), taken));
            }
        }
        if (reason.isEmpty()) {
            dialogs_.clearShown();
            trigger("RevCodeLinesMen");
            QCOMPARE(dialogs_.shownTexts(), QStringList());
            QVERIFY(w().view(3)->toPlainText().contains(QStringLiteral("Paragraph 2")));
            QVERIFY(QFileInfo(w().workPaths().FormattedTextPath).isFile());
            return;
        }
        const QString told = failingCommand("RevCodeLinesMen");
        QVERIFY2(told.contains(QDir::toNativeSeparators(taken)), qPrintable(told));
        QVERIFY2(told.contains(reason), qPrintable(told));
        QVERIFY(QDir(path(QStringLiteral("elsewhere"))).isEmpty());
        QCOMPARE(ReadBytes(taken), left);
        if (emptyFrom == 0)
            return;
        for (int i = 1; i < 4; ++i)
            QCOMPARE(w().view(i)->toPlainText().isEmpty(), i >= emptyFrom);
        QCOMPARE(w().processed(), 0);
    }

    // A full disk while a work file is written, or the document gone after Open, stops the chain
    // at that file: the views of the stages after the document are emptied, not left showing the
    // last conversion. With the cause gone, the same command goes through.
    void conversionFails_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::newRow("full disk") << "full disk";
        QTest::newRow("document deleted") << "deleted";
        QTest::newRow("document a folder") << "folder";
    }
    void conversionFails()
    {
        QFETCH(QString, cause);
        openDocument(QStringLiteral("page.html"), Paragraphs(2000));
        trigger("RevCodeLinesMen");
        QVERIFY(!w().view(3)->toPlainText().isEmpty());
        const QString page = path(QStringLiteral("page.html"));
        QString told, file = page;
        if (cause == QLatin1String("full disk")) {
            FileSizeLimit limit(16 * 1024);
            told = failingCommand("RevCodeLinesMen");
            file = w().workPaths().FormattedHtmlPath;
            QVERIFY2(told.contains(FileTooLarge()), qPrintable(told));
        } else {
            QVERIFY(QFile::remove(page));
            if (cause == QLatin1String("folder"))
                QVERIFY(QDir().mkdir(page));
            told = failingCommand("RemoveHTMLMen");
        }
        QVERIFY2(told.contains(QDir::toNativeSeparators(file)), qPrintable(told));
        QVERIFY(viewsEmptyFrom(1));
        QCOMPARE(w().processed(), 0);  // Remove Extra Lines waits for a conversion that went through
        QVERIFY(!w().view(0)->toPlainText().isEmpty());
        if (cause != QLatin1String("full disk"))
            return;
        dialogs_.clearShown();
        trigger("RevCodeLinesMen");
        QCOMPARE(dialogs_.shownTexts(), QStringList());
        QVERIFY(w().view(3)->toPlainText().contains(QStringLiteral("Paragraph 1999")));
    }

    // A full disk while saving keeps the file saved before, whole, and leaves no temporary file.
    void fullDiskWhileSaving_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("paragraphs");  // a small document fits the file's write buffer
        QTest::newRow("text") << 2 << "saved.txt" << 2000;
        QTest::newRow("rich text") << 3 << "saved.rtf" << 2000;
        QTest::newRow("small text") << 2 << "saved.txt" << 200;
    }
    void fullDiskWhileSaving()
    {
        QFETCH(int, type);
        QFETCH(QString, name);
        QFETCH(int, paragraphs);
        QDir().mkpath(path(QStringLiteral("docs")));
        const QString target = path(QStringLiteral("docs/") + name);
        w().view(0)->setPlainText(QStringLiteral("first version"));
        dialogs_.answerFile(target, type);
        trigger("SaveMenu");
        const QByteArray saved = ReadBytes(target);
        QVERIFY(saved.contains("first version"));

        w().view(0)->setPlainText(QString::fromLatin1(Paragraphs(paragraphs)));
        const QString status = w().statusPanel()->text();
        QString told;
        {
            FileSizeLimit limit(paragraphs > 1000 ? 16 * 1024 : 2 * 1024);
            dialogs_.clearShown();
            dialogs_.answerFile(target, type);
            dialogs_.answerMessage(Answer::Yes);  // replace the existing file
            dialogs_.answerMessage(Answer::Ok);
            trigger("SaveMenu");
            told = dialogs_.shownTexts().join(u'|');
        }
        QVERIFY2(told.contains(QStringLiteral("could not be saved")), qPrintable(told));
        QVERIFY2(told.contains(QDir::toNativeSeparators(target)), qPrintable(told));
        QCOMPARE(ReadBytes(target), saved);
        QCOMPARE(StrayFiles(path(QStringLiteral("docs")), {name}), QStringList());
        QCOMPARE(w().statusPanel()->text(), status);
    }
};

QTEST_MAIN(WindowFaultsTest)
#include "window_test.moc"
