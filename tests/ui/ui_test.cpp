#include "ui/editing.h"
#include "ui/scripteddialogs.h"
#include "ui/filetypes.h"
#include "ui/toolbarkeys.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QPrinter>
#include <QSet>
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

private slots:
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

    void toolbarKeys_haveBundledIcons()
    {
        for (const ToolbarKey& k : ToolbarKeys()) {
            QVERIFY2(QFile::exists(BundledIconPath(k.key)), qPrintable(k.key));
            QVERIFY(!ToolbarIcon(k).pixmap(16, 16).isNull());
        }
    }

    void fileTypes_matchTheDialogFilter()
    {
        const QStringList filters = FileDialogNameFilters();
        QCOMPARE(filters.size(), 4);
        QCOMPARE(filters[3], QStringLiteral(" All Files (*.*) (*.*)"));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(TypeOfNameFilter(filters[i]), i + 1);
        QCOMPARE(TypeOfNameFilter(QStringLiteral("nonsense")), 0);
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
