#include "core/app/SplitIpAddress.h"

#include <QTest>

class TestSplitIpAddress : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void split_data();
    void split();
};

void TestSplitIpAddress::split_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QStringList>("parts");

    const auto parts = [](const char *a, const char *b, const char *c, const char *d) {
        return QStringList{QString::fromLatin1(a), QString::fromLatin1(b), QString::fromLatin1(c),
                           QString::fromLatin1(d)};
    };
    QTest::newRow("plain") << "192.168.2.205" << true << parts("192", "168", "2", "205");
    QTest::newRow("blanks around every part") << "  10 . 0 .\t0 . 1  " << true << parts("10", "0", "0", "1");
    QTest::newRow("bounds") << "0.0.255.255" << true << parts("0", "0", "255", "255");
    QTest::newRow("parts kept as typed") << "010.$FF.+1.0x0A" << true << parts("010", "$FF", "+1", "0x0A");
    QTest::newRow("three parts") << "10.0.1" << false << QStringList();
    QTest::newRow("five parts") << "10.0.0.1.5" << false << QStringList();
    QTest::newRow("empty part") << "10..0.1" << false << QStringList();
    QTest::newRow("empty last part") << "10.0.0." << false << QStringList();
    QTest::newRow("part above 255") << "10.0.0.256" << false << QStringList();
    QTest::newRow("negative part") << "10.0.-1.1" << false << QStringList();
    QTest::newRow("non-numeric part") << "10.0.a.1" << false << QStringList();
    QTest::newRow("blank inside a part") << "10.0.1 2.1" << false << QStringList();
    QTest::newRow("part that reads as 1000") << "10.0.1000.1" << false << QStringList();
    QTest::newRow("empty") << "" << false << QStringList();
}

void TestSplitIpAddress::split()
{
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QStringList, parts);

    const QStringList untouched{QStringLiteral("keep")};
    QStringList result = untouched;
    QCOMPARE(Split_IP_Address(text, &result), accepted);
    QCOMPARE(result, accepted ? parts : untouched);
}

QTEST_GUILESS_MAIN(TestSplitIpAddress)
#include "tst_splitipaddress.moc"
