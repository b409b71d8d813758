#include "core/charrefs.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvik {

namespace {

struct NamedReference {
    const char* name;  // without the "&"; a name that ends in ";" needs it
    char32_t first, second;
};

constexpr NamedReference kNamed[] = {
#include "core/entitytable.inc"
};

constexpr std::size_t kLongestName = 32;
constexpr std::size_t kNamedCount = sizeof(kNamed) / sizeof(kNamed[0]);

std::uint64_t HashOf(const char* name, std::size_t length)
{
    std::uint64_t h = 0xCBF29CE484222325ULL ^ length;
    for (std::size_t k = 0; k < length; ++k)
        h = (h ^ static_cast<unsigned char>(name[k])) * 0x100000001B3ULL;
    return h;
}

// The names hashed once, at first use, into an open-addressed table more than three times as
// large as the list: a name is found (or found missing) in one or two looks, where a binary
// search of the list took a dozen string comparisons.
class NameIndex {
public:
    NameIndex()
    {
        for (std::size_t i = 0; i < kNamedCount; ++i) {
            const std::size_t length = std::strlen(kNamed[i].name);
            lengths_[i] = static_cast<std::uint8_t>(length);
            std::size_t slot = HashOf(kNamed[i].name, length) & (kSlots - 1);
            while (slots_[slot] != 0)
                slot = (slot + 1) & (kSlots - 1);
            slots_[slot] = static_cast<std::uint16_t>(i + 1);
        }
    }
    const NamedReference* Find(const char* name, std::size_t length) const
    {
        for (std::size_t slot = HashOf(name, length) & (kSlots - 1); slots_[slot] != 0; slot = (slot + 1) & (kSlots - 1)) {
            const std::size_t i = slots_[slot] - 1U;
            if (lengths_[i] == length && std::memcmp(kNamed[i].name, name, length) == 0)
                return &kNamed[i];
        }
        return nullptr;
    }

private:
    static constexpr std::size_t kSlots = 8192;
    static_assert(kNamedCount * 3 < kSlots && kNamedCount < 65535, "the table needs room to spare");
    std::uint16_t slots_[kSlots] = {};  // 1 + the name's place in the list; 0 for an empty slot
    std::uint8_t lengths_[kNamedCount] = {};
};

// The reference named by name[0, length), or nullptr.
const NamedReference* Lookup(const char* name, std::size_t length)
{
    static const NameIndex index;
    return index.Find(name, length);
}

bool IsAsciiAlnum(char32_t c)
{
    return (c >= U'0' && c <= U'9') || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

int HexValue(char32_t c)
{
    if (c >= U'0' && c <= U'9')
        return static_cast<int>(c - U'0');
    if (c >= U'a' && c <= U'f')
        return static_cast<int>(c - U'a' + 10);
    if (c >= U'A' && c <= U'F')
        return static_cast<int>(c - U'A' + 10);
    return -1;
}

// What a numeric reference to `value` gives: 128 to 159 are read as Windows-1252 (as pages
// written in it mean them), and values that are no characters give U+FFFD.
char32_t NumericCharacter(unsigned long value)
{
    static const char16_t kHigh[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    };
    if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0xFFFD;
    if (value >= 0x80 && value < 0xA0)
        return kHigh[value - 0x80];
    return static_cast<char32_t>(value);
}

// Decodes the reference at text[i] (an "&"), writing what it gives at text[w]; returns the
// index after what it consumed, or i when nothing there is a reference. w <= i throughout, as
// no reference gives more characters than it is written with.
std::size_t DecodeAt(Text& text, std::size_t i, std::size_t& w, bool attribute)
{
    const std::size_t n = text.size();
    std::size_t j = i + 1;
    if (j < n && text[j] == U'#') {
        ++j;
        const bool hex = j < n && (text[j] == U'x' || text[j] == U'X');
        if (hex)
            ++j;
        const std::size_t digitsFrom = j;
        unsigned long value = 0;
        for (; j < n; ++j) {
            const int d = hex ? HexValue(text[j]) : (text[j] >= U'0' && text[j] <= U'9' ? int(text[j] - U'0') : -1);
            if (d < 0)
                break;
            value = std::min<unsigned long>(value * (hex ? 16 : 10) + static_cast<unsigned>(d), 0x110000);
        }
        if (j == digitsFrom)
            return i;  // "&#" or "&#x" without digits stays as written
        if (j < n && text[j] == U';')
            ++j;
        text[w++] = NumericCharacter(value);
        return j;
    }
    // A name: the longest one that the table holds, where only names ending in ";" may be
    // followed by more letters and digits.
    char name[kLongestName + 1];
    std::size_t len = 0;
    while (j < n && len < kLongestName && IsAsciiAlnum(text[j]))
        name[len++] = static_cast<char>(text[j++]);
    if (len == 0)
        return i;
    if (j < n && text[j] == U';' && len < kLongestName) {
        name[len] = ';';
        if (const NamedReference* r = Lookup(name, len + 1)) {
            text[w++] = r->first;
            if (r->second != 0)
                text[w++] = r->second;
            return j + 1;
        }
    }
    for (std::size_t k = std::min<std::size_t>(len, 6); k >= 2; --k) {  // legacy names have 2 to 6
        const NamedReference* r = Lookup(name, k);
        if (r == nullptr)
            continue;
        const std::size_t after = i + 1 + k;
        if (attribute && after < n && (IsAsciiAlnum(text[after]) || text[after] == U'='))
            return i;
        text[w++] = r->first;
        if (r->second != 0)
            text[w++] = r->second;
        return after;
    }
    return i;
}

}  // namespace

void DecodeCharacterReferences(Text& text, bool attribute)
{
    std::size_t r = IndexOf(text.data(), text.size(), U'&');
    if (r == text.size())
        return;
    std::size_t w = r;
    while (r < text.size()) {
        const std::size_t amp = IndexOf(text.data(), text.size(), U'&', r);
        std::copy(text.begin() + static_cast<std::ptrdiff_t>(r), text.begin() + static_cast<std::ptrdiff_t>(amp),
                  text.begin() + static_cast<std::ptrdiff_t>(w));
        w += amp - r;
        r = amp;
        if (r == text.size())
            break;
        const std::size_t next = DecodeAt(text, r, w, attribute);
        if (next == r) {
            text[w++] = U'&';  // not a reference: the "&" stays
            ++r;
        } else {
            r = next;
        }
    }
    text.resize(w);
}

namespace {

bool IsWhiteSpace(char32_t c)
{
    return c == U' ' || c == U'\t' || c == U'\n' || c == U'\r' || c == U'\f' || c == 0xA0;
}

// The first place where readable text differs from `d`: white space other than a single space
// between two other characters. n when there is none.
std::size_t FirstUntidy(const char32_t* d, std::size_t n)
{
    if (n == 0)
        return 0;
    if (IsWhiteSpace(d[0]))
        return 0;
    std::size_t i = 1;
    unsigned before = 0;  // d[i - 1] is white space
#if defined(__SSE2__)
    // Eight characters at a time: a bit per white space character, and one per space.
    const __m128i space = _mm_set1_epi32(' '), tab = _mm_set1_epi32('\t'), lf = _mm_set1_epi32('\n'),
                  cr = _mm_set1_epi32('\r'), ff = _mm_set1_epi32('\f'), nbsp = _mm_set1_epi32(0xA0);
    auto bits = [&](const char32_t* p, unsigned& spaces) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i s = _mm_cmpeq_epi32(v, space);
        const __m128i w = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(s, _mm_cmpeq_epi32(v, tab)), _mm_or_si128(_mm_cmpeq_epi32(v, lf), _mm_cmpeq_epi32(v, cr))),
            _mm_or_si128(_mm_cmpeq_epi32(v, ff), _mm_cmpeq_epi32(v, nbsp)));
        spaces = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(s)));
        return static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(w)));
    };
    for (; i + 8 <= n; i += 8) {
        unsigned s0 = 0, s1 = 0;
        const unsigned white = bits(d + i, s0) | (bits(d + i + 4, s1) << 4);
        if (white == 0) {
            before = 0;
            continue;
        }
        const unsigned spaces = s0 | (s1 << 4);
        const unsigned untidy = (white & ~spaces) | (white & ((white << 1) | before));
        if (untidy != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(untidy));
        before = (white >> 7) & 1;
    }
#endif
    for (; i < n; ++i) {
        const bool white = IsWhiteSpace(d[i]);
        if (white && (d[i] != U' ' || before))
            return i;
        before = white ? 1 : 0;
    }
    return before ? n - 1 : n;
}

}  // namespace

void MakeReadableText(Text& text)
{
    DecodeCharacterReferences(text);
    const std::size_t n = text.size();
    char32_t* d = text.data();
    // Most text is words with single spaces between them: it is rewritten only from the first
    // place that needs a change.
    const std::size_t from = FirstUntidy(d, n);
    if (from == n)
        return;
    std::size_t w = from;
    bool space = from == 0 || IsWhiteSpace(d[from - 1]);  // drops white space at the start
    for (std::size_t r = from; r < n; ++r) {
        const char32_t c = d[r];
        if (IsWhiteSpace(c)) {
            if (!space)
                d[w++] = U' ';
            space = true;
        } else {
            d[w++] = c;
            space = false;
        }
    }
    if (w > 0 && d[w - 1] == U' ')
        --w;
    text.resize(w);
}

void MakePreformattedText(Text& text)
{
    DecodeCharacterReferences(text);
    std::replace(text.begin(), text.end(), char32_t{0xA0}, U' ');
    std::size_t e = text.size();
    while (e > 0 && text[e - 1] == U' ')
        --e;
    text.resize(e);
}

}  // namespace quorvik
