// The main window's own life, as a user meets it: its first showing and its place on the
// screen, the link toggles saved by a click only, the folder the file dialogs start in, and
// what closing it leaves behind. Run at scale 1 and again at QT_SCALE_FACTOR=2.

#include "support/files.h"
#include "support/windowtest.h"
#include "document/workfilechain.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>

using namespace quorvik;
using namespace quorvik::testing;

class WindowLifeTest : public WindowTest {
    Q_OBJECT

    QRect available() { return w().screen()->availableGeometry(); }

private slots:
    // The shown view ends above the status bar from the first showing on, and the window fits
    // the screen's available area.
    void firstShow_fitsTheScreen()
    {
        const QRect view(w().view(0)->mapTo(&w(), QPoint()), w().view(0)->size());
        QVERIFY2(view.bottom() < w().statusBar()->geometry().top(),
                 qPrintable(QStringLiteral("view ends at %1, status bar starts at %2")
                                .arg(view.bottom())
                                .arg(w().statusBar()->geometry().top())));
        QVERIFY2(available().contains(w().geometry()),
                 qPrintable(QStringLiteral("%1x%2 on %3x%4").arg(w().width()).arg(w().height())
                                .arg(available().width()).arg(available().height())));
    }

    // Closing keeps the window's place; the next start restores it, moved and shrunk as far as
    // needed to lie on the screen.
    void placement_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("on the screen") << "inside";
        QTest::newRow("beyond the right edge") << "beyond";
        QTest::newRow("larger than the screen") << "larger";
    }
    void placement()
    {
        QFETCH(QString, stored);
        const QRect area = available();
        QRect rect(area.left() + 20, area.top() + 60, area.width() / 2, area.height() / 2);
        if (stored == QLatin1String("beyond"))
            rect.moveLeft(area.right() + 400);
        else if (stored == QLatin1String("larger"))
            rect.setSize(area.size() * 2);
        SettingsStore store(iniPath());
        QVERIFY(SaveWindowPlacement(store, {true, rect, false}, nullptr));
        restartWindow();
        QVERIFY(area.contains(w().geometry()));
        if (stored == QLatin1String("inside"))
            QCOMPARE(w().geometry(), rect);
        else if (stored == QLatin1String("beyond"))
            QCOMPARE(w().size(), rect.size());
        const QRect moved(area.left() + 10, area.top() + 40, area.width() / 3, area.height() / 3);
        w().setGeometry(moved);
        QVERIFY(w().close());
        QCOMPARE(LoadWindowPlacement(store).geometry, moved);
    }

    // Closing removes the window's work files, their temporary names, its lock file and its
    // own folder; a window kept open and another window keep theirs.
    void close_removesTheWorkFolder()
    {
        openDocument(QStringLiteral("page.html"), "<p>Some text.</p>\r\n");
        trigger("RevCodeLinesMen");
        const WorkPaths paths = w().workPaths();
        QVERIFY(QFileInfo(paths.FormattedTextPath).isFile());
        QVERIFY(WriteBytes(TemporaryWorkName(paths.TextFilePath), "half written"));
        const std::unique_ptr<MainForm> other = makeWindow();
        const QString otherFolder = other->workPaths().Folder;
        QVERIFY(otherFolder != paths.Folder && QFileInfo(otherFolder).isDir());
        dialogs_.answerMessage(Answer::No);  // the converted text is unsaved: the window stays
        QVERIFY(!w().close());
        QVERIFY(QFileInfo(paths.FormattedTextPath).isFile());
        dialogs_.answerMessage(Answer::Yes);
        QVERIFY(w().close());
        QVERIFY2(!QFileInfo::exists(paths.Folder), qPrintable(QDir(paths.Folder).entryList(QDir::Hidden | QDir::AllEntries).join(u' ')));
        QVERIFY(QFileInfo(otherFolder).isDir());
    }

    // Only a click saves a toggle: starting and repainting leave the settings file as it was.
    // A click that cannot be saved says why and puts the toggle back at once.
    void linkToggle_savedByAClickOnly_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("saved") << true;
        QTest::newRow("settings file cannot be written") << false;
    }
    void linkToggle_savedByAClickOnly()
    {
        QFETCH(bool, writable);
        const QByteArray stored = "[Startup]\nwwwlinks=1\n";
        QVERIFY(QDir().mkpath(QFileInfo(iniPath()).path()));
        QVERIFY(WriteBytes(iniPath(), stored));
        restartWindow();
        w().repaint();
        QVERIFY(w().linkToggle(0)->isChecked());
        QCOMPARE(ReadBytes(iniPath()), stored);
        if (!writable) {
            QVERIFY(QFile::remove(iniPath()) && QDir().mkpath(iniPath()));
            dialogs_.answerMessage(Answer::Ok);
        }
        w().linkToggle(2)->click();
        QCOMPARE(w().linkToggle(2)->isChecked(), writable);
        QCOMPARE(SettingsStore(iniPath()).Get(Key::NewsLinks), QLatin1String(writable ? "1" : "0"));
        if (writable)
            return;
        const QString told = dialogs_.shownTexts().value(0);
        QVERIFY2(told.contains(QDir::toNativeSeparators(iniPath())) && told.contains(QStringLiteral(": ")), qPrintable(told));
    }

    // The file dialogs start in the document's folder, and before any document at home.
    void fileDialogs_startInTheDocumentsFolder()
    {
        dialogs_.cancelFile();
        trigger("OpenMenu");
        QCOMPARE(dialogs_.lastFileDialogState().folder, QString());
        QVERIFY(QDir().mkpath(path(QStringLiteral("docs"))));
        openDocument(QStringLiteral("docs/page.html"), "<p>x</p>\r\n");
        dialogs_.cancelFile();
        trigger("SaveMenu");
        QCOMPARE(dialogs_.lastFileDialogState().folder, path(QStringLiteral("docs")));
    }
};

QTEST_MAIN(WindowLifeTest)
#include "windowlife_test.moc"
