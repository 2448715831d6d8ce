#include "gui/IdSpacePainter.h"

#include "core/config/CobIdChecks.h"

#include <QFontMetrics>
#include <QPainter>

namespace IdSpacePainter {

namespace {
constexpr int Cell = 12;
constexpr int Margin = 12;
constexpr int LabelWidth = 48;
constexpr int TitleHeight = 26;
constexpr int ColumnLabelHeight = 16;
constexpr int LegendHeight = 30;
} // namespace

QColor colour(FilterImage::Fate fate)
{
    // Different lightness as well as hue, so the three stay apart for colour-blind eyes and in grey.
    switch (fate) {
    case FilterImage::Fate::Pass:
        return QColor(168, 230, 168);
    case FilterImage::Fate::Block:
        return QColor(150, 30, 30);
    case FilterImage::Fate::Remap:
        return QColor(40, 100, 210);
    }
    return Qt::black;
}

QString label(FilterImage::Fate fate)
{
    switch (fate) {
    case FilterImage::Fate::Pass:
        return QStringLiteral("Pass");
    case FilterImage::Fate::Block:
        return QStringLiteral("Block");
    case FilterImage::Fate::Remap:
        return QStringLiteral("Remapped");
    }
    return QString();
}

void paintCells(QPainter &painter, const QRectF &area, const FilterImage::IdSpace &space)
{
    const qreal w = area.width() / Columns;
    const qreal h = area.height() / Rows;
    painter.save();
    painter.setPen(Qt::NoPen);
    for (int id = 0; id < int(space.size()); ++id) {
        const int row = id / Columns;
        const QRectF cell(area.left() + (id % Columns) * w, area.top() + row * h, w, h);
        painter.fillRect(cell, colour(space[size_t(id)]));
    }
    // Thin white lines between cells once they are large enough to tell apart.
    if (w >= 4 && h >= 4) {
        painter.setPen(QPen(Qt::white, 1));
        for (int c = 1; c < Columns; ++c)
            painter.drawLine(QPointF(area.left() + c * w, area.top()), QPointF(area.left() + c * w, area.bottom()));
        for (int r = 1; r < Rows; ++r)
            painter.drawLine(QPointF(area.left(), area.top() + r * h), QPointF(area.right(), area.top() + r * h));
    }
    painter.restore();
}

int idAt(const QRectF &area, const QPointF &point)
{
    if (!area.contains(point) || area.width() <= 0 || area.height() <= 0)
        return -1;
    const int column = qBound(0, int((point.x() - area.left()) * Columns / area.width()), Columns - 1);
    const int row = qBound(0, int((point.y() - area.top()) * Rows / area.height()), Rows - 1);
    return row * Columns + column;
}

QRect renderedCellArea()
{
    return QRect(Margin + LabelWidth, Margin + TitleHeight + ColumnLabelHeight, Columns * Cell, Rows * Cell);
}

QImage render(const FilterImage::IdSpace &space, const QString &title)
{
    const QRect cells = renderedCellArea();
    QImage image(cells.right() + 1 + Margin, cells.bottom() + 1 + LegendHeight + Margin, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::TextAntialiasing);

    QFont titleFont = p.font();
    titleFont.setPixelSize(15);
    titleFont.setBold(true);
    QFont small = p.font();
    small.setPixelSize(10);

    p.setPen(Qt::black);
    p.setFont(titleFont);
    p.drawText(QRect(Margin, Margin, image.width() - 2 * Margin, TitleHeight), Qt::AlignLeft | Qt::AlignVCenter, title);

    p.setFont(small);
    for (int c = 0; c < Columns; c += 8)
        p.drawText(QRect(cells.left() + c * Cell, cells.top() - ColumnLabelHeight, 8 * Cell, ColumnLabelHeight),
                   Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("+0x") + QString::number(c, 16).toUpper().rightJustified(2, u'0'));
    for (int r = 0; r < Rows; r += 4)
        p.drawText(QRect(Margin, cells.top() + r * Cell, LabelWidth - 6, Cell), Qt::AlignRight | Qt::AlignVCenter,
                   CobIdChecks::idText(quint32(r * Columns), false));

    paintCells(p, cells, space);
    p.setPen(Qt::gray);
    p.setBrush(Qt::NoBrush);
    p.drawRect(cells.adjusted(0, 0, -1, -1));

    int counts[3] = {0, 0, 0};
    for (const FilterImage::Fate f : space)
        ++counts[int(f)];
    QFont legend = p.font();
    legend.setPixelSize(12);
    p.setFont(legend);
    const QFontMetrics metrics(legend);
    int x = cells.left();
    const int y = cells.bottom() + 1 + (LegendHeight - Cell) / 2 + 2;
    for (const FilterImage::Fate f : {FilterImage::Fate::Pass, FilterImage::Fate::Block, FilterImage::Fate::Remap}) {
        p.fillRect(QRect(x, y, Cell, Cell), colour(f));
        p.setPen(Qt::gray);
        p.drawRect(QRect(x, y, Cell - 1, Cell - 1));
        p.setPen(Qt::black);
        const QString text = QStringLiteral("%1 (%2)").arg(label(f)).arg(counts[int(f)]);
        p.drawText(QRect(x + Cell + 6, y - 4, metrics.horizontalAdvance(text) + 4, Cell + 8),
                   Qt::AlignLeft | Qt::AlignVCenter, text);
        x += Cell + 6 + metrics.horizontalAdvance(text) + 24;
    }
    p.end();
    return image;
}

} // namespace IdSpacePainter
