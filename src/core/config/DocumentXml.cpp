#include "core/config/DocumentXml.h"

#include "core/app/XmlFile.h"

#include <QFileInfo>

namespace DocumentXml {

Load loadRoot(const QString &path, QDomDocument &doc, QDomNode &root, QString &error)
{
    error.clear();
    root = QDomNode();
    if (!QFileInfo::exists(path))
        return Load::NoFile;
    error = XmlFile::load(path, doc);
    if (!error.isEmpty())
        return Load::Failed;
    root = XmlFile::firstTopLevelNode(doc);
    return Load::Loaded;
}

Load parseRoot(const QByteArray &bytes, const QString &shownName, QDomDocument &doc, QDomNode &root,
               QString &error)
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
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D)
            return false;
        if (u == 0xFFFE || u == 0xFFFF)
            return false;
        if (QChar::isHighSurrogate(u)) {
            if (i + 1 >= text.size() || !QChar::isLowSurrogate(text[i + 1].unicode()))
                return false;
            ++i;
        } else if (QChar::isLowSurrogate(u)) {
            return false;
        }
    }
    return true;
}

} // namespace DocumentXml
