#include "app/mainform.h"
#include "app/startupfile.h"
#include "settings/settingsstore.h"
#include "ui/dialogs.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    // --help and --version answer without starting the window system.
    QStringList raw;
    for (int i = 1; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    const quorvik::StartupRequest early = quorvik::ParseStartupArguments(raw);
    if (early.action == quorvik::StartupRequest::Action::Help) {
        std::fputs(qUtf8Printable(quorvik::StartupUsageText()), stdout);
        return 0;
    }
    if (early.action == quorvik::StartupRequest::Action::Version) {
        std::printf("quorvik %s\n", QUORVIK_VERSION);
        return 0;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvik"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVIK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("quorvik"));
    const quorvik::StartupRequest request = quorvik::ParseStartupArguments(QApplication::arguments().mid(1));
    if (request.action == quorvik::StartupRequest::Action::UsageError) {
        std::fprintf(stderr, "quorvik: %s\nTry 'quorvik --help'.\n", qUtf8Printable(request.error));
        return 2;
    }

    quorvik::QtDialogs qtDialogs;
    quorvik::StartupDialogs dialogs(qtDialogs);
    quorvik::MainForm window(dialogs, quorvik::SettingsStore());
    window.show();
    if (!request.file.isEmpty())
        quorvik::OpenStartupFile(window, dialogs, request.file);
    return QApplication::exec();
}
