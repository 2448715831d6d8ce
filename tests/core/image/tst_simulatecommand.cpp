#include "FilterImageBytes.h"

#include "TestPaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "CliRun.h"
#include "ImageDocs.h"

namespace {

constexpr quint32 X = 0x80000000u;

using CliRun::Result;
using CliRun::put;

Result runCli(const QStringList &args)
{
    return CliRun::run(args);
}

// A project whose bin folder holds a hand-made image.
struct Project
{
    QTemporaryDir dir;
    QString bin() const { return dir.filePath(u"bin"_qs); }
    QString image() const { return dir.filePath(u"bin/bank_K60.bin"_qs); }
    bool make(const QByteArray &image)
    {
        return dir.isValid() && QDir(dir.path()).mkdir(u"bin"_qs) && (image.isNull() || put(this->image(), image));
    }
};

const FilterImageBytes::Table kTable0 = {{0x100, 0x100}, {0x181, 0x281}, {0x200, X | 0x18FEF100}, {X | 0x18FEF100, 0x7FF}};
const FilterImageBytes::Table kTable1 = {{0x181, 0x181}};

} // namespace

class TestSimulateCommand : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void answers_data();
    void answers();
    void duplicateRowsAreNamed();
    void warnsWhenTheDocumentsAreNewer();
    void failures_data();
    void failures();
    void answersAfterBuild();
    void serialVariantAnswersFromItsBanks();
};

void TestSimulateCommand::answers_data()
{
    QTest::addColumn<bool>("positive");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("out");

    const QByteArray listedPass = "  listed; with positive implementation a listed identifier passes under its replacement\n";
    QTest::newRow("unchanged") << true << QStringList{u"--from"_qs, u"0"_qs, u"256"_qs}
                               << "From CAN 0 to CAN 1: frame 0x100 (11-bit) passes and leaves CAN 1 as 0x100 (11-bit)\n" + listedPass;
    QTest::newRow("remapped") << true << QStringList{u"--from"_qs, u"0"_qs, u"$181"_qs}
                              << "From CAN 0 to CAN 1: frame 0x181 (11-bit) passes and leaves CAN 1 as 0x281 (11-bit)\n" + listedPass;
    QTest::newRow("to 29-bit") << true << QStringList{u"0x200"_qs, u"--from"_qs, u"0"_qs}
                               << "From CAN 0 to CAN 1: frame 0x200 (11-bit) passes and leaves CAN 1 as 0x18FEF100 (29-bit)\n" + listedPass;
    QTest::newRow("29-bit in") << true << QStringList{u"--ext"_qs, u"--from"_qs, u"0"_qs, u"0x18FEF100"_qs}
                               << "From CAN 0 to CAN 1: frame 0x18FEF100 (29-bit) passes and leaves CAN 1 as 0x7FF (11-bit)\n" + listedPass;
    QTest::newRow("not listed") << true << QStringList{u"--from"_qs, u"0"_qs, u"0x182"_qs}
                                << QByteArray("From CAN 0 to CAN 1: frame 0x182 (11-bit) is blocked\n"
                                              "  not listed; with positive implementation only listed identifiers pass\n");
    QTest::newRow("CAN 1") << true << QStringList{u"--from"_qs, u"1"_qs, u"0x181"_qs}
                           << "From CAN 1 to CAN 0: frame 0x181 (11-bit) passes and leaves CAN 0 as 0x181 (11-bit)\n" + listedPass;
    QTest::newRow("negative, listed") << false << QStringList{u"--from"_qs, u"0"_qs, u"0x181"_qs}
                                      << QByteArray("From CAN 0 to CAN 1: frame 0x181 (11-bit) is blocked\n"
                                                    "  listed; without positive implementation a listed identifier is blocked\n");
    QTest::newRow("negative, not listed")
        << false << QStringList{u"--from"_qs, u"0"_qs, u"0x181"_qs, u"--ext"_qs}
        << QByteArray("From CAN 0 to CAN 1: frame 0x00000181 (29-bit) passes and leaves CAN 1 as 0x00000181 (29-bit)\n"
                      "  not listed; without positive implementation every identifier that is not listed passes unchanged\n");
}

void TestSimulateCommand::answers()
{
    QFETCH(bool, positive);
    QFETCH(QStringList, args);
    QFETCH(QByteArray, out);
    Project p;
    QVERIFY(p.make(FilterImageBytes::make(kTable0, kTable1, positive)));
    const Result r = runCli(QStringList{u"simulate"_qs, p.dir.path()} + args);
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(r.out, out + "  answered from " + QDir::toNativeSeparators(u"bin/bank_K60.bin"_qs).toUtf8() + " (Ethernet variant)\n");
    QCOMPARE(r.exitCode, 0);
}

void TestSimulateCommand::duplicateRowsAreNamed()
{
    Project p;
    QVERIFY(p.make(FilterImageBytes::make({{0x181, 0x281}, {0x181, 0x282}}, {}, true)));
    const Result r = runCli({u"simulate"_qs, p.dir.path(), u"--from"_qs, u"0"_qs, u"0x181"_qs});
    QVERIFY2(r.out.startsWith("From CAN 0 to CAN 1: frame 0x181 (11-bit) passes and leaves CAN 1 as 0x281 (11-bit)\n"),
             r.out.constData());
    QCOMPARE(r.err, QByteArray("warning: 2 rows list this identifier; the first one is shown\n"));
}

void TestSimulateCommand::warnsWhenTheDocumentsAreNewer()
{
    Project p;
    QVERIFY(p.make(FilterImageBytes::make(kTable0, kTable1, true)));
    const QString cobId = p.dir.filePath(u"CanCanCobID.xml"_qs);
    QVERIFY(put(cobId, "<CanCanCobID/>"));
    QFile image(p.image());
    QVERIFY(image.open(QIODevice::ReadWrite));
    QVERIFY(image.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    image.close();
    const Result r = runCli({u"simulate"_qs, p.dir.path(), u"--from"_qs, u"0"_qs, u"0x100"_qs});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err, QByteArray("warning: CanCanCobID.xml changed after bank_K60.bin was built; this is what the last build does\n"));
}

void TestSimulateCommand::failures_data()
{
    QTest::addColumn<QByteArray>("image"); // null: no file
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("err"); // the start of stderr

    const QByteArray good = FilterImageBytes::make(kTable0, kTable1, true);
    const QStringList from0{u"--from"_qs, u"0"_qs};
    QTest::newRow("no image") << QByteArray() << from0 + QStringList{u"1"_qs} << 2 << QByteArray();
    QByteArray damaged = good;
    damaged[FilterImageBytes::Block] = 1;
    QTest::newRow("damaged image") << damaged << from0 + QStringList{u"1"_qs} << 2 << QByteArray();
    QTest::newRow("11-bit too large")
        << good << from0 + QStringList{u"0x800"_qs} << 1
        << QByteArray("praxedo-cli simulate: 0x800 is not an 11-bit identifier (0 to 0x7FF); add --ext for a 29-bit one\n");
    QTest::newRow("29-bit too large")
        << good << from0 + QStringList{u"0x20000000"_qs, u"--ext"_qs} << 1
        << QByteArray("praxedo-cli simulate: 0x20000000 is not a 29-bit identifier (0 to 0x1FFFFFFF)\n");
    QTest::newRow("not a number") << good << from0 + QStringList{u"abc"_qs} << 1 << QByteArray("praxedo-cli simulate: abc");
    QTest::newRow("negative") << good << from0 + QStringList{u"-1"_qs} << 1 << QByteArray("praxedo-cli simulate: unknown option -1");
    QTest::newRow("no direction") << good << QStringList{u"1"_qs} << 1 << QByteArray("Usage: ");
    QTest::newRow("direction 2") << good << QStringList{u"--from"_qs, u"2"_qs, u"1"_qs} << 1 << QByteArray("Usage: ");
}

void TestSimulateCommand::failures()
{
    QFETCH(QByteArray, image);
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, err);
    Project p;
    QVERIFY(p.make(image));
    const Result r = runCli(QStringList{u"simulate"_qs, p.dir.path()} + args);
    QCOMPARE(r.exitCode, exitCode);
    QCOMPARE(r.out, QByteArray());
    QVERIFY2(r.err.startsWith(err), r.err.constData());
    if (exitCode == 2) // the message names the file
        QVERIFY2(r.err.contains(QDir::toNativeSeparators(p.image()).toUtf8()), r.err.constData());
}

void TestSimulateCommand::answersAfterBuild()
{
    Project p;
    QVERIFY(p.make(QByteArray()));
    for (const QString &name : {u"ParGen.xml"_qs, u"CanCanCobID.xml"_qs})
        QVERIFY(QFile::copy(TestPaths::data(u"image/map-positive/"_qs + name), p.dir.filePath(name)));
    QCOMPARE(runCli({u"build"_qs, p.dir.path()}).exitCode, 0);
    const Result r = runCli({u"simulate"_qs, p.dir.path(), u"--from"_qs, u"0"_qs, u"0x181"_qs});
    QCOMPARE(r.err, QByteArray());
    QVERIFY2(r.out.startsWith("From CAN 0 to CAN 1: frame 0x181 (11-bit) passes and leaves CAN 1 as 0x201 (11-bit)\n"),
             r.out.constData());
}

void TestSimulateCommand::serialVariantAnswersFromItsBanks()
{
    // 0x200 listed twice: the banks hold the later row, the image the earlier one.
    Project p;
    QVERIFY(p.make(QByteArray()));
    QVERIFY(put(p.dir.filePath(u"ParGen.xml"_qs), ImageDocs::parGen({{"Device_Type", "0"}, {"Positive", "1"}})));
    QVERIFY(put(p.dir.filePath(u"CanCanCobID.xml"_qs),
                ImageDocs::cobId({ImageDocs::Row("0x200", "0x300"), ImageDocs::Row("0x200", "0x301")})));
    QCOMPARE(runCli({u"build"_qs, p.dir.path()}).exitCode, 0);
    const Result r = runCli({u"simulate"_qs, p.dir.path(), u"--from"_qs, u"0"_qs, u"0x200"_qs});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, "From CAN 0 to CAN 1: frame 0x200 (11-bit) passes and leaves CAN 1 as 0x301 (11-bit)\n"
                    "  listed; with positive implementation a listed identifier passes under its replacement\n"
                    "  answered from " + QDir::toNativeSeparators(u"bin/bank1.bin"_qs).toUtf8() + " and "
                        + QDir::toNativeSeparators(u"bin/bank2.bin"_qs).toUtf8() + " (serial variant)\n"
                    "  assumed: Both ports run 11-bit identifiers, so the banks map the 2048 11-bit identifiers directly: "
                    "a 29-bit frame is assumed to be blocked, and every frame leaves as an 11-bit one.\n");
    QCOMPARE(r.err, QByteArray());
}

QTEST_GUILESS_MAIN(TestSimulateCommand)
#include "tst_simulatecommand.moc"
