#include "FilterImageBytes.h"

#include "core/device/FilterImage.h"

#include "TestPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr quint32 X = DeviceFacts::ExtMark;
using Fate = FilterImage::Fate;

// Positive implementation: rows pass under their replacement.
FilterImageBytes::Table positive0()
{
    return {
        {0x100, 0x100},     // passes unchanged
        {0x181, 0x281},     // remapped
        {0x200, X | 0x123}, // leaves as a 29-bit frame
        {0x7FF, 0x000},     // the last 11-bit identifier
        {X | 0x181, 0x181}, // 29-bit 0x181 leaves as 11-bit
        {X | 0x1FFFFFFF, X | 0x1FFFFFFF},
    };
}

FilterImageBytes::Table positive1()
{
    return {{0x300, 0x301}};
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestFilterImage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void route_data();
    void route();
    void entriesBehindTheCountAreNotRows();
    void firstOfDuplicateRowsWins();
    void idSpace();
    void refusesDamagedFiles_data();
    void refusesDamagedFiles();
    void loadsFromTheBinFolder();
    void readsWhatTheBuilderWrote_data();
    void readsWhatTheBuilderWrote();
};

void TestFilterImage::route_data()
{
    QTest::addColumn<bool>("positive");
    QTest::addColumn<int>("from");
    QTest::addColumn<quint32>("id");
    QTest::addColumn<bool>("extended");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<quint32>("outId");
    QTest::addColumn<bool>("outExtended");

    QTest::newRow("listed, unchanged") << true << 0 << 0x100u << false << true << 0x100u << false;
    QTest::newRow("listed, remapped") << true << 0 << 0x181u << false << true << 0x281u << false;
    QTest::newRow("listed, leaves as 29-bit") << true << 0 << 0x200u << false << true << 0x123u << true;
    QTest::newRow("listed, replaced by 0") << true << 0 << 0x7FFu << false << true << 0x000u << false;
    QTest::newRow("29-bit listed, leaves as 11-bit") << true << 0 << 0x181u << true << true << 0x181u << false;
    QTest::newRow("largest 29-bit") << true << 0 << 0x1FFFFFFFu << true << true << 0x1FFFFFFFu << true;
    QTest::newRow("not listed") << true << 0 << 0x101u << false << false << 0u << false;
    // The number alone does not match: 0x100 is listed as 11-bit only.
    QTest::newRow("same number, other type") << true << 0 << 0x100u << true << false << 0u << false;
    QTest::newRow("other direction's row") << true << 0 << 0x300u << false << false << 0u << false;
    QTest::newRow("second direction") << true << 1 << 0x300u << false << true << 0x301u << false;
    QTest::newRow("first direction's row on CAN 1") << true << 1 << 0x181u << false << false << 0u << false;

    QTest::newRow("negative: listed blocked") << false << 0 << 0x181u << false << false << 0u << false;
    QTest::newRow("negative: listed 29-bit blocked") << false << 0 << 0x181u << true << false << 0u << false;
    QTest::newRow("negative: not listed passes") << false << 0 << 0x182u << false << true << 0x182u << false;
    QTest::newRow("negative: 29-bit of a listed number passes")
        << false << 0 << 0x100u << true << true << 0x100u << true;
    QTest::newRow("negative: other direction") << false << 1 << 0x181u << false << true << 0x181u << false;
}

void TestFilterImage::route()
{
    QFETCH(bool, positive);
    QFETCH(int, from);
    QFETCH(quint32, id);
    QFETCH(bool, extended);
    QFETCH(bool, passes);
    QFETCH(quint32, outId);
    QFETCH(bool, outExtended);

    FilterImage image;
    QCOMPARE(image.parse(FilterImageBytes::make(positive0(), positive1(), positive), u"bank_K60.bin"_qs), QString());
    QCOMPARE(image.positive(), positive);
    const FilterImage::Route r = image.route(Direction::arrivingOn(from), id, extended);
    QCOMPARE(r.passes, passes);
    if (passes) {
        QCOMPARE(r.id, outId);
        QCOMPARE(r.extended, outExtended);
    }
}

void TestFilterImage::entriesBehindTheCountAreNotRows()
{
    // The zero entries behind the rows would otherwise list identifier 0.
    QByteArray bytes = FilterImageBytes::make({{0x181, 0}}, {}, false);
    FilterImageBytes::putU32(bytes, 8, 0x300); // an entry behind the count of 1
    FilterImage image;
    QCOMPARE(image.parse(bytes, u"x"_qs), QString());
    QCOMPARE(image.entries(Direction::Can0ToCan1).size(), size_t(1));
    QVERIFY(image.route(Direction::Can0ToCan1, 0x300, false).passes);
    QVERIFY(image.route(Direction::Can0ToCan1, 0x000, false).passes);
    QVERIFY(image.route(Direction::Can1ToCan0, 0x000, false).passes);
    QVERIFY(!image.route(Direction::Can0ToCan1, 0x181, false).passes);
}

void TestFilterImage::firstOfDuplicateRowsWins()
{
    FilterImage image;
    QCOMPARE(image.parse(FilterImageBytes::make({{0x181, 0x281}, {0x181, 0x282}, {X | 0x181, 0x283}}, {}, true),
                         u"x"_qs),
             QString());
    const FilterImage::Route r = image.route(Direction::Can0ToCan1, 0x181, false);
    QVERIFY(r.passes);
    QCOMPARE(r.id, 0x281u);
    QCOMPARE(r.listedIn, 2);
    QCOMPARE(image.route(Direction::Can0ToCan1, 0x181, true).listedIn, 1);
}

namespace {
// The map must say what route() says, identifier by identifier.
bool spaceAgreesWithRoute(const FilterImage &image, Direction from)
{
    const FilterImage::IdSpace space = image.idSpace(from);
    for (quint32 id = 0; id <= DeviceFacts::Max11Bit; ++id) {
        const FilterImage::Route r = image.route(from, id, false);
        const Fate fate = !r.passes ? Fate::Block : (r.id == id && !r.extended ? Fate::Pass : Fate::Remap);
        if (space[id] != fate)
            return false;
    }
    return true;
}
} // namespace

void TestFilterImage::idSpace()
{
    FilterImage image;
    QCOMPARE(image.parse(FilterImageBytes::make(positive0(), positive1(), true), u"x"_qs), QString());
    FilterImage::IdSpace space = image.idSpace(Direction::Can0ToCan1);
    QCOMPARE(space[0x100], Fate::Pass);
    QCOMPARE(space[0x181], Fate::Remap);
    QCOMPARE(space[0x200], Fate::Remap); // same number, but a 29-bit frame leaves
    QCOMPARE(space[0x7FF], Fate::Remap);
    QCOMPARE(space[0x000], Fate::Block);
    QCOMPARE(std::count(space.begin(), space.end(), Fate::Block), 2048 - 4);
    space = image.idSpace(Direction::Can1ToCan0);
    QCOMPARE(space[0x300], Fate::Remap);
    QCOMPARE(std::count(space.begin(), space.end(), Fate::Block), 2047);

    QCOMPARE(image.parse(FilterImageBytes::make(positive0(), {}, false), u"x"_qs), QString());
    space = image.idSpace(Direction::Can0ToCan1);
    // The 29-bit rows say nothing about 11-bit frames.
    QCOMPARE(std::count(space.begin(), space.end(), Fate::Block), 4);
    QCOMPARE(std::count(space.begin(), space.end(), Fate::Remap), 0);
    QCOMPARE(space[0x181], Fate::Block);
    QCOMPARE(space[0x182], Fate::Pass);
    space = image.idSpace(Direction::Can1ToCan0);
    QCOMPARE(std::count(space.begin(), space.end(), Fate::Pass), 2048);

    const FilterImageBytes::Table duplicates = {{0x181, 0x181},
                                                {0x181, 0x282},
                                                {0x300, X | 0x300},
                                                {0x300, 0x300},
                                                {X | 5, 5}};
    for (const bool positive : {true, false}) {
        QCOMPARE(image.parse(FilterImageBytes::make(positive0(), duplicates, positive), u"x"_qs), QString());
        QVERIFY(spaceAgreesWithRoute(image, Direction::Can0ToCan1));
        QVERIFY(spaceAgreesWithRoute(image, Direction::Can1ToCan0));
    }
}

void TestFilterImage::refusesDamagedFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");

    const QByteArray good = FilterImageBytes::make(positive0(), positive1(), true);
    QTest::newRow("empty") << QByteArray() << u"bank_K60.bin has 0 bytes; a configuration image has 34816"_qs;
    QTest::newRow("one byte short") << good.left(34815)
                                    << u"bank_K60.bin has 34815 bytes; a configuration image has 34816"_qs;
    QTest::newRow("a bank file") << QByteArray(16384, '\xFF')
                                 << u"bank_K60.bin has 16384 bytes; a configuration image has 34816"_qs;

    QByteArray flipped = good;
    flipped[0x8000 + 0x170] = char(flipped[0x8000 + 0x170] ^ 4); // positive implementation switched off
    QTest::newRow("bad checksum")
        << flipped << u"bank_K60.bin is damaged: its parameter block sums to 795 but its checksum reads 799"_qs;

    QByteArray count = good;
    FilterImageBytes::putU32(count, FilterImageBytes::Count1, 2049);
    FilterImageBytes::sealChecksum(count);
    QTest::newRow("count beyond the table")
        << count
        << u"bank_K60.bin is damaged: the CAN 1 to CAN 0 table claims 2049 rows, more than its 2048 entries"_qs;
}

void TestFilterImage::refusesDamagedFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    FilterImage image;
    QCOMPARE(image.parse(FilterImageBytes::make(positive0(), positive1(), true), u"bank_K60.bin"_qs), QString());
    QCOMPARE(image.parse(bytes, u"bank_K60.bin"_qs), error);
    // Nothing of the earlier image is left to answer from.
    QVERIFY(image.entries(Direction::Can0ToCan1).empty());
    QVERIFY(image.entries(Direction::Can1ToCan0).empty());
    QVERIFY(!image.positive());
}

void TestFilterImage::loadsFromTheBinFolder()
{
    QTemporaryDir dir;
    FilterImage image;
    const QString path = QDir::toNativeSeparators(dir.filePath(u"bank_K60.bin"_qs));
    QCOMPARE(image.load(dir.path()), path + u" does not exist: build the configuration first"_qs);
    QVERIFY(write(dir.filePath(u"bank_K60.bin"_qs), FilterImageBytes::make(positive0(), positive1(), true)));
    QCOMPARE(image.load(dir.path()), QString());
    QCOMPARE(image.entries(Direction::Can0ToCan1).size(), positive0().size());
    QVERIFY(write(dir.filePath(u"bank_K60.bin"_qs), QByteArray(2 * 1024 * 1024, '\0')));
    QVERIFY(image.load(dir.path()).contains(path));
}

void TestFilterImage::readsWhatTheBuilderWrote_data()
{
    QTest::addColumn<QString>("project");
    QTest::addColumn<int>("from");
    QTest::addColumn<quint32>("id");
    QTest::addColumn<bool>("extended");
    QTest::addColumn<bool>("passes");
    QTest::addColumn<quint32>("outId");
    QTest::addColumn<bool>("outExtended");
    QTest::addColumn<int>("listedIn");

    // The golden images of the image build, decoded against the documents they came from.
    const QString map = u"map-positive"_qs;
    QTest::newRow("map: remapped") << map << 0 << 0x181u << false << true << 0x201u << false << 1;
    QTest::newRow("map: leading blank") << map << 0 << 0x005u << false << true << 0x07Fu << false << 1;
    // An empty Modify CobID is 0 in the image; the first of two rows for 0x123 has it.
    QTest::newRow("map: empty modify first") << map << 0 << 0x123u << false << true << 0x000u << false << 2;
    QTest::newRow("map: 29-bit row") << map << 0 << 0x800u << true << true << 0x010u << false << 1;
    QTest::newRow("map: not listed") << map << 0 << 0x182u << false << false << 0u << false << 0;
    QTest::newRow("map: second table") << map << 1 << 0x000u << false << true << 0x7FFu << false << 1;
    const QString list = u"list-ethernet"_qs;
    QTest::newRow("list: 29-bit to 11-bit") << list << 0 << 0x18FF0001u << true << true << 0x100u << false << 1;
    QTest::newRow("list: 11-bit to 29-bit, first of two")
        << list << 0 << 0x100u << false << true << 0x18FF0001u << true << 2;
    QTest::newRow("list: largest 29-bit") << list << 0 << 0x1FFFFFFFu << true << true << 0x1FFFFFFFu << true << 1;
    QTest::newRow("list: empty modify, 29-bit type") << list << 1 << 0x00200000u << true << true << 0u << true << 1;
    QTest::newRow("list: 11-bit of a 29-bit row") << list << 1 << 0x300u << false << false << 0u << false << 0;
    QTest::newRow("defaults: everything passes")
        << u"defaults"_qs << 1 << 0x1FFFFFFFu << true << true << 0x1FFFFFFFu << true << 0;
}

void TestFilterImage::readsWhatTheBuilderWrote()
{
    QFETCH(QString, project);
    QFETCH(int, from);
    QFETCH(quint32, id);
    QFETCH(bool, extended);
    QFETCH(bool, passes);
    QFETCH(quint32, outId);
    QFETCH(bool, outExtended);
    QFETCH(int, listedIn);

    FilterImage image;
    QCOMPARE(image.load(TestPaths::data(u"image/%1/expected"_qs.arg(project))), QString());
    const FilterImage::Route r = image.route(Direction::arrivingOn(from), id, extended);
    QCOMPARE(r.passes, passes);
    QCOMPARE(r.listedIn, listedIn);
    if (passes) {
        QCOMPARE(r.id, outId);
        QCOMPARE(r.extended, outExtended);
    }
}

QTEST_GUILESS_MAIN(TestFilterImage)
#include "tst_filterimage.moc"
