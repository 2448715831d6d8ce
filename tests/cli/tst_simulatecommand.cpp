// praxedo-cli simulate where more than a fixed text is checked: the warning about documents
// newer than the build they are checked against, and the file named in the system's own form.
// Its answers are golden cases under tests/data/cli (simulate-*).
#include "CliRun.h"
#include "FilterImageBytes.h"
#include "TestPaths.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

using CliRun::put;
using CliRun::Result;

// A project whose bin folder holds a hand-made image.
struct Project
{
    QTemporaryDir dir;
    QString image() const { return dir.filePath(u"bin/bank_K60.bin"_qs); }
    bool make()
    {
        return dir.isValid() && QDir(dir.path()).mkdir(u"bin"_qs)
            && put(image(), FilterImageBytes::make({{0x100, 0x100}}, {{0x181, 0x181}}, true));
    }
};

} // namespace

class TestSimulateCommand : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void warnsWhenTheDocumentsAreNewer();
    void answeredFromNamesTheFileNatively();
};

void TestSimulateCommand::warnsWhenTheDocumentsAreNewer()
{
    Project p;
    QVERIFY(p.make());
    const QString cobId = p.dir.filePath(u"CanCanCobID.xml"_qs);
    QVERIFY(put(cobId, "<CanCanCobID/>"));
    QFile image(p.image());
    QVERIFY(image.open(QIODevice::ReadWrite));
    QVERIFY(image.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
    image.close();
    const Result r = CliRun::run({u"simulate"_qs, p.dir.path(), u"--from"_qs, u"0"_qs, u"0x100"_qs});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.err,
             QByteArray(
                 "warning: CanCanCobID.xml changed after bank_K60.bin was built; this is what the last build does\n"));
}

// The golden cases read every path with / for a separator; here the answer keeps the system's.
void TestSimulateCommand::answeredFromNamesTheFileNatively()
{
    Project p;
    QVERIFY(p.make());
    const Result r = CliRun::run({u"simulate"_qs, p.dir.path(), u"--from"_qs, u"0"_qs, u"0x100"_qs});
    QCOMPARE(r.exitCode, 0);
    const QByteArray answered =
        "\n  answered from " + QDir::toNativeSeparators(u"bin/bank_K60.bin"_qs).toUtf8() + " (Ethernet variant)\n";
    QVERIFY2(r.out.endsWith(answered), r.out.constData());
}

QTEST_GUILESS_MAIN(TestSimulateCommand)
#include "tst_simulatecommand.moc"
