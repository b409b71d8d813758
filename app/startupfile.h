#pragma once
// The command line of the window program: `quorvik [FILE]`. A file given there is opened at
// start exactly as File > Open would open it with the first file type (HTML), which is what a
// desktop's "Open With" asks for.

#include "ui/dialogs.h"

#include <QString>
#include <QStringList>

namespace quorvik {

class MainForm;

struct StartupRequest {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::Run;
    QString file;   // the document to open at start; empty for none
    QString error;  // for UsageError
};

// Reads the arguments after the program name. Qt's own options are expected to be gone already
// (QApplication takes them out), but --help and --version are also found among them, so the
// raw command line can be asked before any window system is started.
StartupRequest ParseStartupArguments(const QStringList& args);
QString StartupUsageText();

// Dialogs that answer the next open dialog with a file chosen in advance (with the first file
// type) and hand every other question, and later open dialogs, to `inner`.
class StartupDialogs final : public Dialogs {
public:
    explicit StartupDialogs(Dialogs& inner) : inner_(inner) {}

    void presetOpen(const QString& path) { preset_ = path; }
    bool hasPreset() const { return !preset_.isEmpty(); }

    Answer information(QWidget* parent, const QString& title, const QString& text) override;
    Answer question(QWidget* parent, const QString& title, const QString& text) override;
    Answer warning(QWidget* parent, const QString& title, const QString& text, bool yesNo) override;
    FileChoice openFile(QWidget* parent, const QString& title, FileDialogState& state) override;
    FileChoice saveFile(QWidget* parent, const QString& title, FileDialogState& state) override;
    bool print(QWidget* parent, QPrinter& printer, bool hasSelection) override;
    bool chooseFont(QWidget* parent, QFont& font) override;
    QString chooseFolder(QWidget* parent, const QString& title, const QString& startFolder) override;

private:
    Dialogs& inner_;
    QString preset_;
};

// Opens `path` (made absolute) in `window`, which must have been built on `dialogs`, through
// its Open command. A file that cannot be read is reported by the window like any failed Open.
void OpenStartupFile(MainForm& window, StartupDialogs& dialogs, const QString& path);

}  // namespace quorvik
