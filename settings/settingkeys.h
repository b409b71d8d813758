#pragma once
// Every key of the settings file, its section and the text that stands for it while the key is
// absent. This table is the only place a key's name or default is written: the store, the
// setting values, the options dialog and the window all take them from here.

#include <array>
#include <cstddef>

namespace quorvik {

enum class Key {
    // [Startup]: the options, in the order the start-up load reads them.
    TextLen,
    TableCellSep,
    BulletChar,
    sCleanChar1,
    sCleanChar2,
    sCleanChar3,
    sCleanChar4,
    WWWLinks,
    MailLinks,
    NewsLinks,
    Readable,
    // [Window]: where the main window stood when it was last closed (absent: never closed).
    WindowLeft,
    WindowTop,
    WindowWidth,
    WindowHeight,
    WindowMaximized,
    Count
};

struct KeyInfo {
    Key key;
    const char* section;
    const char* name;  // matched without regard to letter case
    const char* defaultText;
};

inline constexpr std::array<KeyInfo, static_cast<std::size_t>(Key::Count)> kSettingKeys{{
    {Key::TextLen, "Startup", "TextLen", "80"},
    {Key::TableCellSep, "Startup", "TableCellSep", ","},
    {Key::BulletChar, "Startup", "BulletChar", "*"},
    {Key::sCleanChar1, "Startup", "sCleanChar1", ""},
    {Key::sCleanChar2, "Startup", "sCleanChar2", ""},
    {Key::sCleanChar3, "Startup", "sCleanChar3", ""},
    {Key::sCleanChar4, "Startup", "sCleanChar4", ""},
    {Key::WWWLinks, "Startup", "WWWLinks", "0"},
    {Key::MailLinks, "Startup", "MailLinks", "0"},
    {Key::NewsLinks, "Startup", "NewsLinks", "0"},
    {Key::Readable, "Startup", "Readable", "0"},
    {Key::WindowLeft, "Window", "Left", ""},
    {Key::WindowTop, "Window", "Top", ""},
    {Key::WindowWidth, "Window", "Width", ""},
    {Key::WindowHeight, "Window", "Height", ""},
    {Key::WindowMaximized, "Window", "Maximized", "0"},
}};

constexpr const KeyInfo& InfoOf(Key key)
{
    return kSettingKeys[static_cast<std::size_t>(key)];
}

// The table lists the keys in the order of the enum, so InfoOf can index it.
constexpr bool KeysInOrder()
{
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) {
        if (static_cast<std::size_t>(kSettingKeys[i].key) != i)
            return false;
    }
    return true;
}
static_assert(KeysInOrder(), "kSettingKeys must list the keys in the order of enum Key");

// A default that is a whole number ("80", "0") as that number.
constexpr int DefaultNumber(Key key)
{
    const char* p = InfoOf(key).defaultText;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    int n = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        n = n * 10 + (*p - '0');
    return negative ? -n : n;
}

// The clean-up sets and the link switches, by their number.
inline constexpr std::array<Key, 4> kCleanCharKeys{Key::sCleanChar1, Key::sCleanChar2, Key::sCleanChar3,
                                                   Key::sCleanChar4};
inline constexpr std::array<Key, 3> kLinkKeys{Key::WWWLinks, Key::MailLinks, Key::NewsLinks};

}  // namespace quorvik
