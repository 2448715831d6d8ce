#include "core/image/FilterDocument.h"

#include "core/base/FileIo.h"
#include "core/base/XmlFile.h"
#include "core/config/CobIdDocument.h"

#include <QDir>
#include <QDomDocument>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace {
constexpr QLatin1String kOrig = QLatin1String("Orig_CobID");
constexpr QLatin1String kType = QLatin1String("Type_CobID");
constexpr QLatin1String kMod = QLatin1String("Mod_CobID");
constexpr QLatin1String kModType = QLatin1String("Type_MCobID");

int sectionIndex(QStringView name)
{
    for (const Direction d : Direction::all()) {
        if (name == QLatin1String(d.name()))
            return d.index();
    }
    return -1;
}
} // namespace

FilterDocument FilterDocument::load(const QString &path)
{
    FilterDocument doc;
    doc.shownName = QDir::toNativeSeparators(path);
    if (FileIo::absent(path))
        return doc;
    QByteArray bytes;
    const QString error = FileIo::readFile(path, bytes, CobIdDocument::MaxFileBytes);
    if (!error.isEmpty()) {
        doc.exists = true;
        doc.error = error;
        return doc;
    }
    return fromBytes(bytes, doc.shownName);
}

FilterDocument FilterDocument::fromBytes(const QByteArray &bytes, const QString &shownName)
{
    // The streaming pass keeps every row too, and meets the same costly shapes as the DOM.
    const QString shapeError = XmlFile::shapeError(bytes, shownName);
    if (!shapeError.isEmpty()) {
        FilterDocument refused;
        refused.exists = true;
        refused.error = shapeError;
        refused.shownName = shownName;
        return refused;
    }
    std::optional<FilterDocument> doc = readStreaming(bytes);
    if (!doc) {
        QDomDocument dom;
        const QString error = XmlFile::parse(bytes, shownName, dom);
        doc = error.isEmpty() ? readDom(dom) : FilterDocument();
        doc->error = error;
    }
    doc->exists = true;
    doc->shownName = shownName;
    return *doc;
}

std::optional<FilterDocument> FilterDocument::readStreaming(const QByteArray &bytes)
{
    FilterDocument doc;
    QXmlStreamReader reader(bytes);
    int depth = 0;    // elements open
    int section = -1; // the section whose rows are being read
    bool beforeRoot = true;
    bool nodeBeforeRoot = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
        case QXmlStreamReader::EndDocument:
            break;
        case QXmlStreamReader::StartElement:
            if (depth == 0) {
                doc.rootName = reader.name().toString();
                doc.rootIsFirst = !nodeBeforeRoot;
                beforeRoot = false;
            } else if (depth == 1) {
                const int index = sectionIndex(reader.name());
                // Only the first element of each name counts, as a lookup by name finds it.
                section = index >= 0 && !doc.sections[index].present ? index : -1;
                if (section >= 0)
                    doc.sections[section].present = true;
            } else if (depth == 2 && section >= 0) {
                const QXmlStreamAttributes a = reader.attributes();
                doc.sections[section].rows.push_back(Row{true, a.value(kOrig).toString(), a.value(kType).toString(),
                                                         a.value(kMod).toString(), a.value(kModType).toString()});
            }
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            if (depth == 1)
                section = -1;
            break;
        case QXmlStreamReader::Characters:
            // Blank text between the rows is no node; any other text among them is one.
            if (depth == 2 && section >= 0 && (reader.isCDATA() || !reader.isWhitespace()))
                return std::nullopt;
            break;
        case QXmlStreamReader::Comment:
            if (depth == 0 && beforeRoot)
                nodeBeforeRoot = true;
            if (depth == 2 && section >= 0)
                return std::nullopt;
            break;
        default: // DTD, entity references, processing instructions, errors
            return std::nullopt;
        }
    }
    if (reader.hasError())
        return std::nullopt;
    return doc;
}

FilterDocument FilterDocument::readDom(const QDomDocument &dom)
{
    FilterDocument doc;
    const QDomElement root = dom.documentElement();
    doc.rootName = root.tagName();
    doc.rootIsFirst = !root.isNull() && XmlFile::firstTopLevelNode(dom) == root;
    for (const Direction d : Direction::all()) {
        const QDomElement element = root.firstChildElement(QLatin1String(d.name()));
        Section &section = doc.sections[d.index()];
        section.present = !element.isNull();
        for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling()) {
            const QDomElement row = node.toElement();
            if (row.isNull())
                section.rows.push_back(Row{false, {}, {}, {}, {}});
            else
                section.rows.push_back(Row{true, row.attribute(kOrig), row.attribute(kType), row.attribute(kMod),
                                           row.attribute(kModType)});
        }
    }
    return doc;
}
