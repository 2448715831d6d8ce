#include "FilterImageBytes.h"

#include "gui/IdSpacePainter.h"

#include "CliRun.h"
#include "TestPaths.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Fate = FilterImage::Fate;

// The colour in the middle of the cell of `id`.
QColor cellColour(const QImage &picture, const QRect &cells, int id)
{
    const qreal w = qreal(cells.width()) / IdSpacePainter::Columns;
    const qreal h = qreal(cells.height()) / IdSpacePainter::Rows;
    const QPointF centre(cells.left() + (id % IdSpacePainter::Columns + 0.5) * w, cells.top() + (id / IdSpacePainter::Columns + 0.5) * h);
    return picture.pixelColor(centre.toPoint());
}

// Every cell shows its identifier's fate.
bool showsSpace(const QImage &picture, const QRect &cells, const FilterImage::IdSpace &space)
{
    for (int id = 0; id < int(space.size()); ++id) {
        if (cellColour(picture, cells, id) != IdSpacePainter::colour(space[size_t(id)])) {
            qWarning("cell %d shows the wrong colour", id);
            return false;
        }
    }
    return true;
}

FilterImage::IdSpace sample()
{
    FilterImage::IdSpace space;
    space.fill(Fate::Pass);
    space[0] = Fate::Block;
    space[63] = Fate::Remap;
    space[64] = Fate::Block;
    space[1000] = Fate::Remap;
    space[2047] = Fate::Block;
    return space;
}

} // namespace

class TestIdSpacePicture : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void coloursAreDistinct();
    void cellsFillAnyArea();
    void idAt_data();
    void idAt();
    void renderedPictureShowsEveryCell();
    void mapCommandWritesThePicture();
    void mapCommandRefusesDamagedImage();
};

void TestIdSpacePicture::coloursAreDistinct()
{
    const QColor pass = IdSpacePainter::colour(Fate::Pass);
    const QColor block = IdSpacePainter::colour(Fate::Block);
    const QColor remap = IdSpacePainter::colour(Fate::Remap);
    // Apart in lightness too, so they stay apart in grey and for colour-blind eyes.
    QVERIFY(qAbs(qGray(pass.rgb()) - qGray(block.rgb())) > 60);
    QVERIFY(qAbs(qGray(pass.rgb()) - qGray(remap.rgb())) > 60);
    QVERIFY(qAbs(qGray(block.rgb()) - qGray(remap.rgb())) > 20);
}

void TestIdSpacePicture::cellsFillAnyArea()
{
    QImage picture(640, 320, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter p(&picture);
    IdSpacePainter::paintCells(p, QRectF(0, 0, 640, 320), sample());
    p.end();
    QVERIFY(showsSpace(picture, QRect(0, 0, 640, 320), sample()));
}

void TestIdSpacePicture::idAt_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<int>("id");
    QTest::newRow("first") << QPointF(10, 20) << 0;
    QTest::newRow("end of first row") << QPointF(10 + 639.9, 20) << 63;
    QTest::newRow("second row") << QPointF(10, 30) << 64;
    QTest::newRow("last") << QPointF(649.9, 339.9) << 2047;
    QTest::newRow("left of the cells") << QPointF(9, 25) << -1;
    QTest::newRow("below the cells") << QPointF(100, 341) << -1;
}

void TestIdSpacePicture::idAt()
{
    QFETCH(QPointF, point);
    QFETCH(int, id);
    QCOMPARE(IdSpacePainter::idAt(QRectF(10, 20, 640, 320), point), id);
}

void TestIdSpacePicture::renderedPictureShowsEveryCell()
{
    const QImage picture = IdSpacePainter::render(sample(), u"From CAN 0 to CAN 1"_qs);
    QVERIFY(picture.rect().contains(IdSpacePainter::renderedCellArea()));
    QVERIFY(showsSpace(picture, IdSpacePainter::renderedCellArea(), sample()));
    // The title is drawn above the cells.
    bool titleInk = false;
    for (int x = 0; x < picture.width() && !titleInk; ++x)
        for (int y = 0; y < IdSpacePainter::renderedCellArea().top() - 20 && !titleInk; ++y)
            titleInk = picture.pixelColor(x, y) != QColor(Qt::white);
    QVERIFY(titleInk);
}

void TestIdSpacePicture::mapCommandWritesThePicture()
{
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir(u"bin"_qs));
    const FilterImageBytes::Table table = {{0x000, 0x000}, {0x181, 0x281}, {0x7FF, 0x80000000u | 0x7FF}, {0x80000005u, 0x5}};
    QFile image(dir.filePath(u"bin/bank_K60.bin"_qs));
    QVERIFY(image.open(QIODevice::WriteOnly));
    QVERIFY(image.write(FilterImageBytes::make({}, table, true)) == FilterImageBytes::Size);
    image.close();

    const QString png = dir.filePath(u"map.png"_qs);
    QProcess p;
    p.start(TestPaths::cli(), {u"map"_qs, dir.path(), u"--from"_qs, u"1"_qs, png});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(CliRun::text(p.readAllStandardOutput()), "Wrote " + QDir::toNativeSeparators(png).toUtf8()
                                                          + ": 1 pass, 2045 blocked, 2 remapped\n  answered from "
                                                          + QDir::toNativeSeparators(u"bin/bank_K60.bin"_qs).toUtf8()
                                                          + " (Ethernet variant)\n");

    FilterImage::IdSpace expected;
    expected.fill(Fate::Block);
    expected[0x000] = Fate::Pass;
    expected[0x181] = Fate::Remap;
    expected[0x7FF] = Fate::Remap;
    const QImage picture(png);
    QVERIFY(!picture.isNull());
    QVERIFY(showsSpace(picture, IdSpacePainter::renderedCellArea(), expected));
}

void TestIdSpacePicture::mapCommandRefusesDamagedImage()
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

QTEST_MAIN(TestIdSpacePicture)
#include "tst_idspacepicture.moc"
