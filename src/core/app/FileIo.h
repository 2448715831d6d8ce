#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

// Every file the user owns is written through here: the bytes go to a temporary file that
// replaces the target only when everything was written, so a failed or interrupted save
// leaves the previous file as it was. Returns an empty text on success, else the reason,
// naming the file.
namespace FileIo {

QString saveFile(const QString &path, const QByteArray &bytes);

struct PendingFile
{
    QString path;
    QByteArray bytes;
};

// Saves several files as one: every file is written to its temporary first, and only when
// all of them were written does any of them replace its target, so a full disk or a locked
// file leaves all the old files in place. Empty text on success, else the first reason.
QString saveFiles(const QList<PendingFile> &files);

// Writes all bytes to an open device; returns the device's error text on failure.
QString writeAll(QIODevice &device, const QByteArray &bytes);

// Reads a whole file, refusing files larger than maxBytes. Empty error on success.
QString readFile(const QString &path, QByteArray &bytes, qint64 maxBytes = 64ll * 1024 * 1024);

} // namespace FileIo
