#include "core/base/DocumentStamp.h"

#include "core/base/FileIo.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray hashOf(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

} // namespace

QString DocumentStamp::read(const QString &path, QByteArray &bytes, qint64 maxBytes)
{
    bytes.clear();
    if (FileIo::absent(path)) {
        m_state = State::Absent;
        m_size = 0;
        m_hash.clear();
        return QString();
    }
    const QString error = FileIo::readFile(path, bytes, maxBytes);
    if (!error.isEmpty())
        return error;
    saved(bytes);
    return QString();
}

void DocumentStamp::saved(const QByteArray &bytes)
{
    m_state = State::Present;
    m_size = bytes.size();
    m_hash = hashOf(bytes);
}

bool DocumentStamp::changedOnDisk(const QString &path) const
{
    switch (m_state) {
    case State::NotTaken:
        return false;
    case State::Absent:
        // Only a file is a document someone saved; a folder or device there fails the save anyway.
        return QFileInfo(path).isFile();
    case State::Present:
        break;
    }
    QFile file(path);
    if (!FileIo::openForReading(file).isEmpty())
        return true;
    // A different size needs no reading; the same size is read in pieces, whatever it is.
    if (file.size() != m_size)
        return true;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file) || file.error() != QFile::NoError)
        return true;
    return hash.result() != m_hash;
}
