#include "ImageDocs.h"

#include "core/device/DevicePrediction.h"
#include "core/image/BankBuilder.h"
#include "core/image/ConfigBuilder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using ImageDocs::Ext;
using ImageDocs::Row;
using ImageDocs::Std;
using Fate = FilterImage::Fate;

namespace {

bool put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A project folder built as Update Device builds it.
struct Built
{
    QTemporaryDir dir;
    QString build(const QByteArray &parGen, const QByteArray &cobId)
    {
        const QString parGenPath = dir.filePath(u"ParGen.xml"_qs);
        const QString cobIdPath = dir.filePath(u"CanCanCobID.xml"_qs);
        if (!put(parGenPath, parGen) || !put(cobIdPath, cobId))
            return u"cannot write the documents"_qs;
        ConfigBuilder builder;
        return builder.buildAndWrite(parGenPath, cobIdPath, dir.filePath(u"bin"_qs));
    }
};

// "0x200>0x300" style: what a frame does, for the answers table.
QString answer(const FilterImage::Route &r)
{
    if (!r.passes)
        return u"blocked"_qs;
    return (r.extended ? u"29:"_qs : u"11:"_qs) + QString::number(r.id, 16);
}

struct Frame
{
    int from;
    quint32 id;
    bool extended;
    const char *expected;
};
using Frames = QList<Frame>;

// Rows 0 .. count-1 in descending order, each passing under its own number.
QList<Row> rowsUpTo(int count, const char *modType)
{
    QList<Row> rows;
    for (int i = count - 1; i >= 0; --i)
        rows.append(Row(QString::number(i), QString::number(i), QLatin1String(Std), QLatin1String(modType)));
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(Frames)

class TestDevicePrediction : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answersAsTheVariantRunsIt_data();
    void answersAsTheVariantRunsIt();
    void fullTable_data();
    void fullTable();
    void namesWhatItReadAndAssumes();
    void refusesDamagedFiles_data();
    void refusesDamagedFiles();
};

void TestDevicePrediction::answersAsTheVariantRunsIt_data()
{
    QTest::addColumn<QByteArray>("parGen");
    QTest::addColumn<QByteArray>("cobId");
    QTest::addColumn<int>("layout");
    QTest::addColumn<Frames>("frames");

    const auto pg = [](const char *device, const char *type0, const char *type1, const char *positive) {
        return ImageDocs::parGen({{"Device_Type", device}, {"Type", type0}, {"TypeC1", type1}, {"Positive", positive}});
    };
    // 0x200 is listed twice: the image answers with the first row, the banks hold the last.
    const QByteArray twice =
        ImageDocs::cobId({Row("0x200", "0x300"), Row("0x181", "0x281"), Row("0x200", "0x301")}, {Row("0x10", "0x11")});
    QTest::newRow("image") << pg("1", "0", "0", "1") << twice << int(DevicePrediction::Layout::Image)
                           << Frames{{0, 0x200, false, "11:300"},  {0, 0x181, false, "11:281"},
                                     {0, 0x182, false, "blocked"}, {0, 0x200, true, "blocked"},
                                     {1, 0x10, false, "11:11"},    {1, 0x200, false, "blocked"}};
    QTest::newRow("map") << pg("0", "0", "0", "1") << twice << int(DevicePrediction::Layout::BankMap)
                         << Frames{{0, 0x200, false, "11:301"},  {0, 0x181, false, "11:281"},
                                   {0, 0x182, false, "blocked"}, {0, 0x200, true, "blocked"},
                                   {1, 0x10, false, "11:11"},    {1, 0x200, false, "blocked"}};
    QTest::newRow("map, listed are blocked")
        << pg("0", "0", "0", "0") << twice << int(DevicePrediction::Layout::BankMap)
        << Frames{{0, 0x200, false, "blocked"},
                  {0, 0x182, false, "11:182"},
                  {0, 0x7FF, false, "11:7ff"},
                  {1, 0x10, false, "blocked"}};
    // Device types other than 1 run the banks too.
    QTest::newRow("list, CAN 1 29-bit") << pg("2", "0", "1", "1") << twice << int(DevicePrediction::Layout::BankList)
                                        << Frames{{0, 0x200, false, "29:301"},
                                                  {0, 0x181, true, "29:281"},
                                                  {0, 0x182, false, "blocked"},
                                                  {1, 0x10, true, "11:11"}};
    const QByteArray ext =
        ImageDocs::cobId({Row("0x18FEF100", "0x100", Ext, Std), Row("0x100", "0x18FEF101", Std, Ext)});
    QTest::newRow("image, 29-bit rows") << pg("1", "0", "0", "1") << ext << int(DevicePrediction::Layout::Image)
                                        << Frames{{0, 0x18FEF100, true, "11:100"},
                                                  {0, 0x18FEF100, false, "blocked"},
                                                  {0, 0x100, false, "29:18fef101"},
                                                  {0, 0x100, true, "blocked"}};
    const QByteArray ext29 = ImageDocs::cobId({Row("0x18FEF100", "0x18FEF200", Ext, Ext)}, {});
    QTest::newRow("list, both 29-bit, negative")
        << pg("0", "1", "1", "0") << ext29 << int(DevicePrediction::Layout::BankList)
        << Frames{{0, 0x18FEF100, true, "blocked"},
                  {0, 0x18FEF101, true, "29:18fef101"},
                  {1, 0x18FEF100, true, "29:18fef100"}};
}

void TestDevicePrediction::answersAsTheVariantRunsIt()
{
    QFETCH(QByteArray, parGen);
    QFETCH(QByteArray, cobId);
    QFETCH(int, layout);
    QFETCH(Frames, frames);
    Built p;
    QCOMPARE(p.build(parGen, cobId), QString());
    DevicePrediction device;
    QCOMPARE(device.load(p.dir.path()), QString());
    QCOMPARE(int(device.layout()), layout);
    for (const Frame &f : frames) {
        const QString got = answer(device.route(Direction::arrivingOn(f.from), f.id, f.extended));
        QVERIFY2(got == QLatin1String(f.expected),
                 qPrintable(QStringLiteral("from %1 id %2: %3").arg(f.from).arg(f.id, 0, 16).arg(got)));
    }
}

void TestDevicePrediction::fullTable_data()
{
    QTest::addColumn<QByteArray>("parGen");
    QTest::addColumn<QByteArray>("cobId");
    QTest::addColumn<int>("pass");
    QTest::addColumn<int>("block");
    QTest::addColumn<int>("remap");
    QTest::addColumn<QString>("last"); // what identifier 0x7FF does

    const QByteArray mixed = ImageDocs::cobId(rowsUpTo(2048, Ext));
    // The image holds all 2048 rows; the list keeps the 2000 smallest identifiers.
    QTest::newRow("image") << ImageDocs::parGen({{"Device_Type", "1"}, {"Positive", "1"}}) << mixed << 0 << 0 << 2048
                           << u"29:7ff"_qs;
    QTest::newRow("list") << ImageDocs::parGen({{"Device_Type", "0"}, {"TypeC1", "1"}, {"Positive", "1"}}) << mixed << 0
                          << 48 << 2000 << u"blocked"_qs;
    QTest::newRow("list, negative") << ImageDocs::parGen({{"Device_Type", "0"}, {"Type", "1"}, {"TypeC1", "1"}})
                                    << mixed << 0 << 2000 << 48 << u"29:7ff"_qs;
    // The direct map has room for every 11-bit identifier.
    QTest::newRow("map") << ImageDocs::parGen({{"Device_Type", "0"}, {"Positive", "1"}})
                         << ImageDocs::cobId(rowsUpTo(2048, Std)) << 2048 << 0 << 0 << u"11:7ff"_qs;
}

void TestDevicePrediction::fullTable()
{
    QFETCH(QByteArray, parGen);
    QFETCH(QByteArray, cobId);
    QFETCH(int, pass);
    QFETCH(int, block);
    QFETCH(int, remap);
    QFETCH(QString, last);
    Built p;
    QCOMPARE(p.build(parGen, cobId), QString());
    DevicePrediction device;
    QCOMPARE(device.load(p.dir.path()), QString());
    int counts[3] = {0, 0, 0};
    for (const Fate f : device.idSpace(Direction::Can0ToCan1))
        ++counts[int(f)];
    QCOMPARE(counts[int(Fate::Pass)], pass);
    QCOMPARE(counts[int(Fate::Block)], block);
    QCOMPARE(counts[int(Fate::Remap)], remap);
    QCOMPARE(answer(device.route(Direction::Can0ToCan1, 0x7FF, false)), last);
}

void TestDevicePrediction::namesWhatItReadAndAssumes()
{
    Built p;
    QCOMPARE(p.build(ImageDocs::parGen({{"Device_Type", "0"}, {"TypeC1", "1"}, {"Positive", "1"}}),
                     ImageDocs::cobId({Row("0x200", "0x300"), Row("0x200", "0x301")})),
             QString());
    DevicePrediction device;
    QCOMPARE(device.load(p.dir.path()), QString());
    QCOMPARE(device.deviceType(), 0);
    QVERIFY(device.positive());
    QCOMPARE(device.source(),
             QDir::toNativeSeparators(u"bin/bank1.bin"_qs) + u" and "_qs + QDir::toNativeSeparators(u"bin/bank2.bin"_qs)
                 + u" (serial variant)"_qs);
    const QString assumed = device.assumptions().join(u'\n');
    QVERIFY2(assumed.contains(u"no 29-bit marks"_qs) && assumed.contains(u"(CAN 0: 11-bit, CAN 1: 29-bit)"_qs),
             qPrintable(assumed));
    QVERIFY2(assumed.contains(u"lists 0x200 more than once; the device is assumed to take the last"_qs),
             qPrintable(assumed));
    QCOMPARE(device.route(Direction::Can0ToCan1, 0x200, false).listedIn, 2);
    QVERIFY(device.fingerprint().startsWith(u"SHA-256 "_qs));

    // Rebuilt with other tables, the fingerprint follows the files.
    const QString before = device.fingerprint();
    QCOMPARE(p.build(ImageDocs::parGen({{"Device_Type", "0"}, {"TypeC1", "1"}, {"Positive", "1"}}),
                     ImageDocs::cobId({Row("0x200", "0x300")})),
             QString());
    QCOMPARE(device.load(p.dir.path()), QString());
    QVERIFY(device.fingerprint() != before);
    QVERIFY(!device.assumptions().join(u'\n').contains(u"more than once"_qs));

    // The Ethernet variant reads the image, which needs no assumption about frame types.
    QCOMPARE(p.build(ImageDocs::parGen({{"Device_Type", "1"}, {"Positive", "1"}}),
                     ImageDocs::cobId({Row("0x200", "0x300")})),
             QString());
    QCOMPARE(device.load(p.dir.path()), QString());
    QCOMPARE(device.source(), QDir::toNativeSeparators(u"bin/bank_K60.bin"_qs) + u" (Ethernet variant)"_qs);
    QCOMPARE(device.files().size(), 1);
    QCOMPARE(QDir::fromNativeSeparators(device.files().constFirst()), p.dir.filePath(u"bin/bank_K60.bin"_qs));
    QCOMPARE(device.assumptions(), QStringList());
}

void TestDevicePrediction::refusesDamagedFiles_data()
{
    QTest::addColumn<QByteArray>("parGen"); // null: no file (the Ethernet variant)
    QTest::addColumn<QString>("file");      // the file put into bin/
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("named"); // the file the message names
    QTest::addColumn<QString>("says");

    const QByteArray serial = ImageDocs::parGen({{"Device_Type", "0"}});
    QByteArray wrongEntry(16384, '\xFF');
    wrongEntry[BankBuilder::SettingsOffset + 2] = 0; // both ports 11-bit: the map
    wrongEntry[BankBuilder::SettingsOffset + 5] = 0;
    wrongEntry[4 * 5] = 6; // entry of identifier 5 names 6
    wrongEntry[4 * 5 + 1] = 0;
    QByteArray longList(16384, '\xFF');
    longList[BankBuilder::SettingsOffset + 2] = 1;
    longList[16200] = char(0xD1); // 2001 rows
    longList[16201] = 0x07;
    QTest::newRow("no image") << QByteArray() << QString() << QByteArray() << u"bin/bank_K60.bin"_qs
                              << u"does not exist"_qs;
    QTest::newRow("bank of the wrong size")
        << serial << u"bank1.bin"_qs << QByteArray(100, '\xFF') << u"bin/bank1.bin"_qs << u"has 100 bytes"_qs;
    QTest::newRow("no bank 2") << serial << u"bank1.bin"_qs << QByteArray(16384, '\xFF') << u"bin/bank2.bin"_qs
                               << u"does not exist"_qs;
    QTest::newRow("map entry of another id") << serial << u"bank1.bin"_qs << wrongEntry << u"bin/bank1.bin"_qs
                                             << u"the map entry of identifier 0x005 names 0x006"_qs;
    QTest::newRow("list beyond 2000 rows")
        << serial << u"bank1.bin"_qs << longList << u"bin/bank1.bin"_qs << u"claims 2001 rows"_qs;
    QTest::newRow("image of the wrong size") << QByteArray() << u"bank_K60.bin"_qs << QByteArray(16384, '\0')
                                             << u"bin/bank_K60.bin"_qs << u"has 16384 bytes"_qs;
}

void TestDevicePrediction::refusesDamagedFiles()
{
    QFETCH(QByteArray, parGen);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, named);
    QFETCH(QString, says);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"bin"_qs));
    if (!parGen.isNull())
        QVERIFY(put(dir.filePath(u"ParGen.xml"_qs), parGen));
    if (!file.isEmpty()) {
        QVERIFY(put(dir.filePath(u"bin/"_qs + file), bytes));
        if (file == u"bank1.bin"_qs && named != u"bin/bank2.bin"_qs)
            QVERIFY(put(dir.filePath(u"bin/bank2.bin"_qs), QByteArray(16384, '\xFF')));
    }
    DevicePrediction device;
    const QString error = device.load(dir.path());
    QVERIFY2(error.contains(QDir::toNativeSeparators(dir.filePath(named))) && error.contains(says), qPrintable(error));
    QCOMPARE(int(device.layout()), int(DevicePrediction::Layout::None));
    QVERIFY(!device.route(Direction::Can0ToCan1, 0x100, false).passes);
}

QTEST_GUILESS_MAIN(TestDevicePrediction)
#include "tst_deviceprediction.moc"
