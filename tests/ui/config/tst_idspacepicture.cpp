#include "IdSpaceCheck.h"

#include "gui/IdSpacePainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

namespace {

using Fate = FilterImage::Fate;
using IdSpaceCheck::showsSpace;

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

QTEST_MAIN(TestIdSpacePicture)
#include "tst_idspacepicture.moc"
