#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

// One HTTP/1.0 GET over a plain TCP connection, read until the server closes it.
// QNetworkAccessManager always speaks HTTP/1.1; the version query must say HTTP/1.0.
// Sends no cookies and nothing but the Host header and the headers it is given.
class Http10Get : public QObject
{
    Q_OBJECT
public:
    struct Header
    {
        QByteArray name;
        QByteArray value;
    };

    struct Reply
    {
        bool ok = false; // a complete 2xx response arrived
        int status = 0;
        QByteArray contentType;
        QByteArray body;
        QString error; // why it failed
    };

    // A reply larger than this is no answer we want.
    static constexpr qsizetype MaxResponseBytes = 64 * 1024;

    explicit Http10Get(QObject *parent = nullptr);
    ~Http10Get() override;

    // Starts the request; finished() follows exactly once (also on failure or after
    // `timeoutMs`). Returns false and does nothing while a request is running.
    bool start(const QString &host, quint16 port, const QByteArray &target, const QList<Header> &headers,
               int timeoutMs);
    bool isRunning() const { return m_running; }
    // The outcome of the last request; valid once finished() was emitted.
    const Reply &reply() const { return m_reply; }

    // The exact bytes sent for a request.
    static QByteArray requestBytes(const QString &host, quint16 port, const QByteArray &target,
                                   const QList<Header> &headers);
    // Reads a response. `closed` tells whether the server has ended the connection;
    // returns false while more bytes are needed (only possible when not closed).
    static bool parse(const QByteArray &raw, bool closed, Reply &reply);

Q_SIGNALS:
    void finished();

private:
    void onReadyRead();
    void onDisconnected();
    void fail(const QString &error);
    void finish();

    QTcpSocket *m_socket = nullptr;
    QTimer *m_timer = nullptr;
    QByteArray m_request;
    QByteArray m_received;
    Reply m_reply;
    bool m_running = false;
};
