#pragma once
// The per-user settings store: an INI file, application "zelbrin", the options in section
// "Startup" and the main window's place in section "Window"; keys are matched without regard
// to letter case, values are text.

#include "settings/settingkeys.h"
#include "settings/settingvalues.h"

#include <QList>
#include <QPair>
#include <QRect>
#include <QString>

namespace quorvik {

class SettingsStore {
public:
    // The store at the default per-user location: <user config dir>/zelbrin/zelbrin.ini
    SettingsStore();
    // A store kept in the given INI file (tests use a temporary file).
    explicit SettingsStore(const QString& iniPath);

    QString path() const;

    // The stored text of `key`, or its default from the table of keys when it is absent.
    QString Get(Key key) const;
    // Stores every entry in one write of the file: all of them are saved, or (on failure,
    // with `reason` telling why) none. Entries of other keys in any letter case are replaced.
    using Entries = QList<QPair<Key, QString>>;
    bool Save(const Entries& entries, QString* reason = nullptr);

    // The same by key name, in section "Startup".
    QString GetSetting(const QString& key, const QString& defaultValue) const;
    bool SaveSetting(const QString& key, const QString& value, QString* reason = nullptr);

private:
    struct Entry {
        QString section, key, value;
    };
    QString Read(const QString& section, const QString& key, const QString& defaultValue) const;
    bool Write(const QList<Entry>& entries, QString* reason);

    QString path_;
};

// The start-up load: every setting value from the store, with its default. A stored whole
// number that cannot be read or does not fit 16 bits loads as its key's default.
SettingValues LoadSettingValues(const SettingsStore& store);
// Saves every setting value in one write; false with `reason` (and nothing saved) on failure.
bool SaveSettingValues(SettingsStore& store, const SettingValues& values, QString* reason);

// Where the main window stood when it was last closed; `saved` is false before the first close
// or when the stored numbers cannot be read.
struct WindowPlacement {
    bool saved = false;
    QRect geometry;  // the window's own area without its frame, in device-independent pixels
    bool maximized = false;
};
WindowPlacement LoadWindowPlacement(const SettingsStore& store);
bool SaveWindowPlacement(SettingsStore& store, const WindowPlacement& placement, QString* reason);

}  // namespace quorvik
