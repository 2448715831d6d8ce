#include "BusPeer.h"
#include "CliRun.h"
#include "ImageDocs.h"
#include "TestPaths.h"

#include <QFile>
#include <QProcess>
#include <QTest>

// The serial variants run bank1.bin and bank2.bin, not the image: the stand-in repeater reads
// the banks itself, and where banks and image disagree (a duplicated identifier, rows past the
// 2000 the list keeps, formats the banks cannot tell) the run shows which one verify predicts.

using ImageDocs::Values;
using Rows = QList<Row>;
Q_DECLARE_METATYPE(Rows)

namespace {

// Both ports 11-bit: the direct map.
Values directMap()
{
    return {{"Device_Type", "0"}};
}

// CAN 1 29-bit: the sorted list.
Values sortedList()
{
    return {{"Device_Type", "0"}, {"TypeC1", "1"}};
}

// 0x200 listed twice: the image keeps 0x300, the banks the last row.
QList<Row> twiceRows()
{
    return {Row("0x200", "0x300"), Row("0x181", "0x281"), Row("0x200", "0x301"), Row("0x18FEF100", "0x123", Ext, Std)};
}

QList<Row> backRows()
{
    return {Row("0x300", "0x300"), Row("0x7FF", "0x0"), Row("0x18FEF100", "0x123", Ext, Std)};
}

// 2001 pairs: 0x000 to 0x7CF (without a replacement, which the banks fill with the identifier
// and the image with 0) and 0x200 twice. The list keeps the 2000 smallest: 0x7CF is left out.
QList<Row> longTable()
{
    QList<Row> rows = {Row("0x200", "0x300"), Row("0x200", "0x301")};
    for (int id = 0; id <= 0x7CF; ++id) {
        if (id != 0x200)
            rows.append(Row(QStringLiteral("0x%1").arg(id, 3, 16, QLatin1Char('0')), QString(), QLatin1String(Std),
                            QLatin1String(Std)));
    }
    return rows;
}

CliRun::Result verify(const Project &p, quint16 port, const QStringList &extra = {})
{
    return CliRun::run(QStringList{QStringLiteral("verify"), p.path(), QStringLiteral("--can0"), side(port, 0),
                                   QStringLiteral("--can1"), side(port, 1), QStringLiteral("--settle"),
                                   QStringLiteral("100")}
                       + extra);
}

} // namespace

class TestBusBanks : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void matchesARepeaterReadingTheBanks_data();
    void matchesARepeaterReadingTheBanks();
    void faultsFailAndNameTheIdentifier_data();
    void faultsFailAndNameTheIdentifier();
};

void TestBusBanks::matchesARepeaterReadingTheBanks_data()
{
    QTest::addColumn<Values>("settings");
    QTest::addColumn<bool>("positive");
    QTest::addColumn<Rows>("can0ToCan1");
    QTest::addColumn<Rows>("can1ToCan0");
    QTest::addColumn<QByteArrayList>("lines"); // in the CSV report: direction, identifier ... seen

    QTest::newRow("map, positive, last row wins")
        << directMap() << true << twiceRows() << backRows()
        << QByteArrayList{"0,0x00000200,11-bit,11-bit sweep,passes as 0x301 (11-bit),0x301 (11-bit),",
                          "0,0x00000181,11-bit,11-bit sweep,passes as 0x281 (11-bit),0x281 (11-bit),",
                          "0,0x00000182,11-bit,11-bit sweep,blocked,nothing,",
                          // No 29-bit frame has a place in the direct map, listed or not.
                          "1,0x18FEF100,29-bit,listed,blocked,nothing,",
                          "1,0x000007FF,11-bit,11-bit sweep,passes as 0x000 (11-bit),0x000 (11-bit),"};
    QTest::newRow("map, listed blocked")
        << directMap() << false << twiceRows() << backRows()
        << QByteArrayList{"0,0x00000200,11-bit,11-bit sweep,blocked,nothing,",
                          "0,0x00000201,11-bit,11-bit sweep,passes as 0x201 (11-bit),0x201 (11-bit),",
                          "1,0x18FEF100,29-bit,listed,blocked,nothing,"};
    QTest::newRow("list, positive, 2001 rows")
        << sortedList() << true << longTable() << backRows()
        << QByteArrayList{
               "0,0x00000200,11-bit,11-bit sweep,passes as 0x00000301 (29-bit),0x00000301 (29-bit),",
               "0,0x000007CE,11-bit,11-bit sweep,passes as 0x000007CE (29-bit),0x000007CE (29-bit),",
               "0,0x000007CF,11-bit,11-bit sweep,blocked,nothing,",
               // Found by number: the 29-bit frame 0x200 is the row of 0x200 too.
               "0,0x00000200,29-bit,listed identifier in the other format,passes as 0x00000301 (29-bit),0x00000301 (29-bit),",
               "1,0x18FEF100,29-bit,listed,passes as 0x123 (11-bit),0x123 (11-bit),",
               "1,0x18FEF101,29-bit,neighbour of a listed identifier,blocked,nothing,"};
    QTest::newRow("list, listed blocked")
        << sortedList() << false << twiceRows() << backRows()
        << QByteArrayList{
               "0,0x00000200,11-bit,11-bit sweep,blocked,nothing,",
               "0,0x00000200,29-bit,listed identifier in the other format,blocked,nothing,",
               "0,0x00000201,11-bit,11-bit sweep,passes as 0x00000201 (29-bit),0x00000201 (29-bit),",
               "1,0x18FEF100,29-bit,listed,blocked,nothing,",
               "1,0x18FEF101,29-bit,neighbour of a listed identifier,passes as 0x101 (11-bit),0x101 (11-bit),"};
}

void TestBusBanks::matchesARepeaterReadingTheBanks()
{
    QFETCH(Values, settings);
    QFETCH(bool, positive);
    QFETCH(Rows, can0ToCan1);
    QFETCH(Rows, can1ToCan0);
    QFETCH(QByteArrayList, lines);
    Project p;
    QVERIFY(p.make(positive, can0ToCan1, can1ToCan0, true, settings));
    const quint16 port = freePort();
    Peer peer;
    QVERIFY(peer.start(p, port));
    const QString report = p.dir.filePath(QStringLiteral("run.csv"));
    const CliRun::Result r = verify(p, port, {QStringLiteral("--report"), report});
    QVERIFY2(r.exitCode == 0, r.out + r.err);
    QVERIFY2(r.out.contains("bin/bank1.bin and bin/bank2.bin") || r.out.contains("bin\\bank1.bin and bin\\bank2.bin"),
             r.out);
    QVERIFY(r.out.contains("Result: All frames as predicted"));
    QFile csv(report);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QByteArray c = csv.readAll();
    for (const QByteArray &line : lines)
        QVERIFY2(c.contains("\r\n" + line), line);
}

void TestBusBanks::faultsFailAndNameTheIdentifier_data()
{
    QTest::addColumn<Values>("settings");
    QTest::addColumn<bool>("emulator"); // the fault in `praxedo-cli emulate` instead of the stand-in
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("map, dropped") << directMap() << false << u"drop:0x181"_qs
                                  << QByteArray("0x181 (11-bit): expected passes as 0x281 (11-bit); seen nothing");
    QTest::newRow("list, duplicated")
        << sortedList() << false << u"duplicate:0x200"_qs
        << QByteArray("0x200 (11-bit): expected passes as 0x00000301 (29-bit); seen 0x00000301 (29-bit), 2 times");
    QTest::newRow("list, emulated wrong replacement")
        << sortedList() << true << u"remap:0x181:0x282"_qs
        << QByteArray("0x181 (11-bit): expected passes as 0x00000281 (29-bit); seen 0x00000282 (29-bit)");
}

void TestBusBanks::faultsFailAndNameTheIdentifier()
{
    QFETCH(Values, settings);
    QFETCH(bool, emulator);
    QFETCH(QString, fault);
    QFETCH(QByteArray, line);
    Project p;
    QVERIFY(p.make(true, twiceRows(), backRows(), true, settings));
    const quint16 port = freePort();
    Peer peer;
    QProcess emulating;
    if (emulator) {
        emulating.start(TestPaths::cli(),
                        {QStringLiteral("emulate"), p.path(), QStringLiteral("--can0"), side(port, 0),
                         QStringLiteral("--can1"), side(port, 1), QStringLiteral("--fault"), fault});
        QVERIFY(emulating.waitForStarted(10000));
        while (!emulating.readAllStandardOutput().contains("Emulating")) // up when it says so
            QVERIFY2(emulating.waitForReadyRead(10000), emulating.readAllStandardError());
    } else {
        QVERIFY(peer.start(p, port, {QStringLiteral("--fault"), fault}));
    }
    const CliRun::Result r = verify(p, port, {QStringLiteral("--direction"), QStringLiteral("0")});
    if (emulator) {
        emulating.kill();
        emulating.waitForFinished(5000);
    }
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.out.contains(line), r.out + r.err);
    QVERIFY(r.out.contains("MISMATCH") || r.out.contains("mismatch"));
}

QTEST_GUILESS_MAIN(TestBusBanks)
#include "tst_busbanks.moc"
