#pragma once
// The option values that steer a conversion, with their defaults. They are loaded from the
// settings store (or given on the command line) and read by the passes while they run.

#include <QString>
#include <array>

namespace quorvik {

struct SettingValues {
    int TextLen = 80;                 // longest output line; 0 or below: do not wrap
    QString TableCellSep = ",";       // the value in use: the stored word "none" is one space here
    QString BulletChar = "*";
    std::array<QString, 4> sCleanChar{};  // clean-up sets 1 to 4
    std::array<int, 3> LinkSettings{0, 0, 0};  // web, mail, news as loaded
    bool Readable = false;            // clean text for real web pages instead of the faithful conversion
};

// The stored delimiter text as the conversion uses it: exactly "none" means one space.
QString TableCellSepValue(const QString& stored);

// The range a stored or typed line length must fit.
constexpr int kTextLenMin = -32768;
constexpr int kTextLenMax = 32767;

}  // namespace quorvik
