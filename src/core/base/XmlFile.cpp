#include "core/base/XmlFile.h"

#include "core/base/Catalog.h"
#include "core/base/FileIo.h"

#include <QDir>
#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <optional>

namespace XmlFile {

namespace {

// What a document would cost as a tree, found from its bytes alone. The count errs on the
// high side only for texts, which are counted whether or not they hold more than blanks.
struct Shape
{
    qint64 nodes = 0;
    int depth = 0;
    qint64 attributes = 0; // of the element that has most
};

} // namespace

namespace {

// Text that entity references may add beyond the file's own length.
constexpr qint64 ExpansionAllowance = 64 * 1024;

template <typename Char>
class ShapeScan
{
public:
    ShapeScan(const Char *begin, const Char *end)
        : p(begin)
        , m_end(end)
    {
    }

    // Empty when the text keeps within the limits, else why it does not.
    QString run();

private:
    bool startsWith(const char *text) const
    {
        const size_t n = std::strlen(text);
        if (size_t(m_end - p) < n)
            return false;
        for (size_t i = 0; i < n; ++i) {
            if (p[i] != Char(text[i]))
                return false;
        }
        return true;
    }
    void skipPast(const char *marker)
    {
        const size_t n = std::strlen(marker);
        while (p < m_end && !startsWith(marker))
            ++p;
        p = p < m_end ? p + n : m_end;
    }
    static bool isSpace(Char c) { return c == Char(' ') || c == Char('\t') || c == Char('\n') || c == Char('\r'); }
    void skipSpace()
    {
        while (p < m_end && isSpace(*p))
            ++p;
    }
    QString word()
    {
        const Char *start = p;
        while (p < m_end && !isSpace(*p) && *p != Char('>') && *p != Char('"') && *p != Char('\''))
            ++p;
        QString text;
        for (const Char *c = start; c < p; ++c)
            text += QChar(char16_t(quint16(*c)));
        return text;
    }
    // A quoted literal; false when there is none here.
    bool literal(const Char *&from, const Char *&to)
    {
        if (p >= m_end || (*p != Char('"') && *p != Char('\'')))
            return false;
        const Char quote = *p++;
        from = p;
        while (p < m_end && *p != quote)
            ++p;
        to = p;
        if (p < m_end)
            ++p;
        return true;
    }
    QString internalSubset();
    QString declaration();
    // At the '&' of a reference: counts what a declared entity expands to; true when it was one.
    bool reference(const Char *amp)
    {
        if (m_entities.isEmpty())
            return false;
        const Char *name = amp + 1;
        const Char *stop = name;
        while (stop < m_end && stop - name < 256 && *stop != Char(';') && *stop != Char('<') && !isSpace(*stop))
            ++stop;
        if (stop >= m_end || *stop != Char(';'))
            return false;
        QString text;
        for (const Char *c = name; c < stop; ++c)
            text += QChar(char16_t(quint16(*c)));
        const auto found = m_entities.constFind(text);
        if (found == m_entities.constEnd())
            return false;
        m_expanded += *found;
        return true;
    }

    const Char *p;
    const Char *const m_end;
    QHash<QString, qint64> m_entities; // general entities with a literal value, by name: its length
    qint64 m_expanded = 0;             // characters the references in the document expand to
};

// The declarations of a document type's internal subset. The parser expands entities, so an
// entity holding markup would give a tree the counts below never see, and one holding other
// references grows with each level; default attribute values add attributes to every element
// of a name. None of these occur in a document this program reads, and they are refused.
template <typename Char>
QString ShapeScan<Char>::internalSubset()
{
    while (p < m_end) {
        skipSpace();
        if (p >= m_end)
            break;
        if (*p == Char(']')) {
            ++p;
            return QString();
        }
        if (startsWith("<!--")) {
            skipPast("-->");
        } else if (startsWith("<?")) {
            skipPast("?>");
        } else if (*p == Char('%')) {
            return Catalog::messages().text(TextId::XmlParameterEntityUsed);
        } else if (startsWith("<!")) {
            const QString why = declaration();
            if (!why.isEmpty())
                return why;
        } else {
            ++p; // not well-formed; the parser reports it
        }
    }
    return QString();
}

template <typename Char>
QString ShapeScan<Char>::declaration()
{
    p += 2;
    const QString keyword = word();
    if (keyword == QLatin1String("ENTITY")) {
        skipSpace();
        if (p < m_end && *p == Char('%'))
            return Catalog::messages().text(TextId::XmlParameterEntityDeclared);
        skipSpace();
        const QString name = word();
        skipSpace();
        const Char *from = nullptr;
        const Char *to = nullptr;
        if (literal(from, to)) {
            for (const Char *c = from; c < to; ++c) {
                if (*c == Char('<') || *c == Char('&'))
                    return Catalog::messages().text(TextId::XmlEntityWithMarkup).arg(name);
            }
            if (!m_entities.contains(name))
                m_entities.insert(name, qint64(to - from));
        }
    } else if (keyword == QLatin1String("ATTLIST")) {
        // Anything quoted in an attribute list declaration is a default value.
        while (p < m_end && *p != Char('>')) {
            if (*p == Char('"') || *p == Char('\''))
                return Catalog::messages().text(TextId::XmlDefaultAttributes);
            ++p;
        }
    }
    // The rest of the declaration, its literals skipped whole.
    while (p < m_end && *p != Char('>')) {
        const Char *from;
        const Char *to;
        if (!literal(from, to))
            ++p;
    }
    if (p < m_end)
        ++p;
    return QString();
}

// Stops as soon as one limit is passed; a document that is not well-formed is left for the
// parser to report.
template <typename Char>
QString ShapeScan<Char>::run()
{
    Shape shape;
    int depth = 0;
    const qint64 size = qint64(m_end - p);
    const auto exceeded = [&]() -> QString {
        if (shape.nodes > MaxNodes)
            return Catalog::messages().text(TextId::XmlTooManyNodes).arg(MaxNodes);
        if (shape.depth > MaxDepth)
            return Catalog::messages().text(TextId::XmlTooDeep).arg(MaxDepth);
        if (shape.attributes > MaxAttributes)
            return Catalog::messages().text(TextId::XmlTooManyAttributes).arg(MaxAttributes);
        if (m_expanded > size + ExpansionAllowance)
            return Catalog::messages().text(TextId::XmlEntitiesTooLong);
        return QString();
    };
    while (p < m_end) {
        const Char *tag = p;
        while (tag < m_end && *tag != Char('<')) {
            if (*tag == Char('&') && reference(tag))
                ++shape.nodes;
            ++tag;
        }
        if (tag == m_end)
            break;
        if (tag > p)
            ++shape.nodes; // the text before it
        p = tag;
        if (startsWith("<!--")) {
            ++shape.nodes;
            skipPast("-->");
        } else if (startsWith("<![CDATA[")) {
            ++shape.nodes;
            skipPast("]]>");
        } else if (startsWith("<?")) {
            ++shape.nodes;
            skipPast("?>");
        } else if (startsWith("<!DOCTYPE")) {
            // The name and external identifier, then the internal subset if there is one.
            p += 9;
            while (p < m_end && *p != Char('[') && *p != Char('>')) {
                const Char *from;
                const Char *to;
                if (!literal(from, to))
                    ++p;
            }
            if (p < m_end && *p == Char('[')) {
                ++p;
                const QString why = internalSubset();
                if (!why.isEmpty())
                    return why;
            }
            skipPast(">");
        } else if (startsWith("<!")) {
            skipPast(">");
        } else if (startsWith("</")) {
            --depth;
            skipPast(">");
        } else {
            ++shape.nodes;
            qint64 attributes = 0;
            Char quote = 0;
            Char previous = 0;
            for (++p; p < m_end; ++p) {
                const Char c = *p;
                if (quote) {
                    if (c == quote)
                        quote = 0;
                    else if (c == Char('&'))
                        reference(p);
                } else if (c == Char('"') || c == Char('\'')) {
                    quote = c;
                } else if (c == Char('=')) {
                    ++attributes;
                } else if (c == Char('>')) {
                    break;
                }
                previous = c;
            }
            if (p < m_end)
                ++p;
            if (previous != Char('/'))
                shape.depth = std::max(shape.depth, ++depth);
            shape.nodes += attributes;
            shape.attributes = std::max(shape.attributes, attributes);
        }
        const QString why = exceeded();
        if (!why.isEmpty())
            return why;
    }
    return exceeded();
}

bool asciiCompatible(const QByteArray &name)
{
    const QByteArray n = name.toLower();
    return n.isEmpty() || n == "utf-8" || n == "utf8" || n == "us-ascii" || n == "ascii" || n.startsWith("iso-8859-")
        || n.startsWith("windows-125") || n.startsWith("cp125") || n == "latin1" || n == "iso_8859-1";
}

// The encoding named by a leading XML declaration, empty when there is none.
QByteArray declaredEncoding(const QByteArray &data)
{
    if (!data.startsWith("<?xml"))
        return QByteArray();
    const qsizetype close = data.indexOf("?>");
    const QByteArray declaration = data.left(close < 0 ? 200 : close);
    const qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return QByteArray();
    qsizetype q = at + 8;
    while (q < declaration.size() && (declaration[q] == ' ' || declaration[q] == '=' || declaration[q] == '\t'))
        ++q;
    if (q >= declaration.size() || (declaration[q] != '"' && declaration[q] != '\''))
        return QByteArray();
    const qsizetype end = declaration.indexOf(declaration[q], q + 1);
    return end < 0 ? QByteArray() : declaration.mid(q + 1, end - q - 1);
}

} // namespace

// The counts are taken on the text as the parser decodes it: UTF-8 and the 8-bit code pages
// on their bytes, UTF-16 and UTF-32 (found by their byte-order mark or their first character)
// and any other declared encoding on the decoded characters.
QString shapeError(const QByteArray &data, const QString &shownName)
{
    const auto refuse = [&](const QString &why) {
        return why.isEmpty() ? QString() : Catalog::messages().text(TextId::XmlNotReadable).arg(shownName, why);
    };
    std::optional<QStringConverter::Encoding> encoding = QStringConverter::encodingForData(data, u'<');
    QStringDecoder decoder;
    if (encoding && *encoding != QStringConverter::Utf8) {
        decoder = QStringDecoder(*encoding);
    } else {
        const QByteArray declared = declaredEncoding(data.startsWith("\xEF\xBB\xBF") ? data.mid(3) : data);
        if (asciiCompatible(declared))
            return refuse(ShapeScan<char>(data.constData(), data.constData() + data.size()).run());
        decoder = QStringDecoder(declared.constData());
        if (!decoder.isValid())
            return refuse(Catalog::messages().text(TextId::XmlEncodingUnknown).arg(QString::fromLatin1(declared)));
        // Whether the parser follows the declaration or its own reading of the bytes, both
        // views must keep within the limits.
        const QString onBytes = ShapeScan<char>(data.constData(), data.constData() + data.size()).run();
        if (!onBytes.isEmpty())
            return refuse(onBytes);
    }
    const QString text = decoder.decode(data);
    const auto *chars = reinterpret_cast<const char16_t *>(text.constData());
    return refuse(ShapeScan<char16_t>(chars, chars + text.size()).run());
}

QString load(const QString &path, QDomDocument &doc, qint64 maxBytes)
{
    QByteArray data;
    const QString error = FileIo::readFile(path, data, maxBytes);
    if (!error.isEmpty()) {
        doc.clear();
        return error;
    }
    return parse(data, QDir::toNativeSeparators(path), doc);
}

QString parse(const QByteArray &data, const QString &shownName, QDomDocument &doc)
{
    QString message;
    int line = 0;
    int column = 0;
    doc.clear();
    const QString shapeProblem = shapeError(data, shownName);
    if (!shapeProblem.isEmpty())
        return shapeProblem;
    if (!doc.setContent(data, false, &message, &line, &column)) {
        doc.clear();
        return Catalog::messages()
            .text(TextId::XmlInvalid)
            .arg(shownName, QString::number(line), QString::number(column), message);
    }
    return QString();
}

QDomNode firstTopLevelNode(const QDomDocument &doc)
{
    QDomNode node = doc.firstChild();
    while (!node.isNull() && node.isProcessingInstruction()
           && node.toProcessingInstruction().target().compare(QLatin1String("xml"), Qt::CaseInsensitive) == 0)
        node = node.nextSibling();
    return node;
}

QString childText(const QDomNode &parent, const QString &name, bool *found)
{
    const QDomElement child = parent.isNull() ? QDomElement() : parent.firstChildElement(name);
    if (found)
        *found = !child.isNull();
    return child.isNull() ? QString() : child.text();
}

namespace {
// Length of the storable character at `i`, or 0.
qsizetype storableAt(QStringView text, qsizetype i)
{
    const char16_t u = text[i].unicode();
    if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D)
        return 0;
    if (u == 0xFFFE || u == 0xFFFF)
        return 0;
    if (QChar::isHighSurrogate(u))
        return i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()) ? 2 : 0;
    return QChar::isLowSurrogate(u) ? 0 : 1;
}
} // namespace

bool storable(QStringView text)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = storableAt(text, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

QString storableText(const QString &text)
{
    if (storable(text))
        return text;
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = storableAt(text, i);
        if (n > 0)
            kept.append(QStringView(text).mid(i, n));
        i += n > 0 ? n : 1;
    }
    return kept;
}

QByteArray bytes(const QDomDocument &doc)
{
    return doc.toByteArray(-1);
}

} // namespace XmlFile
