#include "TestPaths.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "CliRun.h"

namespace {

using CliRun::Result;
using CliRun::put;

Result runCli(const QStringList &args)
{
    return CliRun::run(args);
}

QByteArray row(const QByteArray &orig, const QByteArray &type, const QByteArray &mod, const QByteArray &modType)
{
    return "<row Orig_CobID=\"" + orig + "\" Type_CobID=\"" + type + "\" Mod_CobID=\"" + mod + "\" Type_MCobID=\""
        + modType + "\" Desc=\"\"/>";
}

QByteArray cobId(const QByteArray &rows0, const QByteArray &rows1 = QByteArray())
{
    return "<CanCanCobID><Can0_to_Can1>" + rows0 + "</Can0_to_Can1><Can1_to_Can0>" + rows1
        + "</Can1_to_Can0></CanCanCobID>";
}

// A ParGen.xml that a build reads too: its first seven elements in the order written.
QByteArray parGen(const QByteArray &deviceType, const QByteArray &type, const QByteArray &positive,
                  const QByteArray &typeC1, const QByteArray &more = QByteArray())
{
    return "<Par_Gen><Boud0>8</Boud0><Boud1>8</Boud1><Type>" + type + "</Type><Positive>" + positive
        + "</Positive><Baud_Dip_C0>0</Baud_Dip_C0><Baud_Dip_C1>0</Baud_Dip_C1><TypeC1>" + typeC1
        + "</TypeC1><Device_Type>" + deviceType + "</Device_Type>" + more + "</Par_Gen>";
}

const QByteArray kA = "2.0A 11bits";
const QByteArray kB = "2.0B 29bits";

} // namespace

class TestCheckCommand : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void check_data();
    void check();
    void unreadableDocumentFails();
    void surplusRowsWarnButPass();
    void buildReadersHaveTheirSay();
    void tablesTheEditorsAndTheBuildSeeDifferentlyFail();
    void usageErrors_data();
    void usageErrors();
};

void TestCheckCommand::check_data()
{
    QTest::addColumn<QByteArray>("parGen"); // empty: no file
    QTest::addColumn<QByteArray>("cobId");  // empty: no file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("err");

    QTest::newRow("new project") << QByteArray() << QByteArray() << 0 << QByteArray();
    QTest::newRow("bad IP with Ethernet")
        << QByteArray("<Par_Gen><Device_Type>1</Device_Type><Ethernet_IP2>256</Ethernet_IP2></Par_Gen>")
        << QByteArray() << 2 << QByteArray("Error Ethernet!! IP Address 2 must be between 0 and 255\n");
    QTest::newRow("bad IP without Ethernet")
        << parGen("0", "0", "1", "0", "<Ethernet_IP2>256</Ethernet_IP2>") << QByteArray() << 0 << QByteArray();
    QTest::newRow("settings fail before tables")
        << QByteArray("<Par_Gen><Device_Type>1</Device_Type><Ethernet_EN_GAT>1</Ethernet_EN_GAT><Ethernet_GAT4>x</Ethernet_GAT4></Par_Gen>")
        << cobId(row("0x800", kA, "", "")) << 2 << QByteArray("Error Ethernet!! GATEWAY IP 4 must be between 0 and 255\n");
    QTest::newRow("no ParGen: positive on") << QByteArray() << cobId(row("1", kA, "", "")) << 2
                                            << QByteArray("Error in row 1!! [From CAN 0 to CAN 1] The Type of Modify CobID must be selected\n");
    QTest::newRow("positive off") << parGen("1", "0", "0", "0")
                                  << cobId(row("1", kA, "", "")) << 0 << QByteArray();
    QTest::newRow("second table") << QByteArray("<Par_Gen><Device_Type>1</Device_Type><Positive>0</Positive></Par_Gen>")
                                  << cobId(row("1", kA, "", ""), row("1", kA, "", "") + row("0x20000000", kB, "", ""))
                                  << 2
                                  << QByteArray("Error in row 2!! [From CAN 1 to CAN 0] The Original CobID must between 0x00000000 and 0x1FFFFFFF\n");
    // Device type 0: the rows take their types from the ports, whatever the file says.
    QTest::newRow("port types decide")
        << parGen("0", "1", "1", "0") << cobId(row("0x1FFFFFFF", kA, "0x7FF", kB), row("0x7FF", kB, "0x1FFFFFFF", kA)) << 0
        << QByteArray();
    QTest::newRow("port types reject")
        << QByteArray("<Par_Gen><Device_Type>0</Device_Type><Type>0</Type><TypeC1>1</TypeC1><Positive>1</Positive></Par_Gen>")
        << cobId(row("0x7FF", kB, "0x1FFFFFFF", kA), row("0x1FFFFFFF", kA, "0x800", kB)) << 2
        << QByteArray("Error in row 1!! [From CAN 1 to CAN 0] The Modify CobID must between 0x000 and 0x7FF\n");
}

void TestCheckCommand::check()
{
    QFETCH(QByteArray, parGen);
    QFETCH(QByteArray, cobId);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, err);

    QTemporaryDir dir;
    if (!parGen.isEmpty())
        QVERIFY(put(dir.filePath(QStringLiteral("ParGen.xml")), parGen));
    if (!cobId.isEmpty())
        QVERIFY(put(dir.filePath(QStringLiteral("CanCanCobID.xml")), cobId));
    const Result r = runCli({QStringLiteral("check"), dir.path()});
    QCOMPARE(r.err, err);
    QCOMPARE(r.out, exitCode == 0 ? QByteArray("OK\n") : QByteArray());
    QCOMPARE(r.exitCode, exitCode);
}

void TestCheckCommand::unreadableDocumentFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CanCanCobID.xml"));
    const QByteArray broken = "<CanCanCobID><Can0_to_Can1>";
    QVERIFY(put(path, broken));
    const Result r = runCli({QStringLiteral("check"), dir.path()});
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(QDir::toNativeSeparators(path).toUtf8()), r.err.constData());
    QCOMPARE(r.out, QByteArray());

    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), broken);
}

void TestCheckCommand::surplusRowsWarnButPass()
{
    QTemporaryDir dir;
    QByteArray rows;
    for (int i = 0; i < 2050; ++i)
        rows += row(QByteArray::number(i % 2048), kA, QByteArray::number(i % 2048), kA);
    QVERIFY(put(dir.filePath(QStringLiteral("CanCanCobID.xml")), cobId(rows)));
    const Result r = runCli({QStringLiteral("check"), dir.path()});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QByteArray("OK\n"));
    QVERIFY2(r.err.startsWith("warning: ") && r.err.contains("2 rows beyond row 2048"), r.err.constData());
}

// OK means the project builds: the build reads the first settings by position and strictly.
void TestCheckCommand::buildReadersHaveTheirSay()
{
    QTemporaryDir dir;
    QVERIFY(put(dir.filePath(QStringLiteral("ParGen.xml")),
                "<Par_Gen><Boud0>abc</Boud0><Boud1>8</Boud1><Type>0</Type><Positive>0</Positive><Baud_Dip_C0>0"
                "</Baud_Dip_C0><Baud_Dip_C1>0</Baud_Dip_C1><TypeC1>0</TypeC1><Device_Type>0</Device_Type></Par_Gen>"));
    const Result r = runCli({QStringLiteral("check"), dir.path()});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(QString::fromUtf8(r.err),
             QStringLiteral("Cannot read %1: 'abc' is not a valid integer value (element 1 of the root, Boud0)\n")
                 .arg(QDir::toNativeSeparators(dir.filePath(QStringLiteral("ParGen.xml")))));
}

// A comment among the rows ends the table for the editors, but a build programs the rows after
// it: check refuses such a project, and export and import say the same on standard error.
void TestCheckCommand::tablesTheEditorsAndTheBuildSeeDifferentlyFail()
{
    QTemporaryDir dir;
    QVERIFY(put(dir.filePath(QStringLiteral("ParGen.xml")), parGen("1", "0", "0", "0")));
    const QByteArray rows = row("1", kA, "", "") + "<!-- spare identifiers below -->" + row("2", kA, "", "") + row("3", kA, "", "");
    QVERIFY(put(dir.filePath(QStringLiteral("CanCanCobID.xml")), cobId(rows)));
    const QByteArray said = "row 2 is a comment, which ends the table: the 3 rows from row 2 on are not shown";

    Result r = runCli({QStringLiteral("check"), dir.path()});
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.out, QByteArray());
    QVERIFY2(r.err.contains(said) && r.err.contains("The filter window and a build see different tables."), r.err.constData());

    r = runCli({QStringLiteral("export"), dir.path(), QStringLiteral("--table"), QStringLiteral("0"), dir.filePath(QStringLiteral("t.csv"))});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.startsWith("warning: ") && r.err.contains(said), r.err.constData());

    QVERIFY(put(dir.filePath(QStringLiteral("in.csv")), "Original CobID,Type CobID,Modify CobID,Type CobID,Mnemonic\r\n5,2.0A 11bits,,,\r\n"));
    r = runCli({QStringLiteral("import"), dir.path(), QStringLiteral("--table"), QStringLiteral("1"), dir.filePath(QStringLiteral("in.csv"))});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.startsWith("warning: ") && r.err.contains(said), r.err.constData());
}

void TestCheckCommand::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("no folder") << QStringList{u"check"_qs};
    QTest::newRow("two folders") << QStringList{u"check"_qs, u"a"_qs, u"b"_qs};
    QTest::newRow("missing folder") << QStringList{u"check"_qs, TestPaths::data(QStringLiteral("config/no-such-project"))};
    QTest::newRow("a file") << QStringList{u"check"_qs, TestPaths::data(QStringLiteral("config/ParGen-empty-root.xml"))};
}

void TestCheckCommand::usageErrors()
{
    QFETCH(QStringList, args);
    const Result r = runCli(args);
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.out, QByteArray());
    QVERIFY(!r.err.isEmpty());
}

QTEST_GUILESS_MAIN(TestCheckCommand)
#include "tst_checkcommand.moc"
