#include "app/startupfile.h"

#include "app/mainform.h"
#include "ui/filetypes.h"

#include <QFileInfo>

namespace quorvik {

StartupRequest ParseStartupArguments(const QStringList& args)
{
    StartupRequest r;
    QStringList files;
    QString unknown;
    bool onlyFiles = false;
    bool help = false, version = false;
    for (const QString& arg : args) {
        if (onlyFiles || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            files << arg;
        } else if (arg == QLatin1String("--")) {
            onlyFiles = true;
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            help = true;
        } else if (arg == QLatin1String("--version")) {
            version = true;
        } else if (unknown.isEmpty()) {
            unknown = arg;
        }
    }
    if (help) {
        r.action = StartupRequest::Action::Help;
    } else if (version) {
        r.action = StartupRequest::Action::Version;
    } else if (!unknown.isEmpty()) {
        r.action = StartupRequest::Action::UsageError;
        r.error = QStringLiteral("unknown option %1").arg(unknown);
    } else if (files.size() > 1) {
        r.action = StartupRequest::Action::UsageError;
        r.error = QStringLiteral("only one file can be opened (quorvik-convert converts several)");
    } else if (files.size() == 1 && files.front() == QLatin1String("-")) {
        r.action = StartupRequest::Action::UsageError;
        r.error = QStringLiteral("the window cannot read standard input (quorvik-convert - can)");
    } else if (files.size() == 1) {
        r.file = files.front();
    }
    return r;
}

QString StartupUsageText()
{
    return QStringLiteral(
        "Usage: quorvik [FILE]\n"
        "Opens the Quorvik window; FILE, an HTML document, is opened as File > Open does.\n"
        "\n"
        "  -h, --help     show this help\n"
        "  --version      show the version\n"
        "\n"
        "Qt's own options (for example -platform offscreen) are accepted too.\n"
        "The conversion without a window: quorvik-convert --help.\n");
}

Answer StartupDialogs::information(QWidget* parent, const QString& title, const QString& text)
{
    return inner_.information(parent, title, text);
}

Answer StartupDialogs::question(QWidget* parent, const QString& title, const QString& text)
{
    return inner_.question(parent, title, text);
}

Answer StartupDialogs::warning(QWidget* parent, const QString& title, const QString& text, bool yesNo)
{
    return inner_.warning(parent, title, text, yesNo);
}

FileChoice StartupDialogs::openFile(QWidget* parent, const QString& title, FileDialogState& state)
{
    if (preset_.isEmpty())
        return inner_.openFile(parent, title, state);
    FileChoice choice{true, preset_, kTypeHtml};
    preset_.clear();
    // The dialog remembers the choice, as it does for one the user made.
    state.fileName = choice.path;
    state.type = choice.type;
    return choice;
}

FileChoice StartupDialogs::saveFile(QWidget* parent, const QString& title, FileDialogState& state)
{
    return inner_.saveFile(parent, title, state);
}

bool StartupDialogs::print(QWidget* parent, QPrinter& printer, bool hasSelection)
{
    return inner_.print(parent, printer, hasSelection);
}

bool StartupDialogs::chooseFont(QWidget* parent, QFont& font)
{
    return inner_.chooseFont(parent, font);
}

QString StartupDialogs::chooseFolder(QWidget* parent, const QString& title, const QString& startFolder)
{
    return inner_.chooseFolder(parent, title, startFolder);
}

void OpenStartupFile(MainForm& window, StartupDialogs& dialogs, const QString& path)
{
    dialogs.presetOpen(QFileInfo(path).absoluteFilePath());
    window.OpenDocument();
    dialogs.presetOpen(QString());  // unused if Open stopped before its dialog
}

}  // namespace quorvik
