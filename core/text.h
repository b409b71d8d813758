#pragma once
// Text as the conversion sees it: one element per character (Unicode code point), so that
// positions and line lengths count characters whatever the document's encoding was.

#include <cstddef>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvik {

using Text = std::u32string;
using TextView = std::u32string_view;

// Removes spaces (code 32, never tabs) at both ends.
inline TextView Trimmed(TextView text)
{
    std::size_t b = 0, e = text.size();
    while (b < e && text[b] == U' ')
        ++b;
    while (e > b && text[e - 1] == U' ')
        --e;
    return text.substr(b, e - b);
}

// The same, in place.
inline void Trim(Text& text)
{
    std::size_t e = text.size();
    while (e > 0 && text[e - 1] == U' ')
        --e;
    text.erase(e);  // shortening only: no call out of line, unlike resize
    std::size_t b = 0;
    while (b < e && text[b] == U' ')
        ++b;
    if (b > 0)
        text.erase(0, b);
}

// Trims, turns every tab, carriage return and line feed into one space (the length is kept),
// and trims again.
void FlattenWhitespace(Text& text);

// Maps each character to its lower-case form, one character for one, so no position shifts.
char32_t LowerNonAscii(char32_t c);
inline char32_t LowerChar(char32_t c)
{
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    return LowerNonAscii(c);
}
// LowerChar on every character of d[0, n); ASCII four characters at a time.
void LowerAll(char32_t* d, std::size_t n);
// The same from `from` into `to` (which may be `from`).
void LowerInto(const char32_t* from, std::size_t n, char32_t* to);


// 0-based index of the first `what` in data[from, n); n when absent. Looks at eight
// characters at a time where the processor allows.
inline std::size_t IndexOf(const char32_t* data, std::size_t n, char32_t what, std::size_t from = 0)
{
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i needle = _mm_set1_epi32(static_cast<int>(what));
    for (; i + 8 <= n; i += 8) {
        const __m128i a = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)), needle);
        const __m128i b = _mm_cmpeq_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + 4)), needle);
        const int bits = _mm_movemask_ps(_mm_castsi128_ps(a)) | (_mm_movemask_ps(_mm_castsi128_ps(b)) << 4);
        if (bits != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(bits)));
    }
#endif
    for (; i < n; ++i) {
        if (data[i] == what)
            return i;
    }
    return n;
}
// 0-based index of the first of `a`, `b` and `c` in data[from, n); n when absent. Looks at
// eight characters at a time where the processor allows.
inline std::size_t IndexOfAny(const char32_t* data, std::size_t n, char32_t a, char32_t b, char32_t c,
                              std::size_t from = 0)
{
    std::size_t i = from;
#if defined(__SSE2__)
    const __m128i va = _mm_set1_epi32(static_cast<int>(a)), vb = _mm_set1_epi32(static_cast<int>(b)),
                  vc = _mm_set1_epi32(static_cast<int>(c));
    auto hits = [&](const char32_t* at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i h = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi32(v, va), _mm_cmpeq_epi32(v, vb)), _mm_cmpeq_epi32(v, vc));
        return _mm_movemask_ps(_mm_castsi128_ps(h));
    };
    for (; i + 8 <= n; i += 8) {
        if (const int bits = hits(data + i) | (hits(data + i + 4) << 4))
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(bits)));
    }
#endif
    for (; i < n; ++i) {
        if (data[i] == a || data[i] == b || data[i] == c)
            return i;
    }
    return n;
}
// 0-based index of the first character in data[from, n) that is below `bound`; n when absent.
std::size_t IndexOfBelow(const char32_t* data, std::size_t n, char32_t bound, std::size_t from = 0);

// 1-based position of `what` in `text` at or after the 1-based position `from`; 0 when absent.
// Candidates are the places of its first character, found several at a time.
inline std::size_t Find(TextView text, TextView what, std::size_t from = 1)
{
    if (from < 1)
        from = 1;
    const std::size_t n = text.size(), m = what.size();
    if (from > n + 1)
        return 0;
    if (m == 0)
        return from;
    if (m > n)
        return 0;
    const std::size_t starts = n - m + 1;  // a match starts before this
    for (std::size_t i = from - 1; i < starts; ++i) {
        i = IndexOf(text.data(), starts, what[0], i);
        if (i >= starts)
            return 0;
        if (std::char_traits<char32_t>::compare(text.data() + i + 1, what.data() + 1, m - 1) == 0)
            return i + 1;
    }
    return 0;
}

inline std::size_t Find(TextView text, char32_t what, std::size_t from = 1)
{
    const std::size_t i = IndexOf(text.data(), text.size(), what, from < 1 ? 0 : from - 1);
    return i < text.size() ? i + 1 : 0;
}

// Conversions at the edges of the core: UTF-8 in and out.
Text FromUtf8(std::string_view utf8);
std::string ToUtf8(TextView text);
void AppendUtf8(std::string& out, TextView text);
// Writes `text` as UTF-8 to `out`, which has room for kMaxUtf8PerChar bytes per character;
// returns the bytes written.
inline constexpr std::size_t kMaxUtf8PerChar = 4;
std::size_t EncodeUtf8(char* out, TextView text);

}  // namespace quorvik
