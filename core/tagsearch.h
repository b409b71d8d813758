#pragma once
// The fixed strings the line converter looks for in every line, and one search for all of them.

#include "core/text.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace quorvik {

enum Tag : int {
    kEndHtml, kHead, kP, kEndP, kTable, kEndHead, kEndTable, kTitle, kBr, kNbsp,
    kOl, kEndOl, kUl, kEndUl, kLi, kEndLi, kDl, kEndDl, kAmp, kDt,
    kDd, kNum160, kTr, kTd, kCaption, kTh, kEndTd, kEndCaption, kAHref, kEndA,
    kMenu, kDir, kH1, kH2, kH3, kH4, kH5, kH6, kEndH1, kEndH2,
    kEndH3, kEndH4, kEndH5, kEndH6, kTagCount
};

// Each string is a prefix search, so "<p" is also found in "<pre", "<li" in "<link", "<th" in
// "<thead", "</a" in "</address"; "<br>" is not found in "<br/>".
inline constexpr std::array<std::u32string_view, kTagCount> kTagSearch = {
    U"</html", U"<head", U"<p", U"</p", U"<table", U"</head", U"</table", U"<title", U"<br>", U"&nbsp",
    U"<ol", U"/ol>", U"<ul", U"</ul", U"<li", U"</li", U"<dl", U"</dl", U"&amp;", U"<dt",
    U"<dd", U"&#160", U"<tr", U"<td", U"<caption", U"<th", U"</td", U"</caption", U"<a href", U"</a",
    U"<menu", U"<dir", U"<h1", U"<h2", U"<h3", U"<h4", U"<h5", U"<h6", U"</h1", U"</h2",
    U"</h3", U"</h4", U"</h5", U"</h6",
};

// Only the strings found are written, so a line costs what it holds, not 44 positions.
struct TagPositions {
    std::uint64_t mask = 0;                        // bit t: string t was found
    std::array<std::size_t, kTagCount> at;         // 1-based first position, where found
    std::size_t brackets = 0;                      // how many "<" and ">" the line holds
    std::size_t operator[](Tag t) const { return found(t) ? at[t] : 0; }
    bool found(Tag t) const { return (mask >> t) & 1U; }
};

// The first position of every string in one pass over the line (instead of 44 searches), and
// the brackets counted on the way.
void SearchTags(TextView line, TagPositions& positions);
inline TagPositions SearchTags(TextView line)
{
    TagPositions p;
    SearchTags(line, p);
    return p;
}

}  // namespace quorvik
