#include "core/update/PingTest.h"

#include "core/FakeEchoClient.h"

#include <QTest>

class TestPingTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void attempts_data();
    void attempts();
    void sendsTheFixedRequestToTheTarget();
    void newTestStartsWithoutStatus();
};

void TestPingTest::attempts_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<bool>("result");
    QTest::addColumn<int>("pingRes");
    QTest::addColumn<int>("attempts"); // -1: as many as fit into about five seconds
    QTest::addColumn<bool>("fullTime");

    const auto s = [](const char *steps) { return QString::fromLatin1(steps).split(u' '); };
    QTest::newRow("answers twice") << s("R24") << true << 1 << 2 << false;
    QTest::newRow("silent device") << s("N") << false << 2 << -1 << true;
    QTest::newRow("replies without data") << s("R0") << false << 2 << -1 << true;
    QTest::newRow("silent, then answers") << s("N R24") << true << 1 << 3 << false;
    QTest::newRow("answers, pauses, answers") << s("R24 N R24") << true << 1 << 3 << false;
    QTest::newRow("answers once, then silent") << s("R24 N") << false << 2 << -1 << true;
    QTest::newRow("fails before any status") << s("F") << false << 0 << 1 << false;
    QTest::newRow("throws before any status") << s("X") << false << 0 << 1 << false;
    QTest::newRow("fails after a silent attempt") << s("N F") << false << 2 << 2 << false;
    QTest::newRow("fails after an answer") << s("R24 F") << false << 1 << 2 << false;
}

void TestPingTest::attempts()
{
    QFETCH(QStringList, script);
    QFETCH(bool, result);
    QFETCH(int, pingRes);
    QFETCH(int, attempts);
    QFETCH(bool, fullTime);

    FakeClock clock;
    FakeEchoClient client(clock, script);
    int pauses = 0;
    PingTest test(client, std::ref(clock), [&] {
        ++pauses;
        clock.now += PingTest::PauseMs;
    });
    const qint64 start = clock.now;

    QCOMPARE(test.Send_Ping(QStringLiteral("127.0.0.1")), result);
    QCOMPARE(test.ping_res, pingRes);
    if (attempts >= 0)
        QCOMPARE(client.targets.size(), attempts);
    const qint64 spent = clock.now - start;
    if (fullTime) {
        // Stops with the first attempt that ends past five seconds.
        QVERIFY2(spent > PingTest::TestLimitMs, qPrintable(QString::number(spent)));
        QVERIFY2(spent <= PingTest::TestLimitMs + PingTest::ReplyTimeoutMs + 2 * PingTest::PauseMs,
                 qPrintable(QString::number(spent)));
    } else {
        QVERIFY(spent < PingTest::TestLimitMs);
    }
    // Events are handled after every attempt that produced a status.
    const bool endedByFailure = script.last() == u"F" || script.last() == u"X";
    QCOMPARE(!test.lastError().isEmpty(), endedByFailure);
    QVERIFY(pauses >= client.targets.size() - (endedByFailure ? 1 : 0));
}

void TestPingTest::sendsTheFixedRequestToTheTarget()
{
    FakeClock clock;
    FakeEchoClient client(clock);
    PingTest test(client, std::ref(clock), [&] { clock.now += PingTest::PauseMs; });
    QVERIFY(test.Send_Ping(QStringLiteral("127.0.0.1")));
    QCOMPARE(client.targets, QStringList(2, QStringLiteral("127.0.0.1")));
    for (const QByteArray &data : std::as_const(client.payloads))
        QCOMPARE(data, QByteArray("abcdefghijklmnopqrstuvwa"));
    for (int timeout : std::as_const(client.timeouts))
        QCOMPARE(timeout, 400);
}

void TestPingTest::newTestStartsWithoutStatus()
{
    // A new test starts without status, whatever the last one ended with.
    FakeClock clock;
    FakeEchoClient client(clock, {QStringLiteral("R24")});
    PingTest test(client, std::ref(clock), [&] { clock.now += PingTest::PauseMs; });
    QVERIFY(test.Send_Ping(QStringLiteral("127.0.0.1")));
    QCOMPARE(test.ping_res, 1);
    client.script = {QStringLiteral("F")};
    QVERIFY(!test.Send_Ping(QStringLiteral("127.0.0.1")));
    QCOMPARE(test.ping_res, 0);
}

QTEST_GUILESS_MAIN(TestPingTest)
#include "tst_pingtest.moc"
