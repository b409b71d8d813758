#pragma once
// The numeric reading of a typed or stored number: blanks, tabs and line feeds are ignored
// wherever they stand; the number the text begins with is taken (optional sign, digits,
// optional fraction and exponent, or a hexadecimal number after "&H" / octal after "&O");
// reading stops at the first character that cannot continue it; no number reads as 0.

#include <QString>

namespace quorvik {

double NumericReading(const QString& text);

// Rounds to the nearest whole number, halves to the even neighbour (72.5 -> 72, 73.5 -> 74).
// Returns false when the result does not fit -32768..32767 (value then untouched).
bool RoundToShort(double value, int& result);

// A line length as typed in the options dialog: after trimming, an optional sign, digits and an
// optional decimal fraction ("72.5" gives 72), rounded as above. False for anything else ("abc",
// "", "4O", "12abc", "&H10") or outside -32768..32767; `result` is then untouched.
bool ReadTypedWholeNumber(const QString& typed, int& result);

}  // namespace quorvik
