#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTcpServer>

class QTcpSocket;

// A web server on 127.0.0.1 for tests: records each request and answers it with fixed
// bytes, then closes the connection (as an HTTP/1.0 server does). It can also stay silent
// or hold its answer until told to send it.
class LocalHttpServer : public QObject
{
    Q_OBJECT
public:
    explicit LocalHttpServer(QObject *parent = nullptr);

    quint16 port() const { return m_server.serverPort(); }

    // The raw bytes sent back; sent when the request's blank line has arrived.
    void setResponse(const QByteArray &raw) { m_response = raw; }
    // "HTTP/1.0 200 OK" with a text body.
    static QByteArray ok(const QByteArray &body);
    // Read requests but never answer them.
    void setSilent(bool silent) { m_silent = silent; }
    // Keep complete requests waiting until release().
    void setHeld(bool held) { m_held = held; }
    void release();

    int connections() const { return m_connections; }
    const QList<QByteArray> &requests() const { return m_requests; }
    // Clients that closed their side.
    int closedByClient() const { return m_closedByClient; }

private:
    void onConnection();
    void tryAnswer(QTcpSocket *socket);

    QTcpServer m_server;
    QByteArray m_response;
    bool m_silent = false;
    bool m_held = false;
    int m_connections = 0;
    int m_closedByClient = 0;
    QList<QByteArray> m_requests;
    QList<QTcpSocket *> m_waiting;
};
