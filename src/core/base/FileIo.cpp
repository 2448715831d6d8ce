#include "core/base/FileIo.h"

#include "core/base/Catalog.h"
#include "core/base/FileIoPlatform.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

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

std::function<void(const QString &)> &noteHandler()
{
    static std::function<void(const QString &)> handler = [](const QString &note) { qWarning("%s", qPrintable(note)); };
    return handler;
}

// ".NAME.1a2b3c4d.new": a save's temporary; ".old": a backup kept while several files are replaced.
QString helperName(const QString &fileName, const QString &suffix)
{
    return QStringLiteral(".%1.%2.%3")
        .arg(fileName)
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
        .arg(suffix);
}

// Temporaries that a killed save left beside `target`; the backups only once they are old,
// as a save of several files in another process may still need them.
// The suffix ("new" or "old") when `candidate` is a helper file of `fileName`; else empty.
QString helperSuffix(const QString &candidate, const QString &fileName)
{
    static const QRegularExpression shape(QStringLiteral("^\\.(.+)\\.[0-9a-f]{8}\\.(new|old)$"));
    const QRegularExpressionMatch m = shape.match(candidate);
    return m.hasMatch() && m.captured(1) == fileName ? m.captured(2) : QString();
}

void removeLeftovers(const QFileInfo &target)
{
    const QDir dir(target.absolutePath());
    const QStringList candidates =
        dir.entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    const QDateTime longAgo = QDateTime::currentDateTimeUtc().addSecs(-600);
    for (const QString &candidate : candidates) {
        const QString suffix = helperSuffix(candidate, target.fileName());
        const bool stale = suffix == QLatin1String("new")
            || (suffix == QLatin1String("old") && QFileInfo(dir.filePath(candidate)).lastModified().toUTC() < longAgo);
        if (stale)
            FileIoPlatform::removeIfUnheld(dir.filePath(candidate));
    }
}

} // namespace

// A file being written beside its target, which it replaces only when every byte of it is on
// the disk. Opened unbuffered, so a write that fails fails here and not later, unseen.
class Replacement
{
public:
    QString target;
    QFile file;
    QString note;   // what the new file could not keep of the old one
    QString backup; // the old file under a second name while several files are replaced
    bool existed = false;

    ~Replacement()
    {
        if (!file.fileName().isEmpty()) {
            file.close();
            QFile::remove(file.fileName());
        }
        if (!backup.isEmpty())
            QFile::remove(backup);
    }

    // What stands at the target decides: a regular file is replaced and keeps its owner and
    // permissions; a link is replaced by a regular file, unless what it points to could not
    // be written either; anything else is left alone.
    QString open(const QString &path)
    {
        target = path;
        // Through a link: what it points to must be a file as well.
        const QFileInfo existing(path);
        const bool link = existing.isSymbolicLink();
        if (existing.isDir())
            return cannotWrite(path, Catalog::messages().text(TextId::WriteIsFolder));
        if (existing.exists() && !existing.isFile())
            return cannotWrite(path, Catalog::messages().text(TextId::WriteNotRegular));
        if (!link && existing.exists() && !existing.isWritable())
            return cannotWrite(path, Catalog::messages().text(TextId::WriteReadOnly));
        existed = existing.exists() || link;
        removeLeftovers(existing);
        const QString dir = existing.absolutePath();
        QString why;
        for (int attempt = 0; attempt < 100; ++attempt) {
            file.setFileName(QDir(dir).filePath(helperName(existing.fileName(), QStringLiteral("new"))));
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
                if (FileIoPlatform::holdTemporary(file))
                    break;
                file.close(); // another save's cleaner took it: take another name
                file.setFileName(QString());
                continue;
            }
            why = file.errorString();
            const bool taken = QFileInfo::exists(file.fileName()) || QFileInfo(file.fileName()).isSymbolicLink();
            file.setFileName(QString());
            if (!taken)
                return cannotWrite(path, why);
        }
        if (!file.isOpen())
            return cannotWrite(path, why);
        if (!link && existing.exists()) {
            file.setPermissions(existing.permissions());
            note = FileIoPlatform::keepOwnership(file, path);
        }
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

    QString keepOld()
    {
        if (!existed)
            return QString();
        const QFileInfo info(target);
        for (int attempt = 0; attempt < 100; ++attempt) {
            const QString name = QDir(info.absolutePath()).filePath(helperName(info.fileName(), QStringLiteral("old")));
            if (QFileInfo::exists(name) || QFileInfo(name).isSymbolicLink())
                continue;
            const QString why = FileIoPlatform::keepBackup(target, name);
            if (!why.isEmpty())
                return cannotWrite(target, why);
            backup = name;
            return QString();
        }
        return cannotWrite(target, QStringLiteral("no free name for a backup"));
    }

    QString replace()
    {
        const QString why = FileIoPlatform::renameOver(file.fileName(), target);
        if (!why.isEmpty())
            return cannotWrite(target, why);
        file.setFileName(QString());
        return QString();
    }

    // After the target was replaced: the old file (or none) back in its place.
    void putBack()
    {
        if (backup.isEmpty()) {
            if (!existed)
                QFile::remove(target);
            return;
        }
        if (FileIoPlatform::renameOver(backup, target).isEmpty())
            backup.clear();
    }
};

namespace {

void tellNotes(const std::vector<Replacement *> &done)
{
    for (const Replacement *r : done)
        if (!r->note.isEmpty() && noteHandler())
            noteHandler()(r->note);
}

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
    // A rename can still fail half-way (a file held open, another user's file in a sticky
    // folder): keep each old file under a second name so that the ones replaced go back.
    if (pending.size() > 1) {
        for (const auto &r : pending)
            if (const QString error = r->keepOld(); !error.isEmpty())
                return error;
    }
    std::vector<Replacement *> done;
    QStringList folders;
    for (const auto &r : pending) {
        const QString error = r->replace();
        if (!error.isEmpty()) {
            for (auto it = done.rbegin(); it != done.rend(); ++it)
                (*it)->putBack();
            return error;
        }
        done.push_back(r.get());
        const QString folder = QFileInfo(r->target).absolutePath();
        if (!folders.contains(folder))
            folders.append(folder);
    }
    for (const QString &folder : folders)
        FileIoPlatform::syncFolder(folder);
    tellNotes(done);
    return QString();
}

SaveStream::SaveStream() = default;
SaveStream::~SaveStream() = default;

QString SaveStream::open(const QString &path)
{
    auto r = std::make_unique<Replacement>();
    if (const QString error = r->open(path); !error.isEmpty())
        return error;
    m_file = std::move(r);
    return QString();
}

QIODevice *SaveStream::device() const
{
    return m_file ? &m_file->file : nullptr;
}

QString SaveStream::writeError() const
{
    if (!m_file || m_file->file.error() == QFileDevice::NoError)
        return QString();
    return cannotWrite(m_file->target, m_file->file.errorString());
}

QString SaveStream::commit()
{
    if (!m_file)
        return QString();
    QString error = writeError();
    if (error.isEmpty())
        error = m_file->sync();
    if (error.isEmpty())
        error = m_file->replace();
    if (!error.isEmpty()) {
        m_file.reset();
        return error;
    }
    FileIoPlatform::syncFolder(QFileInfo(m_file->target).absolutePath());
    tellNotes({m_file.get()});
    m_file.reset();
    return QString();
}

void setNoteHandler(std::function<void(const QString &)> handler)
{
    noteHandler() = std::move(handler);
}

bool absent(const QString &path)
{
    const QFileInfo info(path);
    return !info.exists() && !info.isSymbolicLink();
}

namespace {
// The folder entry a path names: its folder with every link resolved, then its own name.
QString entryOf(const QString &path)
{
    const QFileInfo info(path);
    QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty())
        folder = QDir::cleanPath(info.absolutePath());
    return QDir(folder).filePath(info.fileName());
}
} // namespace

bool wouldReplace(const QString &output, const QString &file)
{
    constexpr Qt::CaseSensitivity cs = FileNameCase;
    const QString out = entryOf(output);
    if (out.compare(entryOf(file), cs) == 0)
        return true;
    const QString resolved = QFileInfo(file).canonicalFilePath();
    return !resolved.isEmpty() && out.compare(resolved, cs) == 0;
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
