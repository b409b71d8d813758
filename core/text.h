#pragma once
// Text as the conversion sees it: one element per character (Unicode code point), so that
// positions and line lengths count characters whatever the document's encoding was.

#include <cstddef>
#include <string>
#include <string_view>

namespace quorvik {

using Text = std::u32string;
using TextView = std::u32string_view;

// Removes spaces (code 32, never tabs) at both ends, in place.
void Trim(Text& text);
TextView Trimmed(TextView text);

// Trims, turns every tab, carriage return and line feed into one space (the length is kept),
// and trims again.
void FlattenWhitespace(Text& text);

// Maps each character to its lower-case form, one character for one, so no position shifts.
char32_t LowerChar(char32_t c);

// 1-based position of `what` in `text` at or after the 1-based position `from`; 0 when absent.
std::size_t Find(TextView text, TextView what, std::size_t from = 1);
std::size_t Find(TextView text, char32_t what, std::size_t from = 1);

// Conversions at the edges of the core: UTF-8 in and out.
Text FromUtf8(std::string_view utf8);
std::string ToUtf8(TextView text);
void AppendUtf8(std::string& out, TextView text);

}  // namespace quorvik
