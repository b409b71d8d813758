#pragma once
// The command line of quorvik-convert, parsed into what a run needs.

#include "passes/filepasses.h"
#include "settings/settingvalues.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace quorvik {

struct CliArguments {
    Stage stage = Stage::Formatted;
    std::optional<int> textLength;
    std::optional<QString> bullet;
    std::optional<QString> cellSep;       // as typed: "none" means one space
    std::optional<bool> webLinks, mailLinks, otherLinks;
    std::optional<bool> readable;
    QStringList clean;                    // sets 1 to 4, in order
    bool defaults = false;                // ignore the saved options
    QString output;                       // -o FILE
    QString outputDir;                    // --output-dir DIR
    bool crlf = false;
    bool help = false;
    bool version = false;
    QStringList files;
};

// Parses the arguments after the program name. On a usage error returns false with a message
// that names the option and the reason.
bool ParseArguments(const QStringList& args, CliArguments& parsed, QString& error);

// The option values for a run: `base` (defaults or the saved options) with the flags applied.
SettingValues ApplyArguments(const CliArguments& parsed, SettingValues base);

QString UsageText();

}  // namespace quorvik
