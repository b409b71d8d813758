#pragma once
// The modal questions the secondary windows ask: message boxes and the folder chooser.
// The windows never call QMessageBox or QFileDialog themselves; they ask a WindowPrompts,
// so tests can answer in advance and see what was asked.

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace quorvik {

class WindowPrompts {
public:
    virtual ~WindowPrompts() = default;
    // A message with a single OK button and no icon.
    virtual void Message(QWidget* parent, const QString& title, const QString& text) = 0;
    // A warning with a single OK button.
    virtual void Warning(QWidget* parent, const QString& title, const QString& text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& title, const QString& text) = 0;
    // A folder chooser; the empty text when the user cancels.
    virtual QString ChooseFolder(QWidget* parent, const QString& title, const QString& startFolder) = 0;
};

// The real dialogs.
class QtWindowPrompts final : public WindowPrompts {
public:
    void Message(QWidget* parent, const QString& title, const QString& text) override;
    void Warning(QWidget* parent, const QString& title, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
    QString ChooseFolder(QWidget* parent, const QString& title, const QString& startFolder) override;
};

// Answers queued in advance, each used once, and a record of every prompt shown.
// A question asked with no answer queued is answered No; a folder chooser with none is cancelled.
class ScriptedWindowPrompts final : public WindowPrompts {
public:
    struct Shown {
        QString kind;  // "message", "warning", "question" or "folder"
        QString title;
        QString text;
    };

    void QueueAnswer(bool yes) { answers_.append(yes); }
    void QueueFolder(const QString& folder) { folders_.append(folder); }
    // Forgets the queued answers and the record.
    void Clear();

    const QList<Shown>& shown() const { return shown_; }
    int pendingAnswers() const { return answers_.size() + folders_.size(); }

    void Message(QWidget* parent, const QString& title, const QString& text) override;
    void Warning(QWidget* parent, const QString& title, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& title, const QString& text) override;
    QString ChooseFolder(QWidget* parent, const QString& title, const QString& startFolder) override;

private:
    QList<bool> answers_;
    QStringList folders_;
    QList<Shown> shown_;
};

}  // namespace quorvik
