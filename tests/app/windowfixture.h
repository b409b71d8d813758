#pragma once
// What every test of the real main window needs: a temporary folder for its settings file and
// its work folder (XDG_RUNTIME_DIR points there while the test runs), a window made on that
// store, and the check that every dialog answer queued in advance was used and no dialog came
// without one.

#include "app/mainform.h"
#include "ui/scripteddialogs.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

namespace quorvik {

class WindowFixture {
public:
    void setUp()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        oldRuntime_ = qgetenv("XDG_RUNTIME_DIR");
        QDir().mkpath(path(QStringLiteral("run")));
        qputenv("XDG_RUNTIME_DIR", path(QStringLiteral("run")).toUtf8());
    }
    void tearDown()
    {
        qputenv("XDG_RUNTIME_DIR", oldRuntime_);
        dir_.reset();
    }
    bool active() const { return dir_ != nullptr; }

    QString folder() const { return dir_->path(); }
    QString path(const QString& name) const { return dir_->filePath(name); }
    QString iniPath() const { return path(QStringLiteral("config/zelbrin.ini")); }

    std::unique_ptr<MainForm> makeWindow(Dialogs& dialogs) const
    {
        auto window = std::make_unique<MainForm>(dialogs, SettingsStore(iniPath()));
        window->show();
        return window;
    }

    // Dialogs shown without a queued answer and answers never used, one per line.
    static QString dialogProblems(const ScriptedDialogs& dialogs)
    {
        return (dialogs.unexpected() + dialogs.leftover()).join(u'\n');
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    QByteArray oldRuntime_;
};

}  // namespace quorvik
