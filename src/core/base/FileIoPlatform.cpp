#include "core/base/FileIoPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>

#include <aclapi.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/base/Catalog.h"

namespace FileIoPlatform {

#ifdef Q_OS_WIN

QString openRegularForReading(QFile &file, bool *notRegular)
{
    *notRegular = false;
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile()) {
        *notRegular = true;
        return QString();
    }
    return file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
}

QString syncToDisk(QFileDevice &file)
{
    const HANDLE h = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    if (h == INVALID_HANDLE_VALUE || !FlushFileBuffers(h))
        return qt_error_string(int(GetLastError()));
    return QString();
}

QString renameOver(const QString &from, const QString &to)
{
    // One rename, never ReplaceFileW: that takes several steps, and a save killed between them
    // leaves no file at all. keepOwnership gave the new file the old one's rights instead.
    const std::wstring source = QDir::toNativeSeparators(from).toStdWString();
    const std::wstring target = QDir::toNativeSeparators(to).toStdWString();
    if (!MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return qt_error_string(int(GetLastError()));
    return QString();
}

void syncFolder(const QString &)
{
    // MOVEFILE_WRITE_THROUGH already waited for the rename.
}

QString keepOwnership(QFileDevice &file, const QString &target)
{
    const std::wstring from = QDir::toNativeSeparators(target).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(file.fileName()).toStdWString();
    const DWORD attributes = GetFileAttributesW(from.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES
        || (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return QString();
    // The access rights as the old file had them, protected from the folder's or inherited.
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(from.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                              &descriptor)
        == ERROR_SUCCESS) {
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        GetSecurityDescriptorControl(descriptor, &control, &revision);
        const SECURITY_INFORMATION which = DACL_SECURITY_INFORMATION
            | ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                             : UNPROTECTED_DACL_SECURITY_INFORMATION);
        SetNamedSecurityInfoW(const_cast<LPWSTR>(to.c_str()), SE_FILE_OBJECT, which, nullptr, nullptr, dacl, nullptr);
        LocalFree(descriptor);
    }
    constexpr DWORD kept =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (attributes & kept)
        SetFileAttributesW(to.c_str(), attributes & kept);
    return QString();
}

bool holdTemporary(QFileDevice &)
{
    // Windows opens files without FILE_SHARE_DELETE: nobody removes one that is open.
    return true;
}

void removeIfUnheld(const QString &path)
{
    QFile::remove(path); // refused while another process has it open
}

QString keepBackup(const QString &target, const QString &backup)
{
    // A copy, not a second name: a second name of a file another program holds open cannot be
    // removed again.
    const std::wstring from = QDir::toNativeSeparators(target).toStdWString();
    const std::wstring to = QDir::toNativeSeparators(backup).toStdWString();
    if (CopyFileW(from.c_str(), to.c_str(), TRUE))
        return QString();
    return qt_error_string(int(GetLastError()));
}

#else

QString openRegularForReading(QFile &file, bool *notRegular)
{
    *notRegular = false;
    // Non-blocking, so that a FIFO without a writer does not hold the program up here.
    const int fd = ::open(QFile::encodeName(file.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return qt_error_string(errno);
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        const int error = errno;
        ::close(fd);
        return qt_error_string(error);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        *notRegular = true;
        return QString();
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle) ? QString() : file.errorString();
}

QString syncToDisk(QFileDevice &file)
{
    if (::fsync(file.handle()) != 0)
        return qt_error_string(errno);
    return QString();
}

QString renameOver(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        return qt_error_string(errno);
    return QString();
}

void syncFolder(const QString &dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

namespace {

QString userName(uid_t uid)
{
    const struct passwd *p = ::getpwuid(uid);
    return p ? QString::fromLocal8Bit(p->pw_name) : QString::number(uid);
}

QString groupName(gid_t gid)
{
    const struct group *g = ::getgrgid(gid);
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(gid);
}

} // namespace

QString keepOwnership(QFileDevice &file, const QString &target)
{
    struct stat old;
    if (::lstat(QFile::encodeName(target).constData(), &old) != 0 || !S_ISREG(old.st_mode))
        return QString();
    const int fd = file.handle();
    struct stat made;
    if (::fstat(fd, &made) != 0)
        return QString();
    if (made.st_uid != old.st_uid || made.st_gid != old.st_gid) {
        // Only the administrator gives a file to another user; a member of the group keeps the group.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0)
            ::fchown(fd, uid_t(-1), old.st_gid);
        ::fstat(fd, &made);
    }
    // After the owner: a change of owner clears the set-ID bits.
    ::fchmod(fd, old.st_mode & 07777);
    if (made.st_uid == old.st_uid && made.st_gid == old.st_gid)
        return QString();
    return Catalog::messages()
        .text(TextId::SaveOwnerNotKept)
        .arg(QDir::toNativeSeparators(target), userName(made.st_uid), groupName(made.st_gid), userName(old.st_uid),
             groupName(old.st_gid));
}

bool holdTemporary(QFileDevice &file)
{
    // A cleaner removes only a temporary it could lock, so a locked one still linked is ours. A
    // file system without locks fails the flock: no cleaner removes anything there either.
    ::flock(file.handle(), LOCK_EX);
    struct stat st;
    return ::fstat(file.handle(), &st) != 0 || st.st_nlink > 0;
}

void removeIfUnheld(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
        ::unlink(name.constData()); // still locked, so no saver takes it up meanwhile
    ::close(fd);
}

QString keepBackup(const QString &target, const QString &backup)
{
    const QByteArray from = QFile::encodeName(target);
    const QByteArray to = QFile::encodeName(backup);
    // link() names the link itself, not what it points to, as the rename replaces the link.
    if (::link(from.constData(), to.constData()) == 0)
        return QString();
    const QFileInfo info(target);
    if (info.isSymbolicLink())
        return QFile::link(info.symLinkTarget(), backup) ? QString() : qt_error_string(errno);
    QFile copy(target);
    return copy.copy(backup) ? QString() : copy.errorString();
}

#endif

} // namespace FileIoPlatform
