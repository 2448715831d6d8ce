// praxedo-cli map: the picture it writes, read back cell by cell, and its refusal of a damaged
// image.
#include "CliRun.h"
#include "FilterImageBytes.h"
#include "IdSpaceCheck.h"
#include "TestPaths.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using IdSpaceCheck::Fate;
using IdSpaceCheck::showsSpace;

class TestMapCommand : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void mapCommandWritesThePicture();
    void mapCommandRefusesDamagedImage();
};

void TestMapCommand::mapCommandWritesThePicture()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"bin"_qs));
    const FilterImageBytes::Table table = {{0x000, 0x000},
                                           {0x181, 0x281},
                                           {0x7FF, 0x80000000u | 0x7FF},
                                           {0x80000005u, 0x5}};
    QFile image(dir.filePath(u"bin/bank_K60.bin"_qs));
    QVERIFY(image.open(QIODevice::WriteOnly));
    QVERIFY(image.write(FilterImageBytes::make({}, table, true)) == FilterImageBytes::Size);
    image.close();

    const QString png = dir.filePath(u"map.png"_qs);
    QProcess p;
    p.start(TestPaths::cli(), {u"map"_qs, dir.path(), u"--from"_qs, u"1"_qs, png});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(CliRun::text(p.readAllStandardOutput()),
             "Wrote " + QDir::toNativeSeparators(png).toUtf8() + ": 1 pass, 2045 blocked, 2 remapped\n  answered from "
                 + QDir::toNativeSeparators(u"bin/bank_K60.bin"_qs).toUtf8() + " (Ethernet variant)\n");

    FilterImage::IdSpace expected;
    expected.fill(Fate::Block);
    expected[0x000] = Fate::Pass;
    expected[0x181] = Fate::Remap;
    expected[0x7FF] = Fate::Remap;
    const QImage picture(png);
    QVERIFY(!picture.isNull());
    QVERIFY(showsSpace(picture, IdSpacePainter::renderedCellArea(), expected));
}

void TestMapCommand::mapCommandRefusesDamagedImage()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"bin"_qs));
    QFile image(dir.filePath(u"bin/bank_K60.bin"_qs));
    QVERIFY(image.open(QIODevice::WriteOnly));
    QVERIFY(image.write(QByteArray(16384, '\xFF')) == 16384);
    image.close();
    const QString png = dir.filePath(u"map.png"_qs);
    QProcess p;
    p.start(TestPaths::cli(), {u"map"_qs, dir.path(), u"--from"_qs, u"0"_qs, png});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(p.readAllStandardError().contains("has 16384 bytes; a configuration image has 34816"));
    QVERIFY(!QFile::exists(png));
}

QTEST_MAIN(TestMapCommand)
#include "tst_mapcommand.moc"
