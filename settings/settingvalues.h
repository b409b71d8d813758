#pragma once
// The option values that steer a conversion. They are loaded from the settings store (or given
// on the command line) and read by the passes while they run; their defaults come from the
// table of keys.

#include "settings/settingkeys.h"

#include <QString>
#include <array>

namespace quorvik {

// The default of a key as text ("80", ",", "").
QString DefaultText(Key key);

struct SettingValues {
    int TextLen = DefaultNumber(Key::TextLen);  // longest output line; 0 or below: do not wrap
    QString TableCellSep = DefaultText(Key::TableCellSep);  // as stored: the word "none" means one space
    QString BulletChar = DefaultText(Key::BulletChar);
    std::array<QString, 4> sCleanChar{DefaultText(Key::sCleanChar1), DefaultText(Key::sCleanChar2),
                                      DefaultText(Key::sCleanChar3), DefaultText(Key::sCleanChar4)};
    std::array<int, 3> LinkSettings{DefaultNumber(Key::WWWLinks), DefaultNumber(Key::MailLinks),
                                    DefaultNumber(Key::NewsLinks)};  // web, mail, news
    bool Readable = DefaultNumber(Key::Readable) > 0;  // clean text for real web pages, not the faithful conversion
};

// The delimiter text as the conversion puts it between cells: exactly "none" means one space.
QString TableCellSepValue(const QString& stored);

// The range a stored or typed line length must fit.
constexpr int kTextLenMin = -32768;
constexpr int kTextLenMax = 32767;

}  // namespace quorvik
