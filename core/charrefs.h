#pragma once
// Character references as a browser decodes them in text: every named reference of HTML5,
// decimal and hexadecimal ones, with or without the final ";". Used by the readable
// conversion, where text is decoded as it is appended to the output line.

#include "core/text.h"

namespace quorvik {

// Decodes every character reference of `text` in place, once (what a reference produces is
// never read again). In an attribute value (`attribute`), a name that is recognised without
// ";" but is followed by a letter, digit or "=" stays as written ("?a=1&notify=2").
void DecodeCharacterReferences(Text& text, bool attribute = false);

// Running text as the readable conversion writes it: references decoded, every run of white
// space (space, tab, line feed, carriage return, form feed, no-break space) made one space,
// and no space at either end.
void MakeReadableText(Text& text);

// A line of preformatted text: references decoded, a no-break space made an ordinary space,
// spaces at its end removed; everything else as it stands.
void MakePreformattedText(Text& text);

}  // namespace quorvik
