#include "support/windowtest.h"

#include "support/files.h"

#include <QAction>
#include <QDir>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>

namespace quorvik::testing {

std::unique_ptr<MainForm> WindowTest::makeWindow()
{
    auto window = std::make_unique<MainForm>(windowDialogs(), SettingsStore(iniPath()));
    window->show();
    return window;
}

void WindowTest::restartWindow()
{
    window_.reset();
    window_ = makeWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

QAction* WindowTest::action(const char* name)
{
    return window_->findChild<QAction*>(QLatin1String(name));
}

void WindowTest::trigger(const char* name)
{
    QAction* a = action(name);
    QVERIFY2(a, name);
    QVERIFY2(a->isEnabled(), name);
    a->trigger();
    waitForConversion(*window_);
}

void WindowTest::waitForConversion(MainForm& window)
{
    if (!window.converting())
        return;
    QSignalSpy finished(&window, &MainForm::conversionFinished);
    QVERIFY(finished.wait(20000));
}

void WindowTest::openDocument(const QString& name, const QByteArray& bytes, int type)
{
    QVERIFY(WriteBytes(path(name), bytes));
    dialogs_.answerFile(path(name), type);
    trigger("OpenMenu");
}

void WindowTest::typeInto(int view, const QString& keys)
{
    QTextEdit* v = w().view(view);
    v->setFocus();
    QTest::keyClicks(v, keys);
}

void WindowTest::init()
{
    dir_ = std::make_unique<QTemporaryDir>();
    oldRuntime_ = qgetenv("XDG_RUNTIME_DIR");
    QDir().mkpath(path(QStringLiteral("run")));
    qputenv("XDG_RUNTIME_DIR", path(QStringLiteral("run")).toUtf8());
    dialogs_.reset();
    window_ = makeWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void WindowTest::cleanup()
{
    window_.reset();
    const QString problems = (dialogs_.unexpected() + dialogs_.leftover()).join(u'\n');
    qputenv("XDG_RUNTIME_DIR", oldRuntime_);
    dir_.reset();
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

}  // namespace quorvik::testing
