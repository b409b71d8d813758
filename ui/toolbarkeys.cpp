#include "ui/toolbarkeys.h"

#include "ui/contrast.h"

#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>

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

QString BundledIconPath(const QString& key, bool dark)
{
    return (dark ? QStringLiteral(":/icons/dark/") : QStringLiteral(":/icons/")) + key + QStringLiteral(".png");
}

namespace {

// A bundled icon drawn in two sets, dark ink for light palettes and light ink for dark ones;
// it follows the application's palette each time it is drawn, so a palette changed while the
// program runs is followed too.
class BundledIconEngine final : public QIconEngine {
public:
    explicit BundledIconEngine(const QString& key)
        : key_(key), light_(BundledIconPath(key, false)), dark_(BundledIconPath(key, true))
    {
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        current().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return current().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return current().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return current().actualSize(size, mode, state);
    }
    QIconEngine* clone() const override { return new BundledIconEngine(key_); }
    QString key() const override { return QStringLiteral("quorvik-bundled"); }

private:
    const QIcon& current() const { return IsDarkPalette(QGuiApplication::palette()) ? dark_ : light_; }

    QString key_;
    QIcon light_;
    QIcon dark_;
};

}  // namespace

QIcon ToolbarIcon(const ToolbarKey& key)
{
    InitToolbarResources();
    return QIcon::fromTheme(key.themeIcon, QIcon(new BundledIconEngine(key.key)));
}

}  // namespace quorvik
