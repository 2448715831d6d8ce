#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// ICMP echo messages as they travel on the wire (RFC 792), independent of the socket kind.
namespace IcmpPacket {

inline constexpr quint8 EchoReply = 0;
inline constexpr quint8 EchoRequest = 8;

// The Internet checksum (one's complement of the one's complement sum of 16-bit words).
quint16 checksum(const QByteArray &bytes);

// An echo request: type 8, code 0, checksum, identifier, sequence number, data.
QByteArray echoRequest(quint16 identifier, quint16 sequence, const QByteArray &data);

// When `packet` is the reply to the request (identifier, sequence), the length of its data.
// `withIpHeader`: the packet starts with an IPv4 header (raw sockets hand those over).
// `checkIdentifier` false: the system chose the identifier (datagram ICMP sockets) and
// delivers only replies meant for this socket, so only the sequence number tells.
std::optional<int> replyDataLength(const QByteArray &packet, bool withIpHeader, quint16 identifier, quint16 sequence,
                                   bool checkIdentifier = true);

// The IPv4 address that a dotted text of four decimal parts names, in host order. The parts
// follow the address-field rules (blanks around a part, integer text 0 to 255); "010" is ten,
// never octal eight. Anything else is not a numeric address.
std::optional<quint32> numericIpv4(const QString &text);

// True when the text can only have been meant as a numeric address (digits, dots and
// blanks), so that it must not be handed to the name resolver.
bool looksNumeric(const QString &text);

} // namespace IcmpPacket
