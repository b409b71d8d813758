// Drives the main window offscreen on a generated HTML document, as a user would: Open, Remove
// Both Code + Lines, then each of the four tabs shown once (until its first screen is painted),
// then scrolling to the end of each view and typing a few words into the last one, letting it
// fill while shown and typing there again (a space takes an undo snapshot). Prints the time of
// each step, their total, and the longest gap between the ticks of a 50 ms timer running all
// along (how long the window was frozen at most).
//   build/bench/window/bench_window [megabytes] [--show seconds]
// bench/window/compare.sh runs two builds of it in turns.

#include "app/mainform.h"
#include "ui/scripteddialogs.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
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

// The longest time between two ticks of a 50 ms timer: how long the event loop was held up.
class FreezeMeter : public QObject {
public:
    FreezeMeter()
    {
        timer_.setInterval(50);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { note(clock_.restart()); });
    }
    void start()
    {
        longest_ = 0;
        clock_.start();
        timer_.start();
    }
    qint64 longestMs()
    {
        note(clock_.elapsed());
        return longest_;
    }
    const char* longestDuring() const { return longestStep_; }
    const char* step = "start";  // what the benchmark is doing

private:
    void note(qint64 gap)
    {
        if (gap > longest_) {
            longest_ = gap;
            longestStep_ = step;
        }
    }
    const char* longestStep_ = "";
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

// Notes the first paint of a view's viewport.
class PaintWatch : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

QTextEdit* ViewWidget(MainForm& window, int index)
{
    // Found by name: asking the window for a view may fill it first.
    return window.findChild<QTextEdit*>(QStringLiteral("RichTextBox1_%1").arg(index));
}

void Spin(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
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
    Spin(200);

    FreezeMeter freeze;
    freeze.start();
    QElapsedTimer total, timer;
    total.start();
    auto report = [&](const char* name) {
        freeze.step = "idle";
        std::printf("%-34s %6.3f s\n", name, timer.nsecsElapsed() / 1e9);
    };
    // A conversion may run beside the window: its end is signalled where the window has that.
    const bool announcesEnd = window.metaObject()->indexOfSignal("conversionFinished()") >= 0;
    auto run = [&](const char* name, const char* action) {
        freeze.step = name;
        timer.start();
        QEventLoop done;
        if (announcesEnd)
            QObject::connect(&window, SIGNAL(conversionFinished()), &done, SLOT(quit()));
        window.findChild<QAction*>(QLatin1String(action))->trigger();
        if (announcesEnd && QString::fromLatin1(action) != QLatin1String("OpenMenu"))
            done.exec();
        report(name);
    };
    auto show = [&](int tab) {
        freeze.step = "showing a tab";
        timer.start();
        QTextEdit* view = ViewWidget(window, tab - 1);
        PaintWatch watch;
        view->viewport()->installEventFilter(&watch);
        window.SelectTab(tab);
        while (!watch.painted)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        view->viewport()->removeEventFilter(&watch);
        const QByteArray name = "Show tab " + QByteArray::number(tab) + " (first screen)";
        report(name.constData());
    };

    dialogs.answerFile(document, 1);
    run("Open", "OpenMenu");
    run("Remove Both Code + Lines", "RevCodeLinesMen");
    for (int tab = 1; tab <= 4; ++tab)
        show(tab);
    const double together = total.nsecsElapsed() / 1e9;
    std::printf("%-34s %6.3f s\n", "open + convert + four tabs", together);

    // Scrolling to the end of each view and typing into the last one.
    freeze.step = "scrolling";
    timer.start();
    for (int tab = 1; tab <= 4; ++tab) {
        window.SelectTab(tab);
        QTextEdit* view = ViewWidget(window, tab - 1);
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
        Spin(60);
    }
    report("Scroll each view to its end");
    QTextEdit* last = ViewWidget(window, 3);
    last->setFocus();
    last->moveCursor(QTextCursor::End);
    freeze.step = "typing";
    timer.start();
    // One key typed into the last view, in milliseconds until the window has handled it.
    auto typeKey = [&](char c) {
        QElapsedTimer key;
        key.start();
        const int code = c == ' ' ? Qt::Key_Space : Qt::Key_A + (c - 'a');
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, QString(QLatin1Char(c)));
        QApplication::sendEvent(last, &press);
        QKeyEvent release(QEvent::KeyRelease, code, Qt::NoModifier, QString(QLatin1Char(c)));
        QApplication::sendEvent(last, &release);
        QApplication::processEvents();
        return key.nsecsElapsed() / 1e6;
    };
    double slowestKey = 0;
    for (const char c : QByteArray("typed words here "))
        slowestKey = std::max(slowestKey, typeKey(c));
    report("Type 17 keys (4 spaces)");
    std::printf("%-34s %6.0f ms\n", "  slowest key", slowestKey);
    // What a typed space costs once the last view holds what it will hold (its slices stop at
    // the height Qt's text layout handles): the undo snapshot reads the view typed into, the
    // other three are shared, not copied.
    freeze.step = "filling the last view";
    timer.start();
    for (int chars = -1; chars != last->document()->characterCount() && timer.elapsed() < 120'000;) {
        chars = last->document()->characterCount();
        Spin(500);
    }
    std::printf("%-34s %6.3f s (%d lines)\n", "Last view filled while shown", timer.nsecsElapsed() / 1e9,
                last->document()->blockCount());
    last->moveCursor(QTextCursor::End);
    freeze.step = "typing";
    double letter = 0, space = 0;
    for (int i = 0; i < 3; ++i) {
        letter = std::max(letter, typeKey('x'));
        space = std::max(space, typeKey(' '));
    }
    std::printf("%-34s %6.0f ms\n", "  a letter there (slowest of 3)", letter);
    std::printf("%-34s %6.0f ms\n", "  a space there, with its snapshot", space);

    freeze.step = "idle";
    Spin(1500);  // what the window still does on its own
    std::printf("%-34s %6lld ms (%s)\n", "longest freeze (50 ms timer)", static_cast<long long>(freeze.longestMs()),
                freeze.longestDuring());

    if (!dialogs.unexpected().isEmpty()) {
        std::printf("unexpected dialog: %s\n", qPrintable(dialogs.unexpected().join(QStringLiteral("; "))));
        return 1;
    }
    // "--show N": keep the window on screen for N seconds (for looking at it under Xvfb).
    if (argc > 3 && QByteArray(argv[2]) == "--show") {
        QTimer::singleShot(QByteArray(argv[3]).toInt() * 1000, &app, &QApplication::quit);
        QApplication::exec();
    }
    return 0;
}
