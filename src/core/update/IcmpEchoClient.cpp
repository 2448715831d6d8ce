#include "core/update/IcmpEchoClient.h"

#include "core/update/IcmpPacket.h"

#include <QDeadlineTimer>
#include <QHostAddress>
#include <QHostInfo>
#include <QRandomGenerator>
#include <QtEndian>

#include <optional>
#include <vector>

#ifdef Q_OS_WIN
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <icmpapi.h>
// clang-format on
#else
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace {

EchoResult failed(const QString &why)
{
    EchoResult result;
    result.status = EchoResult::Status::Failed;
    result.error = why;
    return result;
}

// The target's IPv4 address in host order, or the reason there is none.
std::optional<quint32> resolve(const QString &target, QString *error)
{
    if (const auto numeric = IcmpPacket::numericIpv4(target))
        return numeric;
    // Typed digits and dots that do not make an address are a typing error, not a name.
    if (IcmpPacket::looksNumeric(target)) {
        *error = QStringLiteral("\"%1\" is not a valid IPv4 address").arg(target);
        return std::nullopt;
    }
    const QHostInfo info = QHostInfo::fromName(target);
    for (const QHostAddress &address : info.addresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address.toIPv4Address();
    }
    *error = info.error() != QHostInfo::NoError
        ? QStringLiteral("Cannot resolve \"%1\": %2").arg(target, info.errorString())
        : QStringLiteral("\"%1\" has no IPv4 address").arg(target);
    return std::nullopt;
}

#ifndef Q_OS_WIN
QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

struct Socket
{
    int fd = -1;
    bool raw = false;
    ~Socket()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// An ICMP socket, or the reason neither kind could be opened.
QString openIcmpSocket(Socket &socket)
{
    socket.fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_ICMP);
    if (socket.fd >= 0)
        return QString();
    const int datagramError = errno;
    socket.fd = ::socket(AF_INET, SOCK_RAW | SOCK_CLOEXEC, IPPROTO_ICMP);
    socket.raw = true;
    if (socket.fd >= 0)
        return QString();
    return QStringLiteral("ICMP echo is not permitted here (datagram socket: %1; raw socket: %2)")
        .arg(systemError(datagramError), systemError(errno));
}
#endif

} // namespace

IcmpEchoClient::IcmpEchoClient()
    : m_identifier(quint16(QRandomGenerator::global()->bounded(0x10000)))
    , m_sequence(quint16(QRandomGenerator::global()->bounded(0x10000)))
{
}

#ifdef Q_OS_WIN

QString IcmpEchoClient::availability()
{
    const HANDLE handle = IcmpCreateFile();
    if (handle == INVALID_HANDLE_VALUE)
        return QStringLiteral("The ICMP echo service cannot be opened (error %1)").arg(GetLastError());
    IcmpCloseHandle(handle);
    return QString();
}

EchoResult IcmpEchoClient::echo(const QString &target, const QByteArray &data, int timeoutMs)
{
    QString error;
    const auto address = resolve(target, &error);
    if (!address)
        return failed(error);

    const HANDLE handle = IcmpCreateFile();
    if (handle == INVALID_HANDLE_VALUE)
        return failed(QStringLiteral("The ICMP echo service cannot be opened (error %1)").arg(GetLastError()));
    ++m_sequence; // the system numbers the requests on the wire

    // Room for the reply, its data, an ICMP error message and the system's status block.
    std::vector<char> reply(sizeof(ICMP_ECHO_REPLY) + size_t(data.size()) + 8 + 64);
    QByteArray request = data;
    const DWORD count =
        IcmpSendEcho(handle, IPAddr(qToBigEndian<quint32>(*address)), request.data(), WORD(request.size()), nullptr,
                     reply.data(), DWORD(reply.size()), DWORD(timeoutMs));
    const DWORD lastError = GetLastError();
    IcmpCloseHandle(handle);

    EchoResult result;
    if (count == 0) {
        // IP_* status codes (11000 and up) mean the request went out and nothing usable came back.
        if (lastError >= IP_STATUS_BASE)
            return result;
        return failed(QStringLiteral("The ICMP echo request failed (error %1)").arg(lastError));
    }
    const auto *echoReply = reinterpret_cast<const ICMP_ECHO_REPLY *>(reply.data());
    if (echoReply->Status == IP_SUCCESS) {
        result.status = EchoResult::Status::Replied;
        result.received = int(echoReply->DataSize);
    }
    return result;
}

#else

QString IcmpEchoClient::availability()
{
    Socket socket;
    return openIcmpSocket(socket);
}

EchoResult IcmpEchoClient::echo(const QString &target, const QByteArray &data, int timeoutMs)
{
    QString error;
    const auto address = resolve(target, &error);
    if (!address)
        return failed(error);

    Socket socket;
    error = openIcmpSocket(socket);
    if (!error.isEmpty())
        return failed(error);

    const quint16 sequence = ++m_sequence;
    const QByteArray request = IcmpPacket::echoRequest(m_identifier, sequence, data);
    sockaddr_in to = {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = qToBigEndian<quint32>(*address);
    QDeadlineTimer deadline(timeoutMs);
    if (::sendto(socket.fd, request.constData(), size_t(request.size()), 0, reinterpret_cast<sockaddr *>(&to),
                 sizeof(to))
        < 0)
        return failed(QStringLiteral("Cannot send an ICMP echo request: %1").arg(systemError(errno)));

    EchoResult result;
    QByteArray packet(65536, '\0');
    for (;;) {
        pollfd wait = {socket.fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, int(deadline.remainingTime()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return result;
        sockaddr_in from = {};
        socklen_t fromSize = sizeof(from);
        const ssize_t n = ::recvfrom(socket.fd, packet.data(), size_t(packet.size()), 0,
                                     reinterpret_cast<sockaddr *>(&from), &fromSize);
        if (n < 0) {
            // An ICMP error for this request (unreachable, …) also counts as no answer.
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return result;
        }
        const bool fromTarget = from.sin_addr.s_addr == to.sin_addr.s_addr;
        const auto length = IcmpPacket::replyDataLength(packet.left(n), socket.raw, m_identifier, sequence, socket.raw);
        if (fromTarget && length) {
            result.status = EchoResult::Status::Replied;
            result.received = *length;
            return result;
        }
        if (deadline.hasExpired())
            return result;
    }
}

#endif
