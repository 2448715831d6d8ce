// praxedo-cli replay of a trace that is not there: the reason is the system's words, so only the
// start of the message is fixed. Its other runs are golden cases under tests/data/cli (replay-*).
#include "CliRun.h"
#include "ImageDocs.h"
#include "TestPaths.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestReplayCommand : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void missingTraceFails();
};

void TestReplayCommand::missingTraceFails()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"bin"_qs));
    QVERIFY(CliRun::put(dir.filePath(u"ParGen.xml"_qs),
                        ImageDocs::parGen({{"Device_Type", "0"}, {"Positive", "1"}, {"Boud1", "4"}})));
    QVERIFY(CliRun::put(dir.filePath(u"CanCanCobID.xml"_qs), ImageDocs::cobId({ImageDocs::Row("0x123", "0x456")})));
    QCOMPARE(CliRun::run({u"build"_qs, dir.path()}).exitCode, 0);
    const CliRun::Result r =
        CliRun::run({u"replay"_qs, dir.path(), u"--from"_qs, u"0"_qs, dir.filePath(u"missing.log"_qs)});
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.startsWith("Cannot read "), r.err.constData());
}

QTEST_GUILESS_MAIN(TestReplayCommand)
#include "tst_replaycommand.moc"
