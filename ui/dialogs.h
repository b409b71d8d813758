#pragma once
// Every modal question the windows ask goes through this interface, so tests can answer in
// advance (ScriptedDialogs) while the program uses Qt's own boxes (QtDialogs).

#include <QString>

class QFont;
class QPrinter;
class QWidget;

namespace quorvik {

enum class Answer { Ok, Yes, No, Cancel };

// What the open/save dialog shows and keeps from one use to the next (in both directions).
struct FileDialogState {
    QString fileName;
    int type = 1;  // 1..4, the numbering of FileDialogNameFilters()
    QString folder;  // where the dialog starts: the document's folder; empty: the home folder
};

struct FileChoice {
    bool accepted = false;
    QString path;
    int type = 1;
};

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // A message with an OK button and no icon.
    virtual Answer information(QWidget* parent, const QString& title, const QString& text) = 0;
    // A Yes/No question with the question icon; No is the default button, so Enter leaves
    // things as they are (the questions ask before replacing files).
    virtual Answer question(QWidget* parent, const QString& title, const QString& text) = 0;
    // With `yesNo` a Yes/No question with the exclamation icon, else a warning with OK.
    virtual Answer warning(QWidget* parent, const QString& title, const QString& text, bool yesNo) = 0;

    // The open and save dialogs start from `state` and leave the user's choice in it. They open
    // in `state.folder` (the home folder when that is empty or a system folder, see
    // startfolder.h) with the name of `state.fileName` and its type preselected.
    virtual FileChoice openFile(QWidget* parent, const QString& title, FileDialogState& state) = 0;
    virtual FileChoice saveFile(QWidget* parent, const QString& title, FileDialogState& state) = 0;

    // The print dialog for `printer`; Selection is preselected when `hasSelection`.
    // False when the user cancels.
    virtual bool print(QWidget* parent, QPrinter& printer, bool hasSelection) = 0;

    // The font dialog starting at `font`; false when the user cancels, else `font` is the choice.
    virtual bool chooseFont(QWidget* parent, QFont& font) = 0;

    // A folder chooser starting at `startFolder` (the home folder when that is a system
    // folder); the empty text when the user cancels.
    virtual QString chooseFolder(QWidget* parent, const QString& title, const QString& startFolder) = 0;
};

// The real dialogs.
class QtDialogs final : public Dialogs {
public:
    Answer information(QWidget* parent, const QString& title, const QString& text) override;
    Answer question(QWidget* parent, const QString& title, const QString& text) override;
    Answer warning(QWidget* parent, const QString& title, const QString& text, bool yesNo) override;
    FileChoice openFile(QWidget* parent, const QString& title, FileDialogState& state) override;
    FileChoice saveFile(QWidget* parent, const QString& title, FileDialogState& state) override;
    bool print(QWidget* parent, QPrinter& printer, bool hasSelection) override;
    bool chooseFont(QWidget* parent, QFont& font) override;
    QString chooseFolder(QWidget* parent, const QString& title, const QString& startFolder) override;
};

}  // namespace quorvik
