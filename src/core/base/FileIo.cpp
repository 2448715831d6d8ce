#include "core/base/FileIo.h"

#include "core/base/Catalog.h"
#include "core/base/FileIoPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <future>
#include <memory>
#include <system_error>
#include <vector>

namespace FileIo {

namespace {

QString cannotWrite(const QString &path, const QString &why)
{
    return Catalog::messages().text(TextId::CannotWrite).arg(QDir::toNativeSeparators(path), why);
}

// A file being written beside its target, which it replaces only when every byte of it is on
// the disk. Opened unbuffered, so a write that fails fails here and not later, unseen.
struct Replacement
{
    QString target;
    QFile file;

    ~Replacement()
    {
        if (!file.fileName().isEmpty()) {
            file.close();
            QFile::remove(file.fileName());
        }
    }

    // What stands at the target decides: a regular file is replaced and keeps its permissions;
    // a link is replaced by a regular file, whatever it points to; anything else is left alone.
    QString open(const QString &path)
    {
        target = path;
        const QFileInfo existing(path);
        const bool link = existing.isSymbolicLink();
        if (!link && existing.isDir())
            return cannotWrite(path, Catalog::messages().text(TextId::WriteIsFolder));
        if (!link && existing.exists() && !existing.isFile())
            return cannotWrite(path, Catalog::messages().text(TextId::WriteNotRegular));
        if (!link && existing.exists() && !existing.isWritable())
            return cannotWrite(path, Catalog::messages().text(TextId::WriteReadOnly));
        const QString dir = existing.absolutePath();
        QString why;
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QString name = QStringLiteral(".%1.%2.new")
                                     .arg(existing.fileName())
                                     .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
            file.setFileName(QDir(dir).filePath(name));
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
                break;
            why = file.errorString();
            const bool taken = QFileInfo::exists(file.fileName()) || QFileInfo(file.fileName()).isSymbolicLink();
            file.setFileName(QString());
            if (!taken)
                return cannotWrite(path, why);
        }
        if (!file.isOpen())
            return cannotWrite(path, why);
        if (!link && existing.exists())
            file.setPermissions(existing.permissions());
        return QString();
    }

    QString write(const QByteArray &bytes)
    {
        const QString why = writeAll(file, bytes);
        if (!why.isEmpty())
            return cannotWrite(target, why);
        if (!file.flush())
            return cannotWrite(target, file.errorString());
        return QString();
    }

    QString sync()
    {
        QString why = FileIoPlatform::syncToDisk(file);
        file.close();
        if (why.isEmpty() && file.error() != QFileDevice::NoError)
            why = file.errorString();
        return why.isEmpty() ? QString() : cannotWrite(target, why);
    }

    QString replace()
    {
        const QString why = FileIoPlatform::renameOver(file.fileName(), target);
        if (!why.isEmpty())
            return cannotWrite(target, why);
        file.setFileName(QString());
        return QString();
    }
};

} // namespace

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
    return saveFiles({{path, bytes}});
}

QString saveFiles(const QList<PendingFile> &files)
{
    std::vector<std::unique_ptr<Replacement>> pending;
    for (const PendingFile &f : files) {
        auto r = std::make_unique<Replacement>();
        QString error = r->open(f.path);
        if (error.isEmpty())
            error = r->write(f.bytes);
        if (!error.isEmpty())
            return error; // every temporary written so far is removed with `pending`
        pending.push_back(std::move(r));
    }
    // Each sync waits for the disk; side by side the waits overlap.
    std::vector<std::future<QString>> syncs;
    for (const auto &r : pending) {
        Replacement *p = r.get();
        try {
            syncs.push_back(std::async(std::launch::async, [p] { return p->sync(); }));
        } catch (const std::system_error &) {
            syncs.push_back(std::async(std::launch::deferred, [p] { return p->sync(); }));
        }
    }
    QString firstError;
    for (auto &s : syncs) {
        const QString error = s.get();
        if (firstError.isEmpty())
            firstError = error;
    }
    if (!firstError.isEmpty())
        return firstError;
    QStringList folders;
    for (const auto &r : pending) {
        const QString error = r->replace();
        if (!error.isEmpty())
            return error;
        const QString folder = QFileInfo(r->target).absolutePath();
        if (!folders.contains(folder))
            folders.append(folder);
    }
    for (const QString &folder : folders)
        FileIoPlatform::syncFolder(folder);
    return QString();
}

bool absent(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() && !info.isSymbolicLink();
}

QString sizeText(qint64 bytes)
{
    constexpr qint64 KiB = 1024;
    constexpr qint64 MiB = 1024 * KiB;
    if (bytes >= MiB && bytes % MiB == 0)
        return QStringLiteral("%1 MiB").arg(bytes / MiB);
    if (bytes >= KiB && bytes % KiB == 0)
        return QStringLiteral("%1 KiB").arg(bytes / KiB);
    return Catalog::messages().text(TextId::ByteCount).arg(bytes);
}

QString openForReading(QFile &file)
{
    const QString shown = QDir::toNativeSeparators(file.fileName());
    bool notRegular = false;
    const QString why = FileIoPlatform::openRegularForReading(file, &notRegular);
    if (notRegular)
        return Catalog::messages().text(TextId::ReadNotRegular).arg(shown);
    if (!why.isEmpty())
        return Catalog::messages().text(TextId::CannotRead).arg(shown, why);
    return QString();
}

QString readFile(const QString &path, QByteArray &bytes, qint64 maxBytes)
{
    const QString shown = QDir::toNativeSeparators(path);
    const Catalog &texts = Catalog::messages();
    const auto tooLarge = [&] {
        bytes.clear();
        return texts.text(TextId::ReadTooLarge).arg(shown, sizeText(maxBytes));
    };
    bytes.clear();
    const QFileInfo info(path);
    if (info.isSymbolicLink() && !info.exists())
        return texts.text(TextId::ReadDanglingLink).arg(shown, QDir::toNativeSeparators(info.symLinkTarget()));
    QFile file(path);
    if (const QString error = openForReading(file); !error.isEmpty())
        return error;
    if (file.size() > maxBytes)
        return tooLarge();
    // The file may still grow while it is read; never read more than one byte past the limit.
    bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return texts.text(TextId::CannotRead).arg(shown, file.errorString());
    if (bytes.size() > maxBytes)
        return tooLarge();
    return QString();
}

} // namespace FileIo
