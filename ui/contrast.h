#pragma once
// Contrast between colours as the accessibility guidelines measure it, and the choices that
// follow from it: which bundled icons suit a palette, and a link colour that can be read.

#include <QColor>

class QPalette;

namespace quorvik {

// The relative luminance of a colour (0 black .. 1 white), its alpha ignored.
double RelativeLuminance(const QColor& color);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double ContrastRatio(const QColor& a, const QColor& b);

// True when the palette's window colour is dark: light icons and text belong on it.
bool IsDarkPalette(const QPalette& palette);

// `color` when it reaches `ratio` against `background`; else the same hue made lighter (on a
// dark background) or darker (on a light one) until it does.
QColor ReadableOn(const QColor& color, const QColor& background, double ratio);

}  // namespace quorvik
