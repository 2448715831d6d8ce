#include "core/update/IcmpPacket.h"

#include "core/app/SplitIpAddress.h"
#include "core/base/IntText.h"

#include <QtEndian>

namespace IcmpPacket {

namespace {
constexpr int HeaderSize = 8;

quint16 read16(const QByteArray &bytes, int at)
{
    return qFromBigEndian<quint16>(bytes.constData() + at);
}
} // namespace

quint16 checksum(const QByteArray &bytes)
{
    quint32 sum = 0;
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData());
    qsizetype n = bytes.size();
    for (; n > 1; p += 2, n -= 2)
        sum += quint32(p[0]) << 8 | p[1];
    if (n == 1)
        sum += quint32(p[0]) << 8;
    while (sum >> 16)
        sum = (sum & 0xFFFF) + (sum >> 16);
    return quint16(~sum);
}

QByteArray echoRequest(quint16 identifier, quint16 sequence, const QByteArray &data)
{
    QByteArray packet(HeaderSize, '\0');
    packet[0] = char(EchoRequest);
    qToBigEndian<quint16>(identifier, packet.data() + 4);
    qToBigEndian<quint16>(sequence, packet.data() + 6);
    packet.append(data);
    qToBigEndian<quint16>(checksum(packet), packet.data() + 2);
    return packet;
}

std::optional<int> replyDataLength(const QByteArray &packet, bool withIpHeader, quint16 identifier, quint16 sequence,
                                   bool checkIdentifier)
{
    int at = 0;
    if (withIpHeader) {
        if (packet.size() < 20 || (uchar(packet[0]) >> 4) != 4)
            return std::nullopt;
        at = (uchar(packet[0]) & 0x0F) * 4;
        if (at < 20)
            return std::nullopt;
    }
    if (packet.size() < at + HeaderSize)
        return std::nullopt;
    // On loopback a raw socket also sees the request itself; other programs' echoes and
    // any other ICMP traffic arrive there too.
    if (uchar(packet[at]) != EchoReply || uchar(packet[at + 1]) != 0)
        return std::nullopt;
    if (checkIdentifier && read16(packet, at + 4) != identifier)
        return std::nullopt;
    if (read16(packet, at + 6) != sequence)
        return std::nullopt;
    if (checksum(packet.mid(at)) != 0)
        return std::nullopt;
    return int(packet.size() - at - HeaderSize);
}

std::optional<quint32> numericIpv4(const QString &text)
{
    QStringList parts;
    if (!Split_IP_Address(text, &parts))
        return std::nullopt;
    quint32 address = 0;
    for (const QString &part : std::as_const(parts))
        address = address << 8 | quint32(IntText::readOr(part, 0));
    return address;
}

bool looksNumeric(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 32 && c != u'.' && !(c >= u'0' && c <= u'9'))
            return false;
    }
    return true;
}

} // namespace IcmpPacket
