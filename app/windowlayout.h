#pragma once
// The main window's layout in twips (1/1440 inch), as the resize rules place its controls.
// Kept free of widgets so the arithmetic can be checked on its own.

#include <array>

namespace quorvik {

struct TwipsRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const TwipsRect& o) const
    {
        return left == o.left && top == o.top && width == o.width && height == o.height;
    }
};

struct WindowLayout {
    std::array<TwipsRect, 4> views;   // RichTextBox1(0..3), stacked on one place
    TwipsRect tabStrip;               // TabStrip1
    int lineX1 = 120, lineY = 480, lineX2 = 9060;  // Line1
    std::array<TwipsRect, 3> toggles; // Check1..Check3
};

// Design-time places, with the toggles put after status panel 1 of width `panelWidth` without
// any width test (what the window does when it is created).
WindowLayout InitialLayout(int panelWidth);

// Moves the toggles after status panel 1 when the window (outer width `outerWidth`) leaves room
// for them: outerWidth - 3175 > panelWidth. Otherwise they keep their places.
void PlaceLinkToggles(WindowLayout& layout, int outerWidth, int panelWidth);

// Fits the views, the line, the tab strip and the toggles to the window's outer size. A window
// of width <= 300 or height <= 2200 keeps the last layout (returns false).
bool ResizeLayout(WindowLayout& layout, int outerWidth, int outerHeight, int panelWidth);

// Twips and pixels at a logical resolution of `dpi` dots per inch.
int TwipsToPixels(int twips, double dpi);
int PixelsToTwips(int pixels, double dpi);

}  // namespace quorvik
