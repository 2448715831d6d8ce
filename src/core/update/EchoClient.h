#pragma once

#include <QByteArray>
#include <QString>

// What one ICMP echo request came to.
struct EchoResult
{
    enum class Status {
        Replied, // a reply to this very request arrived; `received` holds its data length
        NoReply, // nothing answered within the time-out
        Failed,  // nothing could be sent: the target does not resolve, ICMP is not permitted…
    };
    Status status = Status::NoReply;
    int received = 0;
    QString error; // set when Failed
};

// Sends one echo request and waits for its reply. The client numbers its requests itself.
class EchoClient
{
public:
    virtual ~EchoClient() = default;
    virtual EchoResult echo(const QString &target, const QByteArray &data, int timeoutMs) = 0;
};
