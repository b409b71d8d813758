#pragma once
// What the window adds to the edit control: clipboard commands on the focused control, and
// the styling commands on a view.

class QFont;
class QTextEdit;
class QWidget;

namespace quorvik {

enum class CharStyle { Bold, Italic, Underline };
enum class StyleState { Off, On, Mixed };

// The style across the selection (the caret's format when nothing is selected).
StyleState SelectionStyle(const QTextEdit& view, CharStyle style);

// With a selection that is wholly without the style, turns it on for the selection; in every
// other case (wholly or partly styled, or nothing selected: the caret's format) turns it off.
void ToggleStyle(QTextEdit& view, CharStyle style);

// Alignment values: 0 left, 1 right, 2 centre. Only a selection's paragraphs change.
void AlignSelection(QTextEdit& view, int alignment);

// The view's base font: all its text that carries no font of its own.
QFont BaseFont(const QTextEdit& view);
void SetBaseFont(QTextEdit& view, const QFont& font);

// Clipboard commands on `focus`, the control that has the keyboard focus. A control that is
// not a text field leaves the clipboard and itself untouched. Return true when they acted.
bool CopySelection(QWidget* focus);
bool CutSelection(QWidget* focus);
bool PasteText(QWidget* focus);

}  // namespace quorvik
