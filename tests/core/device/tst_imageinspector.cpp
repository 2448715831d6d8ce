#include "core/ImageDocs.h"
#include "core/device/ImageInspector.h"
#include "core/image/ConfigBuilder.h"
#include "core/image/FilterDocument.h"
#include "core/image/XmlSource.h"

#include <QTest>
#include <QtEndian>

using ImageDocs::Ext;
using ImageDocs::Row;
using ImageDocs::Std;

namespace {
ConfigBuilder built(const ImageDocs::Values &set, const QList<Row> &can0ToCan1, const QList<Row> &can1ToCan0 = {})
{
    ConfigBuilder builder;
    const QString error =
        builder.Build_Config(XmlSource::fromBytes(ImageDocs::parGen(set), QStringLiteral("p")),
                             FilterDocument::fromBytes(ImageDocs::cobId(can0ToCan1, can1ToCan0), QStringLiteral("c")));
    if (!error.isEmpty())
        qWarning() << error;
    return builder;
}

// Stores a new value and a matching checksum, so only the value is odd.
void patchBlock(QByteArray &image, int offset, quint32 value)
{
    qToLittleEndian(value, image.data() + 0x8000 + offset);
    quint32 sum = 0;
    for (int i = 0; i < 0x7FC; ++i)
        sum += quint8(image[0x8000 + i]);
    qToLittleEndian(sum, image.data() + 0x8000 + 0x7FC);
}
} // namespace

class TestImageInspector : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void image();
    void imageWithBadChecksum();
    void imageWithImpossibleCount();
    void mapBanks();
    void listBanks();
    void wrongSize_data();
    void wrongSize();
};

void TestImageInspector::image()
{
    const ConfigBuilder b = built({{"Boud0", "5"}, {"Boud1", "3"}, {"Positive", "1"}, {"Ethernet_EN_GAT", "1"}},
                                  {Row("0x18FF0001", "0x100", Ext, Std), Row("0x100", "0x7FF")});
    const auto r = ImageInspector::inspect(b.image().image(), QStringLiteral("bank_K60.bin"));
    QVERIFY2(r.problem.isEmpty(), qPrintable(r.problem));
    for (const char *line :
         {"  Baud_CAN1           100000 bit/s\n", "  Baud_CAN0           250000 bit/s\n",
          "  IP_Address          192.168.0.10\n", "  Gateway             192.168.0.1\n",
          "  Par_Flags           0x00000004: positive implementation\n", "  Count_Can0_to_Can1  2\n", " (verified)\n",
          "Table_Can0_to_Can1 (CAN 0 to CAN 1): 2 entries; listed identifiers pass, all others are blocked\n",
          "     0  0x100 (11-bit)         -> 0x7FF (11-bit)\n", "     1  0x18FF0001 (29-bit)    -> 0x100 (11-bit)\n",
          "Table_Can1_to_Can0 (CAN 1 to CAN 0): 0 entries"})
        QVERIFY2(r.text.contains(QLatin1String(line)), line);
}

void TestImageInspector::imageWithBadChecksum()
{
    const ConfigBuilder b = built({}, {Row("1")});
    QByteArray bytes = b.image().image();
    bytes[0x8000 + 0x028] = char(10);
    const auto r = ImageInspector::inspect(bytes, QStringLiteral("bank_K60.bin"));
    QVERIFY2(r.problem.contains(QLatin1String("bad checksum")), qPrintable(r.problem));
    QVERIFY(r.text.contains(QLatin1String("WRONG")));
}

void TestImageInspector::imageWithImpossibleCount()
{
    const ConfigBuilder b = built({}, {Row("1")});
    QByteArray bytes = b.image().image();
    patchBlock(bytes, 0x180, 0xFFFFFFFFu);
    const auto r = ImageInspector::inspect(bytes, QStringLiteral("bank_K60.bin"));
    QVERIFY2(r.problem.contains(QLatin1String("Count_Can1_to_Can0 is 4294967295")), qPrintable(r.problem));
    QVERIFY(r.text.contains(QLatin1String("(CAN 1 to CAN 0): 2048 entries")));
}

void TestImageInspector::mapBanks()
{
    const ConfigBuilder b = built({{"Boud0", "5"}, {"Baud_Dip_C0", "1"}}, {Row("0x123", "0x456"), Row("0x124")});
    const auto bank1 = ImageInspector::inspect(b.banks().bank(1), QStringLiteral("bank1.bin"));
    QVERIFY(bank1.problem.isEmpty());
    for (const char *line :
         {"Settings (offsets 16100-16105): 06 09 00 00 01 00\n", "  CAN 0 bit rate      250K (index 5)\n",
          "  DIP switches        0x01: CAN 0 bit rate from DIP switches\n",
          "Layout: direct map, 2 identifiers with an entry\n", "  0x123 -> 0x456  blocked\n",
          "  0x124 -> 0x124  blocked\n", "Pass map: 2046 of 2048 identifiers pass\n", "  blocked: 0x123-0x124\n"})
        QVERIFY2(bank1.text.contains(QLatin1String(line)), line);

    const auto bank3 = ImageInspector::inspect(b.banks().bank(3), QStringLiteral("bank3.bin"));
    QVERIFY(bank3.text.contains(QLatin1String("Every byte is 0xFF")));

    // Bank 2 has no settings: its layout is told from its bytes.
    const ConfigBuilder positive = built({{"Positive", "1"}}, {}, {Row("0x7FF", "0x1")});
    const auto bank2 = ImageInspector::inspect(positive.banks().bank(2), QStringLiteral("bank2.bin"));
    for (const char *line : {"No settings bytes (not bank 1)", "Layout: direct map, 1 identifiers with an entry\n",
                             "  0x7FF -> 0x001  passes\n", "  passing: 0x7FF\n"})
        QVERIFY2(bank2.text.contains(QLatin1String(line)), line);
}

void TestImageInspector::listBanks()
{
    const ConfigBuilder b = built({{"TypeC1", "1"}}, {Row("300", "", Ext)}, {Row("0x1FFFFFFF", "5", Ext), Row("7")});
    const auto bank1 = ImageInspector::inspect(b.banks().bank(1), QStringLiteral("bank1.bin"));
    QVERIFY(bank1.text.contains(QLatin1String("  Entries in bank 2   2\n")));
    QVERIFY(bank1.text.contains(QLatin1String("     0  0x0000012C -> 0x0000012C\n")));
    const auto bank2 = ImageInspector::inspect(b.banks().bank(2), QStringLiteral("bank2.bin"));
    QVERIFY(
        bank2.text.contains(QLatin1String("Layout: sorted list, 2 entries (counted up to the first unused entry)")));
    QVERIFY(bank2.text.contains(QLatin1String("     1  0x1FFFFFFF -> 0x00000005\n")));

    QByteArray broken = b.banks().bank(1);
    broken[16200] = char(0xD1); // 2001
    broken[16201] = char(0x07);
    const auto r = ImageInspector::inspect(broken, QStringLiteral("bank1.bin"));
    QVERIFY2(r.problem.contains(QLatin1String("2001")), qPrintable(r.problem));
}

void TestImageInspector::wrongSize_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << 0;
    QTest::newRow("one short of a bank") << 16383;
    QTest::newRow("one past an image") << 34817;
    QTest::newRow("two banks") << 32768;
}

void TestImageInspector::wrongSize()
{
    QFETCH(int, size);
    const auto r = ImageInspector::inspect(QByteArray(size, char(0xFF)), QStringLiteral("x.bin"));
    QVERIFY(r.text.isEmpty());
    QCOMPARE(r.problem,
             QStringLiteral("x.bin has %1 bytes: a configuration image has 34816 and a bank 16384").arg(size));
}

QTEST_GUILESS_MAIN(TestImageInspector)
#include "tst_imageinspector.moc"
