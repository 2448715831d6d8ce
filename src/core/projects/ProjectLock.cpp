#include "core/projects/ProjectLock.h"

#include "core/app/AppState.h"
#include "core/base/Catalog.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QThread>

namespace {

std::chrono::milliseconds g_wait{5000};

// How often each lock is held by this process: the build inside a window's work takes it again.
QHash<QString, int> &heldHere()
{
    static QHash<QString, int> held;
    return held;
}

QString key(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

} // namespace

ProjectLock::ProjectLock(const QString &projectDir)
    : m_path(joinPath(projectDir, fileName()))
{
}

ProjectLock::~ProjectLock()
{
    release();
}

QString ProjectLock::fileName()
{
    // A file, and a hidden one: the project list shows folders only.
    return QStringLiteral(".praxedo.lock");
}

std::chrono::milliseconds ProjectLock::waitTime()
{
    return g_wait;
}

void ProjectLock::setWaitTime(std::chrono::milliseconds wait)
{
    g_wait = wait;
}

bool ProjectLock::acquire()
{
    if (m_held)
        return true;
    m_holder.clear();
    m_inTheWay.clear();
    int &count = heldHere()[key(m_path)];
    if (count > 0) {
        ++count;
        m_held = true;
        return true;
    }
    // QLockFile would wait on a FIFO for ever, or take anything else there for another holder.
    m_inTheWay = inTheWay(Catalog::messages());
    if (!m_inTheWay.isEmpty()) {
        heldHere().remove(key(m_path));
        return false;
    }
    m_lock = std::make_unique<QLockFile>(m_path);
    // Nothing here holds a project for minutes; a lock that old is left over from elsewhere.
    m_lock->setStaleLockTime(std::chrono::minutes(10));
    QDeadlineTimer deadline(g_wait);
    bool locked = false;
    for (;;) {
        locked = m_lock->tryLock(0);
        if (locked || m_lock->error() != QLockFile::LockFailedError)
            break;
        // A program that died between creating the lock file and writing who it is leaves a file
        // that names nobody; QLockFile would wait for its age. A live holder keeps its file
        // locked, so the removal fails for it.
        if (!m_lock->getLockInfo(nullptr, nullptr, nullptr)
            && QFileInfo(m_path).lastModified().msecsTo(QDateTime::currentDateTime()) > 1000
            && m_lock->removeStaleLockFile())
            continue;
        if (deadline.hasExpired())
            break;
        QThread::msleep(quint64(qMin<qint64>(50, qMax<qint64>(1, deadline.remainingTime()))));
    }
    if (locked) {
        ++count;
        m_held = true;
        return true;
    }
    if (m_lock->error() != QLockFile::LockFailedError) {
        // No lock file can be made here, so no other program holds one either.
        m_lock.reset();
        heldHere().remove(key(m_path));
        return true;
    }
    qint64 pid = 0;
    QString host;
    QString app;
    const Catalog &texts = Catalog::messages();
    if (m_lock->getLockInfo(&pid, &host, &app))
        m_holder = texts.text(TextId::LockHolder)
                       .arg(app.isEmpty() ? texts.text(TextId::LockAProgram) : app, QString::number(pid), host);
    else
        m_holder = texts.text(TextId::LockAnotherProgram);
    m_lock.reset();
    heldHere().remove(key(m_path));
    return false;
}

void ProjectLock::release()
{
    if (!m_held)
        return;
    m_held = false;
    QHash<QString, int> &held = heldHere();
    const QString k = key(m_path);
    const auto it = held.find(k);
    if (it != held.end() && --it.value() <= 0)
        held.remove(k);
    m_lock.reset(); // unlocks when this object took the file itself
}

QString ProjectLock::inTheWay(const Catalog &catalog) const
{
    const QFileInfo info(m_path);
    QString what;
    if (info.isSymbolicLink()) {
        what = catalog.text(TextId::LockIsLink).arg(QDir::toNativeSeparators(info.symLinkTarget()));
    } else if (!info.exists()) {
        return QString();
    } else if (info.isDir()) {
        what = catalog.text(TextId::LockIsFolder);
    } else if (!info.isFile()) {
        what = catalog.text(TextId::LockIsSpecial);
    } else {
#ifndef Q_OS_WIN
        // Not on Windows: there a lock file being removed by its holder cannot be opened for a
        // moment, and that is no reason to refuse.
        QFile file(m_path);
        if (!file.open(QIODevice::ReadOnly))
            what = catalog.text(TextId::LockUnreadable).arg(file.errorString());
#endif
    }
    return what.isEmpty() ? QString() : catalog.text(TextId::LockInTheWay).arg(QDir::toNativeSeparators(m_path), what);
}

QString ProjectLock::holder() const
{
    return m_holder;
}

QString ProjectLock::refusal() const
{
    if (!m_inTheWay.isEmpty())
        return inTheWay(Catalog::defaults());
    return QStringLiteral("%1 is being changed by another program, %2, which holds %3. Nothing was written; "
                          "try again when it has finished.")
        .arg(QDir::toNativeSeparators(QFileInfo(m_path).absolutePath()), m_holder, QDir::toNativeSeparators(m_path));
}

QString ProjectLock::refusal(const Catalog &catalog) const
{
    if (!m_inTheWay.isEmpty())
        return inTheWay(catalog);
    return catalog.text(TextId::LockedByBefore) + m_holder + catalog.text(TextId::LockedByAfter);
}
