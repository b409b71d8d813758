// quorvik-convert: the conversion without a window.

#include "cli/arguments.h"
#include "passes/filepasses.h"
#include "settings/settingsstore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cstdio>

using namespace quorvik;

namespace {

void Complain(const QString& what, const QString& reason)
{
    std::fprintf(stderr, "quorvik-convert: %s: %s\n", qUtf8Printable(what), qUtf8Printable(reason));
}

}  // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorvik-convert"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORVIK_VERSION));

    CliArguments parsed;
    QString error;
    if (!ParseArguments(args, parsed, error)) {
        std::fprintf(stderr, "quorvik-convert: %s\nTry 'quorvik-convert --help'.\n", qUtf8Printable(error));
        return 2;
    }
    if (parsed.help) {
        std::fputs(qUtf8Printable(UsageText()), stdout);
        return 0;
    }
    if (parsed.version) {
        std::printf("quorvik-convert %s\n", QUORVIK_VERSION);
        return 0;
    }

    // The saved options of the window are the starting point, unless --defaults says otherwise.
    const SettingValues base = parsed.defaults ? SettingValues() : LoadSettingValues(SettingsStore());
    const SettingValues values = ApplyArguments(parsed, base);
    const FixedLinkSwitches links(values.LinkSettings[0] > 0, values.LinkSettings[1] > 0, values.LinkSettings[2] > 0);

    bool allOk = true;
    if (!parsed.outputDir.isEmpty()) {
        QDir dir(parsed.outputDir);
        if (!dir.exists() && !QDir().mkpath(parsed.outputDir)) {
            Complain(parsed.outputDir, QStringLiteral("The folder cannot be created"));
            return 1;
        }
        QSet<QString> written;
        for (const QString& file : parsed.files) {
            const QString target = dir.filePath(QFileInfo(file).completeBaseName() + QStringLiteral(".txt"));
            if (written.contains(target)) {
                Complain(file, QStringLiteral("Not converted: its output %1 was already written for another input")
                                   .arg(target));
                allOk = false;
                continue;
            }
            const PassOutcome r = ConvertDocument(file, target, parsed.stage, values, links, parsed.crlf);
            if (!r) {
                Complain(r.path, r.reason);
                allOk = false;
                continue;
            }
            written.insert(target);
        }
    } else if (!parsed.output.isEmpty()) {
        const PassOutcome r = ConvertDocument(parsed.files.first(), parsed.output, parsed.stage, values, links, parsed.crlf);
        if (!r) {
            Complain(r.path == QLatin1String("-") ? QStringLiteral("standard input") : r.path, r.reason);
            allOk = false;
        }
    } else {
        const PassOutcome r =
            ConvertDocumentToStandardOutput(parsed.files.first(), parsed.stage, values, links, parsed.crlf);
        if (!r) {
            Complain(r.path.isEmpty()               ? QStringLiteral("standard output")
                     : r.path == QLatin1String("-") ? QStringLiteral("standard input")
                                                    : r.path,
                     r.reason);
            allOk = false;
        }
    }
    return allOk ? 0 : 1;
}
