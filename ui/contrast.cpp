#include "ui/contrast.h"

#include <QPalette>

#include <algorithm>
#include <cmath>

namespace quorvik {

namespace {

double Linear(double channel)
{
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(const QColor& color)
{
    const QColor c = color.toRgb();
    return 0.2126 * Linear(c.redF()) + 0.7152 * Linear(c.greenF()) + 0.0722 * Linear(c.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b)
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsDarkPalette(const QPalette& palette)
{
    return RelativeLuminance(palette.color(QPalette::Window)) < 0.18;
}

QColor ReadableOn(const QColor& color, const QColor& background, double ratio)
{
    const bool lighten = RelativeLuminance(background) < 0.18;
    QColor c = color.toHsl();
    for (int step = 0; step < 256 && ContrastRatio(c, background) < ratio; ++step) {
        const int l = std::clamp(c.lightness() + (lighten ? 4 : -4), 0, 255);
        c.setHsl(c.hslHue(), c.hslSaturation(), l);
    }
    return c.toRgb();
}

}  // namespace quorvik
