// Drives the main window offscreen on a generated 5 MB HTML document: Open, then Remove Both
// Code + Lines, printing the seconds each step takes.
//   build/bench/window/bench_window [megabytes [--show seconds]]

#include "app/mainform.h"
#include "passes/filepasses.h"
#include "ui/scripteddialogs.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>

using namespace quorvik;

namespace {

QByteArray MakeHtml(qint64 bytes)
{
    QByteArray html = "<html><head><title>Benchmark document</title></head>\r\n<body>\r\n";
    int n = 0;
    while (html.size() < bytes) {
        ++n;
        html += "<h2>Section " + QByteArray::number(n) + "</h2>\r\n";
        html += "<p>This is paragraph <b>" + QByteArray::number(n)
                + "</b> of the benchmark, with a <a href=\"http://example.com/p" + QByteArray::number(n)
                + "\">link</a> and &amp; an entity that runs on long enough to be wrapped at the line "
                  "length, as ordinary prose in a web page would.</p>\r\n\r\n\r\n";
        html += "<ul><li>First item</li><li>Second item</li></ul>\r\n";
        html += "<table><tr><td>cell one</td><td>cell two</td></tr>\r\n<tr><td>three</td><td>four</td></tr></table>\r\n";
    }
    return html + "</body></html>\r\n";
}

}  // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    const QString runtime = dir.filePath(QStringLiteral("run"));
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
    QApplication app(argc, argv);
    const double megabytes = argc > 1 ? QByteArray(argv[1]).toDouble() : 5.0;

    const QString document = dir.filePath(QStringLiteral("bench.html"));
    {
        QFile f(document);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write(MakeHtml(static_cast<qint64>(megabytes * 1024 * 1024)));
        std::printf("document: %.1f MB\n", f.size() / 1048576.0);
    }

    ScriptedDialogs dialogs;
    MainForm window(dialogs, SettingsStore(dir.filePath(QStringLiteral("zelbrin.ini"))));
    window.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    auto step = [&](const char* name, const char* action) {
        timer.start();
        window.findChild<QAction*>(QLatin1String(action))->trigger();
        if (window.converting()) {
            QEventLoop wait;
            QObject::connect(&window, &MainForm::conversionFinished, &wait, &QEventLoop::quit);
            wait.exec();
        }
        QApplication::processEvents();
        const double seconds = timer.nsecsElapsed() / 1e9;
        std::printf("%-28s %6.2f s\n", name, seconds);
        return seconds;
    };
    dialogs.answerFile(document, 1);
    step("Open", "OpenMenu");
    const double chain = step("Remove Both Code + Lines", "RevCodeLinesMen");
    step("Remove Extra Lines", "RemoveBlankMen");
    timer.start();
    window.SelectTab(2);  // a hidden view gets its text when it is first shown
    QApplication::processEvents();
    std::printf("%-28s %6.2f s\n", "Show tab 2 (fills view 2)", timer.nsecsElapsed() / 1e9);
    std::printf("views: %lld / %lld / %lld / %lld characters\n",
                static_cast<long long>(window.view(0)->document()->characterCount()),
                static_cast<long long>(window.view(1)->document()->characterCount()),
                static_cast<long long>(window.view(2)->document()->characterCount()),
                static_cast<long long>(window.view(3)->document()->characterCount()));
    if (!dialogs.unexpected().isEmpty()) {
        std::printf("unexpected dialog: %s\n", qPrintable(dialogs.unexpected().join(QStringLiteral("; "))));
        return 1;
    }
    // Where the chain's time goes: the three passes on their own, and filling one view.
    timer.start();
    const FixedLinkSwitches links;
    const PassOutcome outcome = ConvertDocument(document, dir.filePath(QStringLiteral("out.txt")), Stage::Formatted,
                                                window.settingValues(), links);
    std::printf("%-28s %6.2f s%s\n", "  passes alone (in memory)", timer.nsecsElapsed() / 1e9,
                outcome.ok ? "" : " (failed)");
    timer.start();
    QTextEdit probe;
    probe.setPlainText(window.view(1)->toPlainText());
    std::printf("%-28s %6.2f s\n", "  filling one view", timer.nsecsElapsed() / 1e9);
    std::printf("Remove Both chain: %.2f s (target < 3 s)\n", chain);
    // "--show N": keep the window on screen for N seconds (for looking at it under Xvfb).
    if (argc > 3 && QByteArray(argv[2]) == "--show") {
        window.SelectTab(4);
        QTimer::singleShot(QByteArray(argv[3]).toInt() * 1000, &app, &QApplication::quit);
        QApplication::exec();
    }
    return 0;
}
