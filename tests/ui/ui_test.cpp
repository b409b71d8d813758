// The ui layer on its own: the real file dialog (types and start folders), the styling rules,
// and the toolbar icons in a light and a dark palette.

#include "ui/contrast.h"
#include "ui/dialogs.h"
#include "ui/editing.h"
#include "ui/startfolder.h"
#include "ui/toolbarkeys.h"
#include "ui/viewcontent.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSettings>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <functional>

using namespace quorvik;

namespace {

// Fills the view with one character per place of `mask`, in `style` where the mask has 's'.
void Fill(QTextEdit& view, const QString& mask, CharStyle style)
{
    QTextCursor c(view.document());
    for (QChar m : mask) {
        QTextCharFormat f;
        f.setFontWeight(style == CharStyle::Bold && m == u's' ? QFont::Bold : QFont::Normal);
        f.setFontItalic(style == CharStyle::Italic && m == u's');
        f.setFontUnderline(style == CharStyle::Underline && m == u's');
        c.insertText(QStringLiteral("x"), f);
    }
}

// The view's characters as a mask: 's' where `style` is on.
QString Mask(const QTextEdit& view, CharStyle style)
{
    QString mask;
    QTextCursor c(view.document());
    for (int i = 1; i < view.document()->characterCount(); ++i) {
        c.setPosition(i);
        const QTextCharFormat f = c.charFormat();
        mask += (style == CharStyle::Bold ? f.fontWeight() > QFont::Normal
                 : style == CharStyle::Italic ? f.fontItalic() : f.fontUnderline()) ? u's' : u'.';
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

    // Bold, italic and underline turn on only for a selection that has none of the style;
    // a selection that is partly or wholly styled, or no selection (the caret), turns it off.
    void toggleStyle_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("typed");  // the mask after typing at the caret
        const int b = int(CharStyle::Bold), i = int(CharStyle::Italic), u = int(CharStyle::Underline);
        QTest::newRow("bold: plain turns on") << b << "......" << 1 << 3 << ".sss.." << "";
        QTest::newRow("bold: styled turns off") << b << ".ssss." << 1 << 3 << "....s." << "";
        QTest::newRow("bold: mixed turns off") << b << "..ss.." << 1 << 3 << "......" << "";
        QTest::newRow("bold: caret turns off") << b << "ssss" << 2 << 0 << "ssss" << "ss.ss";
        QTest::newRow("italic: mixed turns off") << i << "sss..." << 2 << 3 << "ss...." << "";
        QTest::newRow("underline: caret turns off") << u << "ssss" << 4 << 0 << "ssss" << "ssss.";
    }
    void toggleStyle()
    {
        QFETCH(int, style);
        QFETCH(QString, before);
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(QString, typed);
        const auto s = static_cast<CharStyle>(style);
        QTextEdit view;
        Fill(view, before, s);
        Select(view, start, length);
        ToggleStyle(view, s);
        QTEST(Mask(view, s), "after");
        if (!typed.isEmpty()) {
            view.textCursor().insertText(QStringLiteral("x"));
            QCOMPARE(Mask(view, s), typed);
        }
    }

    // Alignment changes the paragraphs a selection touches; with no selection, nothing.
    void alignSelection()
    {
        QTextEdit view;
        view.setPlainText(QStringLiteral("one\ntwo\nthree"));
        auto align = [&](int block) {
            return view.document()->findBlockByNumber(block).blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        };
        Select(view, 0, 0);
        AlignSelection(view, 1);
        QVERIFY(!(align(0) & Qt::AlignRight));
        Select(view, 1, 4);  // from the first paragraph into the second
        AlignSelection(view, 2);
        QCOMPARE(align(0), Qt::AlignHCenter);
        QCOMPARE(align(1), Qt::AlignHCenter);
        QVERIFY(align(2) != Qt::AlignHCenter);
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

    // Enter in a Yes/No warning (the change warning) answers No: it never discards work.
    // A text too long for the control is shown in part, with a note in the corner that says how
    // much; whoever reads the text still gets all of it. A click hides the note, and a text that
    // fits has none.
    void longText_isShownInPartWithANote()
    {
        QTextEdit view;
        view.resize(500, 300);
        ViewContent content(&view, 2000);  // pixels: some dozens of lines
        QString text;
        for (int i = 0; i < 3000; ++i)
            text += QStringLiteral("line %1\n").arg(i);
        text.chop(1);
        content.setText(text);
        view.show();
        content.setShown(true);
        QTRY_VERIFY(content.partNote() && content.partNote()->isVisible());
        const int shown = view.document()->blockCount() - 1;  // the last block is the empty one after a line feed
        QVERIFY(shown > 0 && shown < 3000);
        QVERIFY2(content.partNote()->text().contains(
                     QStringLiteral("first %1 of its %2 lines").arg(QLocale().toString(shown), QLocale().toString(3000))),
                 qPrintable(content.partNote()->text()));
        QVERIFY(view.viewport()->geometry().contains(content.partNote()->geometry()));
        QCOMPARE(content.text(), text);
        QTest::mouseClick(content.partNote(), Qt::LeftButton);
        QVERIFY(!content.partNote()->isVisible());
        content.setShown(false);
        content.setShown(true);  // shown again: the note stays away
        QVERIFY(!content.partNote()->isVisible());
        content.setText(QStringLiteral("short"));
        QTest::qWait(50);
        QVERIFY(!content.partNote()->isVisible());
    }

    void yesNoWarning_enterAnswersNo()
    {
        QTimer press;
        connect(&press, &QTimer::timeout, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                QTest::keyClick(box, Qt::Key_Return);
        });
        press.start(20);
        QtDialogs dialogs;
        QCOMPARE(dialogs.warning(nullptr, QStringLiteral("Warning"), QStringLiteral("Continue?"), true), Answer::No);
    }
};

QTEST_MAIN(UiTest)
#include "ui_test.moc"
