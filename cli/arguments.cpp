#include "cli/arguments.h"

namespace quorvik {

namespace {

bool ParseTextLength(const QString& value, int& out)
{
    bool ok = false;
    const qlonglong n = value.trimmed().toLongLong(&ok);
    if (!ok || n < kTextLenMin || n > kTextLenMax)
        return false;
    out = static_cast<int>(n);
    return true;
}

}  // namespace

bool ParseArguments(const QStringList& args, CliArguments& p, QString& error)
{
    bool onlyFiles = false;
    for (int i = 0; i < args.size(); ++i) {
        QString arg = args[i];
        if (onlyFiles || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            p.files << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            onlyFiles = true;
            continue;
        }
        QString inlineValue;
        bool hasInline = false;
        if (arg.startsWith(QLatin1String("--"))) {
            const int eq = arg.indexOf(QLatin1Char('='));
            if (eq > 0) {
                inlineValue = arg.mid(eq + 1);
                hasInline = true;
                arg = arg.left(eq);
            }
        }
        auto value = [&](QString& out) -> bool {
            if (hasInline) {
                out = inlineValue;
                return true;
            }
            if (i + 1 >= args.size()) {
                error = QStringLiteral("option %1 needs a value").arg(arg);
                return false;
            }
            out = args[++i];
            return true;
        };
        auto noValue = [&]() -> bool {
            if (hasInline) {
                error = QStringLiteral("option %1 takes no value").arg(arg);
                return false;
            }
            return true;
        };

        QString v;
        if (arg == QLatin1String("--stage")) {
            if (!value(v))
                return false;
            if (v == QLatin1String("reflow"))
                p.stage = Stage::Reflow;
            else if (v == QLatin1String("text"))
                p.stage = Stage::Text;
            else if (v == QLatin1String("formatted"))
                p.stage = Stage::Formatted;
            else {
                error = QStringLiteral("option --stage: \"%1\" is not one of reflow, text, formatted").arg(v);
                return false;
            }
        } else if (arg == QLatin1String("--text-length")) {
            if (!value(v))
                return false;
            int n = 0;
            if (!ParseTextLength(v, n)) {
                error = QStringLiteral("option --text-length: \"%1\" is not a whole number from %2 to %3")
                            .arg(v).arg(kTextLenMin).arg(kTextLenMax);
                return false;
            }
            p.textLength = n;
        } else if (arg == QLatin1String("--bullet")) {
            if (!value(v))
                return false;
            p.bullet = v;
        } else if (arg == QLatin1String("--cell-sep")) {
            if (!value(v))
                return false;
            p.cellSep = v;
        } else if (arg == QLatin1String("--clean")) {
            if (!value(v))
                return false;
            if (p.clean.size() >= 4) {
                error = QStringLiteral("option --clean: at most four clean-up sets can be given");
                return false;
            }
            p.clean << v;
        } else if (arg == QLatin1String("--web-links") || arg == QLatin1String("--no-web-links")) {
            if (!noValue())
                return false;
            p.webLinks = !arg.startsWith(QLatin1String("--no-"));
        } else if (arg == QLatin1String("--mail-links") || arg == QLatin1String("--no-mail-links")) {
            if (!noValue())
                return false;
            p.mailLinks = !arg.startsWith(QLatin1String("--no-"));
        } else if (arg == QLatin1String("--other-links") || arg == QLatin1String("--no-other-links")) {
            if (!noValue())
                return false;
            p.otherLinks = !arg.startsWith(QLatin1String("--no-"));
        } else if (arg == QLatin1String("--readable") || arg == QLatin1String("--no-readable")) {
            if (!noValue())
                return false;
            p.readable = arg == QLatin1String("--readable");
        } else if (arg == QLatin1String("--defaults")) {
            if (!noValue())
                return false;
            p.defaults = true;
        } else if (arg == QLatin1String("-o") || arg == QLatin1String("--output")) {
            if (!value(v))
                return false;
            p.output = v;
        } else if (arg == QLatin1String("--output-dir")) {
            if (!value(v))
                return false;
            p.outputDir = v;
        } else if (arg == QLatin1String("--crlf")) {
            if (!noValue())
                return false;
            p.crlf = true;
        } else if (arg == QLatin1String("-h") || arg == QLatin1String("--help")) {
            p.help = true;
        } else if (arg == QLatin1String("--version")) {
            p.version = true;
        } else {
            error = QStringLiteral("unknown option %1").arg(arg);
            return false;
        }
    }
    if (p.help || p.version)
        return true;
    if (p.files.isEmpty()) {
        error = QStringLiteral("no input file given (use - for standard input)");
        return false;
    }
    if (!p.output.isEmpty() && !p.outputDir.isEmpty()) {
        error = QStringLiteral("options -o and --output-dir cannot be used together");
        return false;
    }
    if (p.files.size() > 1 && p.outputDir.isEmpty()) {
        error = QStringLiteral("several input files need --output-dir");
        return false;
    }
    if (!p.outputDir.isEmpty() && p.files.contains(QStringLiteral("-"))) {
        error = QStringLiteral("standard input has no name for --output-dir; use -o FILE or standard output");
        return false;
    }
    return true;
}

SettingValues ApplyArguments(const CliArguments& p, SettingValues v)
{
    if (p.textLength)
        v.TextLen = *p.textLength;
    if (p.bullet)
        v.BulletChar = *p.bullet;
    if (p.cellSep)
        v.TableCellSep = *p.cellSep;
    if (p.webLinks)
        v.LinkSettings[0] = *p.webLinks ? 1 : 0;
    if (p.mailLinks)
        v.LinkSettings[1] = *p.mailLinks ? 1 : 0;
    if (p.otherLinks)
        v.LinkSettings[2] = *p.otherLinks ? 1 : 0;
    if (p.readable)
        v.Readable = *p.readable;
    for (int i = 0; i < p.clean.size(); ++i)
        v.sCleanChar[static_cast<std::size_t>(i)] = p.clean[i];
    return v;
}

QString UsageText()
{
    return QStringLiteral(
        "Usage: quorvik-convert [options] FILE...\n"
        "Converts HTML documents to formatted plain text. FILE - reads standard input.\n"
        "\n"
        "  --stage reflow|text|formatted\n"
        "                       what to print: the reflowed HTML, the converted text\n"
        "                       (Remove HTML Code), or the text after blank-line removal\n"
        "                       (Remove Both Code + Lines; the default)\n"
        "  --text-length N      wrap lines at N characters (0 or below: no wrapping)\n"
        "  --bullet TEXT        text put before each unordered list item\n"
        "  --cell-sep TEXT      text put between table cells (\"none\" means one space)\n"
        "  --web-links, --mail-links, --other-links\n"
        "                       write the targets of http:, mailto: or other links\n"
        "                       (--no-web-links and so on switch a saved one off)\n"
        "  --readable           clean text for real web pages: entities decoded, scripts,\n"
        "                       styles and comments dropped, <pre> kept line by line,\n"
        "                       declared character sets read (--no-readable: faithful)\n"
        "  --clean TEXT         a clean-up set blanked out of every line (up to four times)\n"
        "  --defaults           start from the default options, not the saved ones\n"
        "  -o, --output FILE    write to FILE instead of standard output\n"
        "  --output-dir DIR     write NAME.txt in DIR for every input NAME.html\n"
        "  --crlf               end lines with CR LF instead of LF\n"
        "  -h, --help           show this help\n"
        "  --version            show the version\n"
        "\n"
        "Exit status: 0 when every file was converted, 1 when some file failed, 2 for a\n"
        "usage error.\n");
}

}  // namespace quorvik
