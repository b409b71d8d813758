// TEMPORARY TEST STUB: a minimal settings store so these tests build until the real
// settings/settingsstore.cpp is on this branch. Built only when that file is absent
// (see CMakeLists.txt); delete this file once it has landed.

#include "settings/settingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace quorvik {

SettingsStore::SettingsStore() : path_(QDir::home().filePath(QStringLiteral(".config/zelbrin/zelbrin.ini"))) {}

SettingsStore::SettingsStore(const QString& iniPath) : path_(iniPath) {}

QString SettingsStore::path() const
{
    return path_;
}

QString SettingsStore::GetSetting(const QString& key, const QString& defaultValue) const
{
    QSettings ini(path_, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Startup"));
    for (const QString& k : ini.childKeys()) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return ini.value(k).toString();
    }
    return defaultValue;
}

bool SettingsStore::SaveSetting(const QString& key, const QString& value, QString* reason)
{
    QSettings ini(path_, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("Startup"));
    for (const QString& k : ini.childKeys()) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            ini.remove(k);
    }
    ini.setValue(key, value);
    ini.endGroup();
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        if (reason)
            *reason = QStringLiteral("cannot write the settings file");
        return false;
    }
    return true;
}

}  // namespace quorvik
