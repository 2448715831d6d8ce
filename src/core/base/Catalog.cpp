#include "core/base/Catalog.h"

#include "core/base/DefaultTexts.h"
#include "core/base/IntText.h"

#include <QStringDecoder>

namespace {
const QChar kPilcrow(0x00B6);

bool startsWith(const QByteArray &bytes, std::initializer_list<unsigned char> prefix)
{
    if (bytes.size() < qsizetype(prefix.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char c : prefix) {
        if (static_cast<unsigned char>(bytes[i++]) != c)
            return false;
    }
    return true;
}
} // namespace

Catalog::Catalog() = default;

QString Catalog::text(int index) const
{
    if (index < 0 || index >= m_texts.size())
        return QStringLiteral(" ");
    return m_texts.at(index);
}

void Catalog::Load_Default_Texts()
{
    m_texts.clear();
    m_texts.reserve(Size);
    for (int i = 0; i < Size; ++i)
        m_texts.append(QStringLiteral(" "));
    for (int i = 0; i < kDefaultTextCount; ++i)
        m_texts[kDefaultTexts[i].index] = QString::fromUtf16(kDefaultTexts[i].text);
    m_count = Size;
}

QString Catalog::decode(const QByteArray &bytes)
{
    if (startsWith(bytes, {0xEF, 0xBB, 0xBF}))
        return QString::fromUtf8(bytes.mid(3));
    if (startsWith(bytes, {0xFF, 0xFE})) {
        QStringDecoder dec(QStringDecoder::Utf16LE);
        return dec(bytes.mid(2));
    }
    if (startsWith(bytes, {0xFE, 0xFF})) {
        QStringDecoder dec(QStringDecoder::Utf16BE);
        return dec(bytes.mid(2));
    }
    {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8(bytes);
        if (!utf8.hasError())
            return text;
    }
#ifdef Q_OS_WIN
    QStringDecoder ansi(QStringDecoder::System);
#else
    QStringDecoder ansi("windows-1252");
#endif
    if (ansi.isValid())
        return ansi(bytes);
    return QString::fromLatin1(bytes);
}

void Catalog::applyLangText(const QString &text, QString &languageVer)
{
    if (m_texts.size() < m_count)
        return;
    bool versionFound = false;
    qsizetype pos = 0;
    const qsizetype n = text.size();
    while (pos <= n) {
        qsizetype end = pos;
        while (end < n && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        const QString line = IntText::trimmed(QStringView(text).mid(pos, end - pos));
        if (end < n && text[end] == u'\r' && end + 1 < n && text[end + 1] == u'\n')
            ++end;
        pos = end + 1;

        if (line.startsWith(QLatin1String("STR"))) {
            const qsizetype eq = line.indexOf(u'=');
            if (eq < 0)
                continue;
            // The character just before "=" is never part of the index.
            const qsizetype indexLength = eq - 4;
            if (indexLength <= 0)
                continue;
            const auto index = IntText::read(IntText::trimmed(QStringView(line).mid(3, indexLength)));
            if (!index || *index < 0 || *index >= m_count)
                continue;
            QString value = IntText::trimmed(QStringView(line).mid(eq + 1));
            if (value.isEmpty())
                continue;
            const qsizetype comment = value.indexOf(QLatin1String("/#/"));
            if (comment >= 0) {
                value = IntText::trimmed(QStringView(value).left(comment));
                if (value.isEmpty())
                    continue;
            }
            // Pilcrows keep blanks that trimming would remove: "¶ to ¶" is " to ".
            if (value.startsWith(kPilcrow))
                value.remove(0, 1);
            const qsizetype pilcrow = value.indexOf(kPilcrow);
            if (pilcrow >= 0)
                value.truncate(pilcrow);
            m_texts[*index] = value;
        } else if (!versionFound && IntText::upperAscii(line).startsWith(QLatin1String("//VERSION"))) {
            languageVer = IntText::trimmed(QStringView(line).mid(9));
            versionFound = true;
        }
    }
}

const Catalog &Catalog::defaults()
{
    static const Catalog instance = [] {
        Catalog c;
        c.Load_Default_Texts();
        return c;
    }();
    return instance;
}

const Catalog &Catalog::messages()
{
    const Catalog &loaded = catalog();
    return loaded.Lang_Count() > 0 ? loaded : defaults();
}

Catalog &catalog()
{
    static Catalog instance;
    return instance;
}
