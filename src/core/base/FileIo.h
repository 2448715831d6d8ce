#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

class QFile;
class QIODevice;

// Every file the user owns is written through here: the bytes go to a temporary file beside
// the target that replaces it only when every byte was written and is on the disk, so a full
// disk or an interrupted save leaves the previous file byte for byte, and no temporary file
// behind. A link at the target is replaced by a regular file, never written through, unless
// it points to something that is not a regular file: that is refused like what it points to.
// A folder, device, pipe or socket there is refused and left alone. The file replaced keeps
// its owner, group and permission bits where the saver may set them (on Windows its
// attributes and access rights); what could not be kept goes to the note handler. Temporary
// files that a killed save left beside the target are removed. Returns an empty text on
// success, else the reason, naming the file and giving the system's error.
namespace FileIo {

QString saveFile(const QString &path, const QByteArray &bytes);

struct PendingFile
{
    QString path;
    QByteArray bytes;
};

// Saves several files as one: every file is written to its temporary first, and only when
// all of them were written does any of them replace its target, so a full disk or a locked
// file leaves all the old files in place. When a target cannot be replaced after others
// were, those are put back: all the files are new, or all are as they were. Empty text on
// success, else the first reason.
QString saveFiles(const QList<PendingFile> &files);

class Replacement;

// A file saved as it is produced (a replayed trace), by the same rules as saveFile: open()
// checks the target and makes the temporary, the caller writes to device(), and only
// commit() replaces the target. Destroyed uncommitted, it leaves the target as it was.
class SaveStream
{
public:
    SaveStream();
    ~SaveStream();
    SaveStream(const SaveStream &) = delete;
    SaveStream &operator=(const SaveStream &) = delete;

    QString open(const QString &path);
    QIODevice *device() const; // null until open() succeeded
    // A text naming the target and the error when a write to device() failed; else empty.
    QString writeError() const;
    QString commit();

private:
    std::unique_ptr<Replacement> m_file;
};

// Where a save tells what it could not keep of the file it replaced (its owner or group),
// after the save succeeded. The command line prints it; the default is a qWarning.
void setNoteHandler(std::function<void(const QString &)> handler);

// Writes all bytes to an open device; returns the device's error text on failure.
QString writeAll(QIODevice &device, const QByteArray &bytes);

// Reads a whole regular file, refusing one larger than maxBytes (at most maxBytes + 1 bytes
// are ever read, even from a file that grows meanwhile). A folder, device, pipe or socket is
// refused at once, without waiting for it; so is a link to nothing. Empty error on success,
// else a text naming the file and, for a file that is too large, the limit.
inline constexpr qint64 DefaultMaxBytes = 64ll * 1024 * 1024;
QString readFile(const QString &path, QByteArray &bytes, qint64 maxBytes = DefaultMaxBytes);

// Opens `file` (its name set) for reading as readFile does, for a reader that streams it: a
// folder, device, pipe or socket is refused at once. Empty error on success, else a text
// naming the file.
QString openForReading(QFile &file);

// True when nothing at all is at `path`, not even a link to nothing: readers then take their
// defaults. Anything else is read, and readFile says why it cannot be.
bool absent(const QString &path);

// How the platform's file system compares file names.
#ifdef Q_OS_WIN
inline constexpr Qt::CaseSensitivity FileNameCase = Qt::CaseInsensitive;
#else
inline constexpr Qt::CaseSensitivity FileNameCase = Qt::CaseSensitive;
#endif

// True when saving to `output` would replace `file`: the same folder entry, or the file a link
// at `file` points to (an output link itself is replaced, never written through).
bool wouldReplace(const QString &output, const QString &file);

// "64 MiB", "512 KiB", "100 bytes": a size limit as the messages show it.
QString sizeText(qint64 bytes);

} // namespace FileIo
