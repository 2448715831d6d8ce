#include "core/base/Paths.h"

#include <QDir>

QString joinPath(const QString &dir, const QString &name)
{
    if (dir.isEmpty())
        return QDir::toNativeSeparators(QDir::separator() + name);
    return QDir::toNativeSeparators(QDir(dir).filePath(name));
}
