#include "core/app/XmlFile.h"

#include "core/app/FileIo.h"

#include <QDir>

#include <algorithm>
#include <cstring>

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

// Stops as soon as one limit is passed; a document that is not well-formed is left for the
// parser to report.
QString shapeError(const QByteArray &data, const QString &shownName)
{
    const char *p = data.constData();
    const char *const end = p + data.size();
    const auto startsWith = [&](const char *text) {
        const size_t n = std::strlen(text);
        return size_t(end - p) >= n && std::memcmp(p, text, n) == 0;
    };
    const auto skipPast = [&](const char *marker) {
        const size_t n = std::strlen(marker);
        const char *hit = std::search(p, end, marker, marker + n);
        p = hit == end ? end : hit + n;
    };
    const auto refuse = [&](const QString &why) {
        return QStringLiteral("%1 is not a document this program reads: %2").arg(shownName, why);
    };
    Shape shape;
    int depth = 0;
    while (p < end) {
        const char *tag = static_cast<const char *>(std::memchr(p, '<', size_t(end - p)));
        if (!tag)
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
        } else if (startsWith("<!")) {
            // A document type declaration, with or without an internal subset.
            const char *close = std::find(p, end, '>');
            const char *open = std::find(p, close, '[');
            p = open < close ? std::find(open, end, ']') : close;
            skipPast(">");
        } else if (startsWith("</")) {
            --depth;
            skipPast(">");
        } else {
            ++shape.nodes;
            qint64 attributes = 0;
            char quote = 0;
            char previous = 0;
            for (++p; p < end; previous = *p++) {
                if (quote) {
                    if (*p == quote)
                        quote = 0;
                } else if (*p == '"' || *p == '\'') {
                    quote = *p;
                } else if (*p == '=') {
                    ++attributes;
                } else if (*p == '>') {
                    break;
                }
            }
            if (p < end)
                ++p;
            if (previous != '/')
                shape.depth = std::max(shape.depth, ++depth);
            shape.nodes += attributes;
            shape.attributes = std::max(shape.attributes, attributes);
        }
        if (shape.nodes > MaxNodes)
            return refuse(QStringLiteral("it holds more than %1 XML elements, attributes and texts").arg(MaxNodes));
        if (shape.depth > MaxDepth)
            return refuse(QStringLiteral("its elements are nested more than %1 deep").arg(MaxDepth));
        if (shape.attributes > MaxAttributes)
            return refuse(QStringLiteral("an element holds more than %1 attributes").arg(MaxAttributes));
    }
    return QString();
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
        return QStringLiteral("%1 is not a valid XML document (line %2, column %3): %4")
            .arg(shownName)
            .arg(line)
            .arg(column)
            .arg(message);
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
