#pragma once

#include <QByteArray>
#include <QString>

// What an editor last read or wrote of its document, so that on saving it can tell whether
// another program (an import, a second window) wrote the file since. Only the bytes' hash and
// size are kept, or that there was no file.
class DocumentStamp
{
public:
    // Nothing read yet: such a stamp never reports a change.
    DocumentStamp() = default;

    // Reads the whole file as FileIo::readFile does and stamps the bytes read. A missing file
    // (FileIo::absent) is no error: `bytes` is then empty and the stamp records the absence.
    // On failure the stamp is left as it was.
    QString read(const QString &path, QByteArray &bytes, qint64 maxBytes);
    // The editor wrote these bytes itself.
    void saved(const QByteArray &bytes);

    bool isTaken() const { return m_state != State::NotTaken; }
    bool isAbsent() const { return m_state == State::Absent; }

    // True when the file at `path` is not what was last read or written: other bytes, a file
    // where there was none, none where there was one, or one that can no longer be read.
    // Something other than a file where there was none (a folder) is no saved document.
    bool changedOnDisk(const QString &path) const;

private:
    enum class State { NotTaken, Absent, Present };
    State m_state = State::NotTaken;
    qint64 m_size = 0;
    QByteArray m_hash;
};
