#include "ui/widgets/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QtMath>

namespace {

using Picture = Pictures::Picture;

const QColor Green(46, 154, 62);
const QColor GreenDark(28, 104, 38);
const QColor Red(208, 60, 60);
const QColor RedDark(150, 34, 34);
const QColor Blue(58, 120, 194);
const QColor BlueDark(32, 78, 138);
const QColor Outline(107, 107, 107);
const QColor Paper(255, 255, 255);
const QColor Ruling(170, 182, 200);

QPen pen(const QColor &c, qreal width)
{
    return QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QLinearGradient vertical(const QColor &top, const QColor &bottom, qreal y0, qreal y1)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void polygon(QPainter &p, std::initializer_list<QPointF> points, const QBrush &fill, const QPen &outline)
{
    p.setPen(outline);
    p.setBrush(fill);
    p.drawPolygon(QPolygonF(QList<QPointF>(points)));
}

void tick(QPainter &p, const QPointF &a, const QPointF &b, const QPointF &c, const QColor &colour, qreal width)
{
    p.setPen(pen(colour, width));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF(QList<QPointF>{a, b, c}));
}

void cross(QPainter &p, const QRectF &r, const QColor &colour, qreal width)
{
    p.setPen(pen(colour, width));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

// A round badge in the lower right corner carrying a sign.
enum class Sign { Plus, Minus, Tick, Cross };
void badge(QPainter &p, const QColor &fill, const QColor &rim, Sign sign, const QPointF &c = QPointF(17.5, 17.5))
{
    p.setPen(pen(rim, 1.0));
    p.setBrush(vertical(fill.lighter(125), fill, c.y() - 5.5, c.y() + 5.5));
    p.drawEllipse(c, 5.5, 5.5);
    const QPen white = pen(Qt::white, 1.9);
    p.setPen(white);
    switch (sign) {
    case Sign::Plus:
        p.drawLine(QPointF(c.x() - 3, c.y()), QPointF(c.x() + 3, c.y()));
        p.drawLine(QPointF(c.x(), c.y() - 3), QPointF(c.x(), c.y() + 3));
        break;
    case Sign::Minus:
        p.drawLine(QPointF(c.x() - 3, c.y()), QPointF(c.x() + 3, c.y()));
        break;
    case Sign::Tick:
        tick(p, c + QPointF(-2.8, 0.2), c + QPointF(-0.8, 2.4), c + QPointF(3, -2.4), Qt::white, 1.9);
        break;
    case Sign::Cross:
        cross(p, QRectF(c - QPointF(2.4, 2.4), c + QPointF(2.4, 2.4)), Qt::white, 1.9);
        break;
    }
}

void page(QPainter &p, const QRectF &r, bool ruled = true)
{
    const qreal fold = 4;
    polygon(p,
            {r.topLeft(), QPointF(r.right() - fold, r.top()), QPointF(r.right(), r.top() + fold), r.bottomRight(),
             r.bottomLeft()},
            Paper, pen(Outline, 1.1));
    p.drawPolyline(
        QPolygonF(QList<QPointF>{QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold),
                                 QPointF(r.right(), r.top() + fold)}));
    if (!ruled)
        return;
    p.setPen(pen(Ruling, 1.0));
    for (qreal y = r.top() + fold + 2.5; y < r.bottom() - 1.5; y += 2.8)
        p.drawLine(QPointF(r.left() + 2.2, y), QPointF(r.right() - 2.2, y));
}

// A small table with a header row and a highlighted body row.
void grid(QPainter &p)
{
    const QRectF r(2, 3, 17, 15);
    p.setPen(pen(Outline, 1.1));
    p.setBrush(Paper);
    p.drawRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(196, 214, 238));
    p.drawRect(QRectF(r.left() + 0.5, r.top() + 0.5, r.width() - 1, 3.5));
    p.setBrush(QColor(255, 236, 160));
    p.drawRect(QRectF(r.left() + 0.5, 11, r.width() - 1, 3));
    p.setPen(pen(Ruling, 0.9));
    for (qreal y : {7.5, 11.0, 14.0})
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    p.drawLine(QPointF(8.5, r.top()), QPointF(8.5, r.bottom()));
    p.setPen(pen(Outline, 1.1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void arrow(QPainter &p, bool right)
{
    QPolygonF a(QList<QPointF>{{3, 12}, {11, 4}, {11, 8.5}, {21, 8.5}, {21, 15.5}, {11, 15.5}, {11, 20}});
    if (right) {
        for (QPointF &pt : a)
            pt.setX(24 - pt.x());
    }
    p.setPen(pen(BlueDark, 1.1));
    p.setBrush(vertical(Blue.lighter(140), Blue, 4, 20));
    p.drawPolygon(a);
}

void tray(QPainter &p)
{
    p.setPen(pen(Outline, 2.0));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF(QList<QPointF>{{3, 14}, {3, 21}, {21, 21}, {21, 14}}));
}

void gear(QPainter &p)
{
    QPainterPath body;
    body.addEllipse(QPointF(12, 12), 7.2, 7.2);
    for (int i = 0; i < 8; ++i) {
        QPainterPath tooth;
        tooth.addRect(QRectF(-1.9, -10.6, 3.8, 5));
        QTransform t;
        t.translate(12, 12);
        t.rotate(i * 45.0);
        body = body.united(t.map(tooth));
    }
    QPainterPath hole;
    hole.addEllipse(QPointF(12, 12), 3.0, 3.0);
    body = body.subtracted(hole);
    p.setPen(pen(QColor(70, 82, 96), 1.0));
    p.setBrush(vertical(QColor(160, 174, 190), QColor(96, 110, 128), 1.5, 22.5));
    p.drawPath(body);
}

void chip(QPainter &p)
{
    p.setPen(pen(QColor(120, 120, 120), 1.4));
    for (qreal y : {13.5, 16.5, 19.5}) {
        p.drawLine(QPointF(2.5, y), QPointF(5, y));
        p.drawLine(QPointF(19, y), QPointF(21.5, y));
    }
    p.setPen(pen(QColor(40, 40, 40), 1.0));
    p.setBrush(vertical(QColor(96, 96, 96), QColor(52, 52, 52), 11, 22));
    p.drawRoundedRect(QRectF(5, 11, 14, 11), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(140, 140, 140));
    p.drawEllipse(QPointF(7.5, 13.5), 0.9, 0.9);
    // Download arrow into the chip.
    p.setPen(pen(GreenDark, 1.0));
    p.setBrush(vertical(Green.lighter(135), Green, 1, 12));
    p.drawPolygon(QPolygonF(QList<QPointF>{{10, 1}, {14, 1}, {14, 5.5}, {17, 5.5}, {12, 11}, {7, 5.5}, {10, 5.5}}));
}

void circleBadge(QPainter &p, const QColor &fill, const QColor &rim)
{
    QRadialGradient g(QPointF(9, 8), 13);
    g.setColorAt(0, fill.lighter(150));
    g.setColorAt(1, fill);
    p.setPen(pen(rim, 1.0));
    p.setBrush(g);
    p.drawEllipse(QPointF(12, 12), 10.5, 10.5);
}

void draw(QPainter &p, Picture picture)
{
    switch (picture) {
    case Picture::None:
        break;
    case Picture::Ok:
        tick(p, {4, 12.5}, {9.5, 18.5}, {20, 5.5}, GreenDark, 4.2);
        tick(p, {4, 12.5}, {9.5, 18.5}, {20, 5.5}, Green, 2.6);
        break;
    case Picture::Cancel:
        cross(p, QRectF(6, 6, 12, 12), RedDark, 4.2);
        cross(p, QRectF(6, 6, 12, 12), Red, 2.6);
        break;
    case Picture::New:
        page(p, QRectF(4, 2, 15, 20));
        badge(p, Green, GreenDark, Sign::Plus);
        break;
    case Picture::Open:
        polygon(p, {{2, 5}, {9, 5}, {11, 7}, {20, 7}, {20, 19}, {2, 19}}, QColor(226, 176, 66),
                pen(QColor(160, 114, 26), 1.1));
        polygon(p, {{5.5, 10}, {23, 10}, {19.5, 19}, {2, 19}},
                vertical(QColor(252, 222, 140), QColor(240, 196, 92), 10, 19), pen(QColor(160, 114, 26), 1.1));
        break;
    case Picture::Communication:
        // Frames both ways between the two ports.
        p.setPen(pen(QColor(90, 90, 90), 1.1));
        p.setBrush(vertical(QColor(236, 236, 236), QColor(190, 190, 190), 5, 19));
        p.drawRoundedRect(QRectF(1.5, 5, 4, 14), 1, 1);
        p.drawRoundedRect(QRectF(18.5, 5, 4, 14), 1, 1);
        p.setPen(pen(Blue, 2.0));
        p.drawLine(QPointF(7, 9), QPointF(14.5, 9));
        polygon(p, {{13.5, 5.8}, {17.5, 9}, {13.5, 12.2}}, Blue, pen(Blue, 0.8));
        p.setPen(pen(Green, 2.0));
        p.drawLine(QPointF(9.5, 15), QPointF(17, 15));
        polygon(p, {{10.5, 11.8}, {6.5, 15}, {10.5, 18.2}}, Green, pen(Green, 0.8));
        break;
    case Picture::Filter:
        polygon(p, {{2.5, 4}, {21.5, 4}, {14, 12.5}, {14, 19.5}, {10, 22}, {10, 12.5}},
                vertical(Blue.lighter(150), Blue, 4, 22), pen(BlueDark, 1.1));
        p.setPen(pen(QColor(255, 255, 255, 170), 1.0));
        p.drawLine(QPointF(5, 5.5), QPointF(19, 5.5));
        break;
    case Picture::Update:
        chip(p);
        break;
    case Picture::Info:
        circleBadge(p, Blue, BlueDark);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(12, 6.8), 1.8, 1.8);
        p.drawRoundedRect(QRectF(10.3, 10, 3.4, 8.8), 1, 1);
        break;
    case Picture::Options:
        gear(p);
        break;
    case Picture::Close:
        circleBadge(p, Red, RedDark);
        p.setPen(pen(Qt::white, 2.2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(6.5, 6.8, 11, 11), 125 * 16, 290 * 16);
        p.drawLine(QPointF(12, 4.8), QPointF(12, 11.5));
        break;
    case Picture::DeleteRow:
        grid(p);
        badge(p, Red, RedDark, Sign::Minus);
        break;
    case Picture::InsertRow:
        grid(p);
        badge(p, Green, GreenDark, Sign::Plus);
        break;
    case Picture::CopyRow:
        page(p, QRectF(2.5, 2, 12.5, 15.5));
        page(p, QRectF(9, 7, 12.5, 15.5));
        break;
    case Picture::PasteRow:
        p.setPen(pen(QColor(130, 92, 40), 1.1));
        p.setBrush(vertical(QColor(214, 168, 100), QColor(182, 132, 66), 4, 22));
        p.drawRoundedRect(QRectF(3, 4, 14, 18), 1.5, 1.5);
        p.setPen(pen(QColor(90, 90, 90), 1.0));
        p.setBrush(QColor(200, 200, 200));
        p.drawRoundedRect(QRectF(6.5, 2, 7, 4), 1, 1);
        page(p, QRectF(10, 9, 11.5, 13.5));
        break;
    case Picture::CompileAll:
        grid(p);
        badge(p, Green, GreenDark, Sign::Tick);
        break;
    case Picture::CancelAll:
        grid(p);
        badge(p, Red, RedDark, Sign::Cross);
        break;
    case Picture::Previous:
        arrow(p, false);
        break;
    case Picture::Next:
        arrow(p, true);
        break;
    case Picture::Check:
        page(p, QRectF(3.5, 2, 14, 20));
        badge(p, Blue, BlueDark, Sign::Tick);
        break;
    case Picture::Import:
        tray(p);
        p.setPen(pen(GreenDark, 1.0));
        p.setBrush(vertical(Green.lighter(135), Green, 1, 17));
        p.drawPolygon(
            QPolygonF(QList<QPointF>{{10, 1.5}, {14, 1.5}, {14, 9}, {17.5, 9}, {12, 16.5}, {6.5, 9}, {10, 9}}));
        break;
    case Picture::Export:
        tray(p);
        p.setPen(pen(BlueDark, 1.0));
        p.setBrush(vertical(Blue.lighter(140), Blue, 1, 17));
        p.drawPolygon(QPolygonF(QList<QPointF>{{10, 17}, {14, 17}, {14, 9}, {17.5, 9}, {12, 1.5}, {6.5, 9}, {10, 9}}));
        break;
    }
}

} // namespace

namespace Pictures {

void paint(QPainter &painter, const QRectF &box, Picture picture)
{
    if (picture == Picture::None || box.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.translate(box.topLeft());
    painter.scale(box.width() / 24.0, box.height() / 24.0);
    draw(painter, picture);
    painter.restore();
}

void paintProduct(QPainter &p, const QRectF &box)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.translate(box.topLeft());
    p.scale(box.width() / 96.0, box.height() / 96.0);

    // Shadow, then the rail-mounted housing.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRoundedRect(QRectF(14, 8, 72, 84), 6, 6);
    p.setPen(pen(QColor(90, 96, 104), 1.2));
    p.setBrush(vertical(QColor(238, 240, 242), QColor(196, 200, 206), 4, 88));
    p.drawRoundedRect(QRectF(10, 4, 72, 84), 6, 6);

    // Front label with the product code.
    p.setPen(Qt::NoPen);
    p.setBrush(vertical(QColor(54, 98, 156), QColor(32, 66, 112), 12, 34));
    p.drawRoundedRect(QRectF(16, 12, 60, 22), 3, 3);
    QFont f(QStringLiteral("Verdana"));
    f.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    f.setPixelSize(10);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(16, 12, 60, 22), Qt::AlignCenter, QStringLiteral("PK58104"));

    // Status lights.
    const QColor lights[] = {QColor(60, 200, 80), QColor(250, 190, 40), QColor(60, 200, 80)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(pen(QColor(60, 60, 60), 0.8));
        p.setBrush(lights[i]);
        p.drawEllipse(QPointF(24 + i * 10, 42), 2.6, 2.6);
    }

    // The two CAN ports: nine-pin connectors.
    f.setPixelSize(7);
    f.setBold(false);
    p.setFont(f);
    for (int port = 0; port < 2; ++port) {
        const qreal top = 52 + port * 18;
        p.setPen(QColor(70, 70, 70));
        p.drawText(QRectF(15, top, 27, 12), Qt::AlignVCenter | Qt::AlignLeft,
                   port == 0 ? QStringLiteral("CAN 0") : QStringLiteral("CAN 1"));
        p.setPen(pen(QColor(60, 60, 60), 1.0));
        p.setBrush(vertical(QColor(170, 176, 184), QColor(120, 126, 134), top, top + 12));
        p.drawPolygon(QPolygonF(QList<QPointF>{{44, top}, {76, top}, {73, top + 12}, {47, top + 12}}));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 40, 40));
        for (int pin = 0; pin < 5; ++pin)
            p.drawEllipse(QPointF(49 + pin * 5.5, top + 4), 1.1, 1.1);
        for (int pin = 0; pin < 4; ++pin)
            p.drawEllipse(QPointF(51.8 + pin * 5.5, top + 8.4), 1.1, 1.1);
    }
    p.restore();
}

QPixmap product(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    paintProduct(p, QRectF(0, 0, size, size));
    return pm;
}

} // namespace Pictures
