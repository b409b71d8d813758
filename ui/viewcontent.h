#pragma once
// The text of one view, kept exactly as it was given and filled into the edit control in
// slices. Filling a rich-text control takes about a second per 5 MB, so a view shows its first
// screen at once and takes the rest in slices of at most a few hundredths of a second while it
// is shown (a hidden view waits until it is shown). Whoever reads the text (saving, undo, the
// batch of a conversion) gets all of it, exactly as given (no-break spaces and separators
// included) until the user edits it, then as the control holds it. The slices stop at the
// height Qt's text layout handles well (about half a million lines); what needs the control
// itself (complete()) still gets all of it. A note in the view's corner then says how much of
// the text is shown, so that nobody takes the rest for lost.

#include <QObject>
#include <QString>

#include <memory>
#include <utility>

class QLabel;
class QTextDocument;
class QTextEdit;
class QTimer;

namespace quorvik {

class ViewContent : public QObject {
    Q_OBJECT

public:
    // The slices stop once the text in the control is `heightLimit` pixels high.
    explicit ViewContent(QTextEdit* edit, qreal heightLimit = kHeightLimit);
    static constexpr qreal kHeightLimit = 7'000'000;

    QTextEdit* edit() const { return edit_; }

    // Replaces the text; the control is emptied and filled from it while it is shown.
    void setText(const QString& text);
    // Replaces the text with a copy of a rich document (filled at once).
    void setDocument(const QTextDocument& document);
    void clear();

    // All the text, with line feeds between lines: as given while unedited, else as the control
    // holds it (with the part not yet filled in after it).
    QString text();
    bool isEmpty() const;
    // Fills the rest into the control now (for what needs the control itself: selecting
    // everything).
    void complete();
    // The whole text as a rich document (for printing and saving as rich text): the control's
    // own document once it holds all of it, else a copy of it with the rest added, so that a view
    // too long to be filled whole stays as quick to edit as it was. `copy` keeps that copy.
    const QTextDocument& wholeDocument(std::unique_ptr<QTextDocument>& copy) const;
    bool filling() const { return filled_ < source_.size(); }

    // Starts or stops the slices as the view is shown or hidden.
    void setShown(bool shown);
    // The note shown while the control holds only part of a text too long for it (null before).
    QLabel* partNote() const { return note_; }

signals:
    // The user changed the control's text or formatting (typing, cut, paste, drag and drop,
    // styling); not emitted for text given by the program.
    void edited();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void watchDocument();
    void showPartNote();
    void placePartNote();
    // A copy of the control's document with the rest of the text after it, not laid out.
    QTextDocument* documentWithRest(QObject* parent) const;
    void fillSlice();
    void fillUpTo(qsizetype end);
    void scheduleFill();
    bool roomForMore() const;

    QTextEdit* edit_;
    QTimer* timer_;
    qreal heightLimit_;
    QLabel* note_ = nullptr;
    bool noteDismissed_ = false;  // clicked away: not shown again for this text
    std::pair<qsizetype, qsizetype> noteCounted_;  // the text's size and the part shown, when counted
    QString source_;        // the text given; the control holds source_.left(filled_) unless edited
    qsizetype filled_ = 0;  // how much of source_ the control holds
    bool edited_ = false;   // the control's text no longer equals source_.left(filled_)
    bool programmatic_ = false;
    bool shown_ = false;
    qsizetype sliceSize_ = 64 * 1024;
};

}  // namespace quorvik
