#include "LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpSocket>

LocalHttpServer::LocalHttpServer(QObject *parent)
    : QObject(parent)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &LocalHttpServer::onConnection);
}

QByteArray LocalHttpServer::ok(const QByteArray &body)
{
    return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body;
}

void LocalHttpServer::onConnection()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        ++m_connections;
        socket->setParent(this);
        auto *buffer = new QByteArray;
        connect(socket, &QObject::destroyed, this, [buffer] { delete buffer; });
        connect(socket, &QTcpSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            if (!buffer->contains("\r\n\r\n") || socket->property("request").isValid())
                return;
            socket->setProperty("request", *buffer);
            m_requests.append(*buffer);
            tryAnswer(socket);
        });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            if (!socket->property("answered").toBool())
                ++m_closedByClient;
            m_waiting.removeAll(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::tryAnswer(QTcpSocket *socket)
{
    if (m_silent)
        return;
    if (m_held) {
        m_waiting.append(socket);
        return;
    }
    socket->setProperty("answered", true);
    socket->write(m_response);
    socket->disconnectFromHost();
}

void LocalHttpServer::release()
{
    m_held = false;
    const QList<QTcpSocket *> waiting = m_waiting;
    m_waiting.clear();
    for (QTcpSocket *s : waiting)
        tryAnswer(s);
}
