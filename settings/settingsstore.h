#pragma once
// The per-user settings store: an INI file, application "zelbrin", section "Startup";
// keys are matched without regard to letter case, values are text.
// (Interface agreed between the window and the options dialog; implemented in settingsstore.cpp.)

#include "settings/settingvalues.h"

#include <QString>

namespace quorvik {

class SettingsStore {
public:
    // The store at the default per-user location: <user config dir>/zelbrin/zelbrin.ini
    SettingsStore();
    // A store kept in the given INI file (tests use a temporary file).
    explicit SettingsStore(const QString& iniPath);

    QString path() const;

    // The stored text of `key` (case-insensitive), or `defaultValue` when absent.
    QString GetSetting(const QString& key, const QString& defaultValue) const;
    // Stores `value` under `key`; an existing entry of the same key in any letter case is replaced.
    // Returns false (with a reason) when the file cannot be written.
    bool SaveSetting(const QString& key, const QString& value, QString* reason = nullptr);

private:
    QString path_;
};

// The start-up load: every setting value from the store, with its default. A stored "TextLen"
// that is not a number or does not fit 16 bits loads as 80; a link value that is not a number
// loads as 0. "none" as delimiter becomes one space in the value.
SettingValues LoadSettingValues(const SettingsStore& store);

}  // namespace quorvik
