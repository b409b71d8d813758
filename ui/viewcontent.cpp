#include "ui/viewcontent.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace quorvik {

namespace {

// The first screen: enough lines for any window, filled before the view is next painted.
constexpr qsizetype kFirstScreen = 32 * 1024;
constexpr int kFirstScreenLines = 250;
// A slice aims at this long; its size follows the time the last one took.
constexpr qint64 kSliceNs = 30'000'000;
// Up to this much is filled into the control's own document at once; more goes through a
// document of its own (see complete()).
constexpr qsizetype kDirectFill = 1024 * 1024;

// The control's text with line feeds between its paragraphs, everything else as it stands.
QString RawText(const QTextDocument& document)
{
    QString text = document.toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

}  // namespace

ViewContent::ViewContent(QTextEdit* edit, qreal heightLimit)
    : QObject(edit), edit_(edit), timer_(new QTimer(this)), heightLimit_(heightLimit)
{
    edit_->installEventFilter(this);
    timer_->setSingleShot(true);
    timer_->setInterval(0);
    connect(timer_, &QTimer::timeout, this, &ViewContent::fillSlice);
    watchDocument();
}

void ViewContent::watchDocument()
{
    connect(edit_->document(), &QTextDocument::contentsChange, this, [this] {
        if (programmatic_)
            return;
        edited_ = true;
        emit edited();
    });
}

void ViewContent::setText(const QString& text)
{
    timer_->stop();
    if (note_)
        note_->hide();
    noteDismissed_ = false;
    programmatic_ = true;
    edit_->clear();
    programmatic_ = false;
    source_ = text;
    filled_ = 0;
    edited_ = false;
    sliceSize_ = 64 * 1024;
    if (shown_)
        setShown(true);
}

void ViewContent::setDocument(const QTextDocument& document)
{
    setText(QString());
    programmatic_ = true;
    QTextCursor(edit_->document()).insertFragment(QTextDocumentFragment(&document));
    programmatic_ = false;
    edited_ = true;  // the text is what the control holds
}

void ViewContent::clear()
{
    setText(QString());
}

QString ViewContent::text()
{
    if (!edited_)
        return source_;
    // Taken from the control once; until the next edit the copy serves again.
    const QString rest = source_.mid(filled_);
    QString all = RawText(*edit_->document());
    filled_ = all.size();
    all += rest;
    source_ = all;
    edited_ = false;
    return all;
}

bool ViewContent::isEmpty() const
{
    return edited_ ? edit_->document()->isEmpty() && !filling() : source_.isEmpty();
}

void ViewContent::complete()
{
    timer_->stop();
    if (source_.size() - filled_ <= kDirectFill) {
        fillUpTo(source_.size());
        return;
    }
    // Much text inserted into a document that is being laid out can take minutes (Qt lays the
    // document out again around every insertion), so the rest goes into a document of its own,
    // which has no layout yet, and that one takes the control's place.
    QTextDocument* old = edit_->document();
    QTextDocument* whole = documentWithRest(edit_);
    const int position = edit_->textCursor().position(), anchor = edit_->textCursor().anchor();
    const int top = edit_->verticalScrollBar()->value(), left = edit_->horizontalScrollBar()->value();
    const bool oldIsOurs = old->parent() == edit_;  // else the control's own, which it deletes
    programmatic_ = true;
    edit_->setDocument(whole);
    QTextCursor kept(whole);
    kept.setPosition(anchor);
    kept.setPosition(position, QTextCursor::KeepAnchor);
    edit_->setTextCursor(kept);
    edit_->verticalScrollBar()->setValue(top);
    edit_->horizontalScrollBar()->setValue(left);
    programmatic_ = false;
    if (oldIsOurs)
        delete old;
    watchDocument();
    filled_ = source_.size();
    if (note_)
        note_->hide();
}

QTextDocument* ViewContent::documentWithRest(QObject* parent) const
{
    // The text the control holds (with the user's edits and styling), then the rest unstyled.
    QTextDocument* whole = edit_->document()->clone(parent);
    whole->setUndoRedoEnabled(false);
    QTextCursor end(whole);
    end.movePosition(QTextCursor::End);
    end.insertText(source_.mid(filled_), QTextCharFormat());
    return whole;
}

const QTextDocument& ViewContent::wholeDocument(std::unique_ptr<QTextDocument>& copy) const
{
    if (!filling())
        return *edit_->document();
    copy.reset(documentWithRest(nullptr));
    return *copy;
}

void ViewContent::setShown(bool shown)
{
    shown_ = shown;
    if (!shown) {
        timer_->stop();
        return;
    }
    if (!filling())
        return;
    if (filled_ == 0) {
        // Up to the end of the first screen's lines, or kFirstScreen characters.
        qsizetype end = 0;
        for (int line = 0; line < kFirstScreenLines && end >= 0 && end < kFirstScreen; ++line)
            end = source_.indexOf(u'\n', end + 1);
        fillUpTo(end < 0 ? std::min(source_.size(), kFirstScreen) : std::min(end + 1, kFirstScreen));
    }
    scheduleFill();
}

bool ViewContent::roomForMore() const
{
    // Qt's text layout counts heights in a fixed-point type that ends near 8.4 million pixels
    // (about 590,000 lines of a 10-point font); past that, every change to the document has it
    // laid out again, for half a minute and more on a 50 MB text. The slices stop well before.
    return edit_->document()->documentLayout()->documentSize().height() < heightLimit_;
}

void ViewContent::scheduleFill()
{
    if (!shown_ || !filling())
        return;
    if (roomForMore())
        timer_->start();
    else
        showPartNote();
}

void ViewContent::showPartNote()
{
    if (noteDismissed_)
        return;
    if (!note_) {
        note_ = new QLabel(edit_);
        note_->setObjectName(QStringLiteral("PartNote"));
        note_->setAutoFillBackground(true);
        note_->setBackgroundRole(QPalette::ToolTipBase);
        note_->setForegroundRole(QPalette::ToolTipText);
        note_->setFrameShape(QFrame::Box);
        note_->setMargin(4);
        note_->setWordWrap(true);
        note_->setCursor(Qt::PointingHandCursor);
        note_->setToolTip(QStringLiteral("Click to hide this note."));
        note_->installEventFilter(this);
    }
    // Counted again only when the text or the part shown has changed since (a view is shown
    // again at every switch of tabs).
    if (note_->text().isEmpty() || noteCounted_ != std::pair(source_.size(), filled_)) {
        const QStringView filled = QStringView(source_).left(filled_);
        const qsizetype breaks = filled.count(u'\n');
        const qsizetype shown = breaks + (filled.endsWith(u'\n') ? 0 : 1);
        const qsizetype all = breaks + QStringView(source_).mid(filled_).count(u'\n') + 1;
        const QLocale locale;
        note_->setText(QStringLiteral("This text is too long to show whole: the first %1 of its %2 lines are shown. "
                                      "Saving, printing and converting take all of it.")
                           .arg(locale.toString(shown), locale.toString(all)));
        noteCounted_ = {source_.size(), filled_};
    }
    placePartNote();
    note_->show();
    note_->raise();
}

void ViewContent::placePartNote()
{
    // In the top right corner of the text area, at most half its width.
    const QRect area = edit_->viewport()->geometry();
    const int width = std::min(area.width() / 2, note_->sizeHint().width());
    note_->resize(width, note_->heightForWidth(width));
    note_->move(area.right() - width - 8, area.top() + 8);
}

bool ViewContent::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == edit_ && event->type() == QEvent::Resize && note_ && note_->isVisible())
        placePartNote();
    if (watched == note_ && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        if (event->type() == QEvent::MouseButtonRelease) {
            note_->hide();
            noteDismissed_ = true;
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ViewContent::fillSlice()
{
    QElapsedTimer clock;
    clock.start();
    fillUpTo(std::min(source_.size(), filled_ + sliceSize_));
    const qint64 took = std::max<qint64>(clock.nsecsElapsed(), 1);
    sliceSize_ = std::clamp<qsizetype>(static_cast<qsizetype>(sliceSize_ * (double(kSliceNs) / took)), 16 * 1024,
                                       1024 * 1024);
    scheduleFill();
}

void ViewContent::fillUpTo(qsizetype end)
{
    if (end <= filled_)
        return;
    // A slice ends after a line feed where one is near, and never inside a surrogate pair.
    if (end < source_.size()) {
        const qsizetype lineEnd = source_.indexOf(u'\n', end);
        if (lineEnd >= 0 && lineEnd - end < 4096)
            end = lineEnd + 1;
        else if (source_.at(end - 1).isHighSurrogate())
            ++end;
    }
    programmatic_ = true;
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::End);
    // The user's cursor stays where it is, also when it stands at the end of what is filled.
    const int position = edit_->textCursor().position(), anchor = edit_->textCursor().anchor();
    const bool carried = position == cursor.position() || anchor == cursor.position();
    // The rest comes unstyled, whatever the user did to the text filled before it.
    cursor.insertText(source_.mid(filled_, end - filled_), QTextCharFormat());
    if (carried) {
        QTextCursor kept(edit_->document());
        kept.setPosition(anchor);
        kept.setPosition(position, QTextCursor::KeepAnchor);
        edit_->setTextCursor(kept);
    }
    programmatic_ = false;
    filled_ = end;
}

}  // namespace quorvik
