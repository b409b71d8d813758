#include "passes/htmlclean.h"

#include <algorithm>

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

bool OneOf(TextView name, std::initializer_list<TextView> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Tags the line converter acts on, written by name; of their end tags only these.
bool KnownStart(TextView n)
{
    return OneOf(n, {U"p", U"table", U"tr", U"td", U"caption", U"ol", U"ul", U"li", U"dl", U"dt", U"dd",
                     U"menu", U"dir", U"h1", U"h2", U"h3", U"h4", U"h5", U"h6"});
}
bool KnownEnd(TextView n)
{
    return OneOf(n, {U"p", U"table", U"tr", U"td", U"caption", U"ol", U"ul", U"li", U"dl", U"dt", U"dd",
                     U"menu", U"dir", U"a", U"html", U"h1", U"h2", U"h3", U"h4", U"h5", U"h6"});
}

// Tags that stand inside running text, often inside a word: they go without a trace.
bool InsideText(TextView n)
{
    return OneOf(n, {U"a", U"abbr", U"acronym", U"b", U"bdi", U"bdo", U"big", U"blink", U"cite", U"code",
                     U"data", U"del", U"dfn", U"em", U"font", U"i", U"img", U"ins", U"kbd", U"label", U"mark",
                     U"nobr", U"q", U"s", U"samp", U"small", U"span", U"strike", U"strong", U"sub", U"sup",
                     U"time", U"tt", U"u", U"var", U"wbr"});
}

// Elements whose contents are not shown.
bool Hidden(TextView n)
{
    return OneOf(n, {U"script", U"style", U"template"});
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
            std::size_t j = i;
            while (j < n && chunk[j] != U'<' && chunk[j] != U'>' && !(pre_ && chunk[j] == U'\n'))
                ++j;
            if (j > i) {
                skipNewline_ = false;
                cur_.append(chunk.substr(i, j - i));
                i = j;
                continue;
            }
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

    if (!end && Hidden(name)) {
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
        if (end || OneOf(name, {U"html", U"head", U"meta", U"link", U"base"}))
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
    if (name == U"th")
        name = U"td";
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
    } else if (end ? KnownEnd(name) : KnownStart(name)) {
        cur_ += end ? U"</" : U"<";
        cur_ += name;
        cur_.push_back(U'>');
    } else if (!InsideText(name)) {
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
    if (!cur_.empty() || gaveMore_ || evenEmpty)
        ready_.push_back(std::move(cur_));
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
