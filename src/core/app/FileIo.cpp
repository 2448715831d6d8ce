#include "core/app/FileIo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <future>
#include <memory>
#include <system_error>
#include <vector>

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

QString saveFiles(const QList<PendingFile> &files)
{
    std::vector<std::unique_ptr<QSaveFile>> open;
    for (const PendingFile &f : files) {
        const QString shown = QDir::toNativeSeparators(f.path);
        auto file = std::make_unique<QSaveFile>(f.path);
        if (!file->open(QIODevice::WriteOnly))
            return QStringLiteral("Cannot write %1: %2").arg(shown, file->errorString());
        const QString error = writeAll(*file, f.bytes);
        if (!error.isEmpty())
            return QStringLiteral("Cannot write %1: %2").arg(shown, error); // unsaved temporaries are discarded
        open.push_back(std::move(file));
    }
    // Each commit waits for its bytes to reach the disk; side by side the waits overlap.
    std::vector<std::future<QString>> commits;
    for (const auto &file : open) {
        QSaveFile *f = file.get();
        const auto commit = [f] {
            return f->commit() ? QString()
                               : QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(f->fileName()), f->errorString());
        };
        try {
            commits.push_back(std::async(std::launch::async, commit));
        } catch (const std::system_error &) {
            commits.push_back(std::async(std::launch::deferred, commit));
        }
    }
    QString firstError;
    for (auto &c : commits) {
        const QString error = c.get();
        if (firstError.isEmpty())
            firstError = error;
    }
    return firstError;
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
