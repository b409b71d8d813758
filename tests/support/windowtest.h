#pragma once
// The base of every test of the real main window: a temporary folder for its settings file and
// its work folder (XDG_RUNTIME_DIR points there while a test runs), a window made on that
// store for each test, and at the end of each test the check that every dialog answer queued
// in advance was used and no dialog came without one.

#include "app/mainform.h"
#include "ui/scripteddialogs.h"

#include <QByteArray>
#include <QObject>
#include <QTemporaryDir>

#include <memory>

class QAction;

namespace quorvik::testing {

class WindowTest : public QObject {
    Q_OBJECT

protected:
    QString folder() const { return dir_->path(); }
    QString path(const QString& name) const { return dir_->filePath(name); }
    QString iniPath() const { return path(QStringLiteral("config/zelbrin.ini")); }

    MainForm& w() { return *window_; }
    // The dialogs the window is built on: the scripted ones unless a test wraps them.
    virtual Dialogs& windowDialogs() { return dialogs_; }
    std::unique_ptr<MainForm> makeWindow();
    void restartWindow();

    QAction* action(const char* name);
    // Triggers the enabled action; a conversion it starts is waited for.
    void trigger(const char* name);
    // Waits until the window's conversion has ended and its views are filled.
    void waitForConversion(MainForm& window);
    // Writes `bytes` as `name` and opens it through Open with the dialog's type `type`.
    void openDocument(const QString& name, const QByteArray& bytes, int type = 1);
    void typeInto(int view, const QString& keys);

    ScriptedDialogs dialogs_;
    std::unique_ptr<MainForm> window_;

private slots:
    void init();
    void cleanup();

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QByteArray oldRuntime_;
};

}  // namespace quorvik::testing
