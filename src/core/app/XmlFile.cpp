#include "core/app/XmlFile.h"

#include "core/app/FileIo.h"

#include <QDir>

namespace XmlFile {

QString load(const QString &path, QDomDocument &doc)
{
    QByteArray data;
    const QString error = FileIo::readFile(path, data);
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

QByteArray bytes(const QDomDocument &doc)
{
    return doc.toByteArray(-1);
}

} // namespace XmlFile
