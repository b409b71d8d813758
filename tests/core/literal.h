#pragma once
// Literal versions of the operations that the conversion runs with faster algorithms: each
// follows the step-by-step description (searching again from the start, cutting the front of
// the text, one search per start position) and is kept only to check the fast ones against.

#include "core/converter.h"
#include "passes/blanklines.h"
#include "passes/linestream.h"

#include <vector>

namespace quorvik::literal {

// StripTags with positions looked up from the start of the line for every k.
void StripTags(LineValues& lv);

// The wrapping of WriteLine (steps 2 to 5) on `outLine`, with the chosen rules for TextLen of
// 0 and below (no wrapping) and 1 to 6. Returns the lines written; updates hangIndent.
std::vector<Text> Wrap(Text outLine, int textLen, int& hangIndent);

// ReplaceEntities with every search made from the start of the line.
void ReplaceEntities(LineValues& lv, std::size_t ampPos, std::size_t num160Pos);

// CleanUpChar searching again from the first character after every blanking.
void CleanUpChar(Text& line, const CleanUpSets& sets);

// TrimCellSep replacing end characters by spaces and trimming the whole text each time.
void TrimCellSep(Text& text, const Text& sep);

// ReflowLine in passes: all ten rules tested on the positions before each pass, the line cut
// at its front and trimmed again, the four positions searched again after every pass.
void ReflowLine(Text& line, Text& carry, LineSink& out);

}  // namespace quorvik::literal
