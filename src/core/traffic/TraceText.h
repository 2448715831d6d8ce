#pragma once

#include "core/base/IntText.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstring>

// The small pieces of text that the trace readers share. Inline: they run for every line.
namespace TraceText {

// Nanoseconds since 1970 fit 64 bits until the year 2262.
constexpr qint64 MaxSeconds = 9'000'000'000;

inline bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// "1436509053.249713" or "0.001000": seconds with up to nine decimals, as nanoseconds.
inline bool readTime(const char *&p, const char *end, qint64 &ns)
{
    qint64 seconds = 0;
    int digits = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        if (++digits > 11)
            return false;
        seconds = seconds * 10 + (*p++ - '0');
    }
    if (digits == 0 || seconds > MaxSeconds)
        return false;
    qint64 fraction = 0;
    int decimals = 0;
    if (p < end && *p == '.') {
        ++p;
        while (p < end && *p >= '0' && *p <= '9') {
            if (decimals < 9) {
                fraction = fraction * 10 + (*p - '0');
                ++decimals;
            }
            ++p;
        }
    }
    for (int d = decimals; d < 9; ++d)
        fraction *= 10;
    ns = seconds * 1'000'000'000 + fraction;
    return true;
}

// Upper-case hexadecimal digits, at least `width` of them.
inline void appendHex(QByteArray &out, quint32 value, int width)
{
    static const char digits[] = "0123456789ABCDEF";
    char buf[8];
    int n = 0;
    do {
        buf[n++] = digits[value & 0xF];
        value >>= 4;
    } while (value && n < 8);
    for (int i = n; i < width; ++i)
        out.append('0');
    while (n)
        out.append(buf[--n]);
}

struct Token
{
    const char *begin = nullptr;
    int size = 0;
    bool is(const char *text) const
    {
        return size == int(std::strlen(text)) && std::memcmp(begin, text, size_t(size)) == 0;
    }
};

// Splits at blanks; at most `max` tokens.
inline int tokens(const char *p, const char *end, Token *out, int max)
{
    int n = 0;
    while (n < max) {
        while (p < end && isBlank(*p))
            ++p;
        if (p >= end)
            break;
        const char *start = p;
        while (p < end && !isBlank(*p))
            ++p;
        out[n++] = Token{start, int(p - start)};
    }
    return n;
}

inline bool readNumber(const Token &t, int base, quint32 &value)
{
    if (t.size == 0 || t.size > 10)
        return false;
    quint64 v = 0;
    for (int i = 0; i < t.size; ++i) {
        const int d = IntText::hexDigit(t.begin[i]);
        if (d < 0 || d >= base)
            return false;
        v = v * quint64(base) + quint64(d);
    }
    if (v > 0xFFFFFFFFu)
        return false;
    value = quint32(v);
    return true;
}

// Digits with one decimal point: "12.345".
inline bool isTimeToken(const Token &t)
{
    bool dot = false;
    for (int i = 0; i < t.size; ++i) {
        if (t.begin[i] == '.' && !dot)
            dot = true;
        else if (t.begin[i] < '0' || t.begin[i] > '9')
            return false;
    }
    return dot && t.size > 1;
}

} // namespace TraceText
