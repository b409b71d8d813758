#include "ui/contrast.h"
#include "ui/editing.h"
#include "ui/scripteddialogs.h"
#include "ui/filetypes.h"
#include "ui/startfolder.h"
#include "ui/toolbarkeys.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <QStyle>
#include <QToolBar>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

using namespace quorvik;

namespace {

// Fills the view with `text`, making bold every character whose place in `boldMask` is 'b'.
void Fill(QTextEdit& view, const QString& text, const QString& boldMask)
{
    view.clear();
    QTextCursor c(view.document());
    for (int i = 0; i < text.size(); ++i) {
        QTextCharFormat f;
        f.setFontWeight(i < boldMask.size() && boldMask[i] == u'b' ? QFont::Bold : QFont::Normal);
        c.insertText(QString(text[i]), f);
    }
}

QString BoldMask(const QTextEdit& view)
{
    QString mask;
    QTextCursor c(view.document());
    const int n = view.document()->characterCount() - 1;
    for (int i = 1; i <= n; ++i) {
        c.setPosition(i);
        mask += c.charFormat().fontWeight() > QFont::Normal ? u'b' : u'.';
    }
    return mask;
}

// Once the next file dialog is up, runs `steps` on it as a user would: the steps find the
// dialog's own widgets.
void DriveFileDialog(std::function<void(QFileDialog&)> steps)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, steps] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->deleteLater();
        timer->stop();
        steps(*dialog);
    });
    timer->start(20);
}

void TypeNameAndAccept(QFileDialog& dialog, const QString& name)
{
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    edit->setText(name);
    QTest::keyClick(edit, Qt::Key_Return);
}

void Select(QTextEdit& view, int start, int length)
{
    QTextCursor c(view.document());
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    view.setTextCursor(c);
}

}  // namespace

class UiTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir home_;
    QString docs() const { return home_.filePath(QStringLiteral("docs")); }

private slots:
    void initTestCase()
    {
        // The dialogs' home folder and Qt's memory of them live in the temporary folder.
        qputenv("HOME", home_.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", home_.filePath(QStringLiteral("config")).toUtf8());
        QVERIFY(QDir().mkpath(docs()));
        QFile page(docs() + QStringLiteral("/page.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
    }

    // The real file dialog, driven through its own widgets: the type chosen is known by the
    // filter's place in the list, also for " All Files" (whose text Qt changes).
    void fileType_isKnownByItsPlace_data()
    {
        QTest::addColumn<bool>("save");
        QTest::addColumn<int>("before");  // the type the dialog starts with
        QTest::addColumn<int>("picked");  // 0: left as it is
        QTest::addColumn<int>("type");
        QTest::newRow("open, All Files picked") << false << 1 << 4 << 4;
        QTest::newRow("open, All Files kept") << false << 4 << 0 << 4;
        QTest::newRow("open, Rich Text kept") << false << 3 << 0 << 3;
        QTest::newRow("save, All Files picked") << true << 2 << 4 << 4;
        QTest::newRow("save, Text picked") << true << 4 << 2 << 2;
    }
    void fileType_isKnownByItsPlace()
    {
        QFETCH(bool, save);
        QFETCH(int, before);
        QFETCH(int, picked);
        FileDialogState state{QString(), before, docs()};
        int shown = 0;
        DriveFileDialog([&](QFileDialog& dialog) {
            auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            shown = types->currentIndex() + 1;
            if (picked > 0) {
                types->setCurrentIndex(picked - 1);
                emit types->activated(picked - 1);
            }
            TypeNameAndAccept(dialog, QStringLiteral("page.html"));
        });
        QtDialogs dialogs;
        const FileChoice choice = save ? dialogs.saveFile(nullptr, QStringLiteral("Save"), state)
                                       : dialogs.openFile(nullptr, QStringLiteral("Open"), state);
        QCOMPARE(shown, before);
        QVERIFY(choice.accepted);
        QCOMPARE(choice.path, docs() + QStringLiteral("/page.html"));
        QTEST(choice.type, "type");
        QTEST(state.type, "type");
    }

    // The dialogs start in the document's folder, else at home; never in a system folder.
    void startFolder_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("used");
        QTest::addColumn<bool>("chooser");  // the folder chooser rather than the open dialog
        QTest::newRow("document's folder") << docs() << true << false;
        QTest::newRow("no document") << QString() << false << false;
        QTest::newRow("missing") << docs() + QStringLiteral("/gone") << false << true;
        QTest::newRow("/proc") << QStringLiteral("/proc") << false << false;
        QTest::newRow("under /proc") << QStringLiteral("/proc/self") << false << true;
        QTest::newRow("link to /sys") << home_.filePath(QStringLiteral("sys-link")) << false << false;
        QTest::newRow("/dev") << QStringLiteral("/dev") << false << true;
    }
    void startFolder()
    {
        QFETCH(QString, folder);
        QFETCH(bool, chooser);
        QFile::link(QStringLiteral("/sys/kernel"), home_.filePath(QStringLiteral("sys-link")));
        QString shown;
        DriveFileDialog([&](QFileDialog& dialog) {
            shown = dialog.directory().absolutePath();
            dialog.reject();
        });
        QtDialogs dialogs;
        FileDialogState state{QString(), 1, folder};
        if (chooser)
            QVERIFY(dialogs.chooseFolder(nullptr, QStringLiteral("Folder"), folder).isEmpty());
        else
            QVERIFY(!dialogs.openFile(nullptr, QStringLiteral("Open"), state).accepted);
        QFETCH(bool, used);
        QCOMPARE(shown, used ? folder : home_.path());
    }

    // A file picked in a system folder is opened, but the folder is not left as the one Qt
    // starts its next file dialog in.
    void systemFolder_isNeverRemembered()
    {
        if (!QFileInfo(QStringLiteral("/dev/shm")).isDir())
            QSKIP("no /dev/shm here");
        QTemporaryDir shm(QStringLiteral("/dev/shm/quorvik-test-XXXXXX"));
        QFile page(shm.filePath(QStringLiteral("page.html")));
        QVERIFY(page.open(QIODevice::WriteOnly));
        DriveFileDialog([&](QFileDialog& dialog) {
            dialog.setDirectory(shm.path());
            TypeNameAndAccept(dialog, QStringLiteral("page.html"));
        });
        QtDialogs dialogs;
        FileDialogState state;
        QCOMPARE(dialogs.openFile(nullptr, QStringLiteral("Open"), state).path, page.fileName());
        QFileDialog another;
        QVERIFY2(!IsSystemFolder(another.directory().absolutePath()), qPrintable(another.directory().absolutePath()));
        QSettings qt(QSettings::UserScope, QStringLiteral("QtProject"));
        for (const QString& visited : qt.value(QStringLiteral("FileDialog/history")).toStringList())
            QVERIFY2(!IsSystemFolder(QUrl(visited).toLocalFile()), qPrintable(visited));
    }

    void toggleBold_followsTheMixedSelectionRule_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("after");
        QTest::newRow("plain selection turns bold") << "......" << 1 << 3 << ".bbb..";
        QTest::newRow("bold selection turns plain") << ".bbbb." << 1 << 3 << "....b.";
        QTest::newRow("mixed selection turns plain") << "..bb.." << 1 << 3 << "......";
        QTest::newRow("whole text plain") << "......" << 0 << 6 << "bbbbbb";
    }
    void toggleBold_followsTheMixedSelectionRule()
    {
        QFETCH(QString, before);
        QFETCH(int, start);
        QFETCH(int, length);
        QTextEdit view;
        Fill(view, QStringLiteral("abcdef"), before);
        Select(view, start, length);
        const StyleState state = SelectionStyle(view, CharStyle::Bold);
        ToggleStyle(view, CharStyle::Bold);
        QTEST(BoldMask(view), "after");
        // Toggling again undoes a plain-to-bold change only; mixed never turns on.
        if (state == StyleState::Off) {
            ToggleStyle(view, CharStyle::Bold);
            QCOMPARE(BoldMask(view), before);
        }
    }

    void noSelection_turnsTheStyleOffAtTheCaret()
    {
        QTextEdit view;
        Fill(view, QStringLiteral("abcd"), QStringLiteral("bbbb"));
        Select(view, 2, 0);
        ToggleStyle(view, CharStyle::Bold);
        QCOMPARE(BoldMask(view), QStringLiteral("bbbb"));  // the text keeps its format
        QVERIFY(view.currentCharFormat().fontWeight() <= QFont::Normal);
        view.textCursor().insertText(QStringLiteral("x"));
        QCOMPARE(BoldMask(view), QStringLiteral("bb.bb"));
    }

    void italicAndUnderline_useTheSameRule_data()
    {
        QTest::addColumn<int>("style");
        QTest::newRow("italic") << static_cast<int>(CharStyle::Italic);
        QTest::newRow("underline") << static_cast<int>(CharStyle::Underline);
    }
    void italicAndUnderline_useTheSameRule()
    {
        QFETCH(int, style);
        const auto s = static_cast<CharStyle>(style);
        QTextEdit view;
        view.setPlainText(QStringLiteral("abcdef"));
        Select(view, 0, 3);
        ToggleStyle(view, s);
        QCOMPARE(SelectionStyle(view, s), StyleState::On);
        Select(view, 2, 3);
        QCOMPARE(SelectionStyle(view, s), StyleState::Mixed);
        ToggleStyle(view, s);
        Select(view, 0, 6);
        QCOMPARE(SelectionStyle(view, s), StyleState::Mixed);  // "ab" keeps it
        Select(view, 2, 4);
        QCOMPARE(SelectionStyle(view, s), StyleState::Off);
    }

    void alignSelection_changesOnlySelectedParagraphs_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("left") << 0 << static_cast<int>(Qt::AlignLeft);
        QTest::newRow("right") << 1 << static_cast<int>(Qt::AlignRight);
        QTest::newRow("centre") << 2 << static_cast<int>(Qt::AlignHCenter);
    }
    void alignSelection_changesOnlySelectedParagraphs()
    {
        QFETCH(int, value);
        QFETCH(int, expected);
        QTextEdit view;
        view.setPlainText(QStringLiteral("one\ntwo\nthree"));
        const auto alignOf = [&](int block) {
            return static_cast<int>(view.document()->findBlockByNumber(block).blockFormat().alignment()
                                    & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter));
        };
        const int before = alignOf(2);
        Select(view, 0, 0);
        AlignSelection(view, value == 0 ? 1 : value);
        QCOMPARE(alignOf(0), before);  // nothing selected: nothing changes
        Select(view, 1, 4);            // reaches into the second paragraph
        AlignSelection(view, value);
        QCOMPARE(alignOf(0), expected);
        QCOMPARE(alignOf(1), expected);
        QCOMPARE(alignOf(2), before);
    }

    void baseFont_isSetInFull()
    {
        QTextEdit view;
        view.setPlainText(QStringLiteral("text"));
        QFont chosen(QStringLiteral("DejaVu Serif"), 17);
        chosen.setBold(true);
        chosen.setItalic(true);
        chosen.setUnderline(true);
        chosen.setStrikeOut(true);
        SetBaseFont(view, chosen);
        const QFont f = BaseFont(view);
        QCOMPARE(f.family(), chosen.family());
        QCOMPARE(f.pointSize(), 17);
        QVERIFY(f.bold() && f.italic() && f.underline() && f.strikeOut());
    }

    void clipboard_actsOnTextFieldsOnly()
    {
        QClipboard* clipboard = QApplication::clipboard();
        QTextEdit view;
        view.setPlainText(QStringLiteral("hello world"));
        Select(view, 0, 5);
        QVERIFY(CopySelection(&view));
        QCOMPARE(clipboard->text(), QStringLiteral("hello"));
        QCOMPARE(view.toPlainText(), QStringLiteral("hello world"));

        Select(view, 5, 0);  // an empty selection leaves the clipboard empty
        QVERIFY(CopySelection(&view));
        QVERIFY(clipboard->text().isEmpty());

        clipboard->setText(QStringLiteral("kept"));
        QCheckBox box;
        QVERIFY(!CopySelection(&box));
        QVERIFY(!CutSelection(&box));
        QVERIFY(!PasteText(&box));
        QVERIFY(!PasteText(nullptr));
        QCOMPARE(clipboard->text(), QStringLiteral("kept"));

        Select(view, 6, 5);
        QVERIFY(CutSelection(&view));
        QCOMPARE(clipboard->text(), QStringLiteral("world"));
        QCOMPARE(view.toPlainText(), QStringLiteral("hello "));
        Select(view, 0, 5);
        QVERIFY(PasteText(&view));
        QCOMPARE(view.toPlainText(), QStringLiteral("world "));

        QLineEdit line(QStringLiteral("abc"));
        line.setSelection(1, 1);
        QVERIFY(CopySelection(&line));
        QCOMPARE(clipboard->text(), QStringLiteral("b"));
    }

    // Each toolbar icon, drawn on a real toolbar, stands out from it in a light and in a dark
    // palette: most of what it draws has a contrast of at least 3:1 against the toolbar.
    void toolbarIcons_standOut_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light palette") << false;
        QTest::newRow("dark palette") << true;
    }
    void toolbarIcons_standOut()
    {
        QFETCH(bool, dark);
        const QPalette before = QApplication::palette();
        QApplication::setStyle(QStringLiteral("fusion"));
        QPalette palette = QApplication::style()->standardPalette();
        if (dark) {
            palette.setColor(QPalette::Window, QColor(0x35, 0x35, 0x35));
            palette.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
            palette.setColor(QPalette::WindowText, Qt::white);
            palette.setColor(QPalette::Text, Qt::white);
        }
        QApplication::setPalette(palette);
        QToolBar bar;
        bar.setIconSize(QSize(16, 16));
        for (const ToolbarKey& k : ToolbarKeys())
            bar.addAction(ToolbarIcon(k), k.tooltip)->setObjectName(k.key);
        bar.show();
        const QImage image = bar.grab().toImage();
        QApplication::setPalette(before);
        QStringList faint;
        for (QAction* action : bar.actions()) {
            const QRect button = bar.widgetForAction(action)->geometry();
            const QColor toolbar = image.pixelColor(button.left() + 1, button.top() + 1);
            QRect icon(QPoint(), QSize(16, 16));
            icon.moveCenter(button.center());
            int drawn = 0, strong = 0;
            for (int y = icon.top(); y <= icon.bottom(); ++y) {
                for (int x = icon.left(); x <= icon.right(); ++x) {
                    const double ratio = ContrastRatio(image.pixelColor(x, y), toolbar);
                    drawn += ratio > 1.2 ? 1 : 0;
                    strong += ratio >= 3.0 ? 1 : 0;
                }
            }
            if (drawn < 20 || strong * 2 < drawn)
                faint << QStringLiteral("%1 (%2 of %3 pixels)").arg(action->objectName()).arg(strong).arg(drawn);
        }
        QVERIFY2(faint.isEmpty(), qPrintable(faint.join(QStringLiteral(", "))));
    }

    void scriptedDialogs_useEachAnswerOnce()
    {
        ScriptedDialogs d;
        FileDialogState state;
        d.answerFile(QStringLiteral("/a.rtf"), 3);
        d.answerFile(QStringLiteral("/b.html"));  // keeps the type
        QCOMPARE(d.saveFile(nullptr, {}, state).type, 3);
        const FileChoice next = d.openFile(nullptr, {}, state);
        QCOMPARE(d.lastFileDialogState().fileName, QStringLiteral("/a.rtf"));
        QCOMPARE(next.type, 3);
        QCOMPARE(state.fileName, QStringLiteral("/b.html"));
        QVERIFY(!d.openFile(nullptr, {}, state).accepted);  // nothing queued
        QCOMPARE(d.unexpected().size(), 1);
        d.answerMessage(Answer::Yes);
        QVERIFY(!d.leftover().isEmpty());
        QCOMPARE(d.warning(nullptr, QStringLiteral("T"), QStringLiteral("x"), true), Answer::Yes);
        QVERIFY(d.leftover().isEmpty());
        QCOMPARE(d.shownTexts(), QStringList{QStringLiteral("x")});

        d.answerFolder(QStringLiteral("/out"));
        d.cancelFolder();
        QVERIFY(!d.leftover().isEmpty());
        QCOMPARE(d.chooseFolder(nullptr, {}, {}), QStringLiteral("/out"));
        QCOMPARE(d.chooseFolder(nullptr, {}, {}), QString());  // cancelled
        QVERIFY(d.leftover().isEmpty());
        QCOMPARE(d.chooseFolder(nullptr, {}, {}), QString());  // nothing queued
        QCOMPARE(d.unexpected().size(), 2);
    }
};

QTEST_MAIN(UiTest)
#include "ui_test.moc"
