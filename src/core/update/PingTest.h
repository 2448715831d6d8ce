#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class EchoClient;

// The echo test run before an Ethernet update: echo requests to the device until two have
// been answered or about five seconds have passed.
class PingTest
{
public:
    enum PingRes { NoStatus = 0, Answered = 1, NotAnswered = 2 };

    static QByteArray payload(); // "abcdefghijklmnopqrstuvwa"
    static constexpr int ReplyTimeoutMs = 400;
    static constexpr int TestLimitMs = 5000;
    static constexpr int PauseMs = 10;

    // A monotonic clock in milliseconds.
    using Clock = std::function<qint64()>;
    // Pauses for PauseMs while handling pending events, so that the windows stay alive.
    using Pause = std::function<void()>;

    explicit PingTest(EchoClient &client, Clock clock = Clock(), Pause pause = Pause());

    // True when the last attempt was answered. When the echo client fails (no resolution,
    // no permission) the test ends with false and ping_res keeps the value it had.
    bool Send_Ping(const QString &target);

    // Status of the last echo (PingRes).
    int ping_res = NoStatus;

    // The last failure of the echo client, for diagnostics.
    QString lastError() const { return m_lastError; }

    static qint64 steadyMs();
    static void pauseProcessingEvents();

private:
    void PingReply(int receivedBytes);

    EchoClient &m_client;
    Clock m_clock;
    Pause m_pause;
    QString m_lastError;
};
