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

// Gives the open new file the owner, group and permission bits of the regular file at
// `target` (on Windows its access rights and attributes), where this process may set them.
// Returns what could not be kept, as a note for the user; empty when everything was kept or
// nothing is at the target.
QString keepOwnership(QFileDevice &file, const QString &target);

// Marks a temporary file this process just made as in use until it is closed. False when a
// cleaner of another process removed it meanwhile: then it must not be used.
bool holdTemporary(QFileDevice &file);

// Removes a temporary file left by a save that did not finish, unless a process holds it.
void removeIfUnheld(const QString &path);

// Keeps the file (or link) at `target` under the name `backup` too, so that it can be put
// back after it was replaced: a second name for it, or a copy where the file system has none.
QString keepBackup(const QString &target, const QString &backup);

} // namespace FileIoPlatform
