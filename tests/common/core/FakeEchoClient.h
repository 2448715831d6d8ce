#pragma once

#include "core/update/EchoClient.h"

#include <QList>
#include <QStringList>

#include <functional>

#include <stdexcept>

// A clock that moves only when told to, so a five-second echo test takes no real time.
struct FakeClock
{
    qint64 now = 1000;
    qint64 operator()() const { return now; }
};

// An echo client that plays a script, one step per request; the last step repeats. Steps:
// "R<n>" a reply with n data bytes, "N" no reply within the time-out, "F" a failure (for
// instance a name that does not resolve), "X" an exception. A request moves the clock on
// by the time it would take: a reply 1 ms, a missing reply the whole time-out.
class FakeEchoClient : public EchoClient
{
public:
    explicit FakeEchoClient(FakeClock &clock, QStringList steps = {QStringLiteral("R24")})
        : m_clock(clock)
        , script(std::move(steps))
    {
    }

    EchoResult echo(const QString &target, const QByteArray &data, int timeoutMs) override
    {
        targets.append(target);
        payloads.append(data);
        timeouts.append(timeoutMs);
        if (onEcho)
            onEcho();
        const QString step = script.value(qMin(targets.size(), script.size()) - 1);
        EchoResult result;
        if (step.startsWith(u'R')) {
            m_clock.now += 1;
            result.status = EchoResult::Status::Replied;
            result.received = step.mid(1).toInt();
        } else if (step == u"N") {
            m_clock.now += timeoutMs;
            result.status = EchoResult::Status::NoReply;
        } else if (step == u"X") {
            throw std::runtime_error("socket exploded");
        } else {
            result.status = EchoResult::Status::Failed;
            result.error = QStringLiteral("Cannot resolve \"%1\"").arg(target);
        }
        return result;
    }

    QStringList targets;
    QList<QByteArray> payloads;
    QList<int> timeouts;
    std::function<void()> onEcho; // called during each request, as events would be

private:
    FakeClock &m_clock;

public:
    QStringList script;
};
