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

const QString kStartup = QStringLiteral("Startup");

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

// A stored whole number; false when the text is not a number or does not fit 16 bits.
bool ReadWholeNumber(const QString& text, int& result)
{
    return IsNumericText(text) && RoundToShort(NumericReading(text), result);
}

// Every setting value with its key, for the load and the save alike: a new option needs a key
// in the table, a field in SettingValues and one line here.
template <typename Values, typename Visit>
void ForEachSetting(Values& v, Visit&& visit)
{
    visit(Key::TextLen, v.TextLen);
    visit(Key::TableCellSep, v.TableCellSep);
    visit(Key::BulletChar, v.BulletChar);
    for (std::size_t i = 0; i < kCleanCharKeys.size(); ++i)
        visit(kCleanCharKeys[i], v.sCleanChar[i]);
    for (std::size_t i = 0; i < kLinkKeys.size(); ++i)
        visit(kLinkKeys[i], v.LinkSettings[i]);
    visit(Key::Readable, v.Readable);
}

void ReadInto(int& field, Key key, const QString& text)
{
    if (!ReadWholeNumber(text, field))
        field = DefaultNumber(key);
}

void ReadInto(bool& field, Key key, const QString& text)
{
    int n = 0;
    field = ReadWholeNumber(text, n) ? n > 0 : DefaultNumber(key) > 0;
}

void ReadInto(QString& field, Key, const QString& text)
{
    field = text;
}

QString StoredText(int value)
{
    return QString::number(value);
}

QString StoredText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString StoredText(const QString& value)
{
    return value;
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

QString SettingsStore::Get(Key key) const
{
    const KeyInfo& info = InfoOf(key);
    return Read(QLatin1String(info.section), QLatin1String(info.name), QLatin1String(info.defaultText));
}

bool SettingsStore::Save(const Entries& entries, QString* reason)
{
    QList<Entry> out;
    for (const auto& [key, value] : entries)
        out.append({QLatin1String(InfoOf(key).section), QLatin1String(InfoOf(key).name), value});
    return Write(out, reason);
}

QString SettingsStore::GetSetting(const QString& key, const QString& defaultValue) const
{
    return Read(kStartup, key, defaultValue);
}

bool SettingsStore::SaveSetting(const QString& key, const QString& value, QString* reason)
{
    return Write({{kStartup, key, value}}, reason);
}

QString SettingsStore::Read(const QString& section, const QString& key, const QString& defaultValue) const
{
    bool inSection = false;
    QString found = defaultValue;
    for (const QString& line : ReadLines(path_)) {
        QString name;
        if (IsSectionHeader(line, &name)) {
            inSection = name.compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection && KeyOf(line, &value).compare(key, Qt::CaseInsensitive) == 0)
            found = value;  // a later duplicate (hand-edited file) wins, as it would on rewrite
    }
    return found;
}

bool SettingsStore::Write(const QList<Entry>& entries, QString* reason)
{
    auto fail = [reason](const QString& why) {
        if (reason)
            *reason = why.isEmpty() ? QStringLiteral("unknown error") : why;
        return false;
    };
    // A store that exists but cannot be read is left alone: rewriting it from nothing would
    // throw away every other stored option.
    QFile existing(path_);
    if (existing.exists() && !existing.open(QIODevice::ReadOnly))
        return fail(existing.errorString());
    existing.close();
    QStringList lines = ReadLines(path_);
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();

    auto same = [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; };
    auto line = [](const Entry& e) { return e.key + QLatin1Char('=') + EncodeValue(e.value); };
    QList<bool> written(entries.size(), false);
    // The entries of `section` not written yet, added where the section ends.
    auto addMissing = [&](QStringList& out, const QString& section) {
        int at = static_cast<int>(out.size());
        while (at > 0 && out[at - 1].trimmed().isEmpty())
            --at;
        for (int i = 0; i < entries.size(); ++i) {
            if (!written[i] && same(entries[i].section, section)) {
                out.insert(at++, line(entries[i]));
                written[i] = true;
            }
        }
    };

    // Replace each entry's line in its section (any letter case), dropping duplicates; add the
    // missing ones at the section's end, and the sections that are missing at the file's end.
    QStringList out;
    QString section;
    bool inSection = false;
    for (const QString& text : lines) {
        QString name;
        if (IsSectionHeader(text, &name)) {
            if (inSection)
                addMissing(out, section);
            section = name;
            inSection = true;
            out << text;
            continue;
        }
        const QString key = inSection ? KeyOf(text, nullptr) : QString();
        int match = -1;
        for (int i = 0; i < entries.size() && !key.isEmpty(); ++i) {
            if (same(entries[i].section, section) && same(entries[i].key, key))
                match = i;
        }
        if (match < 0) {
            out << text;
        } else if (!written[match]) {
            out << line(entries[match]);
            written[match] = true;
        }
    }
    if (inSection)
        addMissing(out, section);
    for (int i = 0; i < entries.size(); ++i) {
        if (written[i])
            continue;
        if (!out.isEmpty())
            out << QString();
        out << QLatin1Char('[') + entries[i].section + QLatin1Char(']');
        addMissing(out, entries[i].section);
    }

    const QFileInfo info(path_);
    if (!QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("cannot create the folder %1").arg(info.absolutePath()));
    // Written beside the old file and renamed over it, so a failure never leaves half a store.
    // Unbuffered, so that a short write (a full disk) shows in write()'s count: a buffered
    // QSaveFile commits whatever part of its buffer the disk took.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    const QByteArray bytes = (out.join(u'\n') + u'\n').toUtf8();
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return fail(why);
    }
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

SettingValues LoadSettingValues(const SettingsStore& store)
{
    SettingValues v;
    ForEachSetting(v, [&store](Key key, auto& field) { ReadInto(field, key, store.Get(key)); });
    return v;
}

bool SaveSettingValues(SettingsStore& store, const SettingValues& values, QString* reason)
{
    SettingsStore::Entries entries;
    ForEachSetting(values, [&entries](Key key, const auto& field) { entries.append({key, StoredText(field)}); });
    return store.Save(entries, reason);
}

WindowPlacement LoadWindowPlacement(const SettingsStore& store)
{
    WindowPlacement p;
    int left = 0, top = 0, width = 0, height = 0, maximized = 0;
    p.saved = ReadWholeNumber(store.Get(Key::WindowLeft), left) && ReadWholeNumber(store.Get(Key::WindowTop), top)
              && ReadWholeNumber(store.Get(Key::WindowWidth), width)
              && ReadWholeNumber(store.Get(Key::WindowHeight), height) && width > 0 && height > 0;
    if (!p.saved)
        return p;
    p.geometry = QRect(left, top, width, height);
    p.maximized = ReadWholeNumber(store.Get(Key::WindowMaximized), maximized) && maximized > 0;
    return p;
}

bool SaveWindowPlacement(SettingsStore& store, const WindowPlacement& placement, QString* reason)
{
    const QRect& g = placement.geometry;
    return store.Save({{Key::WindowLeft, QString::number(g.x())},
                       {Key::WindowTop, QString::number(g.y())},
                       {Key::WindowWidth, QString::number(g.width())},
                       {Key::WindowHeight, QString::number(g.height())},
                       {Key::WindowMaximized, QString::number(placement.maximized ? 1 : 0)}},
                      reason);
}

}  // namespace quorvik
