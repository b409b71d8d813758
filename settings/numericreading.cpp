#include "settings/numericreading.h"

#include <cfenv>
#include <cmath>
#include <string>

namespace quorvik {

double NumericReading(const QString& text)
{
    // Drop the characters that the reading skips wherever they stand.
    std::string s;
    s.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        s.push_back(c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\x01');
    }
    std::size_t i = 0;
    if (s.size() >= 2 && s[0] == '&' && (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const bool hex = s[1] == 'H' || s[1] == 'h';
        double v = 0;
        for (i = 2; i < s.size(); ++i) {
            const char c = s[i];
            int d;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            else
                break;
            if (!hex && d > 7)
                break;
            v = v * (hex ? 16 : 8) + d;
        }
        return v;
    }
    std::string num;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        num.push_back(s[i++]);
    bool digits = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
        num.push_back(s[i++]);
        digits = true;
    }
    if (i < s.size() && s[i] == '.') {
        num.push_back(s[i++]);
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            num.push_back(s[i++]);
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        std::string exp = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exp.push_back(s[j++]);
        bool expDigits = false;
        while (j < s.size() && s[j] >= '0' && s[j] <= '9') {
            exp.push_back(s[j++]);
            expDigits = true;
        }
        if (expDigits)
            num += exp;
    }
    try {
        return std::stod(num);
    } catch (...) {
        // Out of double's range: the sign still tells which way it overflows.
        return num[0] == '-' ? -HUGE_VAL : HUGE_VAL;
    }
}

bool RoundToShort(double value, int& result)
{
    if (!std::isfinite(value))
        return false;
    const int saved = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(value);
    std::fesetround(saved);
    if (r < -32768.0 || r > 32767.0)
        return false;
    result = static_cast<int>(r);
    return true;
}

bool ReadTypedWholeNumber(const QString& typed, int& result)
{
    const QString t = typed.trimmed();
    auto isDigit = [&t](qsizetype i) { return i < t.size() && t[i] >= u'0' && t[i] <= u'9'; };
    qsizetype i = 0;
    if (i < t.size() && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    const qsizetype firstDigit = i;
    while (isDigit(i))
        ++i;
    if (i == firstDigit)
        return false;
    if (i < t.size() && t[i] == u'.') {
        const qsizetype point = i++;
        while (isDigit(i))
            ++i;
        if (i == point + 1)
            return false;
    }
    if (i != t.size())
        return false;
    return RoundToShort(t.toDouble(), result);
}

}  // namespace quorvik
