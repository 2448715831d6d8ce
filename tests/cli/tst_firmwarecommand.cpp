// praxedo-cli firmware: the merge of the project's banks into a copy of the firmware, run as a
// script runs it.
#include "SrecFiles.h"
#include "TestPaths.h"

#include "core/image/SrecMerge.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace SrecFiles;
using SrecMerge::bankFirstAddress;

class TestFirmwareCommand : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mergesAndRefuses();
    void twoMergesAtOnce();
};

void TestFirmwareCommand::mergesAndRefuses()
{
    Workspace ws(fixture("basic.sx"));
    QProcess p;
    p.start(TestPaths::cli(), {QStringLiteral("firmware"), ws.project, ws.firmware()});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QByteArray merged = readAll(ws.newFile());
    bool ok, complete;
    QCOMPARE(decodeRange(merged, bankFirstAddress(1), BankSize, &ok, &complete), ws.banks[0]);
    QVERIFY(ok && complete);
    QCOMPARE(ws.leftovers(), QStringList());

    QVERIFY(QFile::remove(ws.bankPath(2)));
    p.start(TestPaths::cli(), {QStringLiteral("firmware"), ws.project, ws.firmware()});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("File bank2.bin Not Found,Abort Procedure"));
    QCOMPARE(readAll(ws.newFile()), merged);

    p.start(TestPaths::cli(), {QStringLiteral("firmware"), ws.project});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);

    Workspace outside(fixture("outside.sx"));
    p.start(TestPaths::cli(), {QStringLiteral("firmware"), outside.project, outside.firmware()});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("Bank 1 Not Merged: FX58104.sx Has No Data Record"));
    QVERIFY(!QFile::exists(outside.newFile()));
    p.start(TestPaths::cli(),
            {QStringLiteral("firmware"), outside.project, outside.firmware(), QStringLiteral("--allow-missing-bank")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QByteArray warnings = p.readAllStandardError();
    QVERIFY(warnings.contains("warning: Bank 1 Not Merged"));
    QVERIFY(warnings.contains("warning: Bank 2 Not Merged"));
    QCOMPARE(readAll(outside.newFile()), fixture("outside.sx"));
}

// Two command lines merging into one project at the same time: each gives the whole result.
void TestFirmwareCommand::twoMergesAtOnce()
{
    Workspace ws(fixture("basic.sx"));
    QVERIFY(SrecMerge::runChain(ws.files).result == 1);
    const QByteArray expected = readAll(ws.newFile());
    for (int round = 0; round < 5; ++round) {
        QProcess a, b;
        const QStringList args{QStringLiteral("firmware"), ws.project, ws.firmware()};
        a.start(TestPaths::cli(), args);
        b.start(TestPaths::cli(), args);
        QVERIFY(a.waitForFinished(60000));
        QVERIFY(b.waitForFinished(60000));
        QVERIFY2(a.exitCode() == 0, a.readAllStandardError().constData());
        QVERIFY2(b.exitCode() == 0, b.readAllStandardError().constData());
        QCOMPARE(readAll(ws.newFile()), expected);
    }
    QCOMPARE(ws.leftovers(), QStringList());
}

QTEST_GUILESS_MAIN(TestFirmwareCommand)
#include "tst_firmwarecommand.moc"
