// The main window driven like a user: through its actions, toolbar keys, tabs and keys, with
// every dialog answered in advance and a settings file of its own.

#include "windowfixture.h"
#include "ui/windows/frmabout.h"
#include "ui/windows/frmoptions.h"
#include "ui/windows/helpviewer.h"
#include "ui/windows/multfile.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTest>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorvik;

namespace {

const QString kNotLoaded = QStringLiteral("Please open a file before using this feature");
const QString kRichText = QStringLiteral(
    "This file contains Rich text Formatting.  This type of formatting can not be processed by this program.");
const QString kNotProcessed = QStringLiteral("You must process the file before trying to remove blank lines!");
const QString kChangeWarning = QStringLiteral("The text has changed.  Do you want to continue without saving?");

const QByteArray kHtml =
    "<html><head><title>Sample</title></head><body>\r\n<p>First paragraph here.</p>\r\n\r\n\r\n"
    "<p>Second <b>bold</b> one.</p></body></html>\r\n";

QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

int LongestLine(const QString& text)
{
    int longest = 0;
    for (const QString& line : text.split(u'\n'))
        longest = std::max(longest, static_cast<int>(line.size()));
    return longest;
}

const QByteArray kLinkHtml = "<p>Read the <a href=\"http://example.com/x\">manual</a> before you start using the "
                             "program, and keep it at hand while you work.</p>\r\n";

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private:
    WindowFixture fixture_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<MainForm> window_;

    QString path(const QString& name) const { return fixture_.path(name); }
    QString iniPath() const { return fixture_.iniPath(); }
    MainForm& w() { return *window_; }
    QAction* action(const char* name) { return w().findChild<QAction*>(QLatin1String(name)); }
    void trigger(const char* name)
    {
        QAction* a = action(name);
        QVERIFY2(a, name);
        QVERIFY2(a->isEnabled(), name);
        a->trigger();
    }
    std::unique_ptr<MainForm> makeWindow() { return fixture_.makeWindow(dialogs_); }
    // Opens `bytes` saved as `name` through the Open entry with the dialog's type `type`.
    void openDocument(const QString& name, const QByteArray& bytes, int type = 1)
    {
        WriteBytes(path(name), bytes);
        dialogs_.answerFile(path(name), type);
        trigger("OpenMenu");
    }
    frmOptions* openOptions()
    {
        trigger("Optmen");
        auto* options = w().findChild<frmOptions*>();
        if (!options)
            qFatal("the options dialog did not open");
        return options;
    }
    QString shownHelpPage() const
    {
        const HelpWindow* help = window_->findChild<HelpWindow*>();
        return help && help->isVisible() ? QFileInfo(help->source().toLocalFile()).fileName() : QString();
    }
    void typeInto(int view, const QString& keys)
    {
        QTextEdit* v = w().view(view);
        v->setFocus();
        QTest::keyClicks(v, keys);
    }

private slots:
    void init()
    {
        fixture_.setUp();
        dialogs_.reset();
        window_ = makeWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup()
    {
        window_.reset();
        const QString problems = WindowFixture::dialogProblems(dialogs_);
        fixture_.tearDown();
        QVERIFY2(problems.isEmpty(), qPrintable(problems));
    }

    // ---- the window as it starts ----

    void start_showsTabOneAndAnEmptyDocument()
    {
        QCOMPARE(w().windowTitle(), QStringLiteral("Quorvik"));
        QCOMPARE(w().tabStrip()->currentIndex(), 0);
        QCOMPARE(w().currentView(), 0);
        QVERIFY(w().view(0)->isVisible());
        for (int i = 1; i < 4; ++i)
            QVERIFY(!w().view(i)->isVisible());
        QVERIFY(!w().undoBuffer());
        QCOMPARE(w().statusPanel()->text(), QDir::toNativeSeparators(QDir::currentPath()));
        QCOMPARE(w().documentRecord().Loaded, 0);
        QCOMPARE(w().processed(), 0);
        for (int i = 0; i < 3; ++i)
            QVERIFY(!w().linkToggle(i)->isChecked());
        QCOMPARE(w().settingValues().TextLen, 80);
        QVERIFY(!QFile::exists(iniPath()));  // a start on an empty store writes nothing
    }

    void menuEntries_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("NewMenu") << "NewMenu" << "&New" << "Ctrl+N" << true;
        QTest::newRow("OpenMenu") << "OpenMenu" << "&Open" << "Ctrl+O" << true;
        QTest::newRow("Multmen") << "Multmen" << "&Multi File Selection" << "" << true;
        QTest::newRow("SaveMenu") << "SaveMenu" << "&Save" << "Ctrl+S" << true;
        QTest::newRow("PrintMen") << "PrintMen" << "&Print" << "Ctrl+P" << true;
        QTest::newRow("Exitmenu") << "Exitmenu" << "E&xit" << "Ctrl+Q" << true;
        QTest::newRow("Undomen") << "Undomen" << "&Undo" << "Ctrl+Z" << false;
        QTest::newRow("CutMen") << "CutMen" << "Cu&t" << "" << true;
        QTest::newRow("CopyMen") << "CopyMen" << "&Copy" << "" << true;
        QTest::newRow("PasteMen") << "PasteMen" << "&Paste" << "" << true;
        QTest::newRow("SelectMen") << "SelectMen" << "Select &All" << "Ctrl+A" << true;
        QTest::newRow("RemoveHTMLMen") << "RemoveHTMLMen" << "Remove &HTML Code" << "Ctrl+H" << true;
        QTest::newRow("RemoveBlankMen") << "RemoveBlankMen" << "Remove Extra &Lines" << "Ctrl+L" << true;
        QTest::newRow("RevCodeLinesMen") << "RevCodeLinesMen" << "&Remove Both Code + Lines" << "Ctrl+R" << true;
        QTest::newRow("Optmen") << "Optmen" << "O&ptions" << "" << true;
        QTest::newRow("HelpMen2") << "HelpMen2" << "&Help" << "" << true;
        QTest::newRow("AboutMen") << "AboutMen" << "&About" << "" << true;
    }
    void menuEntries()
    {
        QFETCH(QString, name);
        const QAction* a = w().findChild<QAction*>(name);
        QVERIFY(a);
        QTEST(a->text(), "caption");
        QTEST(a->shortcut().toString(), "shortcut");
        QTEST(a->isEnabled(), "enabled");
    }

    void menuBar_hasTheFourMenusInOrder()
    {
        QStringList titles;
        for (QAction* a : w().menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, (QStringList{"&File", "&Edit", "&Options", "&Help"}));
        QStringList file;
        for (QAction* a : w().findChild<QMenu*>(QStringLiteral("FileMenu"))->actions())
            file << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QCOMPARE(file, (QStringList{"NewMenu", "OpenMenu", "-", "Multmen", "-", "SaveMenu", "-", "PrintMen", "-",
                                    "Exitmenu"}));
    }

    void toolbar_hasSeventeenKeysWithSeparators()
    {
        auto* bar = w().findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        QVERIFY(bar);
        QStringList layout;
        for (QAction* a : bar->actions()) {
            if (a->isSeparator()) {
                layout << QStringLiteral("|");
                continue;
            }
            layout << a->objectName();
            QVERIFY(!a->icon().isNull());
            auto* button = w().findChild<QToolButton*>(a->objectName());
            QVERIFY2(button, qPrintable(a->objectName()));
            QCOMPARE(button->defaultAction(), a);
        }
        QCOMPARE(layout.join(u' '),
                 QStringLiteral("new open save | cut copy paste | print help | bold italic underline | "
                                "leftbut centrebut rightbut | removeHTML removeBlankLine | Font"));
        QCOMPARE(action("Font")->toolTip(), QStringLiteral("Set document font type"));
        QCOMPARE(action("removeBlankLine")->toolTip(), QStringLiteral("Remove Blank Lines"));
        QCOMPARE(action("open")->toolTip(), QStringLiteral("Open File"));
    }

    void tabs_haveCaptionsKeysAndTooltips()
    {
        QTabBar* tabs = w().tabStrip();
        QCOMPARE(tabs->count(), 4);
        const QStringList captions{"Original HTML", "Formatted HTML", "Text File", "Formatted Text"};
        const QStringList keys{"original", "format", "text", "ForText"};
        const QStringList tips{"Original HTML document", "Formatted HTML file", "Text file", "Formatted text file"};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(tabs->tabText(i), captions[i]);
            QCOMPARE(tabs->tabData(i).toString(), keys[i]);
            QCOMPARE(tabs->tabToolTip(i), tips[i]);
        }
        QCOMPARE(w().linkToggle(0)->text(), QStringLiteral("External WWW Links"));
        QCOMPARE(w().linkToggle(1)->text(), QStringLiteral("Mail Links"));
        QCOMPARE(w().linkToggle(2)->text(), QStringLiteral("Other Links"));
    }

    void clickingATab_showsOnlyItsView()
    {
        QTest::mouseClick(w().tabStrip(), Qt::LeftButton, {}, w().tabStrip()->tabRect(2).center());
        QCOMPARE(w().currentView(), 2);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(w().view(i)->isVisible(), i == 2);
    }

    void resize_followsTheTwipsRules()
    {
        w().resize(900, 600);
        QTest::qWait(1);
        const WindowLayout& l = w().layoutTwips();
        QCOMPARE(l.views[0].width, w().outerWidthTwips() - 300);
        QCOMPARE(l.views[2].height, w().outerHeightTwips() - 2200);
        QCOMPARE(l.toggles[1].top, w().outerHeightTwips() - 1095);
        // Nothing overlaps: toggles sit on the status bar after panel 1, views end above it.
        const QRect panel = w().statusPanel()->geometry();
        QVERIFY(w().linkToggle(0)->geometry().left() > panel.right());
        QVERIFY(w().linkToggle(0)->geometry().right() <= w().linkToggle(1)->geometry().left());
        QVERIFY(w().linkToggle(1)->geometry().right() <= w().linkToggle(2)->geometry().left());
        const QPoint viewBottom = w().view(0)->mapTo(&w(), QPoint(0, w().view(0)->height()));
        const QPoint statusTop = w().statusPanel()->parentWidget()->mapTo(&w(), QPoint(0, 0));
        QVERIFY(viewBottom.y() <= statusTop.y());
        QVERIFY(w().view(0)->mapTo(&w(), QPoint(w().view(0)->width(), 0)).x() <= w().width());
        // A long path widens panel 1 and moves the toggles after it.
        const int before = l.toggles[0].left;
        openDocument(QStringLiteral("a-rather-long-file-name-for-the-status-panel.html"), kHtml);
        QVERIFY(w().layoutTwips().toggles[0].left > before);
        QCOMPARE(w().layoutTwips().toggles[0].left, w().statusPanelWidthTwips() + 300);
    }

    // ---- guards ----

    void guards_showTheirMessages_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<bool>("toolbar");
        QTest::addColumn<QString>("message");
        QTest::newRow("Remove HTML Code") << "RemoveHTMLMen" << false << kNotLoaded;
        QTest::newRow("Remove Both") << "RevCodeLinesMen" << false << kNotLoaded;
        QTest::newRow("Remove Extra Lines") << "RemoveBlankMen" << false << kNotProcessed;
        QTest::newRow("removeHTML key") << "removeHTML" << true << kNotLoaded;
        QTest::newRow("removeBlankLine key") << "removeBlankLine" << true << kNotProcessed;
    }
    void guards_showTheirMessages()
    {
        QFETCH(QString, entry);
        QFETCH(bool, toolbar);
        dialogs_.answerMessage(Answer::Ok);
        if (toolbar)
            QTest::mouseClick(w().findChild<QToolButton*>(entry), Qt::LeftButton);
        else
            w().findChild<QAction*>(entry)->trigger();
        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QCOMPARE(dialogs_.shown()[0].kind, QStringLiteral("information"));
        QCOMPARE(dialogs_.shown()[0].title, QStringLiteral("Quorvik"));
        QTEST(dialogs_.shown()[0].text, "message");
        QCOMPARE(w().documentRecord().Changed, 0);
    }

    void emptyDocument_leavesNothingLoaded()
    {
        openDocument(QStringLiteral("empty.html"), QByteArray());
        QCOMPARE(w().documentRecord().Loaded, 0);
        dialogs_.answerMessage(Answer::Ok);
        trigger("RemoveHTMLMen");
        QCOMPARE(dialogs_.shownTexts(), QStringList{kNotLoaded});
    }

    void richTextDocument_isRefusedByTheConversion()
    {
        openDocument(QStringLiteral("doc.rtf"), "{\\rtf1 Hello}", 3);
        QCOMPARE(w().documentRecord().DocType, QStringLiteral("RTF"));
        QCOMPARE(w().documentRecord().Loaded, 1);
        dialogs_.answerMessage(Answer::Ok);
        dialogs_.answerMessage(Answer::Ok);
        trigger("RemoveHTMLMen");
        trigger("RevCodeLinesMen");
        QCOMPARE(dialogs_.shownTexts(), (QStringList{kRichText, kRichText}));
        QCOMPARE(w().documentRecord().Changed, 0);
    }

    void keyboardShortcuts_runTheCommands()
    {
        w().view(0)->setFocus();
        dialogs_.answerMessage(Answer::Ok);
        QTest::keyClick(w().view(0), Qt::Key_H, Qt::ControlModifier);
        dialogs_.answerMessage(Answer::Ok);
        QTest::keyClick(w().view(0), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(dialogs_.shownTexts(), (QStringList{kNotLoaded, kNotProcessed}));
    }

    // ---- open and convert ----

    void open_loadsViewOne()
    {
        openDocument(QStringLiteral("page.html"), kHtml);
        const DocumentRecord& r = w().documentRecord();
        QCOMPARE(r.FileName, path(QStringLiteral("page.html")));
        QCOMPARE(r.DocType, QString());
        QCOMPARE(r.Loaded, 1);
        QCOMPARE(r.Changed, 0);
        QVERIFY(w().view(0)->toPlainText().contains(QStringLiteral("<p>First paragraph here.</p>")));
        QCOMPARE(w().statusPanel()->text(), QDir::toNativeSeparators(path(QStringLiteral("page.html"))));
        QCOMPARE(w().currentView(), 0);
    }

    void removeHtmlCode_fillsViewsTwoAndThree()
    {
        openDocument(QStringLiteral("page.html"), kHtml);
        typeInto(0, QStringLiteral("x"));  // the conversion reads the file, not the view
        trigger("RemoveHTMLMen");
        QVERIFY(w().view(1)->toPlainText().contains(QStringLiteral("<p>")));
        const QString text = w().view(2)->toPlainText();
        QVERIFY(text.contains(QStringLiteral("First paragraph here.")));
        QVERIFY(!text.contains(u'<'));
        QVERIFY(w().view(3)->toPlainText().isEmpty());
        QCOMPARE(w().currentView(), 2);
        QVERIFY(w().view(2)->isVisible());
        QCOMPARE(w().processed(), 1);
        QCOMPARE(w().documentRecord().Changed, 1);
        QVERIFY(!action("Undomen")->isEnabled());
        // The work files are the window's own, in its private folder.
        QVERIFY(QFile::exists(w().workPaths().TextFilePath));
        QVERIFY(w().workPaths().Folder.startsWith(path(QStringLiteral("run/quorvik"))));

        trigger("RemoveBlankMen");
        QCOMPARE(w().currentView(), 3);
        QVERIFY(w().view(3)->toPlainText().contains(QStringLiteral("First paragraph here.")));
        QVERIFY(!w().view(3)->toPlainText().contains(QStringLiteral("\n\n\n")));
    }

    void removeBoth_fillsAllThreeViews()
    {
        openDocument(QStringLiteral("page.html"), kHtml);
        trigger("RevCodeLinesMen");
        for (int i = 1; i < 4; ++i)
            QVERIFY2(!w().view(i)->toPlainText().isEmpty(), qPrintable(QString::number(i)));
        QCOMPARE(w().currentView(), 3);
        QCOMPARE(w().processed(), 1);
        QVERIFY(!action("Undomen")->isEnabled());
    }

    void hiddenViews_keepTheirTextThroughNewAndUndo()
    {
        openDocument(QStringLiteral("page.html"), kHtml);
        trigger("RevCodeLinesMen");
        dialogs_.answerMessage(Answer::Yes);
        trigger("NewMenu");
        trigger("Undomen");
        QTest::mouseClick(w().tabStrip(), Qt::LeftButton, {}, w().tabStrip()->tabRect(1).center());
        QCOMPARE(w().currentView(), 1);
        dialogs_.answerFile(path(QStringLiteral("reflowed.txt")), 2);
        trigger("SaveMenu");
        const QByteArray saved = ReadBytes(path(QStringLiteral("reflowed.txt")));
        QVERIFY(saved.contains("<p>"));
        QVERIFY(saved.contains("First paragraph here."));
    }

    void removeExtraLines_worksOnTheEarlierTextAfterAnotherOpen()
    {
        openDocument(QStringLiteral("page.html"), kHtml);
        trigger("RemoveHTMLMen");
        dialogs_.answerMessage(Answer::Yes);  // Changed is 1 after a conversion
        openDocument(QStringLiteral("other.html"), "<p>Other</p>");
        QVERIFY(w().view(2)->toPlainText().isEmpty());
        trigger("RemoveBlankMen");
        QVERIFY(w().view(3)->toPlainText().contains(QStringLiteral("First paragraph here.")));
    }

    void linkToggles_areReadAtEachConversion()
    {
        QVERIFY(!w().linkSwitches().WebLinks());
        w().linkToggle(0)->click();
        w().linkToggle(2)->click();
        QVERIFY(w().linkSwitches().WebLinks());
        QVERIFY(!w().linkSwitches().MailLinks());
        QVERIFY(w().linkSwitches().OtherLinks());
    }

    void conversion_usesStoredOptionsAndTheToggles_data()
    {
        QTest::addColumn<QString>("textLen");
        QTest::addColumn<bool>("fromOptionsDialog");  // else stored before the window starts
        QTest::addColumn<bool>("webLinks");
        QTest::addColumn<int>("longestLine");
        QTest::addColumn<bool>("target");
        QTest::newRow("defaults") << QString() << false << false << 80 << false;
        QTest::newRow("short lines") << "20" << false << false << 20 << false;
        QTest::newRow("short lines from the options dialog") << "20" << true << false << 20 << false;
        QTest::newRow("web links on") << "" << false << true << 80 << true;
    }
    void conversion_usesStoredOptionsAndTheToggles()
    {
        QFETCH(QString, textLen);
        QFETCH(bool, fromOptionsDialog);
        QFETCH(bool, webLinks);
        QFETCH(int, longestLine);
        if (fromOptionsDialog) {
            frmOptions* options = openOptions();
            options->findChild<QLineEdit*>(QStringLiteral("TextLenText"))->setText(textLen);
            options->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        } else if (!textLen.isEmpty()) {
            SettingsStore(iniPath()).SaveSetting(QStringLiteral("TextLen"), textLen);
            window_.reset();
            window_ = makeWindow();
        }
        if (webLinks)
            w().linkToggle(0)->click();
        openDocument(QStringLiteral("links.html"), kLinkHtml);
        trigger("RemoveHTMLMen");
        const int longest = LongestLine(w().view(2)->toPlainText());
        QVERIFY2(longest <= longestLine, qPrintable(w().view(2)->toPlainText()));
        QVERIFY(longest > longestLine / 2);
        QTEST(w().view(2)->toPlainText().contains(QStringLiteral("http://example.com/x")), "target");
    }

    // ---- failures ----

    void unreadableDocument_namesPathAndReason()
    {
        dialogs_.answerFile(path(QStringLiteral("missing.html")), 1);
        dialogs_.answerMessage(Answer::Ok);
        trigger("OpenMenu");
        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QCOMPARE(dialogs_.shown()[0].kind, QStringLiteral("warning"));
        QVERIFY(dialogs_.shown()[0].text.contains(path(QStringLiteral("missing.html"))));
        QVERIFY(dialogs_.shown()[0].text.contains(QStringLiteral("No such file")));
        QCOMPARE(w().documentRecord().Loaded, 0);
        QCOMPARE(w().statusPanel()->text(), QDir::toNativeSeparators(QDir::currentPath()));
    }

    void documentGoneBeforeConversion_stopsTheChain()
    {
        openDocument(QStringLiteral("page.html"), kHtml);
        QVERIFY(QFile::remove(path(QStringLiteral("page.html"))));
        dialogs_.answerMessage(Answer::Ok);
        trigger("RevCodeLinesMen");
        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QVERIFY(dialogs_.shown()[0].text.contains(path(QStringLiteral("page.html"))));
        for (int i = 1; i < 4; ++i)
            QVERIFY(w().view(i)->toPlainText().isEmpty());
        QCOMPARE(w().processed(), 0);
    }

    void plantedSymbolicLink_isNotFollowed_data()
    {
        QTest::addColumn<int>("workFile");  // 0 reflowed HTML, 1 text, 2 formatted text
        QTest::addColumn<int>("firstEmptyView");
        QTest::addColumn<int>("processed");
        QTest::newRow("reflowed HTML") << 0 << 1 << 0;
        QTest::newRow("converted text") << 1 << 2 << 0;
        QTest::newRow("formatted text") << 2 << 3 << 1;
    }
    void plantedSymbolicLink_isNotFollowed()
    {
        QFETCH(int, workFile);
        QFETCH(int, firstEmptyView);
        openDocument(QStringLiteral("page.html"), kHtml);
        const WorkPaths& paths = w().workPaths();
        const QString planted = workFile == 0   ? paths.FormattedHtmlPath
                                : workFile == 1 ? paths.TextFilePath
                                                : paths.FormattedTextPath;
        const QString victim = path(QStringLiteral("victim.txt"));
        WriteBytes(victim, "precious");
        QVERIFY(QFile::link(victim, planted));
        dialogs_.answerMessage(Answer::Ok);
        trigger("RevCodeLinesMen");
        QCOMPARE(ReadBytes(victim), QByteArray("precious"));
        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QCOMPARE(dialogs_.shown()[0].kind, QStringLiteral("warning"));
        QVERIFY2(dialogs_.shown()[0].text.contains(planted), qPrintable(dialogs_.shown()[0].text));
        for (int i = 1; i < 4; ++i)
            QCOMPARE(w().view(i)->toPlainText().isEmpty(), i >= firstEmptyView);
        QTEST(w().processed(), "processed");
    }

    void workFolderOfAnotherUser_isRefused()
    {
        window_.reset();
        const QString folder = path(QStringLiteral("run/quorvik"));
        QDir().mkpath(folder);
        if (::chown(QFile::encodeName(folder).constData(), ::getuid() + 4242, static_cast<gid_t>(-1)) != 0)
            QSKIP("changing a folder's owner needs privileges");
        window_ = makeWindow();
        openDocument(QStringLiteral("page.html"), kHtml);
        dialogs_.answerMessage(Answer::Ok);
        trigger("RemoveHTMLMen");
        QCOMPARE(dialogs_.shownTexts(),
                 QStringList{QStringLiteral("The work folder %1 cannot be used: it belongs to another user")
                                 .arg(folder)});
        QCOMPARE(w().processed(), 0);
    }

    void twoWindows_keepTheirOwnWorkFiles()
    {
        auto second = makeWindow();
        QVERIFY(second->workPaths().Folder != w().workPaths().Folder);
        openDocument(QStringLiteral("one.html"), "<p>Alpha</p>");
        WriteBytes(path(QStringLiteral("two.html")), "<p>Beta</p>");
        dialogs_.answerFile(path(QStringLiteral("two.html")), 1);
        second->findChild<QAction*>(QStringLiteral("OpenMenu"))->trigger();
        trigger("RemoveHTMLMen");
        second->findChild<QAction*>(QStringLiteral("RemoveHTMLMen"))->trigger();
        QVERIFY(w().view(2)->toPlainText().contains(QStringLiteral("Alpha")));
        QVERIFY(second->view(2)->toPlainText().contains(QStringLiteral("Beta")));
        trigger("RemoveBlankMen");
        QVERIFY(w().view(3)->toPlainText().contains(QStringLiteral("Alpha")));
    }

    // ---- the change warning ----

    void changeWarning_onOpen()
    {
        openDocument(QStringLiteral("page.html"), kHtml);
        typeInto(0, QStringLiteral("x"));
        QCOMPARE(w().documentRecord().Changed, 1);
        const QString typed = w().view(0)->toPlainText();
        dialogs_.answerMessage(Answer::No);
        trigger("OpenMenu");
        QCOMPARE(dialogs_.shown()[0].title, QStringLiteral("Warning"));
        QCOMPARE(dialogs_.shown()[0].text, kChangeWarning);
        QVERIFY(dialogs_.shown()[0].yesNo);
        QCOMPARE(w().view(0)->toPlainText(), typed);
        QVERIFY(!action("Undomen")->isEnabled());

        dialogs_.answerMessage(Answer::Yes);
        dialogs_.cancelFile();
        trigger("OpenMenu");
        QVERIFY(w().view(0)->toPlainText().isEmpty());  // emptied before the dialog
        QCOMPARE(w().documentRecord().Changed, 1);
        QCOMPARE(w().documentRecord().FileName, path(QStringLiteral("page.html")));
    }

    void changeWarning_onNew_andUndoBringsTheTextsBack()
    {
        openDocument(QStringLiteral("page.html"), kHtml);
        trigger("RemoveHTMLMen");
        const QString original = w().view(0)->toPlainText();
        const QString text = w().view(2)->toPlainText();
        dialogs_.answerMessage(Answer::No);
        trigger("NewMenu");
        QCOMPARE(w().view(0)->toPlainText(), original);
        QVERIFY(!action("Undomen")->isEnabled());

        dialogs_.answerMessage(Answer::Yes);
        trigger("NewMenu");
        for (int i = 0; i < 4; ++i)
            QVERIFY(w().view(i)->toPlainText().isEmpty());
        QCOMPARE(w().documentRecord().Changed, 1);
        QCOMPARE(w().documentRecord().FileName, path(QStringLiteral("page.html")));
        trigger("Undomen");
        QCOMPARE(w().view(0)->toPlainText(), original);
        QCOMPARE(w().view(2)->toPlainText(), text);
        QVERIFY(!action("Undomen")->isEnabled());
    }

    void changeWarning_onClose()
    {
        typeInto(0, QStringLiteral("unsaved"));
        dialogs_.answerMessage(Answer::No);
        trigger("Exitmenu");
        QVERIFY(w().isVisible());
        QCOMPARE(dialogs_.shownTexts(), QStringList{kChangeWarning});
        dialogs_.answerMessage(Answer::Yes);
        QVERIFY(w().close());
        QVERIFY(!w().isVisible());
    }

    void unchangedWindow_closesWithoutAQuestion()
    {
        trigger("Exitmenu");
        QVERIFY(!w().isVisible());
        QVERIFY(dialogs_.shown().empty());
    }

    // ---- undo ----

    void undo_afterTyping_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("afterUndo");
        const int bs = Qt::Key_Backspace;
        QTest::newRow("snapshot at the space") << "" << QList<int>{'A', 'B', ' ', 'C', 'D'} << "ab";
        QTest::newRow("one snapshot for a run of deletions") << "hello" << QList<int>{bs, bs, bs} << "hello";
        QTest::newRow("a letter ends the run") << "hello" << QList<int>{bs, 'X', bs} << "hellx";
    }
    void undo_afterTyping()
    {
        QFETCH(QString, before);
        QFETCH(QList<int>, keys);
        w().view(0)->setPlainText(before);
        w().view(0)->moveCursor(QTextCursor::End);
        w().view(0)->setFocus();
        for (int key : keys) {
            if (key >= 'A' && key <= 'Z')
                QTest::keyClick(w().view(0), static_cast<char>(key - 'A' + 'a'));
            else
                QTest::keyClick(w().view(0), static_cast<Qt::Key>(key));
        }
        QVERIFY(action("Undomen")->isEnabled());
        trigger("Undomen");
        QTEST(w().view(0)->toPlainText(), "afterUndo");
        QVERIFY(!action("Undomen")->isEnabled());
    }

    void undo_beforeAnySnapshot_leavesTheViews()
    {
        typeInto(0, QStringLiteral("xy"));
        QVERIFY(action("Undomen")->isEnabled());
        QVERIFY(!w().undoBuffer());
        trigger("Undomen");
        QCOMPARE(w().view(0)->toPlainText(), QStringLiteral("xy"));
        QVERIFY(!action("Undomen")->isEnabled());
    }

    void ctrlZ_inAView_runsTheWindowsUndo()
    {
        typeInto(0, QStringLiteral("ab cd"));
        QTest::keyClick(w().view(0), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w().view(0)->toPlainText(), QStringLiteral("ab"));
    }

    void richTextView_comesBackAsPlainText()
    {
        w().view(0)->setHtml(QStringLiteral("<b>bold</b> text"));
        w().TakeUndoSnapshot();
        w().view(0)->clear();
        trigger("Undomen");
        QCOMPARE(w().view(0)->toPlainText(), QStringLiteral("bold text"));
        QVERIFY(!w().view(0)->toHtml().contains(QStringLiteral("font-weight:700")));
    }

    // ---- clipboard and styling ----

    void clipboard_cutCopyPasteThroughTheMenu()
    {
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        w().view(0)->setPlainText(QStringLiteral("one two"));
        trigger("SelectMen");
        QCOMPARE(w().view(0)->textCursor().selectedText(), QStringLiteral("one two"));
        QCOMPARE(QApplication::focusWidget(), w().view(0));
        trigger("CopyMen");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("one two"));
        trigger("CutMen");
        QVERIFY(w().view(0)->toPlainText().isEmpty());
        QCOMPARE(w().undoBuffer()->at(0), QStringLiteral("one two"));  // snapshot before the cut
        trigger("PasteMen");
        trigger("PasteMen");
        QCOMPARE(w().view(0)->toPlainText(), QStringLiteral("one twoone two"));
        QCOMPARE(w().documentRecord().Changed, 0);  // only keys and conversions change it

        // With a link toggle focused there is no text field: nothing happens.
        QApplication::clipboard()->setText(QStringLiteral("kept"));
        w().linkToggle(0)->setFocus();
        QCOMPARE(QApplication::focusWidget(), w().linkToggle(0));
        trigger("CopyMen");
        trigger("PasteMen");
        trigger("CutMen");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
        QCOMPARE(w().view(0)->toPlainText(), QStringLiteral("one twoone two"));
    }

    void styling_throughTheToolbar()
    {
        w().view(0)->setPlainText(QStringLiteral("abcdef"));
        QTextCursor c = w().view(0)->textCursor();
        c.setPosition(0);
        c.setPosition(3, QTextCursor::KeepAnchor);
        w().view(0)->setTextCursor(c);
        for (const char* key : {"bold", "italic", "underline"})
            action(key)->trigger();
        const QTextCharFormat f = w().view(0)->textCursor().charFormat();
        QVERIFY(f.fontWeight() > QFont::Normal && f.fontItalic() && f.fontUnderline());
        action("rightbut")->trigger();
        QCOMPARE(w().view(0)->document()->firstBlock().blockFormat().alignment() & Qt::AlignRight,
                 Qt::AlignRight);
        c.setPosition(0);
        c.setPosition(6, QTextCursor::KeepAnchor);  // mixed: bold goes off everywhere
        w().view(0)->setTextCursor(c);
        action("bold")->trigger();
        c.setPosition(2);
        QVERIFY(c.charFormat().fontWeight() <= QFont::Normal);
    }

    void fontKey_setsTheShownViewsBaseFont()
    {
        w().SelectTab(2);
        QFont chosen(QStringLiteral("DejaVu Serif"), 15);
        chosen.setBold(true);
        dialogs_.answerFont(chosen);
        w().ToolbarButtonClick(QStringLiteral("font"));  // keys compare exactly: nothing runs
        QVERIFY(!dialogs_.leftover().isEmpty());
        action("Font")->trigger();
        QCOMPARE(w().view(1)->document()->defaultFont().family(), chosen.family());
        QCOMPARE(w().view(1)->document()->defaultFont().pointSize(), 15);
        QVERIFY(w().view(1)->document()->defaultFont().bold());
        QVERIFY(!w().view(0)->document()->defaultFont().bold());
        dialogs_.cancelFont();
        action("Font")->trigger();
        QCOMPARE(w().view(1)->document()->defaultFont().pointSize(), 15);
    }

    // ---- saving and printing ----

    void save_eachType_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("rtf");
        QTest::newRow("text") << "page.html" << 2 << "page.txt" << false;
        QTest::newRow("rich text") << "notes.htm" << 3 << "notes.rtf" << true;
        QTest::newRow("html") << "page.html" << 1 << "page.htm" << false;
        QTest::newRow("all files") << "page.txt" << 4 << "page.htm" << false;
        QTest::newRow("no extension") << "notes" << 2 << "notes.txt" << false;
    }
    void save_eachType()
    {
        QFETCH(QString, chosen);
        QFETCH(int, type);
        QFETCH(QString, written);
        QFETCH(bool, rtf);
        openDocument(QStringLiteral("source.html"), kHtml);
        trigger("RemoveHTMLMen");  // tab 3 is shown: Save writes view 3
        dialogs_.answerFile(path(chosen), type);
        trigger("SaveMenu");
        const QByteArray bytes = ReadBytes(path(written));
        QVERIFY(bytes.contains("First paragraph here."));
        QCOMPARE(bytes.startsWith("{\\rtf"), rtf);
        if (!rtf) {
            QVERIFY(!bytes.contains('\r'));
            QCOMPARE(bytes, w().view(2)->toPlainText().toUtf8());
        }
        QCOMPARE(w().documentRecord().FileName, path(written));
        QCOMPARE(w().statusPanel()->text(), QDir::toNativeSeparators(path(written)));
        QCOMPARE(w().documentRecord().Changed, 0);
    }

    void save_asksOnceAboutTheFileReallyWritten()
    {
        w().view(0)->setPlainText(QStringLiteral("new text"));
        WriteBytes(path(QStringLiteral("page.txt")), "old");
        dialogs_.answerFile(path(QStringLiteral("page.html")), 2);  // page.html does not exist
        dialogs_.answerMessage(Answer::No);
        trigger("SaveMenu");
        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QVERIFY(dialogs_.shown()[0].text.contains(path(QStringLiteral("page.txt"))));
        QCOMPARE(ReadBytes(path(QStringLiteral("page.txt"))), QByteArray("old"));
        QVERIFY(w().documentRecord().FileName.isEmpty());

        dialogs_.answerFile(path(QStringLiteral("page.html")), 2);
        dialogs_.answerMessage(Answer::Yes);
        trigger("SaveMenu");
        QCOMPARE(ReadBytes(path(QStringLiteral("page.txt"))), QByteArray("new text"));
    }

    void failedSave_keepsRecordAndStatus()
    {
        typeInto(0, QStringLiteral("text"));
        const QString status = w().statusPanel()->text();
        const QString target = path(QStringLiteral("no-such-folder/out.txt"));
        dialogs_.answerFile(target, 2);
        dialogs_.answerMessage(Answer::Ok);
        trigger("SaveMenu");
        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QCOMPARE(dialogs_.shown()[0].kind, QStringLiteral("warning"));
        QVERIFY(dialogs_.shown()[0].text.contains(target));
        QVERIFY(dialogs_.shown()[0].text.contains(QStringLiteral("could not be saved: ")));
        QCOMPARE(w().documentRecord().Changed, 1);
        QVERIFY(w().documentRecord().FileName.isEmpty());
        QCOMPARE(w().statusPanel()->text(), status);
    }

    void fileDialog_keepsTypeBetweenSaveAndOpen()
    {
        w().view(0)->setPlainText(QStringLiteral("styled"));
        dialogs_.answerFile(path(QStringLiteral("kept.rtf")), 3);
        trigger("SaveMenu");
        dialogs_.answerFile(path(QStringLiteral("kept.rtf")));  // the preselected type stays
        trigger("OpenMenu");
        QCOMPARE(dialogs_.lastFileDialogState().type, 3);
        QCOMPARE(dialogs_.lastFileDialogState().fileName, path(QStringLiteral("kept.rtf")));
        QCOMPARE(w().documentRecord().DocType, QStringLiteral("RTF"));
        QVERIFY(w().view(0)->toPlainText().contains(QStringLiteral("styled")));
    }

    void print_toPdf_wholeViewOrSelection()
    {
        QString longText;
        for (int i = 0; i < 400; ++i)
            longText += QStringLiteral("Line %1 of a long document\n").arg(i);
        w().view(0)->setPlainText(longText);
        const QString whole = path(QStringLiteral("whole.pdf"));
        dialogs_.answerPrintToPdf(whole);
        trigger("PrintMen");
        QVERIFY(!dialogs_.lastPrintHadSelection());
        const QByteArray wholePdf = ReadBytes(whole);
        QVERIFY(wholePdf.startsWith("%PDF"));

        QTextCursor c = w().view(0)->textCursor();
        c.setPosition(0);
        c.setPosition(10, QTextCursor::KeepAnchor);
        w().view(0)->setTextCursor(c);
        const QString part = path(QStringLiteral("part.pdf"));
        dialogs_.answerPrintToPdf(part);
        action("print")->trigger();
        QVERIFY(dialogs_.lastPrintHadSelection());
        const QByteArray partPdf = ReadBytes(part);
        QVERIFY(partPdf.startsWith("%PDF"));
        QVERIFY(partPdf.contains("/Count 1\n") || partPdf.contains("/Count 1 "));
        QVERIFY(!wholePdf.contains("/Count 1\n") && !wholePdf.contains("/Count 1 "));

        dialogs_.cancelPrint();
        trigger("PrintMen");
    }

    // ---- the secondary windows ----

    void secondaryWindow_opensOnce_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("title");
        QTest::newRow("Options") << "Optmen" << "frmOptions" << "Options";
        QTest::newRow("About") << "AboutMen" << "frmAbout" << "About Quorvik";
        QTest::newRow("Multi File Selection") << "Multmen" << "MultFile" << "Multiple File Selection";
    }
    void secondaryWindow_opensOnce()
    {
        QFETCH(QString, entry);
        QFETCH(QString, window);
        trigger(qPrintable(entry));
        QWidget* first = w().findChild<QWidget*>(window);
        QVERIFY(first && first->isVisible() && first->isWindow());
        QTEST(first->windowTitle(), "title");
        QVERIFY(!first->isModal());
        QVERIFY(w().isEnabled());  // the main window keeps working meanwhile
        // A second trigger brings the same window to the front, as the user left it.
        first->setProperty("marker", true);
        trigger(qPrintable(entry));
        QCOMPARE(w().findChildren<QWidget*>(window).size(), 1);
        QCOMPARE(w().findChild<QWidget*>(window), first);
        QVERIFY(first->property("marker").toBool());
        // Closed, it goes away, and the entry opens a fresh one.
        QPointer<QWidget> closed = first;
        first->close();
        QTRY_VERIFY(!closed);
        trigger(qPrintable(entry));
        QVERIFY(w().findChild<QWidget*>(window)->isVisible());
    }

    void options_secondTrigger_keepsTheFieldsAsTyped()
    {
        frmOptions* options = openOptions();
        QLineEdit* length = options->findChild<QLineEdit*>(QStringLiteral("TextLenText"));
        length->setText(QStringLiteral("66"));
        SettingsStore(iniPath()).SaveSetting(QStringLiteral("TextLen"), QStringLiteral("12"));
        QCOMPARE(openOptions(), options);
        QCOMPARE(length->text(), QStringLiteral("66"));
    }

    void options_linkBox_reachesTheToggleAtTheNextRepaint()
    {
        w().linkToggle(0)->click();
        frmOptions* options = openOptions();
        options->selectTab(1);
        QCheckBox* http = options->findChild<QCheckBox*>(QStringLiteral("Check1"));
        QCOMPARE(http->text(), QStringLiteral("Include HTTP Link Information"));
        QVERIFY(http->isChecked());
        http->click();
        QTest::qWait(50);  // the repaints due so far are done
        options->findChild<QPushButton*>(QStringLiteral("cmdApply"))->click();
        QCOMPARE(SettingsStore(iniPath()).GetSetting(QStringLiteral("WWWLinks"), QString()), QStringLiteral("0"));
        QVERIFY(w().linkToggle(0)->isChecked());  // not before the window repaints
        QTRY_VERIFY(!w().linkToggle(0)->isChecked());
        QVERIFY(!w().linkSwitches().WebLinks());
        QCOMPARE(SettingsStore(iniPath()).GetSetting(QStringLiteral("WWWLinks"), QString()), QStringLiteral("0"));
        QVERIFY(options->isVisible());  // Apply keeps the dialog open
    }

    void about_showsTheVersion()
    {
        trigger("AboutMen");
        auto* about = w().findChild<frmAbout*>();
        QVERIFY(about);
        QCOMPARE(about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text(), QStringLiteral("Version 1.0.0"));
    }

    void help_opensOnTheRightPage_data()
    {
        QTest::addColumn<QString>("menu");  // empty: the entry or key is triggered, else F1 in this menu
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("page");
        QTest::newRow("Help command") << "" << "HelpMen2" << "index.html";
        QTest::newRow("toolbar help key") << "" << "help" << "index.html";
        QTest::newRow("F1 on Remove HTML Code") << "OptionMenu" << "RemoveHTMLMen" << "topic10.html";
        QTest::newRow("F1 on Multi File Selection") << "FileMenu" << "Multmen" << "topic2.html";
        QTest::newRow("F1 on Exit") << "FileMenu" << "Exitmenu" << "topic4.html";
    }
    void help_opensOnTheRightPage()
    {
        QFETCH(QString, menu);
        QFETCH(QString, entry);
        if (menu.isEmpty()) {
            trigger(qPrintable(entry));
        } else {
            auto* popup = w().findChild<QMenu*>(menu);
            popup->popup(w().geometry().center());
            QVERIFY(QTest::qWaitForWindowExposed(popup));
            popup->setActiveAction(action(qPrintable(entry)));
            QTest::keyClick(popup, Qt::Key_F1);
            QTRY_VERIFY(!popup->isVisible());
        }
        QTEST(shownHelpPage(), "page");
    }

    void closingTheMainWindow_closesTheSecondaryWindows()
    {
        for (const char* entry : {"HelpMen2", "Optmen", "AboutMen", "Multmen"})
            trigger(entry);
        QPointer<QWidget> options = w().findChild<frmOptions*>();
        QPointer<QWidget> about = w().findChild<frmAbout*>();
        QPointer<QWidget> batch = w().findChild<MultFile*>();
        QVERIFY(options && about && batch);

        // Closing refused at the change warning keeps everything open.
        typeInto(0, QStringLiteral("unsaved"));
        dialogs_.answerMessage(Answer::No);
        QVERIFY(!w().close());
        QCOMPARE(shownHelpPage(), QStringLiteral("index.html"));
        QVERIFY(options && about && batch);

        dialogs_.answerMessage(Answer::Yes);
        QVERIFY(w().close());
        QVERIFY(shownHelpPage().isEmpty());
        QTRY_VERIFY(!options && !about && !batch);
    }

    void batchWindow_convertsWithTheWindowsOptionsAndToggles()
    {
        w().linkToggle(0)->click();
        w().settingValues().TextLen = 30;
        WriteBytes(path(QStringLiteral("links.html")), kLinkHtml);
        QVERIFY(QDir().mkpath(path(QStringLiteral("out"))));
        trigger("Multmen");
        auto* batch = w().findChild<MultFile*>();
        batch->setFolderPath(fixture_.folder());
        batch->setOutputFolder(path(QStringLiteral("out")));
        batch->selectFiles({QStringLiteral("links.html")});
        QVERIFY(batch->Convert().value(0).converted);
        const QString text = QString::fromUtf8(ReadBytes(path(QStringLiteral("out/links.txt"))));
        QVERIFY2(text.contains(QStringLiteral("http://example.com/x")), qPrintable(text));
        QVERIFY2(LongestLine(text) <= 30, qPrintable(text));
    }

    // ---- settings ----

    void linkToggles_roundTripThroughTheStore()
    {
        w().linkToggle(2)->click();
        SettingsStore store(iniPath());
        QCOMPARE(store.GetSetting(QStringLiteral("NewsLinks"), QStringLiteral("0")), QStringLiteral("1"));
        window_.reset();
        window_ = makeWindow();
        QVERIFY(w().linkToggle(2)->isChecked());
        QVERIFY(!w().linkToggle(0)->isChecked());
        w().linkToggle(2)->click();
        QCOMPARE(store.GetSetting(QStringLiteral("newslinks"), QStringLiteral("?")), QStringLiteral("0"));
    }

    void storeChangedElsewhere_showsAtTheNextRepaint()
    {
        SettingsStore store(iniPath());
        QVERIFY(store.SaveSetting(QStringLiteral("WWWLinks"), QStringLiteral("1")));
        QVERIFY(store.SaveSetting(QStringLiteral("MailLinks"), QStringLiteral("7")));
        QVERIFY(!w().linkToggle(0)->isChecked());
        w().repaint();
        QVERIFY(w().linkToggle(0)->isChecked());
        QVERIFY(w().linkToggle(1)->isChecked());
        QVERIFY(store.SaveSetting(QStringLiteral("WWWLinks"), QStringLiteral("garbage")));
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&w(), &activate);
        QVERIFY(!w().linkToggle(0)->isChecked());
    }

    void storedOptions_areLoadedAtStart()
    {
        SettingsStore store(iniPath());
        store.SaveSetting(QStringLiteral("TextLen"), QStringLiteral("72.5"));
        store.SaveSetting(QStringLiteral("TableCellSep"), QStringLiteral("none"));
        store.SaveSetting(QStringLiteral("mailLinks"), QStringLiteral("1"));
        window_.reset();
        window_ = makeWindow();
        QCOMPARE(w().settingValues().TextLen, 72);
        QCOMPARE(TableCellSepValue(w().settingValues().TableCellSep), QStringLiteral(" "));
        QVERIFY(w().linkToggle(1)->isChecked());
        QCOMPARE(store.GetSetting(QStringLiteral("TableCellSep"), QString()), QStringLiteral("none"));
    }
};

QTEST_MAIN(MainFormTest)
#include "test_mainform.moc"
