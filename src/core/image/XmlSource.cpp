#include "core/image/XmlSource.h"

#include "core/base/FileIo.h"
#include "core/base/XmlFile.h"

#include <QDir>

XmlSource XmlSource::load(const QString &path, qint64 maxBytes)
{
    XmlSource source;
    source.shownName = QDir::toNativeSeparators(path);
    if (FileIo::absent(path))
        return source;
    source.exists = true;
    source.error = XmlFile::load(path, source.doc, maxBytes);
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
