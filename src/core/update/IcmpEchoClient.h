#pragma once

#include "core/update/EchoClient.h"

// The system's ICMP echo. On Linux an unprivileged ICMP datagram socket where the system
// allows one (net.ipv4.ping_group_range), else a raw ICMP socket (needs root or
// CAP_NET_RAW); on Windows the system's ICMP echo API. A target that is not a numeric
// address is resolved as a host name first.
class IcmpEchoClient : public EchoClient
{
public:
    IcmpEchoClient();

    EchoResult echo(const QString &target, const QByteArray &data, int timeoutMs) override;

    // Empty when this program may send echo requests here, else the reason it may not.
    static QString availability();

private:
    quint16 m_identifier;
    quint16 m_sequence;
};
