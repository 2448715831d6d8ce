#include "core/base/IntText.h"

namespace IntText {

namespace {
int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}
} // namespace

std::optional<qint32> read(QStringView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }

    bool hex = false;
    if (i < n && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= n)
        return std::nullopt;

    quint64 value = 0;
    if (hex) {
        for (; i < n; ++i) {
            const int d = hexValue(text[i]);
            if (d < 0)
                return std::nullopt;
            value = value * 16 + quint64(d);
            if (value > 0xFFFFFFFFull)
                return std::nullopt;
        }
        const auto word = quint32(value);
        const auto result = qint32(word);
        return negative ? qint32(0u - word) : result;
    }

    const quint64 limit = negative ? 2147483648ull : 2147483647ull;
    for (; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < u'0' || u > u'9')
            return std::nullopt;
        value = value * 10 + quint64(u - u'0');
        if (value > limit)
            return std::nullopt;
    }
    return negative ? qint32(0u - quint32(value)) : qint32(value);
}

qint32 readOr(QStringView text, qint32 fallback)
{
    return read(text).value_or(fallback);
}

QString trimmed(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    return text.mid(begin, end - begin).toString();
}

QString upperAscii(QStringView text)
{
    QString out = text.toString();
    for (QChar &c : out) {
        if (c.unicode() >= u'a' && c.unicode() <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return out;
}

} // namespace IntText
