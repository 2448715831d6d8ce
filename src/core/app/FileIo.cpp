#include "core/app/FileIo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace FileIo {

QString writeAll(QIODevice &device, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = device.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            return device.errorString();
        done += n;
    }
    return QString();
}

QString saveFile(const QString &path, const QByteArray &bytes)
{
    const QString shown = QDir::toNativeSeparators(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot write %1: %2").arg(shown, file.errorString());
    const QString error = writeAll(file, bytes);
    if (!error.isEmpty()) {
        file.cancelWriting();
        return QStringLiteral("Cannot write %1: %2").arg(shown, error);
    }
    if (!file.commit())
        return QStringLiteral("Cannot write %1: %2").arg(shown, file.errorString());
    return QString();
}

QString readFile(const QString &path, QByteArray &bytes, qint64 maxBytes)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Cannot read %1: %2").arg(shown, file.errorString());
    if (file.size() > maxBytes)
        return QStringLiteral("Cannot read %1: the file is larger than %2 bytes").arg(shown).arg(maxBytes);
    bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return QStringLiteral("Cannot read %1: %2").arg(shown, file.errorString());
    return QString();
}

} // namespace FileIo
