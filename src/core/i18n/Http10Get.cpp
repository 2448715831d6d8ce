#include "core/i18n/Http10Get.h"

#include <QTcpSocket>
#include <QTimer>
#include <QUrl>

namespace {
qsizetype headerEnd(const QByteArray &raw, int *separatorLength)
{
    const qsizetype crlf = raw.indexOf("\r\n\r\n");
    const qsizetype lf = raw.indexOf("\n\n");
    if (crlf >= 0 && (lf < 0 || crlf < lf)) {
        *separatorLength = 4;
        return crlf;
    }
    *separatorLength = 2;
    return lf;
}
} // namespace

Http10Get::Http10Get(QObject *parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] { fail(QStringLiteral("No answer in time")); });
}

Http10Get::~Http10Get()
{
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

QByteArray Http10Get::requestBytes(const QString &host, quint16 port, const QByteArray &target,
                                   const QList<Header> &headers)
{
    QByteArray hostHeader = QUrl::toAce(host);
    if (hostHeader.isEmpty())
        hostHeader = host.toLatin1();
    if (host.contains(u':'))
        hostHeader = '[' + hostHeader + ']';
    if (port != 80)
        hostHeader += ':' + QByteArray::number(port);

    QByteArray out = "GET " + target + " HTTP/1.0\r\n";
    // Without Host a server carrying several sites cannot tell which one is asked.
    out += "Host: " + hostHeader + "\r\n";
    for (const Header &h : headers)
        out += h.name + ": " + h.value + "\r\n";
    out += "\r\n";
    return out;
}

bool Http10Get::parse(const QByteArray &raw, bool closed, Reply &reply)
{
    reply = Reply();
    int sepLength = 0;
    const qsizetype end = headerEnd(raw, &sepLength);
    if (end < 0) {
        if (!closed)
            return false;
        reply.error = raw.isEmpty() ? QStringLiteral("Empty response") : QStringLiteral("Broken response");
        return true;
    }

    const QList<QByteArray> lines = raw.left(end).split('\n');
    const QList<QByteArray> status = lines.first().trimmed().split(' ');
    bool statusOk = false;
    if (status.size() >= 2 && status.first().startsWith("HTTP/"))
        reply.status = status.at(1).toInt(&statusOk);
    if (!statusOk || status.at(1).size() != 3) {
        reply.error = QStringLiteral("Not an HTTP response");
        return true;
    }

    qsizetype contentLength = -1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            bool ok = false;
            contentLength = value.toLongLong(&ok);
            if (!ok || contentLength < 0) {
                reply.error = QStringLiteral("Bad Content-Length");
                return true;
            }
        } else if (name == "content-type") {
            reply.contentType = value;
        } else if (name == "transfer-encoding" && value.toLower() != "identity") {
            // Not allowed towards an HTTP/1.0 client.
            reply.error = QStringLiteral("Unsupported transfer encoding");
            return true;
        }
    }

    QByteArray body = raw.mid(end + sepLength);
    if (contentLength >= 0) {
        if (body.size() < contentLength) {
            if (!closed)
                return false;
            reply.error = QStringLiteral("Connection closed before the whole answer arrived");
            return true;
        }
        body.truncate(contentLength);
    } else if (!closed) {
        return false; // the end of the body is the end of the connection
    }

    if (reply.status < 200 || reply.status > 299) {
        reply.error = QStringLiteral("HTTP status %1").arg(reply.status);
        return true;
    }
    reply.body = body;
    reply.ok = true;
    return true;
}

bool Http10Get::start(const QString &host, quint16 port, const QByteArray &target, const QList<Header> &headers,
                      int timeoutMs)
{
    if (m_running)
        return false;
    m_running = true;
    m_reply = Reply();
    m_received.clear();
    m_request = requestBytes(host, port, target, headers);

    if (host.isEmpty() || port == 0) {
        fail(QStringLiteral("No host to ask"));
        return true;
    }

    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, [this] { m_socket->write(m_request); });
    connect(m_socket, &QTcpSocket::readyRead, this, &Http10Get::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &Http10Get::onDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // The server closing the connection ends the body; disconnected() reads it.
        if (error != QAbstractSocket::RemoteHostClosedError)
            fail(m_socket->errorString());
    });
    m_timer->start(qMax(0, timeoutMs));
    m_socket->connectToHost(host, port);
    return true;
}

void Http10Get::onReadyRead()
{
    if (!m_running)
        return;
    m_received += m_socket->readAll();
    if (m_received.size() > MaxResponseBytes) {
        fail(QStringLiteral("Answer too long"));
        return;
    }
    // A server that keeps the connection open is done once the announced body is here.
    if (parse(m_received, false, m_reply))
        finish();
}

void Http10Get::onDisconnected()
{
    if (!m_running)
        return;
    m_received += m_socket->readAll();
    if (m_received.size() > MaxResponseBytes) {
        fail(QStringLiteral("Answer too long"));
        return;
    }
    parse(m_received, true, m_reply);
    finish();
}

void Http10Get::fail(const QString &error)
{
    if (!m_running)
        return;
    m_reply = Reply();
    m_reply.error = error;
    finish();
}

void Http10Get::finish()
{
    if (!m_running)
        return;
    m_running = false;
    m_timer->stop();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    Q_EMIT finished();
}
