#include "core/base/FileIoPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

#endif

} // namespace FileIoPlatform
