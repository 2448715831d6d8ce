#pragma once

#include <QString>

class QFile;
class QFileDevice;

// The few file-system calls Qt does not offer, behind one small interface; FileIo builds the
// safe reads and saves on them. Every function returns an empty text on success, else the
// system's reason.
namespace FileIoPlatform {

// Opens `file` (its name set) for reading only when it is a regular file. A FIFO, a device or
// a socket is refused without waiting for a writer; `notRegular` tells that case apart.
QString openRegularForReading(QFile &file, bool *notRegular);

// Waits until everything written to the open file is on the disk.
QString syncToDisk(QFileDevice &file);

// Puts `from` in the place of `to` in one step; a link at `to` is replaced, never followed.
QString renameOver(const QString &from, const QString &to);

// Makes a rename inside `dir` durable; a file system that cannot do this is not an error.
void syncFolder(const QString &dir);

} // namespace FileIoPlatform
