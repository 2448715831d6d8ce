#include "core/i18n/VersionCheck.h"

#include "core/LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

class TestVersionCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void convVersion_data();
    void convVersion();
    void parseEndpoint_data();
    void parseEndpoint();
    void checkThroughServer_data();
    void checkThroughServer();
    void requestIsHttp10WithExactHeaders();
    void silentServerTimesOut();
    void noServer();
    void secondCheckWaitsForTheRunningOne();

private:
    static VersionCheck::Endpoint local(quint16 port) { return {QStringLiteral("127.0.0.1"), port}; }
};

void TestVersionCheck::convVersion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");

    QTest::newRow("own version") << "2.001" << 2001;
    QTest::newRow("with prefix") << "VER. 2.002" << 2002;
    QTest::newRow("blanks around the number") << "VER.   2.002  " << 2002;
    QTest::newRow("zero") << "VER. 0.000" << 0;
    QTest::newRow("two-digit major") << "VER. 10.01" << -1;
    QTest::newRow("too short") << "VER. 2.0" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("prefix only") << "VER." << -1;
    QTest::newRow("letters") << "VER. a.bcd" << -1;
    QTest::newRow("only the text after the first blank") << "A B 2.003" << -1;
    QTest::newRow("longer text keeps four characters") << "3.0045" << 3004;
}

void TestVersionCheck::convVersion()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(VersionCheck::Conv_Version(text), value);
}

void TestVersionCheck::parseEndpoint_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");

    QTest::newRow("host") << "www.velmornet.com"
                          << "www.velmornet.com" << 80;
    QTest::newRow("host and port") << "example.test:8080"
                                   << "example.test" << 8080;
    QTest::newRow("loopback") << "127.0.0.1:5000"
                              << "127.0.0.1" << 5000;
    QTest::newRow("bracketed IPv6") << "[::1]:81"
                                    << "::1" << 81;
    QTest::newRow("empty") << ""
                           << "" << 0;
    QTest::newRow("port not a number") << "example.test:abc"
                                       << "" << 0;
    QTest::newRow("path") << "example.test/x"
                          << "" << 0;
}

void TestVersionCheck::parseEndpoint()
{
    QFETCH(QString, text);
    QFETCH(QString, host);
    QFETCH(int, port);
    const VersionCheck::Endpoint e = VersionCheck::parseEndpoint(text);
    QCOMPARE(e.port, port);
    if (port != 0)
        QCOMPARE(e.host, host);
}

void TestVersionCheck::checkThroughServer_data()
{
    QTest::addColumn<QByteArray>("response");
    QTest::addColumn<bool>("newer");

    QTest::newRow("newer") << LocalHttpServer::ok("VER. 2.002") << true;
    QTest::newRow("newer, lower case, blanks") << LocalHttpServer::ok("  ver. 2.002 \r\n") << true;
    QTest::newRow("same") << LocalHttpServer::ok("VER. 2.001") << false;
    QTest::newRow("older") << LocalHttpServer::ok("VER. 1.999") << false;
    QTest::newRow("none offered") << LocalHttpServer::ok("VER. 0.000") << false;
    QTest::newRow("none offered, lower case") << LocalHttpServer::ok(" ver. 0.000") << false;
    QTest::newRow("without prefix") << LocalHttpServer::ok("2.010") << true;
    QTest::newRow("two-digit major") << LocalHttpServer::ok("VER. 10.01") << false;
    QTest::newRow("too short") << LocalHttpServer::ok("VER. 2.0") << false;
    QTest::newRow("empty body") << LocalHttpServer::ok("") << false;
    QTest::newRow("byte-order mark") << LocalHttpServer::ok("\xEF\xBB\xBF"
                                                            "2.010")
                                     << true;
    QTest::newRow("length given") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nVER. 2.002") << true;
    QTest::newRow("error status") << QByteArray("HTTP/1.0 404 Not Found\r\n\r\nVER. 9.999") << false;
    QTest::newRow("server error") << QByteArray("HTTP/1.1 500 Internal Server Error\r\n\r\nVER. 9.999") << false;
    QTest::newRow("redirect") << QByteArray("HTTP/1.0 302 Found\r\nLocation: /x\r\n\r\nVER. 9.999") << false;
    QTest::newRow("broken transfer") << QByteArray("HTTP/1.0 200 OK\r\nContent-Length: 40\r\n\r\nVER. 2.002") << false;
    QTest::newRow("chunked") << QByteArray(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\na\r\nVER. 2.002\r\n0\r\n\r\n")
                             << false;
    QTest::newRow("not HTTP") << QByteArray("VER. 2.002") << false;
    QTest::newRow("nothing") << QByteArray() << false;
}

void TestVersionCheck::checkThroughServer()
{
    QFETCH(QByteArray, response);
    QFETCH(bool, newer);

    LocalHttpServer server;
    server.setResponse(response);
    VersionCheck check;
    check.setEndpoint(local(server.port()));
    QCOMPARE(check.Check_Version(), newer);
    QCOMPARE(server.connections(), 1);
    QVERIFY(!check.isRunning());
}

void TestVersionCheck::requestIsHttp10WithExactHeaders()
{
    LocalHttpServer server;
    server.setResponse(LocalHttpServer::ok("VER. 2.002"));
    VersionCheck check;
    check.setEndpoint(local(server.port()));
    QVERIFY(check.Check_Version());

    QCOMPARE(server.requests().size(), 1);
    const QList<QByteArray> lines = server.requests().first().split('\n');
    QCOMPARE(lines.first(), QByteArray("GET /home/download/GetversionSW.asp?nomesw=PK58104 HTTP/1.0\r"));
    QCOMPARE(server.requests().first(),
             "GET /home/download/GetversionSW.asp?nomesw=PK58104 HTTP/1.0\r\n"
             "Host: 127.0.0.1:"
                 + QByteArray::number(server.port())
                 + "\r\n"
                   "Accept: text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8\r\n"
                   "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                   "\r\n");
}

void TestVersionCheck::silentServerTimesOut()
{
    LocalHttpServer server;
    server.setSilent(true);
    VersionCheck check;
    check.setEndpoint(local(server.port()));
    check.setTimeoutMs(200);

    // Windows go on painting while the check waits: queued work still runs.
    bool eventsRan = false;
    QTimer::singleShot(0, this, [&eventsRan] { eventsRan = true; });
    QVERIFY(!check.Check_Version());
    QVERIFY(eventsRan);
    QVERIFY(!check.lastError().isEmpty());
    QVERIFY(!check.isRunning());
    QTRY_COMPARE(server.closedByClient(), 1);

    // A timed-out check leaves nothing behind: the next one works.
    server.setSilent(false);
    server.setResponse(LocalHttpServer::ok("VER. 2.002"));
    QVERIFY(check.Check_Version());
}

void TestVersionCheck::noServer()
{
    quint16 port = 0;
    {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    VersionCheck check;
    check.setEndpoint(local(port));
    QVERIFY(!check.Check_Version());
    QVERIFY(!check.lastError().isEmpty());
    QVERIFY(!check.isRunning());

    check.setEndpoint(VersionCheck::parseEndpoint(QStringLiteral("bad host:x")));
    QVERIFY(!check.Check_Version());
}

void TestVersionCheck::secondCheckWaitsForTheRunningOne()
{
    LocalHttpServer server;
    server.setResponse(LocalHttpServer::ok("VER. 2.002"));
    server.setHeld(true);
    VersionCheck check;
    check.setEndpoint(local(server.port()));

    // A second caller (the timer while the options window checks) arrives once the
    // first request has reached the server.
    bool inner = false;
    bool innerRan = false;
    QTimer poll;
    poll.setInterval(5);
    connect(&poll, &QTimer::timeout, this, [&] {
        if (server.requests().isEmpty())
            return;
        poll.stop();
        QVERIFY(check.isRunning());
        server.release();
        innerRan = true;
        inner = check.Check_Version();
    });
    poll.start();

    QVERIFY(check.Check_Version());
    QVERIFY(innerRan);
    QVERIFY(inner);
    QCOMPARE(server.connections(), 1);
}

QTEST_GUILESS_MAIN(TestVersionCheck)
#include "tst_versioncheck.moc"
