// The main window driven like a user, journey by journey: through its menus, toolbar keys,
// shortcuts, tabs and keys, with every dialog answered in advance.

#include "support/files.h"
#include "support/windowtest.h"
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
#include <QMimeData>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>


using namespace quorvik;
using namespace quorvik::testing;

namespace {

const QString kNotLoaded = QStringLiteral("Please open a file before using this feature");
const QString kRichText = QStringLiteral(
    "This file contains Rich text Formatting.  This type of formatting can not be processed by this program.");
const QString kNotProcessed = QStringLiteral("You must process the file before trying to remove blank lines!");
const QString kChangeWarning = QStringLiteral("The text has changed.  Do you want to continue without saving?");

const QByteArray kHtml =
    "<html><head><title>Sample</title></head><body>\r\n<p>First paragraph here.</p>\r\n\r\n\r\n"
    "<p>Second <b>bold</b> one.</p></body></html>\r\n";
const QByteArray kLinkHtml = "<p>Read the <a href=\"http://example.com/x\">manual</a> before you start using the "
                             "program, and keep it at hand while you work.</p>\r\n";

}  // namespace

class MainFormTest : public WindowTest {
    Q_OBJECT

    QString text(int view) { return w().view(view)->toPlainText(); }
    frmOptions* openOptions()
    {
        trigger("Optmen");
        return w().findChild<frmOptions*>();
    }
    QString shownHelpPage() const
    {
        const HelpWindow* help = window_->findChild<HelpWindow*>();
        return help && help->isVisible() ? QFileInfo(help->source().toLocalFile()).fileName() : QString();
    }
    void select(int view, int from, int to)
    {
        QTextCursor c = w().view(view)->textCursor();
        c.setPosition(from);
        c.setPosition(to, QTextCursor::KeepAnchor);
        w().view(view)->setTextCursor(c);
    }

private slots:
    // ---- the window and its commands ----

    void start_showsTabOneAndNothingLoaded()
    {
        QCOMPARE(w().currentView(), 0);
        QCOMPARE(w().windowTitle(), QStringLiteral("Quorvik"));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(w().view(i)->isVisible(), i == 0);
        QCOMPARE(w().statusPanel()->text(), QDir::toNativeSeparators(QDir::currentPath()));
        QVERIFY(!action("Undomen")->isEnabled());
        QVERIFY(!QFile::exists(iniPath()));  // a start on an empty store writes nothing
        QTest::mouseClick(w().tabStrip(), Qt::LeftButton, {}, w().tabStrip()->tabRect(2).center());
        for (int i = 0; i < 4; ++i)
            QCOMPARE(w().view(i)->isVisible(), i == 2);
    }

    // Menu entry, toolbar key and shortcut run the same command.
    void commands_runFromMenuToolbarAndKeys_data()
    {
        QTest::addColumn<QString>("route");  // "menu:Name", "key:name" or "shortcut:Ctrl+X"
        QTest::addColumn<QString>("message");
        QTest::newRow("menu Remove Extra Lines") << "menu:RemoveBlankMen" << kNotProcessed;
        QTest::newRow("key removeHTML") << "key:removeHTML" << kNotLoaded;
        QTest::newRow("Ctrl+H") << "shortcut:Ctrl+H" << kNotLoaded;
        QTest::newRow("Ctrl+L") << "shortcut:Ctrl+L" << kNotProcessed;
        QTest::newRow("Ctrl+R") << "shortcut:Ctrl+R" << kNotLoaded;
    }
    void commands_runFromMenuToolbarAndKeys()
    {
        QFETCH(QString, route);
        const QString how = route.section(u':', 0, 0), what = route.section(u':', 1);
        dialogs_.answerMessage(Answer::Ok);
        if (how == QLatin1String("menu")) {
            trigger(qPrintable(what));
        } else if (how == QLatin1String("key")) {
            QTest::mouseClick(w().findChild<QToolButton*>(what), Qt::LeftButton);
        } else {
            w().view(0)->setFocus();
            QTest::keySequence(w().view(0), QKeySequence(what));
        }
        QCOMPARE(dialogs_.shown().size(), std::size_t(1));
        QCOMPARE(dialogs_.shown()[0].title, QStringLiteral("Quorvik"));
        QTEST(dialogs_.shown()[0].text, "message");
        QCOMPARE(w().documentRecord().Changed, 0);
    }

    void resize_followsTheTwipsRules()
    {
        w().resize(900, 600);
        QTest::qWait(1);
        const WindowLayout& l = w().layoutTwips();
        // Nothing overlaps: toggles sit on the status bar after panel 1, views end above it.
        QVERIFY(w().linkToggle(0)->geometry().left() > w().statusPanel()->geometry().right());
        QVERIFY(w().linkToggle(0)->geometry().right() <= w().linkToggle(1)->geometry().left());
        QVERIFY(w().linkToggle(1)->geometry().right() <= w().linkToggle(2)->geometry().left());
        const QPoint viewBottom = w().view(0)->mapTo(&w(), QPoint(0, w().view(0)->height()));
        QVERIFY(viewBottom.y() <= w().statusPanel()->parentWidget()->mapTo(&w(), QPoint(0, 0)).y());
        // A long path widens panel 1 and moves the toggles after it.
        const int before = l.toggles[0].left;
        openDocument(QStringLiteral("a-rather-long-file-name-for-the-status-panel.html"), kHtml);
        QVERIFY(w().layoutTwips().toggles[0].left > before);
        QCOMPARE(w().layoutTwips().toggles[0].left, w().statusPanelWidthTwips() + 300);
    }

    // ---- open and convert ----

    void openAndConvert_fillsTheViewsStageByStage()
    {
        openDocument(QStringLiteral("page.html"), kHtml);
        QCOMPARE(w().documentRecord().Loaded, 1);
        QVERIFY(text(0).contains(QStringLiteral("<p>First paragraph here.</p>")));
        QCOMPARE(w().statusPanel()->text(), QDir::toNativeSeparators(path(QStringLiteral("page.html"))));
        QCOMPARE(w().windowTitle(), QStringLiteral("page.html - Quorvik"));
        typeInto(0, QStringLiteral("x"));  // the conversion reads the file, not the view
        trigger("RemoveHTMLMen");
        QVERIFY(text(1).contains(QStringLiteral("<p>")));
        QVERIFY(text(2).contains(QStringLiteral("First paragraph here.")) && !text(2).contains(u'<'));
        QVERIFY(text(3).isEmpty());
        QCOMPARE(w().currentView(), 2);
        QVERIFY(w().view(2)->isVisible());
        QCOMPARE(w().documentRecord().Changed, 1);
        QVERIFY(!action("Undomen")->isEnabled());
        QVERIFY(w().workPaths().Folder.startsWith(path(QStringLiteral("run/quorvik"))));
        trigger("RemoveBlankMen");
        QCOMPARE(w().currentView(), 3);
        QVERIFY(text(3).contains(QStringLiteral("First paragraph here.")) && !text(3).contains(QStringLiteral("\n\n\n")));

        // Remove Both on a newly opened document: no view keeps the earlier document's text.
        dialogs_.answerMessage(Answer::Yes);
        openDocument(QStringLiteral("other.html"), "<p>Other</p>");
        for (int i = 1; i < 4; ++i)
            QVERIFY(text(i).isEmpty());
        dialogs_.answerMessage(Answer::Ok);
        trigger("RemoveBlankMen");
        QCOMPARE(dialogs_.shownTexts().last(), kNotProcessed);
        trigger("RevCodeLinesMen");
        QCOMPARE(w().currentView(), 3);
        QVERIFY(text(3).contains(QStringLiteral("Other")) && !text(3).contains(QStringLiteral("First")));
    }

    void documentsThatCannotBeConverted_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("loaded");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty") << QByteArray() << 1 << 0 << kNotLoaded;
        QTest::newRow("rich text") << QByteArray("{\\rtf1 Hello}") << 3 << 1 << kRichText;
    }
    void documentsThatCannotBeConverted()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, type);
        openDocument(QStringLiteral("doc"), bytes, type);
        QTEST(w().documentRecord().Loaded, "loaded");
        dialogs_.answerMessage(Answer::Ok);
        trigger("RevCodeLinesMen");
        QTEST(dialogs_.shownTexts().value(0), "message");
        QCOMPARE(w().documentRecord().Changed, 0);
    }

    void conversion_usesTheOptionsAndToggles_data()
    {
        QTest::addColumn<QString>("textLen");  // typed into the options dialog
        QTest::addColumn<bool>("webLinks");
        QTest::addColumn<int>("longestLine");
        QTest::newRow("defaults") << QString() << false << 80;
        QTest::newRow("short lines") << "20" << false << 20;
        QTest::newRow("web links on") << QString() << true << 80;
    }
    void conversion_usesTheOptionsAndToggles()
    {
        QFETCH(QString, textLen);
        QFETCH(bool, webLinks);
        QFETCH(int, longestLine);
        if (!textLen.isEmpty()) {
            frmOptions* options = openOptions();
            options->findChild<QLineEdit*>(QStringLiteral("TextLenText"))->setText(textLen);
            options->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        }
        if (webLinks)
            w().linkToggle(0)->click();
        openDocument(QStringLiteral("links.html"), kLinkHtml);
        trigger("RemoveHTMLMen");
        int longest = 0;
        for (const QString& line : text(2).split(u'\n'))
            longest = std::max(longest, int(line.size()));
        QVERIFY2(longest <= longestLine && longest > longestLine / 2, qPrintable(text(2)));
        QCOMPARE(text(2).contains(QStringLiteral("http://example.com/x")), webLinks);
    }

    // Readable output ticked in the options: every view comes from the readable conversion
    // (Formatted HTML shows the cleaned HTML) and the title says so; Remove Extra Lines goes on
    // in the conversion that made the text; the multiple-file window converts readable too.
    void readableOutput_fromTheOptions()
    {
        const QByteArray html = "<style>p{}</style><p>caf&eacute;</p><pre>  a\r\n\r\n\r\n  b</pre>\r\n";
        const QString readableText = QStringLiteral("\ncaf\u00e9\n  a\n\n\n  b");
        openDocument(QStringLiteral("page.html"), html);
        const auto setReadable = [this](bool on) {
            frmOptions* options = openOptions();
            options->findChild<QCheckBox*>(QStringLiteral("ReadableCheck"))->setChecked(on);
            options->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        };
        setReadable(true);
        trigger("RemoveHTMLMen");
        QCOMPARE(w().windowTitle(), QStringLiteral("page.html* (readable) - Quorvik"));
        QVERIFY2(text(1).contains(QStringLiteral("<pre>  a\n<pre>\n")) && !text(1).contains(QStringLiteral("p{}")),
                 qPrintable(text(1)));
        setReadable(false);
        trigger("RemoveBlankMen");
        QCOMPARE(text(3), readableText);
        QCOMPARE(w().windowTitle(), QStringLiteral("page.html* (readable) - Quorvik"));
        dialogs_.answerMessage(Answer::Yes);
        trigger("NewMenu");
        QCOMPARE(w().windowTitle(), QStringLiteral("page.html* - Quorvik"));
        trigger("Undomen");
        QCOMPARE(w().windowTitle(), QStringLiteral("page.html* (readable) - Quorvik"));
        // Off again: Remove HTML Code gives the faithful text, and the readable Formatted Text goes.
        trigger("RemoveHTMLMen");
        QCOMPARE(w().windowTitle(), QStringLiteral("page.html* - Quorvik"));
        QVERIFY(text(2).contains(QStringLiteral("caf&eacute;")) && text(3).isEmpty());

        setReadable(true);
        trigger("Multmen");
        MultFile* batch = w().findChild<MultFile*>();
        batch->setFolderPath(folder());
        batch->selectFiles({QStringLiteral("page.html")});
        batch->setOutputFolder(path(QStringLiteral("out")));
        QVERIFY(QDir().mkpath(path(QStringLiteral("out"))));
        QVERIFY(batch->Convert().value(0).converted);
        QCOMPARE(QString::fromUtf8(ReadBytes(path(QStringLiteral("out/page.txt")))), readableText + u'\n');
    }

    // A conversion runs beside the window: the commands that would change the views wait,
    // Cancel empties the views from the stage it stopped in, and closing the window stops it.
    void conversion_runsBesideTheWindow_andCanBeCancelled()
    {
        QByteArray html;
        for (int i = 0; i < 20000; ++i)
            html += "<p>Paragraph " + QByteArray::number(i) + " of a long document.</p>\r\n";
        openDocument(QStringLiteral("long.html"), html);
        const char* const blocked[] = {"OpenMenu", "NewMenu", "SaveMenu", "CutMen", "PasteMen", "bold",
                                       "RemoveHTMLMen", "RemoveBlankMen", "RevCodeLinesMen"};
        action("RevCodeLinesMen")->trigger();
        w().CancelConversion();  // it goes on until the worker sees it
        QVERIFY(w().converting());
        for (const char* name : blocked)
            QVERIFY2(!action(name)->isEnabled(), name);
        QVERIFY(w().findChild<QTextEdit*>(QStringLiteral("RichTextBox1_0"))->isReadOnly());
        QVERIFY(action("CopyMen")->isEnabled() && action("PrintMen")->isEnabled());
        waitForConversion(w());
        QVERIFY(text(3).isEmpty());  // the stage it stopped in and those after it
        QCOMPARE(w().processed(), 0);
        QVERIFY(dialogs_.shown().empty());  // a cancel is no failure
        for (const char* name : blocked)
            QVERIFY2(action(name)->isEnabled(), name);
        QVERIFY(!w().view(0)->isReadOnly());
        QCOMPARE(QDir(w().workPaths().Folder).entryList({QStringLiteral("*.part")}, QDir::Files), QStringList());

        action("RevCodeLinesMen")->trigger();
        dialogs_.answerMessage(Answer::Yes);  // the change warning
        QVERIFY(w().close());
        QVERIFY(!w().converting());
    }

    // Right after a conversion, Save writes a stage's view exactly as quorvik-convert writes
    // that stage (LF line ends, a line feed after the last line), also after an undo.
    void save_afterConversion_givesTheConvertersBytes_data()
    {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("stage");  // -1: the document itself
        QTest::newRow("Original HTML") << 1 << -1;
        QTest::newRow("Text File") << 3 << int(Stage::Text);
        QTest::newRow("Formatted Text") << 4 << int(Stage::Formatted);
    }
    void save_afterConversion_givesTheConvertersBytes()
    {
        QFETCH(int, tab);
        QFETCH(int, stage);
        const QByteArray html = "<p>No&nbsp;break, \xc2\xa0raw, line\xe2\x80\xa8separator\xe2\x80\xa9" "and paragraph"
                                "</p>\rlone CR\r\n<pre>a\tb</pre>\nLF inside\r\n\r\n\r\n<p>end</p>\r\n";
        openDocument(QStringLiteral("exact.html"), html);
        trigger("RevCodeLinesMen");
        QByteArray expected = html;
        if (stage >= 0) {
            const QString out = path(QStringLiteral("expected.txt"));
            QVERIFY(ConvertDocument(path(QStringLiteral("exact.html")), out, Stage(stage), w().settingValues(),
                                    FixedLinkSwitches()));
            expected = ReadBytes(out);
        } else {
            expected.replace("\r\n", "\n").replace('\r', '\n');
        }
        w().SelectTab(tab);
        for (const char* step : {"saved", "undone"}) {
            dialogs_.answerFile(path(QStringLiteral("out.txt")), 2);
            if (QFile::exists(path(QStringLiteral("out.txt"))))
                dialogs_.answerMessage(Answer::Yes);
            trigger("SaveMenu");
            QVERIFY2(ReadBytes(path(QStringLiteral("out.txt"))) == expected, step);
            trigger("NewMenu");
            trigger("Undomen");
        }
    }

    // A view is filled in slices while shown; whatever reads it gets all of it. Select All
    // fills the rest at once (over a megabyte here: into a document of its own, which takes the
    // control's place), keeping what the user styled and the view's font, and later edits
    // still count.
    void largeView_isWholeForSaveClipboardAndUndo()
    {
        QByteArray html;
        for (int i = 0; i < 120000; ++i)
            html += "line " + QByteArray::number(i) + "\r\n";
        openDocument(QStringLiteral("long.txt"), html);
        const QString whole = QString::fromLatin1(html).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).chopped(1);
        auto* edit = w().findChild<QTextEdit*>(QStringLiteral("RichTextBox1_0"));
        QVERIFY(edit->document()->blockCount() < 120000);  // only the first screen so far
        auto saved = [&] {
            dialogs_.answerFile(path(QStringLiteral("long.htm")), 1);
            if (QFile::exists(path(QStringLiteral("long.htm"))))
                dialogs_.answerMessage(Answer::Yes);
            trigger("SaveMenu");
            return ReadBytes(path(QStringLiteral("long.htm")));
        };
        QCOMPARE(saved(), (whole + u'\n').toLatin1());
        // Saved as rich text it is whole too, and the view is left as it was, quick to edit.
        dialogs_.answerFile(path(QStringLiteral("long.rtf")), 3);
        trigger("SaveMenu");
        QVERIFY(ReadBytes(path(QStringLiteral("long.rtf"))).contains("line 119999"));
        QVERIFY(edit->document()->blockCount() < 120000);
        trigger("NewMenu");
        trigger("Undomen");
        QTextCursor first(edit->document());
        first.setPosition(4, QTextCursor::KeepAnchor);
        edit->setTextCursor(first);
        trigger("bold");
        dialogs_.answerFont(QFont(QStringLiteral("DejaVu Serif"), 15));
        trigger("Font");
        trigger("SelectMen");
        trigger("CopyMen");
        QCOMPARE(QApplication::clipboard()->text(), whole);
        QCOMPARE(edit->document()->blockCount(), 120000);
        QCOMPARE(edit->document()->firstBlock().begin().fragment().charFormat().fontWeight(), int(QFont::Bold));
        QCOMPARE(edit->document()->defaultFont().pointSize(), 15);
        QCOMPARE(saved(), (whole + u'\n').toLatin1());
        QCOMPARE(w().documentRecord().Changed, 0);
        typeInto(0, QStringLiteral("x"));
        QCOMPARE(w().documentRecord().Changed, 1);
    }

    // ---- unsaved changes and undo ----

    void changeWarning_guardsOpenNewAndClose()
    {
        openDocument(QStringLiteral("page.html"), kHtml);
        trigger("RemoveHTMLMen");
        const QString original = text(0), converted = text(2);
        for (const char* command : {"OpenMenu", "NewMenu", "Exitmenu"}) {
            dialogs_.answerMessage(Answer::No);
            trigger(command);
            QCOMPARE(dialogs_.shown().back().text, kChangeWarning);
            QVERIFY(dialogs_.shown().back().yesNo);
            QCOMPARE(text(0), original);
            QVERIFY(w().isVisible());
        }
        // Yes, then Cancel in the file dialog, or a file that cannot be read: everything stays.
        dialogs_.answerMessage(Answer::Yes);
        dialogs_.cancelFile();
        trigger("OpenMenu");
        dialogs_.answerMessage(Answer::Yes);
        dialogs_.answerFile(path(QStringLiteral("missing.html")), 1);
        dialogs_.answerMessage(Answer::Ok);
        trigger("OpenMenu");
        QVERIFY(dialogs_.shown().back().text.contains(path(QStringLiteral("missing.html")) + QStringLiteral(" could not be opened: No such file")));
        QCOMPARE(text(0), original);
        QCOMPARE(text(2), converted);
        QCOMPARE(w().processed(), 1);
        // New empties every view, and Undo brings them back.
        dialogs_.answerMessage(Answer::Yes);
        trigger("NewMenu");
        for (int i = 0; i < 4; ++i)
            QVERIFY(text(i).isEmpty());
        trigger("Undomen");
        QCOMPARE(text(0), original);
        QCOMPARE(text(2), converted);
        QVERIFY(!action("Undomen")->isEnabled());
        dialogs_.answerMessage(Answer::Yes);
        QVERIFY(w().close());
    }

    void undo_afterTyping_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QList<int>>("keys");
        QTest::addColumn<QString>("afterUndo");
        const int bs = Qt::Key_Backspace;
        QTest::newRow("snapshot at the space") << "" << QList<int>{'A', 'B', ' ', 'C', 'D'} << "ab";
        QTest::newRow("one snapshot for a run of deletions") << "hello" << QList<int>{bs, bs, bs} << "hello";
        QTest::newRow("a letter ends the run") << "hello" << QList<int>{bs, 'X', bs} << "hellx";
        QTest::newRow("before any snapshot nothing changes") << "" << QList<int>{'X', 'Y'} << "xy";
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
        QCOMPARE(w().documentRecord().Changed, 1);
        QTest::keyClick(w().view(0), Qt::Key_Z, Qt::ControlModifier);
        QTEST(text(0), "afterUndo");
        QVERIFY(!action("Undomen")->isEnabled());
    }

    // No edit escapes the change warning, whichever way it is made.
    void everyEditRoute_setsChanged_data()
    {
        QTest::addColumn<QString>("route");
        for (const char* route : {"menu cut", "Ctrl+X", "toolbar cut", "context menu cut", "menu paste", "Ctrl+V",
                                  "toolbar paste", "context menu paste", "drop", "Ctrl+B"})
            QTest::newRow(route) << route;
    }
    void everyEditRoute_setsChanged()
    {
        QFETCH(QString, route);
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        openDocument(QStringLiteral("page.html"), "one two");
        QCOMPARE(w().documentRecord().Changed, 0);
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        QTextEdit* v = w().view(0);
        select(0, 0, 3);
        if (route.startsWith(QLatin1String("Ctrl+"))) {
            QTest::keySequence(v, QKeySequence(route));
        } else if (route.startsWith(QLatin1String("menu"))) {
            trigger(route.endsWith(QLatin1String("cut")) ? "CutMen" : "PasteMen");
        } else if (route.startsWith(QLatin1String("toolbar"))) {
            QTest::mouseClick(w().findChild<QToolButton*>(route.section(u' ', 1)), Qt::LeftButton);
        } else if (route.startsWith(QLatin1String("context"))) {  // what the edit control's own menu runs
            route.endsWith(QLatin1String("cut")) ? v->cut() : v->paste();
        } else {
            QMimeData data;
            data.setText(QStringLiteral("dropped"));
            const QPoint at = v->cursorRect().center();
            QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(v->viewport(), &enter);
            QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(v->viewport(), &drop);
        }
        QVERIFY(text(0) != QStringLiteral("one two") || route == QLatin1String("Ctrl+B"));
        QCOMPARE(w().documentRecord().Changed, 1);
        QCOMPARE(w().windowTitle(), QStringLiteral("page.html* - Quorvik"));
    }

    void keyboard_focusTabsAndStyleKeys()
    {
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        QCOMPARE(QApplication::focusWidget(), w().view(0));
        const std::pair<QKeyCombination, int> keys[] = {
            {Qt::CTRL | Qt::Key_Tab, 1}, {Qt::CTRL | Qt::Key_PageDown, 2}, {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 1},
            {Qt::CTRL | Qt::Key_PageUp, 0}, {Qt::CTRL | Qt::Key_PageUp, 3}};
        for (const auto& [key, tab] : keys) {
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
            QCOMPARE(w().currentView(), tab);
            QCOMPARE(QApplication::focusWidget(), w().view(tab));
        }
        // The style keys toggle the style and show the style at the cursor.
        typeInto(3, QStringLiteral("plain"));
        select(3, 0, 3);
        QTest::keyClick(w().view(3), Qt::Key_B, Qt::ControlModifier);
        QTest::keyClick(w().view(3), Qt::Key_I, Qt::ControlModifier);
        QVERIFY(action("bold")->isChecked() && action("italic")->isChecked() && !action("underline")->isChecked());
        QTest::keyClick(w().view(3), Qt::Key_End);
        QVERIFY(!action("bold")->isChecked());
        QTest::keyClick(w().view(3), Qt::Key_Home);
        QTest::keyClick(w().view(3), Qt::Key_Right);
        QVERIFY(action("bold")->isChecked());
    }

    // ---- clipboard, styling, saving and printing ----

    void clipboard_cutCopyPaste()
    {
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        w().view(0)->setPlainText(QStringLiteral("one two"));
        trigger("SelectMen");
        QCOMPARE(QApplication::focusWidget(), w().view(0));
        trigger("CopyMen");
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("one two"));
        trigger("PasteMen");
        trigger("PasteMen");
        QCOMPARE(text(0), QStringLiteral("one twoone two"));
        trigger("Undomen");  // back to before the last paste
        QCOMPARE(text(0), QStringLiteral("one two"));

        // With a link toggle focused there is no text field: nothing happens.
        QApplication::clipboard()->setText(QStringLiteral("kept"));
        w().linkToggle(0)->setFocus();
        for (const char* command : {"CopyMen", "PasteMen", "CutMen"})
            trigger(command);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
        QCOMPARE(text(0), QStringLiteral("one two"));
    }

    void alignmentAndFont_applyToTheShownView()
    {
        w().view(0)->setPlainText(QStringLiteral("abcdef"));
        select(0, 0, 3);
        trigger("rightbut");
        QCOMPARE(w().view(0)->document()->firstBlock().blockFormat().alignment() & Qt::AlignRight, Qt::AlignRight);

        w().SelectTab(2);
        QFont chosen(QStringLiteral("DejaVu Serif"), 15);
        dialogs_.answerFont(chosen);
        trigger("Font");
        QCOMPARE(w().view(1)->document()->defaultFont().pointSize(), 15);
        QVERIFY(w().view(0)->document()->defaultFont().pointSize() != 15);
    }

    void save_eachType_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("written");
        QTest::newRow("text") << "page.html" << 2 << "page.txt";
        QTest::newRow("rich text") << "notes.htm" << 3 << "notes.rtf";
        QTest::newRow("no extension") << "notes" << 2 << "notes.txt";
    }
    void save_eachType()
    {
        QFETCH(QString, chosen);
        QFETCH(int, type);
        QFETCH(QString, written);
        openDocument(QStringLiteral("source.html"), kHtml);
        trigger("RemoveHTMLMen");  // tab 3 is shown: Save writes view 3
        dialogs_.answerFile(path(chosen), type);
        trigger("SaveMenu");
        const QByteArray bytes = ReadBytes(path(written));
        QVERIFY(bytes.contains("First paragraph here."));
        QCOMPARE(bytes.startsWith("{\\rtf"), type == 3);
        QCOMPARE(w().documentRecord().FileName, path(written));
        QCOMPARE(w().statusPanel()->text(), QDir::toNativeSeparators(path(written)));
        QCOMPARE(w().windowTitle(), written + QStringLiteral(" - Quorvik"));
        QCOMPARE(w().documentRecord().Changed, 0);
    }

    void save_asksAboutTheFileReallyWritten_andKeepsItOnFailure()
    {
        w().view(0)->setPlainText(QStringLiteral("new text"));
        QVERIFY(WriteBytes(path(QStringLiteral("page.txt")), "old"));
        dialogs_.answerFile(path(QStringLiteral("page.html")), 2);  // page.html does not exist
        dialogs_.answerMessage(Answer::No);
        trigger("SaveMenu");
        QVERIFY(dialogs_.shown()[0].text.contains(path(QStringLiteral("page.txt"))));
        QCOMPARE(ReadBytes(path(QStringLiteral("page.txt"))), QByteArray("old"));

        const QString status = w().statusPanel()->text();
        const QString target = path(QStringLiteral("no-such-folder/out.txt"));
        dialogs_.answerFile(target, 2);
        dialogs_.answerMessage(Answer::Ok);
        trigger("SaveMenu");
        QVERIFY(dialogs_.shown().back().text.contains(target + QStringLiteral(" could not be saved: ")));
        QVERIFY(w().documentRecord().FileName.isEmpty());
        QCOMPARE(w().statusPanel()->text(), status);
    }

    void print_toPdf_wholeViewOrSelection()
    {
        QByteArray longText;
        for (int i = 0; i < 400; ++i)
            longText += "Line " + QByteArray::number(i) + " of a long document\n";
        openDocument(QStringLiteral("long.txt"), longText);  // printed whole, not only its first screen
        dialogs_.answerPrintToPdf(path(QStringLiteral("whole.pdf")));
        trigger("PrintMen");
        const QByteArray whole = ReadBytes(path(QStringLiteral("whole.pdf")));
        select(0, 0, 10);
        dialogs_.answerPrintToPdf(path(QStringLiteral("part.pdf")));
        trigger("PrintMen");
        QVERIFY(dialogs_.lastPrintHadSelection());
        const QByteArray part = ReadBytes(path(QStringLiteral("part.pdf")));
        QVERIFY(whole.startsWith("%PDF") && part.startsWith("%PDF"));
        QVERIFY(part.contains("/Count 1\n") || part.contains("/Count 1 "));
        QVERIFY(!whole.contains("/Count 1\n") && !whole.contains("/Count 1 "));
    }

    // ---- the other windows ----

    void help_opensOnTheRightPage_data()
    {
        QTest::addColumn<QString>("menu");  // empty: the entry or key is triggered, else F1 in this menu
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("page");
        QTest::newRow("Help command") << "" << "HelpMen2" << "index.html";
        QTest::newRow("toolbar help key") << "" << "help" << "index.html";
        QTest::newRow("F1 in a view") << "" << "F1" << "index.html";
        QTest::newRow("F1 on Remove HTML Code") << "OptionMenu" << "RemoveHTMLMen" << "topic10.html";
    }
    void help_opensOnTheRightPage()
    {
        QFETCH(QString, menu);
        QFETCH(QString, entry);
        if (entry == QLatin1String("F1")) {
            QTest::keyClick(w().view(0), Qt::Key_F1);
        } else if (menu.isEmpty() && entry == QLatin1String("help")) {
            QTest::mouseClick(w().findChild<QToolButton*>(entry), Qt::LeftButton);
        } else if (menu.isEmpty()) {
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
        QVERIFY(w().close());
        QVERIFY(shownHelpPage().isEmpty());
        QTRY_VERIFY(!options && !about && !batch);
    }
};

QTEST_MAIN(MainFormTest)
#include "mainform_test.moc"
