#include "settings/settingsstore.h"

#include "settings/numericreading.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace quorvik {

namespace {

const QString kSection = QStringLiteral("Startup");

// A value is written bare when reading it back bare gives the same text; otherwise it is
// quoted with backslash escapes, so blanks at the ends, quotes and line breaks survive.
QString EncodeValue(const QString& value)
{
    bool plain = !value.isEmpty() && value.front() != u' ' && value.back() != u' '
                 && value.front() != u'\t' && value.back() != u'\t' && value.front() != u'"';
    for (QChar c : value) {
        if (c == u'\n' || c == u'\r' || c == u'\\' || c.unicode() < 32) {
            plain = false;
            break;
        }
    }
    if (plain)
        return value;
    QString out = QStringLiteral("\"");
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '"': out += QLatin1String("\\\""); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default:
            if (c.unicode() < 32)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    out += u'"';
    return out;
}

QString DecodeValue(const QString& raw)
{
    const QString text = raw.trimmed();
    if (text.size() < 2 || text.front() != u'"' || text.back() != u'"')
        return text;
    QString out;
    for (int i = 1; i < text.size() - 1; ++i) {
        const QChar c = text[i];
        if (c != u'\\' || i + 1 >= text.size() - 1) {
            out += c;
            continue;
        }
        const QChar e = text[++i];
        switch (e.unicode()) {
        case 'n': out += u'\n'; break;
        case 'r': out += u'\r'; break;
        case 't': out += u'\t'; break;
        case 'x': {
            bool ok = false;
            const int code = text.mid(i + 1, 2).toInt(&ok, 16);
            if (ok) {
                out += QChar(code);
                i += 2;
            } else {
                out += e;
            }
            break;
        }
        default: out += e;
        }
    }
    return out;
}

// The file's lines, or none when it is missing, unreadable or not text at all.
QStringList ReadLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (bytes.contains('\0'))
        return {};
    return QString::fromUtf8(bytes).split(u'\n');
}

bool IsSectionHeader(const QString& line, QString* name)
{
    const QString t = line.trimmed();
    if (t.size() < 2 || t.front() != u'[' || t.back() != u']')
        return false;
    if (name)
        *name = t.mid(1, t.size() - 2).trimmed();
    return true;
}

// The key of a "key=value" line, or an empty text for comments and other lines.
QString KeyOf(const QString& line, QString* value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.front() == u';' || t.front() == u'#')
        return {};
    const int eq = t.indexOf(u'=');
    if (eq <= 0)
        return {};
    if (value)
        *value = DecodeValue(t.mid(eq + 1));
    return t.left(eq).trimmed();
}

// True when the text, with the blanks the numeric reading skips removed, begins with a number.
bool IsNumericText(const QString& text)
{
    QString s;
    for (QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            s += c;
    }
    if (s.size() >= 3 && s[0] == u'&') {
        const QChar kind = s[1].toUpper();
        const QChar d = s[2].toUpper();
        if (kind == u'H')
            return d.isDigit() || (d >= u'A' && d <= u'F');
        if (kind == u'O')
            return d >= u'0' && d <= u'7';
        return false;
    }
    int i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ++i;
    if (i < s.size() && s[i] == u'.')
        ++i;
    return i < s.size() && s[i] >= u'0' && s[i] <= u'9';
}

// A stored whole number: nullopt-like `ok` false when the text is not a number or does not
// fit 16 bits.
int ReadWholeNumber(const QString& text, bool& ok)
{
    int result = 0;
    ok = IsNumericText(text) && RoundToShort(NumericReading(text), result);
    return ok ? result : 0;
}

}  // namespace

SettingsStore::SettingsStore()
    : path_(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            + QStringLiteral("/zelbrin/zelbrin.ini"))
{
}

SettingsStore::SettingsStore(const QString& iniPath) : path_(iniPath) {}

QString SettingsStore::path() const
{
    return path_;
}

QString SettingsStore::GetSetting(const QString& key, const QString& defaultValue) const
{
    bool inSection = false;
    QString found = defaultValue;
    for (const QString& line : ReadLines(path_)) {
        QString name;
        if (IsSectionHeader(line, &name)) {
            inSection = name.compare(kSection, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection && KeyOf(line, &value).compare(key, Qt::CaseInsensitive) == 0)
            found = value;  // a later duplicate (hand-edited file) wins, as it would on rewrite
    }
    return found;
}

bool SettingsStore::SaveSetting(const QString& key, const QString& value, QString* reason)
{
    // A store that exists but cannot be read is left alone: rewriting it from nothing would
    // throw away every other stored option.
    QFile existing(path_);
    if (existing.exists() && !existing.open(QIODevice::ReadOnly)) {
        if (reason)
            *reason = existing.errorString();
        return false;
    }
    existing.close();
    const QString entry = key + QLatin1Char('=') + EncodeValue(value);
    QStringList lines = ReadLines(path_);
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();

    // Replace the section's entry of this key (any letter case), dropping duplicates;
    // add it at the section's end, or add the section when there is none.
    QStringList out;
    bool inSection = false, sectionSeen = false, written = false;
    int sectionEnd = -1;
    for (const QString& line : lines) {
        QString name;
        if (IsSectionHeader(line, &name)) {
            if (inSection)
                sectionEnd = out.size();
            inSection = name.compare(kSection, Qt::CaseInsensitive) == 0;
            sectionSeen = sectionSeen || inSection;
            out << line;
            continue;
        }
        if (inSection && KeyOf(line, nullptr).compare(key, Qt::CaseInsensitive) == 0) {
            if (!written)
                out << entry;
            written = true;
            continue;
        }
        out << line;
    }
    if (inSection)
        sectionEnd = out.size();
    if (!written) {
        if (sectionSeen) {
            int at = sectionEnd;
            while (at > 0 && out[at - 1].trimmed().isEmpty())
                --at;
            out.insert(at, entry);
        } else {
            if (!out.isEmpty())
                out << QString();
            out << QLatin1Char('[') + kSection + QLatin1Char(']') << entry;
        }
    }

    const QFileInfo info(path_);
    if (!QDir().mkpath(info.absolutePath())) {
        if (reason)
            *reason = QStringLiteral("cannot create the folder %1").arg(info.absolutePath());
        return false;
    }
    // Written beside the old file and renamed over it, so a failure never leaves half a store.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    file.write((out.join(u'\n') + u'\n').toUtf8());
    if (!file.commit()) {
        if (reason)
            *reason = file.errorString();
        return false;
    }
    return true;
}

SettingValues LoadSettingValues(const SettingsStore& store)
{
    SettingValues v;
    bool ok = false;
    v.TextLen = ReadWholeNumber(store.GetSetting(QStringLiteral("TextLen"), QStringLiteral("80")), ok);
    if (!ok)
        v.TextLen = 80;
    v.TableCellSep = TableCellSepValue(store.GetSetting(QStringLiteral("TableCellSep"), QStringLiteral(",")));
    v.BulletChar = store.GetSetting(QStringLiteral("BulletChar"), QStringLiteral("*"));
    for (int i = 0; i < 4; ++i)
        v.sCleanChar[static_cast<std::size_t>(i)] =
            store.GetSetting(QStringLiteral("sCleanChar%1").arg(i + 1), QString());
    const char* linkKeys[3] = {"WWWLinks", "MailLinks", "NewsLinks"};
    for (std::size_t i = 0; i < 3; ++i)
        v.LinkSettings[i] = ReadWholeNumber(store.GetSetting(QLatin1String(linkKeys[i]), QStringLiteral("0")), ok);
    v.Readable = ReadWholeNumber(store.GetSetting(QStringLiteral("Readable"), QStringLiteral("0")), ok) > 0;
    return v;
}

}  // namespace quorvik
