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

// What a tag name means to the clean-up.
enum TagKind : std::uint8_t {
    kOther = 0,          // leaves one space
    kStart = 1,          // the converter acts on its start tag: written by name
    kEnd = 2,            // ... and on its end tag
    kInsideText = 4,     // stands inside running text, often inside a word: goes without a trace
    kHidden = 8,         // its contents are not shown
    kHeadOnly = 16,      // belongs to the head: dropped there
};

// A name of up to eight ASCII characters in lower case, one byte each: the key of the table below.
std::uint64_t Packed(TextView name)
{
    if (name.empty() || name.size() > 8)
        return 0;
    std::uint64_t key = 0;
    for (const char32_t c : name) {
        if (c >= 128)
            return 0;
        key = key << 8 | LowerAscii(c);
    }
    return key;
}

void AppendName(Text& out, std::uint64_t key)
{
    int shift = 56;
    while (shift > 0 && (key >> shift) == 0)
        shift -= 8;
    for (; shift >= 0; shift -= 8)
        out.push_back(static_cast<char32_t>((key >> shift) & 0xFF));
}

constexpr std::uint64_t Packed(const char* name)
{
    std::uint64_t key = 0;
    for (; *name != 0; ++name)
        key = key << 8 | static_cast<unsigned char>(*name);
    return key;
}

// The names the clean-up tells apart one by one.
enum class Name : std::uint8_t { Other, Head, Title, Body, Pre, Br, A, Td, Tr, Table, Script, Style, Template };

struct NamedKind {
    std::uint64_t key;
    std::uint8_t kind;
    Name name;
};

constexpr std::uint8_t kBoth = kStart | kEnd;

// An open-addressed hash table of the names, made once at first use: a name is found in one
// or two looks.
constexpr std::size_t kSlots = 256;

std::size_t SlotOf(std::uint64_t key)
{
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ULL) >> 56);
}

const std::vector<NamedKind>& KindTable()
{
    static const std::vector<NamedKind> table = [] {
        struct Entry {
            const char* text;
            std::uint8_t kind;
            Name name = Name::Other;
        };
        const Entry names[] = {
            {"p", kBoth}, {"table", kBoth, Name::Table}, {"tr", kBoth, Name::Tr}, {"td", kBoth, Name::Td},
            {"th", kBoth, Name::Td}, {"caption", kBoth}, {"ol", kBoth},
            {"ul", kBoth}, {"li", kBoth}, {"dl", kBoth}, {"dt", kBoth}, {"dd", kBoth}, {"menu", kBoth},
            {"dir", kBoth}, {"h1", kBoth}, {"h2", kBoth}, {"h3", kBoth}, {"h4", kBoth}, {"h5", kBoth},
            {"h6", kBoth}, {"html", kEnd | kHeadOnly}, {"a", kEnd | kInsideText, Name::A},
            {"head", kHeadOnly, Name::Head}, {"meta", kHeadOnly}, {"link", kHeadOnly}, {"base", kHeadOnly},
            {"title", kOther, Name::Title}, {"body", kOther, Name::Body}, {"pre", kOther, Name::Pre},
            {"br", kOther, Name::Br}, {"script", kHidden, Name::Script}, {"style", kHidden, Name::Style},
            {"template", kHidden, Name::Template},
            {"abbr", kInsideText}, {"acronym", kInsideText}, {"b", kInsideText}, {"bdi", kInsideText},
            {"bdo", kInsideText}, {"big", kInsideText}, {"blink", kInsideText}, {"cite", kInsideText},
            {"code", kInsideText}, {"data", kInsideText}, {"del", kInsideText}, {"dfn", kInsideText},
            {"em", kInsideText}, {"font", kInsideText}, {"i", kInsideText}, {"img", kInsideText},
            {"ins", kInsideText}, {"kbd", kInsideText}, {"label", kInsideText}, {"mark", kInsideText},
            {"nobr", kInsideText}, {"q", kInsideText}, {"s", kInsideText}, {"samp", kInsideText},
            {"small", kInsideText}, {"span", kInsideText}, {"strike", kInsideText}, {"strong", kInsideText},
            {"sub", kInsideText}, {"sup", kInsideText}, {"time", kInsideText}, {"tt", kInsideText},
            {"u", kInsideText}, {"var", kInsideText}, {"wbr", kInsideText},
        };
        std::vector<NamedKind> t(kSlots, NamedKind{0, kOther, Name::Other});
        for (const Entry& e : names) {
            const std::uint64_t key = Packed(e.text);
            std::size_t slot = SlotOf(key);
            while (t[slot].key != 0)
                slot = (slot + 1) % kSlots;
            t[slot] = {key, e.kind, e.name};
        }
        return t;
    }();
    return table;
}

NamedKind KindOf(TextView name)
{
    const std::uint64_t key = Packed(name);
    const std::vector<NamedKind>& t = KindTable();
    if (key != 0) {
        for (std::size_t slot = SlotOf(key); t[slot].key != 0; slot = (slot + 1) % kSlots) {
            if (t[slot].key == key)
                return t[slot];
        }
    }
    return NamedKind{key, kOther, Name::Other};
}

// The value of attribute `wanted` (lower case) in a complete start tag; false without it.
bool AttributeValue(TextView tag, TextView wanted, TextView& value)
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
        TextView v;
        if (i < n && tag[i] == U'=') {
            ++i;
            while (i < n && IsSpace(tag[i]))
                ++i;
            if (i < n && (tag[i] == U'"' || tag[i] == U'\'')) {
                const char32_t q = tag[i++];
                const std::size_t e = std::min(tag.find(q, i), n);
                v = tag.substr(i, e - i);
                i = e + 1;
            } else {
                const std::size_t b = i;
                while (i < n && !IsSpace(tag[i]) && tag[i] != U'>')
                    ++i;
                v = tag.substr(b, i - b);
            }
        }
        if (match) {
            value = v;
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
                part.swap(ready_.front());  // the reader's old text comes back for later lines
            else
                part += ready_.front();
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
        if (state_ == State::Text) {
            // A whole tag within the part is handled where it stands.
            if (chunk[i] == U'<' && i + 2 < n
                && (IsLetter(chunk[i + 1]) || (chunk[i + 1] == U'/' && IsLetter(chunk[i + 2])))) {
                const std::size_t k = TagEnd(chunk, i);
                if (k < n) {
                    HandleTag(chunk.substr(i, k + 1 - i));
                    i = k + 1;
                    continue;
                }
            }
            if (!inHead_) {
                const std::size_t j = IndexOfAny(chunk.data(), n, U'<', U'>', pre_ ? U'\n' : U'<', i);
                if (j > i) {
                    skipNewline_ = false;
                    cur_.append(chunk.substr(i, j - i));
                    i = j;
                    continue;
                }
            }
        } else if (state_ == State::RawText && !rawKeep_ && rawMatched_ == 0) {
            i = IndexOf(chunk.data(), n, U'<', i);
            if (i == n)
                break;
        } else if (state_ == State::Tag && quote_ == 0) {
            const std::size_t j = IndexOfAny(chunk.data(), n, U'>', U'"', U'\'', i);
            tag_.append(chunk.substr(i, j - i));
            i = j;
            if (i == n)
                break;
        } else if (state_ == State::Tag) {
            const std::size_t j = IndexOf(chunk.data(), n, quote_, i);
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

// The ">" that ends the tag that starts with the "<" at `from`, as Step reads it: a quote right
// after "=" (and spaces) starts a value in which only the same quote counts. chunk.size() when
// the tag goes on past the chunk.
std::size_t HtmlCleaner::TagEnd(TextView chunk, std::size_t from)
{
    const std::size_t n = chunk.size();
    for (std::size_t k = from + 1;;) {
        k = IndexOfAny(chunk.data(), n, U'>', U'"', U'\'', k);
        if (k == n || chunk[k] == U'>')
            return k;
        std::size_t before = k;
        while (before > from && IsSpace(chunk[before - 1]))
            --before;
        if (chunk[before - 1] == U'=') {
            k = IndexOf(chunk.data(), n, chunk[k], k + 1);
            if (k == n)
                return n;
        }
        ++k;
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
            HandleTag(tag_);
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

void HtmlCleaner::HandleTag(TextView tag)
{
    const bool end = tag[1] == U'/';
    std::size_t e = end ? 2 : 1;
    while (e < tag.size() && !IsSpace(tag[e]) && tag[e] != U'/' && tag[e] != U'>')
        ++e;
    const NamedKind kind = KindOf(tag.substr(end ? 2 : 1, e - (end ? 2 : 1)));
    const Name id = kind.name;

    if (!end && (kind.kind & kHidden)) {
        EnterRaw(id == Name::Script ? U"script" : id == Name::Style ? U"style" : U"template", false);
        return;
    }
    if (inHead_) {
        if (end && id == Name::Head) {
            EndHead();
            return;
        }
        if (!end && id == Name::Title) {
            cur_ += U"<title>";
            EnterRaw(U"title", true);
            return;
        }
        if (end || (kind.kind & kHeadOnly))
            return;
        EndHead();
        if (id == Name::Body)
            return;
    }
    if (pre_) {
        if (end && id == Name::Pre)
            LeavePre();
        return;  // every other tag of a block goes without a trace
    }
    if (!end && id == Name::Pre) {
        EndLine();
        pre_ = true;
        skipNewline_ = true;
        cur_.assign(U"<pre>");
        return;
    }
    // A cell ends where the next cell, the row or the table begins or ends, also when its end
    // tag is left out, so that every cell is followed by the delimiter.
    if (cellOpen_ && (id == Name::Td || id == Name::Tr || id == Name::Table)) {
        cellOpen_ = false;
        if (!(end && id == Name::Td))
            cur_ += U"</td>";
    }
    if (!end && id == Name::Td)
        cellOpen_ = true;
    if (id == Name::Br) {
        cur_ += U"<br>";
    } else if (!end && id == Name::A) {
        TextView href;
        if (AttributeValue(tag, U"href", href)) {
            cur_ += U"<a href=\"";
            for (std::size_t q = href.find(U'"'); q != TextView::npos; q = href.find(U'"')) {
                cur_ += href.substr(0, q);
                cur_ += U"&quot;";
                href.remove_prefix(q + 1);
            }
            cur_ += href;
            cur_ += U"\">";
        }
    } else if (kind.kind & (end ? kEnd : kStart)) {
        cur_ += end ? U"</" : U"<";
        AppendName(cur_, id == Name::Td ? Packed("td") : kind.key);  // a header cell joins like a data cell
        cur_.push_back(U'>');
    } else if (!(kind.kind & kInsideText)) {
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
    // The text of a line given earlier is used again rather than a new one made.
    cur_.swap(spare_);
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
