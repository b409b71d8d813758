#include "app/windowlayout.h"

#include <cmath>

namespace quorvik {

WindowLayout InitialLayout(int panelWidth)
{
    WindowLayout l;
    for (TwipsRect& v : l.views)
        v = {120, 960, 9060, 4215};
    l.tabStrip = {120, 600, 9060, 1095};
    l.toggles = {TwipsRect{panelWidth + 300, 5400, 2655, 375}, TwipsRect{panelWidth + 2400, 5400, 1815, 375},
                 TwipsRect{panelWidth + 3600, 5400, 1935, 375}};
    return l;
}

void PlaceLinkToggles(WindowLayout& layout, int outerWidth, int panelWidth)
{
    if (outerWidth - 3175 <= panelWidth)
        return;
    layout.toggles[0].left = panelWidth + 300;
    layout.toggles[1].left = panelWidth + 2400;
    layout.toggles[2].left = panelWidth + 3600;
}

bool ResizeLayout(WindowLayout& layout, int outerWidth, int outerHeight, int panelWidth)
{
    if (outerWidth <= 300 || outerHeight <= 2200)
        return false;
    for (TwipsRect& v : layout.views) {
        v.width = outerWidth - 300;
        v.height = outerHeight - 2200;
    }
    layout.lineX2 = outerWidth - 300;
    layout.tabStrip.width = outerWidth - 300;
    for (TwipsRect& t : layout.toggles)
        t.top = outerHeight - 1095;
    PlaceLinkToggles(layout, outerWidth, panelWidth);
    return true;
}

int TwipsToPixels(int twips, double dpi)
{
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

int PixelsToTwips(int pixels, double dpi)
{
    return static_cast<int>(std::lround(pixels * 1440.0 / dpi));
}

}  // namespace quorvik
