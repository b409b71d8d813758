#pragma once
// Dialogs answered from a script: each answer is queued before the step that needs it and used
// once; a dialog with no queued answer fails the check `unexpected()` reports.

#include "ui/dialogs.h"

#include <QFont>
#include <QStringList>
#include <deque>

namespace quorvik {

class ScriptedDialogs final : public Dialogs {
public:
    // One shown message box as the program asked it.
    struct Shown {
        QString kind;  // "information", "question", "warning"
        QString title;
        QString text;
        bool yesNo = false;
    };

    void answerMessage(Answer a) { messages_.push_back(a); }
    // `type` 0 keeps the type the dialog was opened with.
    void answerFile(const QString& path, int type = 0) { files_.push_back({true, path, type}); }
    void cancelFile() { files_.push_back({false, {}, 0}); }
    // Accepts the print dialog and prints to a PDF file at `pdfPath`.
    void answerPrintToPdf(const QString& pdfPath) { prints_.push_back(pdfPath); }
    void cancelPrint() { prints_.push_back(QString()); }
    void answerFont(const QFont& font) { fonts_.push_back({true, font}); }
    void cancelFont() { fonts_.push_back({false, QFont()}); }
    void answerFolder(const QString& folder) { folders_.push_back(folder); }
    void cancelFolder() { folders_.push_back(QString()); }

    // Everything shown so far, oldest first.
    const std::vector<Shown>& shown() const { return shown_; }
    QStringList shownTexts() const;
    void clearShown() { shown_.clear(); }
    // The state the file dialog was last opened with, and what print was last told.
    FileDialogState lastFileDialogState() const { return lastState_; }
    QString lastFileDialogTitle() const { return lastTitle_; }
    bool lastPrintHadSelection() const { return lastPrintSelection_; }

    // Dialogs shown without an answer, and answers never used; both should be empty.
    QStringList unexpected() const { return unexpected_; }
    QStringList leftover() const;
    void reset();

    Answer information(QWidget* parent, const QString& title, const QString& text) override;
    Answer question(QWidget* parent, const QString& title, const QString& text) override;
    Answer warning(QWidget* parent, const QString& title, const QString& text, bool yesNo) override;
    FileChoice openFile(QWidget* parent, const QString& title, FileDialogState& state) override;
    FileChoice saveFile(QWidget* parent, const QString& title, FileDialogState& state) override;
    bool print(QWidget* parent, QPrinter& printer, bool hasSelection) override;
    bool chooseFont(QWidget* parent, QFont& font) override;
    QString chooseFolder(QWidget* parent, const QString& title, const QString& startFolder) override;

private:
    Answer message(const Shown& shown, Answer fallback);
    FileChoice file(const char* kind, const QString& title, FileDialogState& state);

    std::deque<Answer> messages_;
    std::deque<FileChoice> files_;
    std::deque<QString> prints_;
    std::deque<std::pair<bool, QFont>> fonts_;
    std::deque<QString> folders_;
    std::vector<Shown> shown_;
    QStringList unexpected_;
    FileDialogState lastState_;
    QString lastTitle_;
    bool lastPrintSelection_ = false;
};

}  // namespace quorvik
