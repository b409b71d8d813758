#include "ui/editing.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextEdit>

namespace quorvik {

namespace {

bool HasStyle(const QTextCharFormat& f, CharStyle style)
{
    switch (style) {
    case CharStyle::Bold: return f.fontWeight() > QFont::Normal;
    case CharStyle::Italic: return f.fontItalic();
    case CharStyle::Underline: return f.fontUnderline();
    }
    return false;
}

QTextCharFormat StyleFormat(CharStyle style, bool on)
{
    QTextCharFormat f;
    switch (style) {
    case CharStyle::Bold: f.setFontWeight(on ? QFont::Bold : QFont::Normal); break;
    case CharStyle::Italic: f.setFontItalic(on); break;
    case CharStyle::Underline: f.setFontUnderline(on); break;
    }
    return f;
}

}  // namespace

StyleState SelectionStyle(const QTextEdit& view, CharStyle style)
{
    const QTextCursor cursor = view.textCursor();
    if (!cursor.hasSelection())
        return HasStyle(cursor.charFormat(), style) ? StyleState::On : StyleState::Off;
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    bool anyOn = false, anyOff = false;
    // Walk the text fragments that overlap the selection; block separators carry no style.
    for (QTextBlock block = view.document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            (HasStyle(fragment.charFormat(), style) ? anyOn : anyOff) = true;
        }
    }
    if (anyOn && anyOff)
        return StyleState::Mixed;
    return anyOn ? StyleState::On : StyleState::Off;
}

void ToggleStyle(QTextEdit& view, CharStyle style)
{
    QTextCursor cursor = view.textCursor();
    const bool turnOn = cursor.hasSelection() && SelectionStyle(view, style) == StyleState::Off;
    const QTextCharFormat f = StyleFormat(style, turnOn);
    if (cursor.hasSelection()) {
        cursor.mergeCharFormat(f);
        view.setTextCursor(cursor);
    } else {
        // Only the format of text typed next at the caret; the word around it keeps its own.
        QTextCharFormat caret = cursor.charFormat();
        caret.merge(f);
        view.setCurrentCharFormat(caret);
    }
}

void AlignSelection(QTextEdit& view, int alignment)
{
    QTextCursor cursor = view.textCursor();
    if (!cursor.hasSelection())
        return;
    Qt::Alignment a = Qt::AlignLeft | Qt::AlignAbsolute;
    if (alignment == 1)
        a = Qt::AlignRight | Qt::AlignAbsolute;
    else if (alignment == 2)
        a = Qt::AlignHCenter;
    QTextBlockFormat f;
    f.setAlignment(a);
    cursor.mergeBlockFormat(f);
}

QFont BaseFont(const QTextEdit& view)
{
    return view.document()->defaultFont();
}

void SetBaseFont(QTextEdit& view, const QFont& font)
{
    QFont f = view.document()->defaultFont();
    f.setFamily(font.family());
    if (font.pointSizeF() > 0)
        f.setPointSizeF(font.pointSizeF());
    f.setBold(font.bold());
    f.setItalic(font.italic());
    f.setUnderline(font.underline());
    f.setStrikeOut(font.strikeOut());
    view.document()->setDefaultFont(f);
}

bool CopySelection(QWidget* focus)
{
    QString text;
    if (auto* edit = qobject_cast<QTextEdit*>(focus))
        text = edit->textCursor().selection().toPlainText();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus))
        text = plain->textCursor().selection().toPlainText();
    else if (auto* line = qobject_cast<QLineEdit*>(focus))
        text = line->echoMode() == QLineEdit::Normal ? line->selectedText() : QString();
    else
        return false;
    QClipboard* clipboard = QApplication::clipboard();
    clipboard->clear();
    if (!text.isEmpty())
        clipboard->setText(text);
    return true;
}

static bool ReplaceSelection(QWidget* focus, const QString& text)
{
    if (auto* edit = qobject_cast<QTextEdit*>(focus)) {
        if (edit->isReadOnly())
            return false;
        edit->textCursor().insertText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        if (plain->isReadOnly())
            return false;
        plain->textCursor().insertText(text);
    } else if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        if (line->isReadOnly())
            return false;
        line->insert(text);
    } else {
        return false;
    }
    return true;
}

bool CutSelection(QWidget* focus)
{
    return CopySelection(focus) && ReplaceSelection(focus, QString());
}

bool PasteText(QWidget* focus)
{
    if (!qobject_cast<QTextEdit*>(focus) && !qobject_cast<QPlainTextEdit*>(focus) && !qobject_cast<QLineEdit*>(focus))
        return false;
    return ReplaceSelection(focus, QApplication::clipboard()->text());
}

}  // namespace quorvik
