#include "core/update/PingTest.h"

#include "core/update/EchoClient.h"

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <exception>

QByteArray PingTest::payload()
{
    return QByteArrayLiteral("abcdefghijklmnopqrstuvwa");
}

PingTest::PingTest(EchoClient &client, Clock clock, Pause pause)
    : m_client(client)
    , m_clock(clock ? std::move(clock) : Clock(&PingTest::steadyMs))
    , m_pause(pause ? std::move(pause) : Pause(&PingTest::pauseProcessingEvents))
{
}

qint64 PingTest::steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void PingTest::pauseProcessingEvents()
{
    QEventLoop loop;
    QTimer::singleShot(PauseMs, &loop, &QEventLoop::quit);
    loop.exec();
}

void PingTest::PingReply(int receivedBytes)
{
    ping_res = receivedBytes > 0 ? Answered : NotAnswered;
}

bool PingTest::Send_Ping(const QString &target)
{
    m_lastError.clear();
    ping_res = NoStatus;
    try {
        const qint64 t0 = m_clock();
        int answered = 0;
        for (;;) {
            const qint64 t = m_clock();
            const EchoResult result = m_client.echo(target, payload(), ReplyTimeoutMs);
            if (result.status == EchoResult::Status::Failed) {
                m_lastError = result.error;
                return false;
            }
            PingReply(result.status == EchoResult::Status::Replied ? result.received : 0);

            do
                m_pause();
            while (ping_res == NoStatus && m_clock() - t <= ReplyTimeoutMs);

            if (ping_res == Answered && ++answered >= 2)
                break;
            if (m_clock() - t0 > TestLimitMs)
                break;
        }
    } catch (const std::exception &e) {
        m_lastError = QString::fromLocal8Bit(e.what());
        return false;
    } catch (...) {
        m_lastError = QStringLiteral("Unexpected failure during the echo test");
        return false;
    }
    return ping_res == Answered;
}
