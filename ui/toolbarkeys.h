#pragma once
// The main window's toolbar: its seventeen keys in the order they are shown.

#include <QIcon>
#include <QString>
#include <QStringList>
#include <vector>

namespace quorvik {

struct ToolbarKey {
    QString key;            // the button's name and its bundled icon, letter case included ("Font")
    QString tooltip;
    QString themeIcon;      // the desktop theme's icon name
    bool separatorAfter;
};

// The keys left to right.
const std::vector<ToolbarKey>& ToolbarKeys();

// The theme's icon for the key, or the bundled one when the theme has none; the bundled one is
// drawn in the set that suits the application's palette (light ink on a dark palette).
QIcon ToolbarIcon(const ToolbarKey& key);

// The bundled icon of a key: ":/icons/<key>.png", or ":/icons/dark/<key>.png" for dark palettes.
QString BundledIconPath(const QString& key, bool dark = false);

}  // namespace quorvik
