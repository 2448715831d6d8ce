#include "core/ImageDocs.h"
#include "core/image/FilterDocument.h"
#include "core/image/ImageBuilder.h"
#include "core/image/ParBlock.h"
#include "core/image/XmlSource.h"

#include <QTest>
#include <QtEndian>

using ImageDocs::Names;
using ImageDocs::Values;

namespace {
XmlSource doc(const QByteArray &bytes)
{
    return XmlSource::fromBytes(bytes, QStringLiteral("ParGen.xml"));
}

QByteArray blockOf(const XmlSource &parGen, ParBlock::PortTypes *types = nullptr)
{
    ParBlock block;
    ParBlock::PortTypes t;
    const QString error = block.Read_Par_Gen(parGen, t);
    if (!error.isEmpty())
        qWarning() << error;
    if (types)
        *types = t;
    return block.bytes();
}
} // namespace

class TestParBlock : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void defaultsWithoutDocuments();
    void fields_data();
    void fields();
    void commentBeforeRootGivesFallbacks();
    void portTypesAreKeptWithoutDocument();
    void notWellFormedStopsTheBuild();
    void checksumCoversCountsAndFields();
    void putChecksumStaysInsideTheBuffer();
    void identicalBuildsGiveIdenticalBlocks();
};

void TestParBlock::defaultsWithoutDocuments()
{
    ImageBuilder builder;
    QVERIFY(builder.Build_Image(XmlSource(), FilterDocument()).isEmpty());
    const QByteArray image = builder.image();
    QCOMPARE(image.size(), 34816);
    QCOMPARE(image.left(32768), QByteArray(32768, '\0'));
    const QByteArray block = image.mid(0x8000);
    QCOMPARE(block.mid(0x000, 8), QByteArray::fromHex("90 D0 03 00 90 D0 03 00"));
    QCOMPARE(block.mid(0x028, 14), QByteArray::fromHex("C0 A8 02 CD FF FF FF 00 FF FF FF FF 10 27"));
    QCOMPARE(block.mid(0x170, 20), QByteArray::fromHex("00000000 00000600 00000000 00400600 00000000"));
    QCOMPARE(block.mid(0x7FC, 4), QByteArray::fromHex("79 0C 00 00"));
    // Every other byte is reserved and zero.
    QByteArray reserved = block;
    for (int off : {0x000, 0x004, 0x028, 0x02C, 0x030, 0x174, 0x17C, 0x7FC})
        reserved.replace(off, 4, QByteArray(4, '\0'));
    reserved.replace(0x034, 2, QByteArray(2, '\0'));
    QCOMPARE(reserved, QByteArray(2048, '\0'));
}

void TestParBlock::fields_data()
{
    QTest::addColumn<Values>("set");
    QTest::addColumn<Names>("omit");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");

    const Names none;
    const auto hex = [](const char *h) { return QByteArray::fromHex(h); };
    QTest::newRow("CAN 1 rate first") << Values{{"Boud0", "5"}, {"Boud1", "8"}} << none << 0x000
                                      << hex("40 42 0F 00 90 D0 03 00");
    QTest::newRow("rate index 0") << Values{{"Boud0", "0"}} << none << 0x004 << hex("10 27 00 00");
    QTest::newRow("rate index 9") << Values{{"Boud0", "9"}} << none << 0x004 << hex("40 42 0F 00");
    QTest::newRow("rate index -1") << Values{{"Boud0", "-1"}} << none << 0x004 << hex("40 42 0F 00");
    QTest::newRow("rate abc") << Values{{"Boud0", "abc"}} << none << 0x004 << hex("40 42 0F 00");
    QTest::newRow("rate missing") << Values{} << Names{"Boud1"} << 0x000 << hex("40 42 0F 00");
    QTest::newRow("gateway enabled") << Values{{"Ethernet_EN_GAT", "1"},
                                               {"Ethernet_GAT1", "10"},
                                               {"Ethernet_GAT2", "0"},
                                               {"Ethernet_GAT3", "0"},
                                               {"Ethernet_GAT4", "1"}}
                                     << none << 0x030 << hex("0A 00 00 01");
    QTest::newRow("gateway enabled, byte missing")
        << Values{{"Ethernet_EN_GAT", "1"}} << Names{"Ethernet_GAT4"} << 0x030 << hex("C0 A8 00 01");
    QTest::newRow("gateway 0") << Values{{"Ethernet_EN_GAT", "0"}, {"Ethernet_GAT1", "10"}} << none << 0x030
                               << hex("FF FF FF FF");
    QTest::newRow("gateway true") << Values{{"Ethernet_EN_GAT", "true"}} << none << 0x030 << hex("FF FF FF FF");
    QTest::newRow("gateway missing") << Values{} << Names{"Ethernet_EN_GAT"} << 0x030 << hex("FF FF FF FF");
    QTest::newRow("ip low 8 bits") << Values{{"Ethernet_IP1", "300"}, {"Ethernet_IP2", "0x10"}} << none << 0x028
                                   << hex("2C 10 00 0A");
    QTest::newRow("ip unreadable and missing")
        << Values{{"Ethernet_IP2", "x"}} << Names{"Ethernet_IP4"} << 0x028 << hex("C0 A8 00 0A");
    QTest::newRow("mask") << Values{{"Ethernet_SM3", "0"}, {"Ethernet_SM4", " 128"}} << none << 0x02C
                          << hex("FF FF 00 80");
    QTest::newRow("positive 1") << Values{{"Positive", "1"}} << none << 0x170 << hex("04 00 00 00");
    QTest::newRow("positive true") << Values{{"Positive", "true"}} << none << 0x170 << hex("00 00 00 00");
    QTest::newRow("positive 01") << Values{{"Positive", "01"}} << none << 0x170 << hex("00 00 00 00");
    QTest::newRow("positive missing") << Values{} << Names{"Positive"} << 0x170 << hex("00 00 00 00");
    QTest::newRow("both DIP flags") << Values{{"Baud_Dip_C0", "1"}, {"Baud_Dip_C1", "1"}} << none << 0x170
                                    << hex("03 00 00 00");
    QTest::newRow("DIP CAN 1 is bit 0") << Values{{"Baud_Dip_C1", "1"}} << none << 0x170 << hex("01 00 00 00");
    QTest::newRow("DIP CAN 0 is bit 1") << Values{{"Baud_Dip_C0", "1"}, {"Positive", "1"}} << none << 0x170
                                        << hex("06 00 00 00");
    QTest::newRow("net port fixed") << Values{{"Ethernet_TCP_Port", "502"}, {"Ethernet_UDP_Port", "7"}} << none << 0x034
                                    << hex("10 27");
}

void TestParBlock::fields()
{
    QFETCH(Values, set);
    QFETCH(Names, omit);
    QFETCH(int, offset);
    QFETCH(QByteArray, bytes);
    QCOMPARE(blockOf(doc(ImageDocs::parGen(set, omit))).mid(offset, bytes.size()), bytes);
}

void TestParBlock::commentBeforeRootGivesFallbacks()
{
    const QByteArray bytes = "<!--made elsewhere-->" + ImageDocs::parGen({{"Boud0", "5"}, {"Positive", "1"}});
    const QByteArray block = blockOf(doc(bytes));
    QCOMPARE(block.mid(0x000, 8), QByteArray::fromHex("40 42 0F 00 40 42 0F 00"));
    QCOMPARE(block.mid(0x028, 12), QByteArray::fromHex("C0 A8 00 0A FF FF FF 00 FF FF FF FF"));
    QCOMPARE(block.mid(0x170, 4), QByteArray::fromHex("00 00 00 00"));
}

void TestParBlock::portTypesAreKeptWithoutDocument()
{
    ParBlock block;
    ParBlock::PortTypes types;
    QVERIFY(block.Read_Par_Gen(doc(ImageDocs::parGen({{"Type", "1"}, {"TypeC1", "0x2"}})), types).isEmpty());
    QCOMPARE(types.Type_CAN0, 1u);
    QCOMPARE(types.Type_CAN1, 2u);

    block.Set_Default_Par();
    QVERIFY(block.Read_Par_Gen(XmlSource(), types).isEmpty());
    QCOMPARE(types.Type_CAN0, 1u);
    QCOMPARE(types.Type_CAN1, 2u);

    // A document that is read overwrites them, with 0 for what it lacks.
    QVERIFY(block.Read_Par_Gen(doc(ImageDocs::parGen({{"Type", "z"}}, {"TypeC1"})), types).isEmpty());
    QCOMPARE(types.Type_CAN0, 0u);
    QCOMPARE(types.Type_CAN1, 0u);
}

void TestParBlock::notWellFormedStopsTheBuild()
{
    ImageBuilder builder;
    const QString error = builder.Build_Image(doc("<Par_Gen><Boud0>5</Par_Gen>"), FilterDocument());
    QVERIFY(error.contains(QLatin1String("ParGen.xml")));
}

void TestParBlock::checksumCoversCountsAndFields()
{
    ImageBuilder builder;
    const FilterDocument cob = FilterDocument::fromBytes(ImageDocs::cobId({"1", "2", "3"}, {"4"}), QStringLiteral("c"));
    QVERIFY(builder.Build_Image(doc(ImageDocs::parGen({{"Ethernet_IP1", "10"}})), cob).isEmpty());
    const QByteArray block = builder.image().mid(0x8000);
    quint32 sum = 0;
    for (int i = 0; i < 0x7FC; ++i)
        sum += quint8(block[i]);
    // The counts (3 and 1) are part of the sum.
    QCOMPARE(block.mid(0x178, 4), QByteArray::fromHex("03 00 00 00"));
    QCOMPARE(block.mid(0x180, 4), QByteArray::fromHex("01 00 00 00"));
    QCOMPARE(qFromLittleEndian<quint32>(block.constData() + 0x7FC), sum);
    // Worked out by hand: rates 2 x 145, IP 188, mask 765, gateway 1020, port 55,
    // addresses 76, counts 4.
    QCOMPARE(sum, 2398u);
}

void TestParBlock::putChecksumStaysInsideTheBuffer()
{
    ParBlock block;
    QByteArray buffer(4096, 'x');
    QCOMPARE(block.Put_Checksum(2049, buffer), -1);
    QCOMPARE(block.Put_Checksum(-1, buffer), -1);
    QCOMPARE(buffer, QByteArray(4096, 'x'));
    QCOMPARE(block.Put_Checksum(2048, buffer), 4096);
    QCOMPARE(buffer.mid(2048 + 0x7FC), QByteArray::fromHex("79 0C 00 00"));
}

void TestParBlock::identicalBuildsGiveIdenticalBlocks()
{
    const XmlSource parGen = doc(ImageDocs::parGen({{"Boud0", "3"}, {"Positive", "1"}, {"Ethernet_EN_GAT", "1"}}));
    ImageBuilder builder;
    QVERIFY(builder.Build_Image(parGen, FilterDocument()).isEmpty());
    const QByteArray first = builder.image();
    QVERIFY(builder.Build_Image(parGen, FilterDocument()).isEmpty());
    QCOMPARE(builder.image(), first);
}

QTEST_GUILESS_MAIN(TestParBlock)
#include "tst_parblock.moc"
