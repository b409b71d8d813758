#include "core/text.h"

#include <QChar>

namespace quorvik {

void FlattenWhitespace(Text& text)
{
    Trim(text);
    for (char32_t& c : text) {
        if (c <= U'\r' && (c == U'\t' || c == U'\r' || c == U'\n'))
            c = U' ';
    }
    Trim(text);
}

char32_t LowerChar(char32_t c)
{
    if (c < 0x80)
        return (c >= U'A' && c <= U'Z') ? c + 32 : c;
    // Simple (one-to-one) case mapping. "İ" has only a two-character full mapping ("i" and a
    // combining dot); one character for one keeps every position, so it becomes "i".
    if (c == 0x130)
        return U'i';
    return static_cast<char32_t>(QChar::toLower(static_cast<char32_t>(c)));
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

void AppendUtf8(std::string& out, TextView text)
{
    // ASCII, the usual case, goes straight into room made for it at once.
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] < 0x80)
        ++i;
    if (i > 0) {
        const std::size_t old = out.size();
        out.resize(old + i);
        char* dst = &out[old];
        for (std::size_t k = 0; k < i; ++k)
            dst[k] = static_cast<char>(text[k]);
    }
    for (char32_t c : text.substr(i)) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            if (c >= 0xD800 && c <= 0xDFFF)
                c = 0xFFFD;  // a lone surrogate has no UTF-8 form
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c <= 0x10FFFF) {
            out.push_back(static_cast<char>(0xF0 | (c >> 18)));
            out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.append("\xEF\xBF\xBD");
        }
    }
}

std::string ToUtf8(TextView text)
{
    std::string out;
    out.reserve(text.size());
    AppendUtf8(out, text);
    return out;
}

}  // namespace quorvik
