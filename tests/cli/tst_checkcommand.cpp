// praxedo-cli check where the input is made by the test or the message holds the XML reader's
// words; the answers to small projects are golden cases under tests/data/cli (check-*).
#include "CliRun.h"
#include "TestPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using CliRun::put;

class TestCheckCommand : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void unreadableDocumentFails();
    void surplusRowsWarnButPass();
};

void TestCheckCommand::unreadableDocumentFails()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CanCanCobID.xml"));
    const QByteArray broken = "<CanCanCobID><Can0_to_Can1>";
    QVERIFY(put(path, broken));
    const CliRun::Result r = CliRun::run({QStringLiteral("check"), dir.path()});
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
    for (int i = 0; i < 2050; ++i) {
        const QByteArray id = QByteArray::number(i % 2048);
        rows += "<row Orig_CobID=\"" + id + "\" Type_CobID=\"2.0A 11bits\" Mod_CobID=\"" + id
            + "\" Type_MCobID=\"2.0A 11bits\" Desc=\"\"/>";
    }
    QVERIFY(put(dir.filePath(QStringLiteral("CanCanCobID.xml")),
                "<CanCanCobID><Can0_to_Can1>" + rows + "</Can0_to_Can1><Can1_to_Can0></Can1_to_Can0></CanCanCobID>"));
    const CliRun::Result r = CliRun::run({QStringLiteral("check"), dir.path()});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, QByteArray("OK\n"));
    QVERIFY2(r.err.startsWith("warning: ") && r.err.contains("2 rows beyond row 2048"), r.err.constData());
}

QTEST_GUILESS_MAIN(TestCheckCommand)
#include "tst_checkcommand.moc"
