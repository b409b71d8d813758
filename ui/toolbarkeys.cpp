#include "ui/toolbarkeys.h"

#include <QFile>

// The bundled icons live in the static library; the resource needs an explicit start-up call.
static void InitToolbarResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    (void)done;
}

namespace quorvik {

const std::vector<ToolbarKey>& ToolbarKeys()
{
    static const std::vector<ToolbarKey> keys = {
        {QStringLiteral("new"), QStringLiteral("New"), QStringLiteral("document-new"), false},
        {QStringLiteral("open"), QStringLiteral("Open File"), QStringLiteral("document-open"), false},
        {QStringLiteral("save"), QStringLiteral("Save File"), QStringLiteral("document-save"), true},
        {QStringLiteral("cut"), QStringLiteral("Cut"), QStringLiteral("edit-cut"), false},
        {QStringLiteral("copy"), QStringLiteral("Copy"), QStringLiteral("edit-copy"), false},
        {QStringLiteral("paste"), QStringLiteral("Paste"), QStringLiteral("edit-paste"), true},
        {QStringLiteral("print"), QStringLiteral("Print"), QStringLiteral("document-print"), false},
        {QStringLiteral("help"), QStringLiteral("Help"), QStringLiteral("help-contents"), true},
        {QStringLiteral("bold"), QStringLiteral("Bold"), QStringLiteral("format-text-bold"), false},
        {QStringLiteral("italic"), QStringLiteral("Italic"), QStringLiteral("format-text-italic"), false},
        {QStringLiteral("underline"), QStringLiteral("Underline"), QStringLiteral("format-text-underline"), true},
        {QStringLiteral("leftbut"), QStringLiteral("Left"), QStringLiteral("format-justify-left"), false},
        {QStringLiteral("centrebut"), QStringLiteral("Center"), QStringLiteral("format-justify-center"), false},
        {QStringLiteral("rightbut"), QStringLiteral("Right"), QStringLiteral("format-justify-right"), true},
        {QStringLiteral("removeHTML"), QStringLiteral("Remove HTML Code"), QStringLiteral("edit-clear"), false},
        {QStringLiteral("removeBlankLine"), QStringLiteral("Remove Blank Lines"),
         QStringLiteral("format-remove-blank-lines"), true},
        {QStringLiteral("Font"), QStringLiteral("Set document font type"), QStringLiteral("preferences-desktop-font"),
         false},
    };
    return keys;
}

QString BundledIconPath(const QString& key)
{
    return QStringLiteral(":/icons/") + key + QStringLiteral(".png");
}

QIcon ToolbarIcon(const ToolbarKey& key)
{
    InitToolbarResources();
    return QIcon::fromTheme(key.themeIcon, QIcon(BundledIconPath(key.key)));
}

}  // namespace quorvik
