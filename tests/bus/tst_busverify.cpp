#include "BusPeer.h"
#include "CliRun.h"
#include "ImageDocs.h"
#include "TestPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <memory>

using ImageDocs::Ext;
using ImageDocs::Row;
using ImageDocs::Std;

namespace {

CliRun::Result verify(const Project &p, quint16 port, const QStringList &extra = {})
{
    return CliRun::run(QStringList{QStringLiteral("verify"), p.path(), QStringLiteral("--can0"), side(port, 0),
                                   QStringLiteral("--can1"), side(port, 1), QStringLiteral("--settle"),
                                   QStringLiteral("100")}
                       + extra);
}

QList<Row> remapRows()
{
    return {Row("0x181", "0x281"), Row("0x200", "0x1ABCDE", Std, Ext), Row("0x18FEF100", "0x123", Ext, Std),
            Row("0x1FFFFFFF", "0x1FFFFFFF", Ext, Ext)};
}

QList<Row> backRows()
{
    return {Row("0x300", "0x300"), Row("0x7FF", "0x0")};
}

} // namespace

class TestBusVerify : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void matchesAnIndependentRepeater_data();
    void matchesAnIndependentRepeater();
    void faultsFailAndNameTheIdentifier_data();
    void faultsFailAndNameTheIdentifier();
    void reportNamesTheRun();
    void emulatorFaultsAreSeen();
    void busGoneMidRun();
    void badInput_data();
    void badInput();
};

void TestBusVerify::matchesAnIndependentRepeater_data()
{
    QTest::addColumn<bool>("positive");
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QStringList>("peerExtra");
    QTest::newRow("positive, both directions") << true << QStringList() << QStringList();
    QTest::newRow("listed blocked, both directions") << false << QStringList() << QStringList();
    QTest::newRow("positive, CAN 1 to CAN 0, deep")
        << true << QStringList{QStringLiteral("--direction"), QStringLiteral("1"), QStringLiteral("--deep")}
        << QStringList();
    // A frame passing through takes longer than the settle time; most frames are blocked, so
    // little arrives to tell that the repeater is still busy.
    QTest::newRow("a repeater 150 ms behind, settle 100 ms")
        << true << QStringList() << QStringList{QStringLiteral("--lag"), QStringLiteral("150")};
}

void TestBusVerify::matchesAnIndependentRepeater()
{
    QFETCH(bool, positive);
    QFETCH(QStringList, extra);
    QFETCH(QStringList, peerExtra);
    Project p;
    QVERIFY(p.make(positive, remapRows(), backRows()));
    const quint16 port = freePort();
    Peer peer;
    QVERIFY(peer.start(p.image(), port, peerExtra));
    const CliRun::Result r = verify(p, port, extra);
    QVERIFY2(r.exitCode == 0, r.out + r.err);
    const bool both = extra.isEmpty();
    QCOMPARE(r.out.contains("From CAN 0 to CAN 1: "), both);
    QVERIFY(r.out.contains("From CAN 1 to CAN 0: "));
    QVERIFY(!r.out.contains("mismatch"));
    QVERIFY(r.out.contains("Result: All frames as predicted"));
}

void TestBusVerify::faultsFailAndNameTheIdentifier_data()
{
    QTest::addColumn<bool>("positive");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("result");
    QTest::newRow("dropped") << true << u"drop:0x181"_qs
                             << QByteArray("0x181 (11-bit): expected passes as 0x281 (11-bit); seen nothing")
                             << QByteArray("Result: 1 mismatch ");
    QTest::newRow("wrong replacement")
        << true << u"remap:0x200:0x1ABCDF"_qs
        << QByteArray("0x200 (11-bit): expected passes as 0x001ABCDE (29-bit); seen 0x001ABCDF (29-bit)")
        << QByteArray("Result: 1 mismatch ");
    QTest::newRow("duplicated 29-bit")
        << true << u"duplicate:0x18FEF100"_qs
        << QByteArray("0x18FEF100 (29-bit): expected passes as 0x123 (11-bit); seen 0x123 (11-bit), 2 times")
        << QByteArray("Result: 1 mismatch ");
    // The fault takes 0x300 of both formats: from CAN 1 the 29-bit one, which passes there, is lost too.
    QTest::newRow("unlisted dropped") << false << u"drop:0x300"_qs
                                      << QByteArray("0x300 (11-bit): expected passes as 0x300 (11-bit); seen nothing")
                                      << QByteArray("Result: 2 mismatches ");
}

void TestBusVerify::faultsFailAndNameTheIdentifier()
{
    QFETCH(bool, positive);
    QFETCH(QString, fault);
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, result);
    Project p;
    QVERIFY(p.make(positive, remapRows(), backRows()));
    const quint16 port = freePort();
    Peer peer;
    QVERIFY(peer.start(p.image(), port, {QStringLiteral("--fault"), fault}));
    const CliRun::Result r = verify(p, port);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.out.contains(line), r.out + r.err);
    QVERIFY2(r.out.contains(result), r.out);
}

void TestBusVerify::reportNamesTheRun()
{
    Project p;
    QVERIFY(p.make(true, remapRows(), backRows()));
    const quint16 port = freePort();
    Peer peer;
    QVERIFY(peer.start(p.image(), port, {QStringLiteral("--fault"), QStringLiteral("drop:0x300")}));
    const QString base = p.dir.filePath(QStringLiteral("check.csv"));
    const CliRun::Result r = verify(p, port, {QStringLiteral("--report"), base});
    QCOMPARE(r.exitCode, 2);
    QFile csv(p.dir.filePath(QStringLiteral("check.csv")));
    QFile html(p.dir.filePath(QStringLiteral("check.html")));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QVERIFY(html.open(QIODevice::ReadOnly));
    const QByteArray c = csv.readAll();
    const QByteArray h = html.readAll();
    QFile image(p.image());
    QVERIFY(image.open(QIODevice::ReadOnly));
    const QByteArray bytes = image.readAll();
    const quint32 sum = qFromLittleEndian<quint32>(bytes.constData() + 0x87FC);
    const QByteArray checksum = "0x" + QByteArray::number(sum, 16).rightJustified(8, '0').toUpper();
    const QByteArray project = QFileInfo(p.path()).fileName().toUtf8();
    for (const QByteArray &text : {c, h}) {
        QVERIFY(text.contains(project));
        QVERIFY2(text.contains(checksum), checksum);
        QVERIFY(text.contains(side(port, 0).toUtf8()) && text.contains(side(port, 1).toUtf8()));
        QVERIFY(text.contains(QDate::currentDate().toString(Qt::ISODate).toUtf8()));
        QVERIFY(text.contains("1 mismatch"));
    }
    QVERIFY(c.contains("1,0x00000300,11-bit,11-bit sweep,passes as 0x300 (11-bit),nothing,MISMATCH\r\n"));
    QVERIFY(c.contains("0,0x00000181,11-bit,11-bit sweep,passes as 0x281 (11-bit),0x281 (11-bit),remapped\r\n"));
    // One page with nothing fetched from elsewhere: every 11-bit identifier of both directions as a cell.
    QVERIFY(!h.contains("src=") && !h.contains("href="));
    QCOMPARE(h.count("<rect "), 2 * 2048);
}

void TestBusVerify::emulatorFaultsAreSeen()
{
    Project p;
    QVERIFY(p.make(true, remapRows(), backRows()));
    const quint16 port = freePort();
    QProcess emulator;
    emulator.start(TestPaths::cli(),
                   {QStringLiteral("emulate"), p.path(), QStringLiteral("--can0"), side(port, 0),
                    QStringLiteral("--can1"), side(port, 1), QStringLiteral("--fault"),
                    QStringLiteral("remap:0x7FF:0x7FE")});
    QVERIFY(emulator.waitForStarted(10000));
    while (!emulator.readAllStandardOutput().contains("Emulating")) // up when it says so
        QVERIFY2(emulator.waitForReadyRead(10000), emulator.readAllStandardError());
    const CliRun::Result r = verify(p, port);
    emulator.kill();
    emulator.waitForFinished(5000);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.out.contains("0x7FF (11-bit): expected passes as 0x000 (11-bit); seen 0x7FE (11-bit)"), r.out);
    QVERIFY(r.out.contains("From CAN 0 to CAN 1: ") && r.out.contains("all as predicted"));
}

void TestBusVerify::busGoneMidRun()
{
    // Listed identifiers blocked: nearly every frame passes, so the peer ends early in the plan.
    Project p;
    QVERIFY(p.make(false, remapRows(), backRows()));
    const quint16 port = freePort();
    Peer peer;
    QVERIFY(peer.start(p.image(), port, {QStringLiteral("--exit-after"), QStringLiteral("300")}));
    const CliRun::Result r = verify(p, port);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains("the connection to the bus ended"), r.err);
    QVERIFY(r.out.contains("Result: Stopped"));
}

void TestBusVerify::badInput_data()
{
    QTest::addColumn<QStringList>("args"); // after PROJECT; %1 is a private port
    QTest::addColumn<int>("built");        // 0 not built, 1 built, 2 built and then edited
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("message");
    const QString can1 = QStringLiteral("virtualcan:tcp://127.0.0.1:%1/can1");
    const QString c0 = QStringLiteral("--can0"), c1 = QStringLiteral("--can1");
    QTest::newRow("unknown plugin") << QStringList{c0, u"nosuchcan:can0"_qs, c1, can1} << 1 << 2
                                    << QByteArray("no CAN plugin 'nosuchcan'");
    QTest::newRow("unknown interface") << QStringList{c0, u"socketcan:nosuch7"_qs, c1, can1} << 1 << 2
                                       << QByteArray("socketcan:nosuch7");
    QTest::newRow("not PLUGIN:INTERFACE")
        << QStringList{c0, u"virtualcan"_qs, c1, can1} << 1 << 2 << QByteArray("is not PLUGIN:INTERFACE");
    QTest::newRow("virtual channel can9") << QStringList{c0, u"virtualcan:tcp://127.0.0.1:%1/can9"_qs, c1, can1} << 1
                                          << 2 << QByteArray("'can9' would silently join can0");
    QTest::newRow("virtual host by name") << QStringList{c0, u"virtualcan:tcp://localhost:%1/can0"_qs, c1, can1} << 1
                                          << 2 << QByteArray("write its host as 127.0.0.1");
    QTest::newRow("one interface for both")
        << QStringList{c0, can1, c1, can1} << 1 << 2 << QByteArray("each side of the repeater needs its own interface");
    QTest::newRow("not built") << QStringList{c0, u"virtualcan:tcp://127.0.0.1:%1/can0"_qs, c1, can1} << 0 << 2
                               << QByteArray("has not been built");
    QTest::newRow("image older than the documents")
        << QStringList{c0, u"virtualcan:tcp://127.0.0.1:%1/can0"_qs, c1, can1} << 2 << 2
        << QByteArray("changed after bank_K60.bin was built");
    QTest::newRow("bad direction")
        << QStringList{c0, u"virtualcan:tcp://127.0.0.1:%1/can0"_qs, c1, can1, u"--direction"_qs, u"2"_qs} << 1 << 1
        << QByteArray("--direction takes 0, 1 or both");
    for (const QString &rate : {u"4999"_qs, u"1000001"_qs, u"fast"_qs})
        QTest::newRow(qPrintable(u"bit rate "_qs + rate))
            << QStringList{c0, u"virtualcan:tcp://127.0.0.1:%1/can0"_qs, c1, can1, u"--bitrate"_qs, rate} << 1 << 1
            << QByteArray("--bitrate takes a bit rate in bit/s from 5000 to 1000000");
    QTest::newRow("missing side") << QStringList{c0, u"virtualcan:tcp://127.0.0.1:%1/can0"_qs} << 1 << 2
                                  << QByteArray("--can1 PLUGIN:INTERFACE is missing");
}

void TestBusVerify::badInput()
{
    QFETCH(QStringList, args);
    QFETCH(int, built);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, message);
    Project p;
    QVERIFY(p.make(true, remapRows(), backRows(), built > 0));
    if (built == 2) {
        // One second on: file times of some file systems have that resolution.
        QFile doc(p.dir.filePath(QStringLiteral("CanCanCobID.xml")));
        QVERIFY(doc.open(QIODevice::ReadWrite));
        QVERIFY(doc.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
    }
    const QString port = QString::number(freePort());
    for (QString &a : args)
        a.replace(QLatin1String("%1"), port);
    const CliRun::Result r = CliRun::run(QStringList{QStringLiteral("verify"), p.path()} + args);
    QCOMPARE(r.exitCode, exitCode);
    QVERIFY2(r.err.contains(message), r.err);
}

QTEST_GUILESS_MAIN(TestBusVerify)
#include "tst_busverify.moc"
