#include "core/image/XmlSource.h"

#include "core/app/XmlFile.h"

#include <QDir>
#include <QFileInfo>

XmlSource XmlSource::load(const QString &path)
{
    XmlSource source;
    source.shownName = QDir::toNativeSeparators(path);
    if (!QFileInfo::exists(path))
        return source;
    source.exists = true;
    source.error = XmlFile::load(path, source.doc);
    return source;
}

XmlSource XmlSource::fromBytes(const QByteArray &bytes, const QString &shownName)
{
    XmlSource source;
    source.shownName = shownName;
    source.exists = true;
    source.error = XmlFile::parse(bytes, shownName, source.doc);
    return source;
}
