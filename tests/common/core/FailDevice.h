#pragma once

#include <QBuffer>

// A device that accepts `capacity` bytes and then fails every write, as a full disk does.
class FailDevice : public QBuffer
{
public:
    explicit FailDevice(qint64 capacity)
        : m_capacity(capacity)
    {
    }

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        const qint64 room = m_capacity - size();
        if (room <= 0) {
            setErrorString(QStringLiteral("No space left on device"));
            return -1;
        }
        return QBuffer::writeData(data, qMin(len, room));
    }

private:
    qint64 m_capacity;
};
