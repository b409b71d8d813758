#include "passes/charsets.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <vector>

namespace quorvik {

namespace {

struct Label {
    const char* label;
    const char* encoding;  // iconv name, or "replacement" / "x-user-defined"
};

// The WHATWG Encoding Standard's labels, with the iconv name of each encoding.
constexpr Label kLabels[] = {
    {"unicode-1-1-utf-8", "UTF-8"}, {"unicode11utf8", "UTF-8"}, {"unicode20utf8", "UTF-8"},
    {"utf-8", "UTF-8"}, {"utf8", "UTF-8"}, {"x-unicode20utf8", "UTF-8"},
    {"866", "IBM866"}, {"cp866", "IBM866"}, {"csibm866", "IBM866"}, {"ibm866", "IBM866"},
    {"csisolatin2", "ISO-8859-2"}, {"iso-8859-2", "ISO-8859-2"}, {"iso-ir-101", "ISO-8859-2"},
    {"iso8859-2", "ISO-8859-2"}, {"iso88592", "ISO-8859-2"}, {"iso_8859-2", "ISO-8859-2"},
    {"iso_8859-2:1987", "ISO-8859-2"}, {"l2", "ISO-8859-2"}, {"latin2", "ISO-8859-2"},
    {"csisolatin3", "ISO-8859-3"}, {"iso-8859-3", "ISO-8859-3"}, {"iso-ir-109", "ISO-8859-3"},
    {"iso8859-3", "ISO-8859-3"}, {"iso88593", "ISO-8859-3"}, {"iso_8859-3", "ISO-8859-3"},
    {"iso_8859-3:1988", "ISO-8859-3"}, {"l3", "ISO-8859-3"}, {"latin3", "ISO-8859-3"},
    {"csisolatin4", "ISO-8859-4"}, {"iso-8859-4", "ISO-8859-4"}, {"iso-ir-110", "ISO-8859-4"},
    {"iso8859-4", "ISO-8859-4"}, {"iso88594", "ISO-8859-4"}, {"iso_8859-4", "ISO-8859-4"},
    {"iso_8859-4:1988", "ISO-8859-4"}, {"l4", "ISO-8859-4"}, {"latin4", "ISO-8859-4"},
    {"csisolatincyrillic", "ISO-8859-5"}, {"cyrillic", "ISO-8859-5"}, {"iso-8859-5", "ISO-8859-5"},
    {"iso-ir-144", "ISO-8859-5"}, {"iso8859-5", "ISO-8859-5"}, {"iso88595", "ISO-8859-5"},
    {"iso_8859-5", "ISO-8859-5"}, {"iso_8859-5:1988", "ISO-8859-5"},
    {"arabic", "ISO-8859-6"}, {"asmo-708", "ISO-8859-6"}, {"csiso88596e", "ISO-8859-6"},
    {"csiso88596i", "ISO-8859-6"}, {"csisolatinarabic", "ISO-8859-6"}, {"ecma-114", "ISO-8859-6"},
    {"iso-8859-6", "ISO-8859-6"}, {"iso-8859-6-e", "ISO-8859-6"}, {"iso-8859-6-i", "ISO-8859-6"},
    {"iso-ir-127", "ISO-8859-6"}, {"iso8859-6", "ISO-8859-6"}, {"iso88596", "ISO-8859-6"},
    {"iso_8859-6", "ISO-8859-6"}, {"iso_8859-6:1987", "ISO-8859-6"},
    {"csisolatingreek", "ISO-8859-7"}, {"ecma-118", "ISO-8859-7"}, {"elot_928", "ISO-8859-7"},
    {"greek", "ISO-8859-7"}, {"greek8", "ISO-8859-7"}, {"iso-8859-7", "ISO-8859-7"},
    {"iso-ir-126", "ISO-8859-7"}, {"iso8859-7", "ISO-8859-7"}, {"iso88597", "ISO-8859-7"},
    {"iso_8859-7", "ISO-8859-7"}, {"iso_8859-7:1987", "ISO-8859-7"}, {"sun_eu_greek", "ISO-8859-7"},
    {"csiso88598e", "ISO-8859-8"}, {"csisolatinhebrew", "ISO-8859-8"}, {"hebrew", "ISO-8859-8"},
    {"iso-8859-8", "ISO-8859-8"}, {"iso-8859-8-e", "ISO-8859-8"}, {"iso-ir-138", "ISO-8859-8"},
    {"iso8859-8", "ISO-8859-8"}, {"iso88598", "ISO-8859-8"}, {"iso_8859-8", "ISO-8859-8"},
    {"iso_8859-8:1988", "ISO-8859-8"}, {"visual", "ISO-8859-8"},
    {"csiso88598i", "ISO-8859-8"}, {"iso-8859-8-i", "ISO-8859-8"}, {"logical", "ISO-8859-8"},
    {"csisolatin6", "ISO-8859-10"}, {"iso-8859-10", "ISO-8859-10"}, {"iso-ir-157", "ISO-8859-10"},
    {"iso8859-10", "ISO-8859-10"}, {"iso885910", "ISO-8859-10"}, {"l6", "ISO-8859-10"},
    {"latin6", "ISO-8859-10"},
    {"iso-8859-13", "ISO-8859-13"}, {"iso8859-13", "ISO-8859-13"}, {"iso885913", "ISO-8859-13"},
    {"iso-8859-14", "ISO-8859-14"}, {"iso8859-14", "ISO-8859-14"}, {"iso885914", "ISO-8859-14"},
    {"csisolatin9", "ISO-8859-15"}, {"iso-8859-15", "ISO-8859-15"}, {"iso8859-15", "ISO-8859-15"},
    {"iso885915", "ISO-8859-15"}, {"iso_8859-15", "ISO-8859-15"}, {"l9", "ISO-8859-15"},
    {"iso-8859-16", "ISO-8859-16"},
    {"cskoi8r", "KOI8-R"}, {"koi", "KOI8-R"}, {"koi8", "KOI8-R"}, {"koi8-r", "KOI8-R"}, {"koi8_r", "KOI8-R"},
    {"koi8-ru", "KOI8-U"}, {"koi8-u", "KOI8-U"},
    {"csmacintosh", "MACINTOSH"}, {"mac", "MACINTOSH"}, {"macintosh", "MACINTOSH"}, {"x-mac-roman", "MACINTOSH"},
    {"dos-874", "WINDOWS-874"}, {"iso-8859-11", "WINDOWS-874"}, {"iso8859-11", "WINDOWS-874"},
    {"iso885911", "WINDOWS-874"}, {"tis-620", "WINDOWS-874"}, {"windows-874", "WINDOWS-874"},
    {"cp1250", "CP1250"}, {"windows-1250", "CP1250"}, {"x-cp1250", "CP1250"},
    {"cp1251", "CP1251"}, {"windows-1251", "CP1251"}, {"x-cp1251", "CP1251"},
    {"ansi_x3.4-1968", "WINDOWS-1252"}, {"ascii", "WINDOWS-1252"}, {"cp1252", "WINDOWS-1252"},
    {"cp819", "WINDOWS-1252"}, {"csisolatin1", "WINDOWS-1252"}, {"ibm819", "WINDOWS-1252"},
    {"iso-8859-1", "WINDOWS-1252"}, {"iso-ir-100", "WINDOWS-1252"}, {"iso8859-1", "WINDOWS-1252"},
    {"iso88591", "WINDOWS-1252"}, {"iso_8859-1", "WINDOWS-1252"}, {"iso_8859-1:1987", "WINDOWS-1252"},
    {"l1", "WINDOWS-1252"}, {"latin1", "WINDOWS-1252"}, {"us-ascii", "WINDOWS-1252"},
    {"windows-1252", "WINDOWS-1252"}, {"x-cp1252", "WINDOWS-1252"},
    {"cp1253", "CP1253"}, {"windows-1253", "CP1253"}, {"x-cp1253", "CP1253"},
    {"cp1254", "CP1254"}, {"csisolatin5", "CP1254"}, {"iso-8859-9", "CP1254"}, {"iso-ir-148", "CP1254"},
    {"iso8859-9", "CP1254"}, {"iso88599", "CP1254"}, {"iso_8859-9", "CP1254"}, {"iso_8859-9:1989", "CP1254"},
    {"l5", "CP1254"}, {"latin5", "CP1254"}, {"windows-1254", "CP1254"}, {"x-cp1254", "CP1254"},
    {"cp1255", "CP1255"}, {"windows-1255", "CP1255"}, {"x-cp1255", "CP1255"},
    {"cp1256", "CP1256"}, {"windows-1256", "CP1256"}, {"x-cp1256", "CP1256"},
    {"cp1257", "CP1257"}, {"windows-1257", "CP1257"}, {"x-cp1257", "CP1257"},
    {"cp1258", "CP1258"}, {"windows-1258", "CP1258"}, {"x-cp1258", "CP1258"},
    {"x-mac-cyrillic", "MAC-CYRILLIC"}, {"x-mac-ukrainian", "MAC-CYRILLIC"},
    {"chinese", "GBK"}, {"csgb2312", "GBK"}, {"csiso58gb231280", "GBK"}, {"gb2312", "GBK"}, {"gb_2312", "GBK"},
    {"gb_2312-80", "GBK"}, {"gbk", "GBK"}, {"iso-ir-58", "GBK"}, {"x-gbk", "GBK"},
    {"gb18030", "GB18030"},
    {"big5", "BIG5-HKSCS"}, {"big5-hkscs", "BIG5-HKSCS"}, {"cn-big5", "BIG5-HKSCS"}, {"csbig5", "BIG5-HKSCS"},
    {"x-x-big5", "BIG5-HKSCS"},
    {"cseucpkdfmtjapanese", "EUC-JP"}, {"euc-jp", "EUC-JP"}, {"x-euc-jp", "EUC-JP"},
    {"csiso2022jp", "ISO-2022-JP"}, {"iso-2022-jp", "ISO-2022-JP"},
    {"csshiftjis", "WINDOWS-31J"}, {"ms932", "WINDOWS-31J"}, {"ms_kanji", "WINDOWS-31J"},
    {"shift-jis", "WINDOWS-31J"}, {"shift_jis", "WINDOWS-31J"}, {"sjis", "WINDOWS-31J"},
    {"windows-31j", "WINDOWS-31J"}, {"x-sjis", "WINDOWS-31J"},
    {"cseuckr", "CP949"}, {"csksc56011987", "CP949"}, {"euc-kr", "CP949"}, {"iso-ir-149", "CP949"},
    {"korean", "CP949"}, {"ks_c_5601-1987", "CP949"}, {"ks_c_5601-1989", "CP949"}, {"ksc5601", "CP949"},
    {"ksc_5601", "CP949"}, {"windows-949", "CP949"},
    {"csiso2022kr", "replacement"}, {"hz-gb-2312", "replacement"}, {"iso-2022-cn", "replacement"},
    {"iso-2022-cn-ext", "replacement"}, {"iso-2022-kr", "replacement"}, {"replacement", "replacement"},
    {"unicodefffe", "UTF-8"}, {"utf-16be", "UTF-8"},
    {"csunicode", "UTF-8"}, {"iso-10646-ucs-2", "UTF-8"}, {"ucs-2", "UTF-8"}, {"unicode", "UTF-8"},
    {"unicodefeff", "UTF-8"}, {"utf-16", "UTF-8"}, {"utf-16le", "UTF-8"},
    {"x-user-defined", "WINDOWS-1252"},
};

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(s[i]) != prefix[i])
            return false;
    }
    return true;
}

std::string LowerString(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

// The label after "charset" in a content attribute ("text/html; charset=iso-8859-2").
std::string CharsetInContent(std::string_view content)
{
    const std::string lower = LowerString(content);
    for (std::size_t at = lower.find("charset"); at != std::string::npos; at = lower.find("charset", at + 1)) {
        std::size_t i = at + 7;
        while (i < lower.size() && IsSpace(lower[i]))
            ++i;
        if (i >= lower.size() || lower[i] != '=')
            continue;
        ++i;
        while (i < lower.size() && IsSpace(lower[i]))
            ++i;
        if (i < lower.size() && (lower[i] == '"' || lower[i] == '\'')) {
            const std::size_t e = lower.find(lower[i], i + 1);
            return e == std::string::npos ? std::string() : lower.substr(i + 1, e - i - 1);
        }
        std::size_t e = i;
        while (e < lower.size() && !IsSpace(lower[e]) && lower[e] != ';')
            ++e;
        return lower.substr(i, e - i);
    }
    return {};
}

// Reads one attribute of a tag from s[i]; false at the tag's end.
bool NextAttribute(std::string_view s, std::size_t& i, std::string& name, std::string& value)
{
    while (i < s.size() && (IsSpace(s[i]) || s[i] == '/'))
        ++i;
    if (i >= s.size() || s[i] == '>')
        return false;
    const std::size_t a = i++;
    while (i < s.size() && !IsSpace(s[i]) && s[i] != '/' && s[i] != '>' && s[i] != '=')
        ++i;
    name = LowerString(s.substr(a, i - a));
    value.clear();
    while (i < s.size() && IsSpace(s[i]))
        ++i;
    if (i < s.size() && s[i] == '=') {
        ++i;
        while (i < s.size() && IsSpace(s[i]))
            ++i;
        if (i < s.size() && (s[i] == '"' || s[i] == '\'')) {
            const std::size_t e = std::min(s.find(s[i], i + 1), s.size());
            value = s.substr(i + 1, e - i - 1);
            i = e + 1;
        } else {
            const std::size_t b = i;
            while (i < s.size() && !IsSpace(s[i]) && s[i] != '>')
                ++i;
            value = s.substr(b, i - b);
        }
    }
    return true;
}

}  // namespace

std::string EncodingForLabel(std::string_view label)
{
    while (!label.empty() && IsSpace(label.front()))
        label.remove_prefix(1);
    while (!label.empty() && IsSpace(label.back()))
        label.remove_suffix(1);
    const std::string lower = LowerString(label);
    for (const Label& l : kLabels) {
        if (lower == l.label)
            return l.encoding;
    }
    return {};
}

std::string DeclaredEncoding(const char* data, std::size_t size)
{
    const std::string_view s(data, size);
    std::size_t i = 0;
    while (i < s.size()) {
        const std::size_t lt = s.find('<', i);
        if (lt == std::string_view::npos)
            break;
        const std::string_view rest = s.substr(lt);
        if (rest.substr(0, 4) == "<!--") {
            const std::size_t e = s.find("-->", lt + 2);
            if (e == std::string_view::npos)
                break;
            i = e + 3;
            continue;
        }
        if (StartsWithNoCase(rest, "<meta") && rest.size() > 5 && (IsSpace(rest[5]) || rest[5] == '/')) {
            std::size_t j = lt + 5;
            std::string name, value, charset, content;
            bool httpEquiv = false;
            while (NextAttribute(s, j, name, value)) {
                if (name == "charset" && charset.empty())
                    charset = value;
                else if (name == "http-equiv")
                    httpEquiv = LowerString(value) == "content-type";
                else if (name == "content" && content.empty())
                    content = value;
            }
            std::string label = charset;
            if (label.empty() && httpEquiv)
                label = CharsetInContent(content);
            const std::string encoding = label.empty() ? std::string() : EncodingForLabel(label);
            if (!encoding.empty())
                return encoding;
            i = j + 1;
            continue;
        }
        // Any other tag, or markup such as "<!DOCTYPE": passed over with its attributes.
        if (rest.size() > 1 && (std::isalpha(static_cast<unsigned char>(rest[1])) || rest[1] == '/'
                                || rest[1] == '!' || rest[1] == '?')) {
            std::size_t j = lt + 2;
            std::string name, value;
            while (NextAttribute(s, j, name, value)) {
            }
            i = j + 1;
            continue;
        }
        i = lt + 1;
    }
    return {};
}

bool SingleByteTable(const std::string& encoding, char32_t table[256])
{
    iconv_t cd = iconv_open("UTF-32LE", encoding.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    bool single = true;
    for (int b = 0; b < 256 && single; ++b) {
        char in = static_cast<char>(b);
        unsigned char out[8];
        char* inp = &in;
        char* outp = reinterpret_cast<char*>(out);
        std::size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        const std::size_t r = iconv(cd, &inp, &inLeft, &outp, &outLeft);
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == EINVAL)
                single = false;  // the start of a longer sequence
            table[b] = 0xFFFD;
        } else if (sizeof out - outLeft == 4) {
            table[b] = out[0] | (out[1] << 8) | (out[2] << 16) | (char32_t(out[3]) << 24);
        } else {
            single = false;
        }
        if (b < 0x80 && table[b] != static_cast<char32_t>(b))
            single = false;
    }
    iconv_close(cd);
    return single;
}

std::string DecodeToUtf8(const std::string& encoding, const char* data, std::size_t size)
{
    static const char kReplacement[] = "\xEF\xBF\xBD";
    std::string out;
    iconv_t cd = iconv_open("UTF-8", encoding.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        out.assign(data, size);
        return out;
    }
    std::vector<char> buffer(1 << 16);
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    while (inLeft > 0) {
        char* outp = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t r = iconv(cd, &in, &inLeft, &outp, &outLeft);
        out.append(buffer.data(), buffer.size() - outLeft);
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // A byte that starts nothing valid (or an incomplete sequence at the end).
            out += kReplacement;
            ++in;
            --inLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    char* outp = buffer.data();
    std::size_t outLeft = buffer.size();
    iconv(cd, nullptr, nullptr, &outp, &outLeft);
    out.append(buffer.data(), buffer.size() - outLeft);
    iconv_close(cd);
    return out;
}

}  // namespace quorvik
