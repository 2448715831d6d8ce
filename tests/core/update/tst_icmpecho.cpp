#include "core/update/IcmpEchoClient.h"
#include "core/update/IcmpPacket.h"
#include "core/update/PingTest.h"

#include <QTest>
#include <QtEndian>

// Every echo here goes to 127.0.0.1 and nowhere else.
class TestIcmpEcho : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void checksum();
    void requestLayout();
    void matchesOnlyItsOwnReply_data();
    void matchesOnlyItsOwnReply();
    void numericAddress_data();
    void numericAddress();
    void loopbackAnswers_data();
    void loopbackAnswers();
    void echoTestAgainstLoopback();
};

namespace {
QByteArray ipv4Header(int headerWords)
{
    QByteArray header(headerWords * 4, '\0');
    header[0] = char(0x40 | headerWords);
    header[9] = 1; // ICMP
    return header;
}

QByteArray echoReply(quint16 id, quint16 seq, const QByteArray &data)
{
    QByteArray packet = IcmpPacket::echoRequest(id, seq, data);
    packet[0] = char(IcmpPacket::EchoReply);
    packet[2] = packet[3] = 0;
    qToBigEndian<quint16>(IcmpPacket::checksum(packet), packet.data() + 2);
    return packet;
}

void skipUnlessIcmpWorks()
{
    const QString why = IcmpEchoClient::availability();
    if (!why.isEmpty())
        QSKIP(qPrintable(why));
}
} // namespace

void TestIcmpEcho::checksum()
{
    // The worked example of RFC 1071.
    QCOMPARE(IcmpPacket::checksum(QByteArray::fromHex("0001f203f4f5f6f7")), quint16(0x220d));
    QCOMPARE(IcmpPacket::checksum(QByteArray::fromHex("0001f203f4f5f6")), quint16(0x2304));
}

void TestIcmpEcho::requestLayout()
{
    const QByteArray request = IcmpPacket::echoRequest(0x1234, 0xABCD, PingTest::payload());
    QCOMPARE(request.size(), 8 + 24);
    QCOMPARE(request.left(2), QByteArray::fromHex("0800"));
    QCOMPARE(request.mid(4, 4), QByteArray::fromHex("1234abcd"));
    QCOMPARE(request.mid(8), QByteArray("abcdefghijklmnopqrstuvwa"));
    QCOMPARE(IcmpPacket::checksum(request), quint16(0)); // a correct checksum sums to all ones
}

void TestIcmpEcho::matchesOnlyItsOwnReply_data()
{
    QTest::addColumn<QByteArray>("packet");
    QTest::addColumn<bool>("withIpHeader");
    QTest::addColumn<bool>("checkIdentifier");
    QTest::addColumn<int>("expected"); // -1: not the reply

    const QByteArray data = PingTest::payload();
    const QByteArray reply = echoReply(7, 9, data);
    QTest::newRow("own reply") << reply << false << true << 24;
    QTest::newRow("own reply behind an IP header") << ipv4Header(5) + reply << true << true << 24;
    QTest::newRow("IP header with options") << ipv4Header(6) + reply << true << true << 24;
    QTest::newRow("reply without data") << echoReply(7, 9, QByteArray()) << false << true << 0;
    QTest::newRow("own request seen on loopback")
        << ipv4Header(5) + IcmpPacket::echoRequest(7, 9, data) << true << true << -1;
    QTest::newRow("someone else's identifier") << echoReply(8, 9, data) << false << true << -1;
    QTest::newRow("identifier chosen by the system") << echoReply(8, 9, data) << false << false << 24;
    QTest::newRow("earlier request") << echoReply(7, 8, data) << false << true << -1;
    QByteArray corrupted = reply;
    corrupted[10] = 'X';
    QTest::newRow("corrupted") << corrupted << false << true << -1;
    QTest::newRow("truncated header") << reply.left(6) << false << true << -1;
    QTest::newRow("truncated IP header") << ipv4Header(5).left(12) << true << true << -1;
    QByteArray unreachable = reply;
    unreachable[0] = 3;
    QTest::newRow("destination unreachable") << unreachable << false << true << -1;
}

void TestIcmpEcho::matchesOnlyItsOwnReply()
{
    QFETCH(QByteArray, packet);
    QFETCH(bool, withIpHeader);
    QFETCH(bool, checkIdentifier);
    QFETCH(int, expected);
    const auto length = IcmpPacket::replyDataLength(packet, withIpHeader, 7, 9, checkIdentifier);
    QCOMPARE(length.value_or(-1), expected);
}

void TestIcmpEcho::numericAddress_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<uint>("address");
    QTest::addColumn<bool>("looksNumeric");

    QTest::newRow("plain") << "192.168.2.205" << true << 0xC0A802CDu << true;
    QTest::newRow("blanks around parts") << " 10 . 0 . 0 . 1 " << true << 0x0A000001u << true;
    QTest::newRow("leading zero is decimal") << "10.0.0.010" << true << 0x0A00000Au << true;
    QTest::newRow("part above 255") << "10.0.0.256" << false << 0u << true;
    QTest::newRow("three parts") << "10.0.1" << false << 0u << true;
    QTest::newRow("empty fields") << "..." << false << 0u << true;
    QTest::newRow("host name") << "plc-7.example" << false << 0u << false;
}

void TestIcmpEcho::numericAddress()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(uint, address);
    QFETCH(bool, looksNumeric);
    const auto value = IcmpPacket::numericIpv4(text);
    QCOMPARE(value.has_value(), numeric);
    if (numeric)
        QCOMPARE(*value, quint32(address));
    QCOMPARE(IcmpPacket::looksNumeric(text), looksNumeric);
}

void TestIcmpEcho::loopbackAnswers_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("fixed request") << PingTest::payload();
    QTest::newRow("no data") << QByteArray();
}

void TestIcmpEcho::loopbackAnswers()
{
    QFETCH(QByteArray, data);
    skipUnlessIcmpWorks();
    IcmpEchoClient client;
    // Twice in a row: the second request carries a new number and gets its own reply.
    for (int i = 0; i < 2; ++i) {
        const EchoResult result = client.echo(QStringLiteral("127.0.0.1"), data, PingTest::ReplyTimeoutMs);
        QCOMPARE(result.error, QString());
        QCOMPARE(result.status, EchoResult::Status::Replied);
        QCOMPARE(result.received, data.size());
    }
}

void TestIcmpEcho::echoTestAgainstLoopback()
{
    skipUnlessIcmpWorks();
    IcmpEchoClient client;
    PingTest test(client);
    QVERIFY2(test.Send_Ping(QStringLiteral("127.0.0.1")), qPrintable(test.lastError()));
    QCOMPARE(test.ping_res, 1);
}

QTEST_GUILESS_MAIN(TestIcmpEcho)
#include "tst_icmpecho.moc"
