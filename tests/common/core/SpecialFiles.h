#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

// Things that stand where a file is expected and are not one.
namespace SpecialFiles {

enum class Shape { Fifo, Device, Folder, DanglingLink };

// Puts something of that shape at `path` (a device as a link to /dev/zero); false where the
// system cannot make it.
inline bool make(Shape shape, const QString &path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(shape);
    Q_UNUSED(path);
    return false;
#else
    switch (shape) {
    case Shape::Fifo:
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    case Shape::Device:
        return QFile::link(QStringLiteral("/dev/zero"), path);
    case Shape::Folder:
        return QDir().mkdir(path);
    case Shape::DanglingLink:
        return QFile::link(QFileInfo(path).absolutePath() + QStringLiteral("/gone"), path);
    }
    return false;
#endif
}

} // namespace SpecialFiles
