#include "passes/htmlclean.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quorvik {

namespace {

constexpr std::size_t kPart = std::size_t(1) << 16;

bool IsSpace(char32_t c)
{
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\f';
}

bool IsLetter(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

char32_t LowerAscii(char32_t c)
{
    return c >= U'A' && c <= U'Z' ? c + 32 : c;
}

// What a tag's name tells, as bits:
enum NameKind : unsigned {
    kKnownStart = 1,   // the line converter acts on the start tag, written by name
    kKnownEnd = 2,     // ... on the end tag
    kInsideText = 4,   // the tag stands inside running text, often inside a word: it goes without a trace
    kHidden = 8,       // the element's contents are not shown
    kHeadOnly = 16,    // a tag that belongs to the head and does not end it
};

struct NamedKinds {
    std::u32string_view name;
    unsigned kinds;
};

// In the order of their names.
constexpr NamedKinds kNames[] = {
    {U"a", kKnownEnd | kInsideText}, {U"abbr", kInsideText}, {U"acronym", kInsideText}, {U"b", kInsideText},
    {U"base", kHeadOnly}, {U"bdi", kInsideText}, {U"bdo", kInsideText}, {U"big", kInsideText},
    {U"blink", kInsideText}, {U"caption", kKnownStart | kKnownEnd}, {U"cite", kInsideText},
    {U"code", kInsideText}, {U"data", kInsideText}, {U"dd", kKnownStart | kKnownEnd}, {U"del", kInsideText},
    {U"dfn", kInsideText}, {U"dir", kKnownStart | kKnownEnd}, {U"dl", kKnownStart | kKnownEnd},
    {U"dt", kKnownStart | kKnownEnd}, {U"em", kInsideText}, {U"font", kInsideText},
    {U"h1", kKnownStart | kKnownEnd}, {U"h2", kKnownStart | kKnownEnd}, {U"h3", kKnownStart | kKnownEnd},
    {U"h4", kKnownStart | kKnownEnd}, {U"h5", kKnownStart | kKnownEnd}, {U"h6", kKnownStart | kKnownEnd},
    {U"head", kHeadOnly}, {U"html", kKnownEnd | kHeadOnly}, {U"i", kInsideText}, {U"img", kInsideText},
    {U"ins", kInsideText}, {U"kbd", kInsideText}, {U"label", kInsideText}, {U"li", kKnownStart | kKnownEnd},
    {U"link", kHeadOnly}, {U"mark", kInsideText}, {U"menu", kKnownStart | kKnownEnd}, {U"meta", kHeadOnly},
    {U"nobr", kInsideText}, {U"ol", kKnownStart | kKnownEnd}, {U"p", kKnownStart | kKnownEnd},
    {U"q", kInsideText}, {U"s", kInsideText}, {U"samp", kInsideText}, {U"script", kHidden},
    {U"small", kInsideText}, {U"span", kInsideText}, {U"strike", kInsideText}, {U"strong", kInsideText},
    {U"style", kHidden}, {U"sub", kInsideText}, {U"sup", kInsideText}, {U"table", kKnownStart | kKnownEnd},
    {U"td", kKnownStart | kKnownEnd}, {U"template", kHidden}, {U"time", kInsideText},
    {U"tr", kKnownStart | kKnownEnd}, {U"tt", kInsideText}, {U"u", kInsideText},
    {U"ul", kKnownStart | kKnownEnd}, {U"var", kInsideText}, {U"wbr", kInsideText},
};

// A name of at most eight ASCII characters other than NUL as one number (every name above is
// one); 0 for any other name.
std::uint64_t Key(TextView name)
{
    if (name.empty() || name.size() > 8)
        return 0;
    std::uint64_t key = 0;
    for (const char32_t c : name) {
        if (c == 0 || c >= 0x80)
            return 0;
        key = (key << 8) | c;
    }
    return key;
}

unsigned KindsOf(TextView name)
{
    // The names as numbers, in order, so that a name is found by halving.
    static const std::vector<std::pair<std::uint64_t, unsigned>> keys = [] {
        std::vector<std::pair<std::uint64_t, unsigned>> k;
        for (const NamedKinds& n : kNames)
            k.emplace_back(Key(n.name), n.kinds);
        std::sort(k.begin(), k.end());
        return k;
    }();
    const std::uint64_t key = Key(name);
    const auto at = std::lower_bound(keys.begin(), keys.end(), std::make_pair(key, 0u));
    return key != 0 && at != keys.end() && at->first == key ? at->second : 0;
}

// The value of attribute `wanted` (lower case) in a complete start tag; false without it.
bool AttributeValue(TextView tag, TextView wanted, Text& value)
{
    const std::size_t n = tag.size();
    std::size_t i = 1;
    while (i < n && !IsSpace(tag[i]) && tag[i] != U'/' && tag[i] != U'>')
        ++i;
    for (;;) {
        while (i < n && (IsSpace(tag[i]) || tag[i] == U'/'))
            ++i;
        if (i >= n || tag[i] == U'>')
            return false;
        const std::size_t a = i++;
        while (i < n && !IsSpace(tag[i]) && tag[i] != U'/' && tag[i] != U'>' && tag[i] != U'=')
            ++i;
        bool match = i - a == wanted.size();
        for (std::size_t k = 0; match && k < wanted.size(); ++k)
            match = LowerAscii(tag[a + k]) == wanted[k];
        while (i < n && IsSpace(tag[i]))
            ++i;
        Text v;
        if (i < n && tag[i] == U'=') {
            ++i;
            while (i < n && IsSpace(tag[i]))
                ++i;
            if (i < n && (tag[i] == U'"' || tag[i] == U'\'')) {
                const char32_t q = tag[i++];
                const std::size_t e = std::min(tag.find(q, i), n);
                v.assign(tag.substr(i, e - i));
                i = e + 1;
            } else {
                const std::size_t b = i;
                while (i < n && !IsSpace(tag[i]) && tag[i] != U'>')
                    ++i;
                v.assign(tag.substr(b, i - b));
            }
        }
        if (match) {
            value.swap(v);
            return true;
        }
    }
}

}  // namespace

HtmlCleaner::HtmlCleaner(LineReader& in) : in_(in), cur_(U"<head>")
{
}

bool HtmlCleaner::ReadLine(Text& line)
{
    line.clear();
    bool ended = true;
    if (!ReadLinePart(line, SIZE_MAX, ended))
        return false;
    while (!ended)
        ReadLinePart(line, SIZE_MAX, ended);
    return true;
}

bool HtmlCleaner::ReadLinePart(Text& part, std::size_t most, bool& ended)
{
    for (;;) {
        if (!ready_.empty()) {
            if (part.empty())
                part.swap(ready_.front());
            else
                part += ready_.front();
            // The memory the caller's part had is used again for a later line.
            if (ready_.front().capacity() <= kPart && ready_.front().capacity() > spare_.capacity())
                spare_.swap(ready_.front());
            ready_.pop_front();
            ended = true;
            return true;
        }
        if (done_)
            return false;
        if (!pre_ && !cur_.empty() && cur_.size() >= most) {
            part += cur_;
            cur_.clear();
            gaveMore_ = true;
            ended = false;
            return true;
        }
        Pull();
    }
}

void HtmlCleaner::Pull()
{
    input_.clear();
    bool ended = true;
    if (!in_.ReadLinePart(input_, kPart, ended)) {
        Finish();
        done_ = true;
        return;
    }
    Clean(input_);
    if (ended)
        EndOfInputLine();
}

void HtmlCleaner::Clean(TextView chunk)
{
    const std::size_t n = chunk.size();
    std::size_t i = 0;
    while (i < n) {
        // Long stretches are passed over (or taken) at once where no character in them matters.
        if (state_ == State::Text && !inHead_) {
            const std::size_t j = IndexOfAny(chunk.data(), n, U'<', U'>', pre_ ? U'\n' : U'<', i);
            if (j > i) {
                skipNewline_ = false;
                cur_.append(chunk.substr(i, j - i));
                i = j;
                continue;
            }
        } else if (state_ == State::Tag) {
            // Up to the character that ends the quoted value, or to a ">" or quote outside one.
            const std::size_t j = quote_ != 0 ? IndexOf(chunk.data(), n, quote_, i)
                                              : IndexOfAny(chunk.data(), n, U'>', U'"', U'\'', i);
            tag_.append(chunk.substr(i, j - i));
            i = j;
            if (i == n)
                break;
        } else if (state_ == State::Comment) {
            // Only the dashes right before a ">" count.
            const std::size_t j = IndexOf(chunk.data(), n, U'>', i);
            std::size_t k = j;
            while (k > i && chunk[k - 1] == U'-')
                --k;
            dashes_ = k == i ? dashes_ + static_cast<int>(j - i) : static_cast<int>(j - k);
            i = j;
            if (i == n)
                break;
        } else if (state_ == State::RawText && !rawKeep_ && rawMatched_ == 0) {
            i = IndexOf(chunk.data(), n, U'<', i);
            if (i == n)
                break;
        } else if (state_ == State::Bogus) {
            const std::size_t j = IndexOf(chunk.data(), n, U'>', i);
            if (j < n)
                state_ = State::Text;
            i = j + 1;
            continue;
        }
        Step(chunk[i++]);
    }
}

void HtmlCleaner::Step(char32_t c)
{
    switch (state_) {
    case State::Text:
        TextChar(c);
        break;
    case State::TagOpen:
        if (IsLetter(c)) {
            tag_.assign(1, U'<');
            tag_.push_back(c);
            quote_ = 0;
            state_ = State::Tag;
        } else if (c == U'/') {
            state_ = State::EndTagOpen;
        } else if (c == U'!') {
            state_ = State::Bang;
        } else if (c == U'?') {
            state_ = State::Bogus;
        } else {
            state_ = State::Text;
            Put(U"&lt;");
            TextChar(c);
        }
        break;
    case State::EndTagOpen:
        if (IsLetter(c)) {
            tag_.assign(U"</");
            tag_.push_back(c);
            quote_ = 0;
            state_ = State::Tag;
        } else {
            state_ = c == U'>' ? State::Text : State::Bogus;
        }
        break;
    case State::Tag:
        if (quote_ != 0) {
            if (c == quote_)
                quote_ = 0;
        } else if (c == U'>') {
            tag_.push_back(c);
            state_ = State::Text;
            HandleTag();
            return;
        } else if (c == U'"' || c == U'\'') {
            std::size_t k = tag_.size();
            while (k > 0 && IsSpace(tag_[k - 1]))
                --k;
            if (k > 0 && tag_[k - 1] == U'=')
                quote_ = c;
        }
        tag_.push_back(c);
        break;
    case State::Bang:
        state_ = c == U'-' ? State::BangDash : c == U'>' ? State::Text : State::Bogus;
        break;
    case State::BangDash:
        if (c == U'-') {
            state_ = State::Comment;
            dashes_ = 2;  // so that "<!-->" is a whole (empty) comment, as browsers read it
        } else {
            state_ = c == U'>' ? State::Text : State::Bogus;
        }
        break;
    case State::Comment:
        if (c == U'>' && dashes_ >= 2)
            state_ = State::Text;
        else
            dashes_ = c == U'-' ? dashes_ + 1 : 0;
        break;
    case State::Bogus:
        if (c == U'>')
            state_ = State::Text;
        break;
    case State::RawText:
        RawChar(c);
        break;
    }
}

void HtmlCleaner::Put(TextView text)
{
    if (inHead_)
        EndHead();
    skipNewline_ = false;
    cur_ += text;
}

void HtmlCleaner::TextChar(char32_t c)
{
    if (c == U'<') {
        state_ = State::TagOpen;
        return;
    }
    if (pre_ && c == U'\n') {
        PreNewline();
        return;
    }
    if (inHead_ && IsSpace(c))
        return;
    if (c == U'>')
        Put(U"&gt;");
    else
        Put(TextView(&c, 1));
}

void HtmlCleaner::PreNewline()
{
    if (skipNewline_) {
        skipNewline_ = false;
        return;
    }
    EndLine(true);
    cur_.assign(U"<pre>");
}

void HtmlCleaner::RawChar(char32_t c)
{
    const std::size_t full = 2 + rawName_.size();
    if (rawMatched_ == full) {
        if (IsSpace(c) || c == U'/' || c == U'>') {
            rawMatched_ = 0;
            if (rawKeep_)
                cur_ += U"</title>";
            state_ = c == U'>' ? State::Text : State::Bogus;
            return;
        }
    } else {
        const char32_t expected = rawMatched_ == 0 ? U'<' : rawMatched_ == 1 ? U'/' : rawName_[rawMatched_ - 2];
        if (LowerAscii(c) == expected) {
            ++rawMatched_;
            return;
        }
    }
    // Not the end tag: what was matched so far is text.
    if (rawKeep_ && rawMatched_ > 0) {
        cur_ += U"&lt;";
        if (rawMatched_ > 1) {
            cur_.push_back(U'/');
            cur_ += rawName_.substr(0, rawMatched_ - 2);
        }
    }
    rawMatched_ = 0;
    if (c == U'<') {
        rawMatched_ = 1;
        return;
    }
    if (rawKeep_) {
        if (c == U'>')
            cur_ += U"&gt;";
        else
            cur_.push_back(IsSpace(c) ? U' ' : c);
    }
}

void HtmlCleaner::EnterRaw(TextView name, bool keep)
{
    rawName_ = name;
    rawKeep_ = keep;
    rawMatched_ = 0;
    state_ = State::RawText;
}

void HtmlCleaner::HandleTag()
{
    const bool end = tag_[1] == U'/';
    Text& name = name_;
    name.clear();
    for (std::size_t i = end ? 2 : 1; i < tag_.size() && !IsSpace(tag_[i]) && tag_[i] != U'/' && tag_[i] != U'>'; ++i)
        name.push_back(LowerAscii(tag_[i]));

    unsigned kinds = KindsOf(name);
    if (!end && (kinds & kHidden)) {
        EnterRaw(name == U"script" ? U"script" : name == U"style" ? U"style" : U"template", false);
        return;
    }
    if (inHead_) {
        if (end && name == U"head") {
            EndHead();
            return;
        }
        if (!end && name == U"title") {
            cur_ += U"<title>";
            EnterRaw(U"title", true);
            return;
        }
        if (end || (kinds & kHeadOnly))
            return;
        EndHead();
        if (name == U"body")
            return;
    }
    if (pre_) {
        if (end && name == U"pre")
            LeavePre();
        return;  // every other tag of a block goes without a trace
    }
    if (!end && name == U"pre") {
        EndLine();
        pre_ = true;
        skipNewline_ = true;
        cur_.assign(U"<pre>");
        return;
    }
    if (name == U"th") {
        name = U"td";
        kinds = KindsOf(name);
    }
    // A cell ends where the next cell, the row or the table begins or ends, also when its end
    // tag is left out, so that every cell is followed by the delimiter.
    if (cellOpen_ && (name == U"td" || name == U"tr" || name == U"table")) {
        cellOpen_ = false;
        if (!(end && name == U"td"))
            cur_ += U"</td>";
    }
    if (!end && name == U"td")
        cellOpen_ = true;
    if (name == U"br") {
        cur_ += U"<br>";
    } else if (!end && name == U"a") {
        Text href;
        if (AttributeValue(tag_, U"href", href)) {
            cur_ += U"<a href=\"";
            for (const char32_t c : href)
                cur_ += c == U'"' ? TextView(U"&quot;") : TextView(&c, 1);
            cur_ += U"\">";
        }
    } else if (kinds & (end ? kKnownEnd : kKnownStart)) {
        cur_ += end ? U"</" : U"<";
        cur_ += name;
        cur_.push_back(U'>');
    } else if (!(kinds & kInsideText)) {
        cur_.push_back(U' ');
    }
}

void HtmlCleaner::EndHead()
{
    if (inHead_) {
        inHead_ = false;
        cur_ += U"</head>";
    }
}

void HtmlCleaner::LeavePre()
{
    // The line feed before "</pre>" ends the last line; it does not start another.
    if (cur_ != U"<pre>")
        EndLine(true);
    cur_.clear();
    pre_ = false;
}

void HtmlCleaner::EndLine(bool evenEmpty)
{
    if (!cur_.empty() || gaveMore_ || evenEmpty) {
        ready_.push_back(std::move(cur_));
        cur_.swap(spare_);
    }
    cur_.clear();
    gaveMore_ = false;
}

void HtmlCleaner::EndOfInputLine()
{
    switch (state_) {
    case State::Text:
        if (pre_)
            PreNewline();
        else
            EndLine();
        break;
    case State::TagOpen:
        state_ = State::Text;
        Put(U"&lt;");
        EndOfInputLine();
        break;
    case State::EndTagOpen:
    case State::Bang:
    case State::BangDash:
        state_ = State::Bogus;
        break;
    case State::Tag:
        tag_.push_back(U' ');
        break;
    case State::Comment:
        dashes_ = 0;
        break;
    case State::Bogus:
        break;
    case State::RawText:
        RawChar(U'\n');
        break;
    }
}

void HtmlCleaner::Finish()
{
    // An unfinished tag, comment or hidden element takes the rest of the document with it.
    if (state_ == State::TagOpen)
        Put(U"&lt;");
    if (state_ == State::RawText && rawKeep_)
        cur_ += U"</title>";
    state_ = State::Text;
    if (pre_)
        LeavePre();
    EndLine();
}

}  // namespace quorvik
