#include "core/ImageDocs.h"
#include "core/image/BankBuilder.h"
#include "core/image/FilterDocument.h"
#include "core/image/XmlSource.h"

#include <QTest>
#include <QtEndian>

using ImageDocs::Ext;
using ImageDocs::Names;
using ImageDocs::Row;
using ImageDocs::Std;
using ImageDocs::Values;

namespace {
XmlSource parGenSource(const Values &set = {}, const Names &omit = {})
{
    return XmlSource::fromBytes(ImageDocs::parGen(set, omit), QStringLiteral("ParGen.xml"));
}

FilterDocument cob(const QList<Row> &can0ToCan1, const QList<Row> &can1ToCan0 = {})
{
    return FilterDocument::fromBytes(ImageDocs::cobId(can0ToCan1, can1ToCan0), QStringLiteral("CanCanCobID.xml"));
}

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray ff(int n)
{
    return QByteArray(n, char(0xFF));
}

struct Built
{
    QString error;
    QByteArray banks[6]; // 1-based
};

Built build(const XmlSource &parGenDoc, const FilterDocument &cobDoc, BankBuilder &builder)
{
    Built b;
    b.error = builder.Build_Banks(parGenDoc, cobDoc);
    for (int k = 1; k <= 5; ++k)
        b.banks[k] = builder.bank(k);
    return b;
}

Built build(const XmlSource &parGenDoc, const FilterDocument &cobDoc)
{
    BankBuilder builder;
    return build(parGenDoc, cobDoc, builder);
}

void checkUnusedBanks(const Built &b)
{
    for (int k = 3; k <= 5; ++k)
        QCOMPARE(b.banks[k], ff(16384));
}
} // namespace

class TestBanks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void directMap_data();
    void directMap();
    void mapWithoutFilterDocument();
    void mapSkipsIdentifiersOutsideTheMap();
    void mapLaterRowWins();
    void sortedList();
    void listKeepsTheSmallest2000();
    void listWithoutFilterDocument();
    void listTakesReplacementsAsRead();
    void rowsBeyond2048AreLeftOut();
    void settingsBytes_data();
    void settingsBytes();
    void settingsSurviveWithoutDocument();
    void strictReadStops_data();
    void strictReadStops();
};

void TestBanks::directMap_data()
{
    QTest::addColumn<QByteArray>("positive");
    QTest::addColumn<QByteArray>("mod");
    QTest::addColumn<QByteArray>("entry");
    QTest::addColumn<QByteArray>("passMap1");
    QTest::addColumn<QByteArray>("passMap2");

    QByteArray on(256, '\0');
    on[36] = 0x08;
    QByteArray off = ff(256);
    off[36] = char(0xF7);
    QTest::newRow("positive") << QByteArray("1") << QByteArray("0x456") << hex("23 01 56 04") << on
                              << QByteArray(256, '\0');
    QTest::newRow("negative") << QByteArray("0") << QByteArray("0x456") << hex("23 01 56 04") << off << ff(256);
    QTest::newRow("empty replacement") << QByteArray("1") << QByteArray("") << hex("23 01 23 01") << on
                                       << QByteArray(256, '\0');
}

void TestBanks::directMap()
{
    QFETCH(QByteArray, positive);
    QFETCH(QByteArray, mod);
    QFETCH(QByteArray, entry);
    QFETCH(QByteArray, passMap1);
    QFETCH(QByteArray, passMap2);
    const Built b = build(parGenSource({{"Positive", positive.constData()}}), cob({Row("0x123", mod.constData())}));
    QVERIFY2(b.error.isEmpty(), qPrintable(b.error));
    QCOMPARE(b.banks[1].mid(1164, 4), entry);
    QCOMPARE(b.banks[1].mid(9000, 256), passMap1);
    QCOMPARE(b.banks[2].mid(9000, 256), passMap2);
    // Nothing else in the entry areas, nothing between entries and pass map.
    QByteArray rest = b.banks[1].left(9000);
    rest.replace(1164, 4, ff(4));
    QCOMPARE(rest, ff(9000));
    QCOMPARE(b.banks[2].left(9000), ff(9000));
    QCOMPARE(b.banks[2].mid(9256), ff(16384 - 9256));
    checkUnusedBanks(b);
}

void TestBanks::mapWithoutFilterDocument()
{
    const Built b = build(parGenSource({{"Positive", "1"}}), FilterDocument());
    QVERIFY(b.error.isEmpty());
    QCOMPARE(b.banks[1].left(16100), ff(16100));
    QCOMPARE(b.banks[2], ff(16384));
}

void TestBanks::mapSkipsIdentifiersOutsideTheMap()
{
    // 0x10123 shares its low 16 bits with nothing in range, 0x800 is one past the map, and
    // -1 reads as 0xFFFFFFFF: none of them may land anywhere in the bank.
    const Built with =
        build(parGenSource({{"Positive", "1"}}),
              cob({Row("0x800", "1", Ext), Row("0x5"), Row("0x10123", "2", Ext), Row("-1"), Row("0x7FF", "0x7FF")}));
    const Built without = build(parGenSource({{"Positive", "1"}}), cob({Row("0x5"), Row("0x7FF", "0x7FF")}));
    QVERIFY(with.error.isEmpty());
    QCOMPARE(with.banks[1], without.banks[1]);
    QCOMPARE(with.banks[1].mid(4 * 0x7FF, 4), hex("FF 07 FF 07"));
    QCOMPARE(quint8(with.banks[1][9000 + 255]), quint8(0x80));
}

void TestBanks::mapLaterRowWins()
{
    const Built b = build(parGenSource(), cob({Row("7", "1"), Row("7", "0x10002")}));
    QCOMPARE(b.banks[1].mid(28, 4), hex("07 00 02 00"));
    QCOMPARE(quint8(b.banks[1][9000]), quint8(0x7F));
}

void TestBanks::sortedList()
{
    const Built b =
        build(parGenSource({{"TypeC1", "1"}}), cob({Row("300", "", Ext), Row("100", "", Ext), Row("200", "", Ext)}));
    QVERIFY2(b.error.isEmpty(), qPrintable(b.error));
    QCOMPARE(b.banks[1].left(24), hex("64000000 64000000 C8000000 C8000000 2C010000 2C010000"));
    QCOMPARE(b.banks[1].mid(24, 16100 - 24), ff(16100 - 24));
    QCOMPARE(b.banks[1].mid(16200, 4), hex("03 00 00 00"));
    QCOMPARE(b.banks[2].left(16000), ff(16000));
    checkUnusedBanks(b);
}

void TestBanks::listKeepsTheSmallest2000()
{
    const Built b = build(parGenSource({{"Type", "1"}}), cob(ImageDocs::descendingRows(2048, 2047, Ext)));
    QVERIFY(b.error.isEmpty());
    for (int i = 0; i < 2000; ++i)
        QCOMPARE(qFromLittleEndian<quint32>(b.banks[1].constData() + 8 * i), quint32(i));
    QCOMPARE(b.banks[1].mid(16000, 100), ff(100));
    QCOMPARE(b.banks[1].mid(16200, 2), hex("D0 07"));
}

void TestBanks::listWithoutFilterDocument()
{
    const Built b = build(parGenSource({{"Type", "1"}}), FilterDocument());
    QVERIFY(b.error.isEmpty());
    QCOMPARE(b.banks[1].left(16100), ff(16100));
    QCOMPARE(b.banks[1].mid(16200, 4), ff(4));
    QCOMPARE(b.banks[2], ff(16384));
}

void TestBanks::listTakesReplacementsAsRead()
{
    // Positive off, yet the replacement is stored; the 29-bit mark is never stored.
    const Built b =
        build(parGenSource({{"Type", "1"}}), cob({}, {Row("0x1FFFFFFF", "-1", Ext, Ext), Row("0x10", "0x20")}));
    QCOMPARE(b.banks[2].left(16), hex("10000000 20000000 FFFFFF1F FFFFFFFF"));
    QCOMPARE(b.banks[1].mid(16200, 4), hex("00 00 02 00"));
}

void TestBanks::rowsBeyond2048AreLeftOut()
{
    QList<Row> rows = ImageDocs::descendingRows(2048, 5000);
    rows.append(Row("9"));
    rows.append(Row("junk"));
    const Built map = build(parGenSource(), cob(rows));
    QVERIFY2(map.error.isEmpty(), qPrintable(map.error));
    QCOMPARE(map.banks[1].mid(36, 4), ff(4));
    QCOMPARE(quint8(map.banks[1][9001]), quint8(0xFF));
    const Built list = build(parGenSource({{"Type", "1"}}), cob(rows));
    QVERIFY(list.error.isEmpty());
    QCOMPARE(qFromLittleEndian<quint32>(list.banks[1].constData()), quint32(5000 - 2047));
}

void TestBanks::settingsBytes_data()
{
    QTest::addColumn<Values>("set");
    QTest::addColumn<Names>("omit");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("rates 5 and 8, DIP CAN 0")
        << Values{{"Boud0", "5"}, {"Boud1", "8"}, {"Baud_Dip_C0", "1"}} << Names{} << hex("06 09 00 00 01 00");
    QTest::newRow("DIP CAN 1 is bit 1") << Values{{"Baud_Dip_C1", "1"}, {"Positive", "1"}} << Names{}
                                        << hex("09 09 00 01 02 00");
    QTest::newRow("frame types") << Values{{"Type", "1"}, {"TypeC1", "0"}} << Names{} << hex("09 09 01 00 00 00");
    QTest::newRow("no TypeC1") << Values{{"Type", "1"}} << Names{"TypeC1"} << hex("09 09 01 00 00 01");
    QTest::newRow("unreadable TypeC1") << Values{{"Type", "1"}, {"TypeC1", "one"}} << Names{}
                                       << hex("09 09 01 00 00 01");
    QTest::newRow("low 8 bits") << Values{{"Boud0", "0x105"}, {"Positive", "256"}, {"Baud_Dip_C0", "3"}} << Names{}
                                << hex("06 09 00 00 03 00");
    QTest::newRow("hex and blanks") << Values{{"Boud1", " $2"}} << Names{} << hex("09 03 00 00 00 00");
}

void TestBanks::settingsBytes()
{
    QFETCH(Values, set);
    QFETCH(Names, omit);
    QFETCH(QByteArray, bytes);
    const Built b = build(parGenSource(set, omit), FilterDocument());
    QVERIFY2(b.error.isEmpty(), qPrintable(b.error));
    QCOMPARE(b.banks[1].mid(16100, 6), bytes);
}

void TestBanks::settingsSurviveWithoutDocument()
{
    BankBuilder builder;
    Built b = build(XmlSource(), FilterDocument(), builder);
    QCOMPARE(b.banks[1].mid(16100, 6), hex("01 01 00 00 00 00"));

    b = build(parGenSource({{"Boud0", "3"}, {"Type", "1"}, {"Positive", "1"}}), FilterDocument(), builder);
    QCOMPARE(b.banks[1].mid(16100, 6), hex("04 09 01 01 00 00"));
    b = build(XmlSource(), cob({Row("0x20", "", Ext)}), builder);
    QVERIFY(b.error.isEmpty());
    QCOMPARE(b.banks[1].mid(16100, 6), hex("04 09 01 01 00 00"));
    // Still the list layout, as the kept frame types say.
    QCOMPARE(b.banks[1].left(8), hex("20000000 20000000"));
}

void TestBanks::strictReadStops_data()
{
    QTest::addColumn<QByteArray>("parGenDoc");
    QTest::addColumn<QByteArray>("cobDoc");
    QTest::addColumn<QString>("named");

    const QByteArray goodCob = ImageDocs::cobId({Row("1")});
    QTest::newRow("five children") << ImageDocs::parGenRaw(
        {{"Boud0", "1"}, {"Boud1", "1"}, {"Type", "0"}, {"Positive", "0"}, {"Baud_Dip_C0", "0"}})
                                   << goodCob << QStringLiteral("element 6 of the root (Baud_Dip_C1) is missing");
    QTest::newRow("children in another order")
        << ImageDocs::parGenRaw({{"Device_Type", "1"},
                                 {"Ethernet_IP1", "192"},
                                 {"Boud0", "8"},
                                 {"Ethernet_TCP_Port", "10001"},
                                 {"Boud1", "8k"},
                                 {"Type", "0"}})
        << goodCob << QStringLiteral("'8k' is not a valid integer value (element 5 of the root, Boud1)");
    QTest::newRow("unreadable rate") << ImageDocs::parGen({{"Boud1", "fast"}}) << goodCob << QStringLiteral("'fast'");
    QTest::newRow("trailing blank") << ImageDocs::parGen({{"Positive", "1 "}}) << goodCob << QStringLiteral("'1 '");
    QTest::newRow("comment first") << "<!--x-->" + ImageDocs::parGen() << goodCob
                                   << QStringLiteral("element 1 of the root (Boud0) is missing");
    QTest::newRow("not well-formed") << QByteArray("<Par_Gen>") << goodCob << QStringLiteral("ParGen.xml");
    QTest::newRow("unreadable identifier")
        << ImageDocs::parGen() << ImageDocs::cobId({Row("1"), Row("0x12G")}) << QStringLiteral("'0x12G'");
    QTest::newRow("blank identifier") << ImageDocs::parGen() << ImageDocs::cobId({}, {Row(" ")})
                                      << QStringLiteral("Can1_to_Can0 row 1, Orig_CobID");
    QTest::newRow("unreadable replacement")
        << ImageDocs::parGen({{"Type", "1"}}) << ImageDocs::cobId({Row("1", "one")}) << QStringLiteral("'one'");
    QTest::newRow("other root") << ImageDocs::parGen()
                                << QByteArray("<Filters><Can0_to_Can1/><Can1_to_Can0/></Filters>")
                                << QStringLiteral("CanCanCobID");
    QTest::newRow("one section") << ImageDocs::parGen() << QByteArray("<CanCanCobID><Can0_to_Can1/></CanCanCobID>")
                                 << QStringLiteral("Can1_to_Can0");
}

void TestBanks::strictReadStops()
{
    QFETCH(QByteArray, parGenDoc);
    QFETCH(QByteArray, cobDoc);
    QFETCH(QString, named);
    BankBuilder builder;
    const QString error = builder.Build_Banks(XmlSource::fromBytes(parGenDoc, QStringLiteral("ParGen.xml")),
                                              FilterDocument::fromBytes(cobDoc, QStringLiteral("CanCanCobID.xml")));
    QVERIFY2(error.contains(named), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestBanks)
#include "tst_banks.moc"
