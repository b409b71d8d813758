#include "core/text.h"

#include <QChar>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvik {

#if defined(__SSE2__)
namespace {

// Bit k set when data[k] (k < 8) is below the bound.
inline int BelowBits(const char32_t* data, __m128i bound)
{
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 4));
    // Compared as signed numbers, values of 2^31 and above would count as below, so they are
    // kept apart.
    const __m128i ha = _mm_andnot_si128(_mm_srai_epi32(a, 31), _mm_cmplt_epi32(a, bound));
    const __m128i hb = _mm_andnot_si128(_mm_srai_epi32(b, 31), _mm_cmplt_epi32(b, bound));
    return _mm_movemask_ps(_mm_castsi128_ps(ha)) | (_mm_movemask_ps(_mm_castsi128_ps(hb)) << 4);
}

}  // namespace
#endif

std::size_t IndexOfBelow(const char32_t* data, std::size_t n, char32_t bound, std::size_t from)
{
    std::size_t i = from;
#if defined(__SSE2__)
    if (bound <= 0x7FFFFFFF) {
        const __m128i needle = _mm_set1_epi32(static_cast<int>(bound));
        for (; i + 8 <= n; i += 8) {
            if (const int bits = BelowBits(data + i, needle))
                return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(bits)));
        }
    }
#endif
    for (; i < n; ++i) {
        if (data[i] < bound)
            return i;
    }
    return n;
}

void FlattenWhitespace(Text& text)
{
    Trim(text);
    // Only characters below a space can be a tab, carriage return or line feed.
    const std::size_t n = text.size();
    char32_t* d = text.data();
    for (std::size_t i = IndexOfBelow(d, n, U' '); i < n; i = IndexOfBelow(d, n, U' ', i + 1)) {
        if (d[i] == U'\t' || d[i] == U'\r' || d[i] == U'\n')
            d[i] = U' ';
    }
    Trim(text);
}

char32_t LowerNonAscii(char32_t c)
{
    // Simple (one-to-one) case mapping. "İ" has only a two-character full mapping ("i" and a
    // combining dot); one character for one keeps every position, so it becomes "i".
    if (c == 0x130)
        return U'i';
    return static_cast<char32_t>(QChar::toLower(static_cast<char32_t>(c)));
}

void LowerAll(char32_t* d, std::size_t n)
{
    LowerInto(d, n, d);
}

void LowerInto(const char32_t* from, std::size_t n, char32_t* to)
{
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i top = _mm_set1_epi32(0x7F), a = _mm_set1_epi32('A' - 1), z = _mm_set1_epi32('Z' + 1);
    const __m128i gap = _mm_set1_epi32(32);
    for (; i + 4 <= n; i += 4) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        // Above 0x7F, or so large that it reads as negative: one at a time below.
        if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpgt_epi32(v, top), _mm_srai_epi32(v, 31))) != 0) {
            for (std::size_t k = i; k < i + 4; ++k)
                to[k] = LowerChar(from[k]);
            continue;
        }
        const __m128i upper = _mm_and_si128(_mm_cmpgt_epi32(v, a), _mm_cmplt_epi32(v, z));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i), _mm_add_epi32(v, _mm_and_si128(upper, gap)));
    }
#endif
    for (; i < n; ++i)
        to[i] = LowerChar(from[i]);
}

Text FromUtf8(std::string_view s)
{
    Text out;
    out.reserve(s.size());
    std::size_t i = 0;
    const std::size_t n = s.size();
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        }
        int len = 0;
        char32_t cp = 0;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        }
        bool ok = len > 0 && i + static_cast<std::size_t>(len) <= n;
        for (int k = 1; ok && k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((cc & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (cc & 0x3F);
        }
        if (ok && ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)
                   || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(cp);
        i += static_cast<std::size_t>(len);
    }
    return out;
}

namespace {

inline char* EncodeOne(char* o, char32_t c)
{
    if (c < 0x80) {
        *o++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *o++ = static_cast<char>(0xC0 | (c >> 6));
        *o++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000 || c > 0x10FFFF) {
        if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
            c = 0xFFFD;  // a lone surrogate or a value beyond Unicode has no UTF-8 form
        *o++ = static_cast<char>(0xE0 | (c >> 12));
        *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *o++ = static_cast<char>(0xF0 | (c >> 18));
        *o++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return o;
}

}  // namespace

std::size_t EncodeUtf8(char* out, TextView text)
{
    // ASCII, the usual case, is checked and narrowed eight characters at a time; eight that are
    // not all ASCII are written one by one, and the next eight are looked at together again.
    const std::size_t n = text.size();
    const char32_t* d = text.data();
    char* o = out;
    std::size_t k = 0;
#if defined(__SSE2__)
    const __m128i top = _mm_set1_epi32(0x7F);
    // Eight characters from `at` as bytes, when all are ASCII.
    auto ascii8 = [&](std::size_t at, __m128i& bytes) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + at));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + at + 4));
        // Above 0x7F, or so large that it reads as negative.
        const __m128i wide = _mm_or_si128(_mm_or_si128(_mm_cmpgt_epi32(a, top), _mm_srai_epi32(a, 31)),
                                          _mm_or_si128(_mm_cmpgt_epi32(b, top), _mm_srai_epi32(b, 31)));
        bytes = _mm_packus_epi16(_mm_packs_epi32(a, b), _mm_setzero_si128());
        return _mm_movemask_epi8(wide) == 0;
    };
    bool asciiBefore = false;  // the eight characters before k were ASCII, one byte each
    __m128i bytes;
    for (; k + 8 <= n; k += 8) {
        asciiBefore = ascii8(k, bytes);
        if (asciiBefore) {
            // At least 4 * (n - k) >= 32 bytes of room are left here.
            _mm_storel_epi64(reinterpret_cast<__m128i*>(o), bytes);
            o += 8;
            continue;
        }
        for (std::size_t j = k; j < k + 8; ++j)
            o = EncodeOne(o, d[j]);
    }
    if (k < n && asciiBefore && ascii8(n - 8, bytes)) {
        // The rest as the last eight characters, written again over the ASCII before them.
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o - (k - (n - 8))), bytes);
        o += n - k;
        k = n;
    }
#endif
    for (; k < n; ++k)
        o = EncodeOne(o, d[k]);
    return static_cast<std::size_t>(o - out);
}

void AppendUtf8(std::string& out, TextView text)
{
    const std::size_t old = out.size();
    out.resize(old + kMaxUtf8PerChar * text.size());
    out.resize(old + EncodeUtf8(&out[old], text));
}

std::string ToUtf8(TextView text)
{
    std::string out;
    out.reserve(text.size());
    AppendUtf8(out, text);
    return out;
}

}  // namespace quorvik
