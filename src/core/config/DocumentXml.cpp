#include "core/config/DocumentXml.h"

#include "core/base/FileIo.h"
#include "core/base/XmlFile.h"

namespace DocumentXml {

Load loadRoot(const QString &path, qint64 maxBytes, QDomDocument &doc, QDomNode &root, QString &error)
{
    error.clear();
    root = QDomNode();
    if (FileIo::absent(path))
        return Load::NoFile;
    error = XmlFile::load(path, doc, maxBytes);
    if (!error.isEmpty())
        return Load::Failed;
    root = XmlFile::firstTopLevelNode(doc);
    return Load::Loaded;
}

Load parseRoot(const QByteArray &bytes, const QString &shownName, QDomDocument &doc, QDomNode &root, QString &error)
{
    root = QDomNode();
    error = XmlFile::parse(bytes, shownName, doc);
    if (!error.isEmpty())
        return Load::Failed;
    root = XmlFile::firstTopLevelNode(doc);
    return Load::Loaded;
}

bool storable(QStringView text)
{
    return XmlFile::storable(text);
}

} // namespace DocumentXml
