#include "ui/config/IdSpaceView.h"

#include "core/config/CobIdChecks.h"
#include "gui/IdSpacePainter.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {
const FilterImage::Fate kFates[] = {FilterImage::Fate::Pass, FilterImage::Fate::Block, FilterImage::Fate::Remap};
} // namespace

IdSpaceView::IdSpaceView(QWidget *parent)
    : QWidget(parent)
{
    m_space.fill(FilterImage::Fate::Pass);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
}

void IdSpaceView::setSpace(const FilterImage::IdSpace &space)
{
    m_space = space;
    m_message.clear();
    update();
}

void IdSpaceView::setMessage(const QString &message)
{
    m_message = message;
    update();
}

void IdSpaceView::setLabels(const QStringList &fates, const QString &trafficTip)
{
    m_fateLabels = fates;
    m_trafficTip = trafficTip;
    update();
}

QString IdSpaceView::label(FilterImage::Fate fate) const
{
    const int i = int(fate);
    return i < m_fateLabels.size() ? m_fateLabels[i] : IdSpacePainter::label(fate);
}

int IdSpaceView::legendHeight() const
{
    return fontMetrics().height() + 8;
}

QRectF IdSpaceView::cellArea() const
{
    // Square cells, as large as fit above the legend.
    const QRectF room = QRectF(rect()).adjusted(1, 1, -1, -1 - legendHeight());
    const qreal cell =
        qMax<qreal>(1, qMin(room.width() / IdSpacePainter::Columns, room.height() / IdSpacePainter::Rows));
    return QRectF(room.left(), room.top(), cell * IdSpacePainter::Columns, cell * IdSpacePainter::Rows);
}

void IdSpaceView::setMarked(int id)
{
    m_marked = id >= 0 && id < int(m_space.size()) ? id : -1;
    update();
}

QString IdSpaceView::legendText() const
{
    QStringList parts;
    for (const FilterImage::Fate f : kFates)
        parts.append(QStringLiteral("%1 %2").arg(label(f)).arg(std::count(m_space.begin(), m_space.end(), f)));
    return parts.join(QStringLiteral("  "));
}

QSize IdSpaceView::sizeHint() const
{
    return QSize(4 * IdSpacePainter::Columns + 2, 4 * IdSpacePainter::Rows + 2 + legendHeight());
}

QSize IdSpaceView::minimumSizeHint() const
{
    return QSize(2 * IdSpacePainter::Columns + 2, 2 * IdSpacePainter::Rows + 2 + legendHeight());
}

void IdSpaceView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!m_message.isEmpty()) {
        p.drawText(rect().adjusted(4, 4, -4, -4), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_message);
        return;
    }
    const QRectF cells = cellArea();
    IdSpacePainter::paintCells(p, cells, m_space);
    if (m_traffic.size() == m_space.size()) {
        const qreal w = cells.width() / IdSpacePainter::Columns;
        const qreal h = cells.height() / IdSpacePainter::Rows;
        for (int id = 0; id < int(m_traffic.size()); ++id) {
            const int row = id / IdSpacePainter::Columns;
            if (m_traffic[size_t(id)] == 0)
                p.fillRect(QRectF(cells.left() + (id % IdSpacePainter::Columns) * w, cells.top() + row * h, w, h),
                           QColor(255, 255, 255, 190));
        }
    }
    p.setPen(Qt::gray);
    p.drawRect(cells.adjusted(-0.5, -0.5, 0.5, 0.5));
    if (m_marked >= 0) {
        const qreal w = cells.width() / IdSpacePainter::Columns;
        const qreal h = cells.height() / IdSpacePainter::Rows;
        const int row = m_marked / IdSpacePainter::Columns;
        const QRectF cell(cells.left() + (m_marked % IdSpacePainter::Columns) * w, cells.top() + row * h, w, h);
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(cell.adjusted(-1.5, -1.5, 1.5, 1.5));
    }

    // Legend: a swatch and the count of each fate.
    const int swatch = fontMetrics().height() - 4;
    qreal x = cells.left();
    const qreal y = cells.bottom() + 5;
    for (const FilterImage::Fate f : kFates) {
        p.fillRect(QRectF(x, y + 2, swatch, swatch), IdSpacePainter::colour(f));
        p.setPen(palette().color(QPalette::WindowText));
        const QString text = QStringLiteral("%1 %2").arg(label(f)).arg(std::count(m_space.begin(), m_space.end(), f));
        p.drawText(QPointF(x + swatch + 4, y + fontMetrics().ascent()), text);
        x += swatch + 4 + fontMetrics().horizontalAdvance(text) + 12;
    }
}

bool IdSpaceView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const int id = m_message.isEmpty() ? IdSpacePainter::idAt(cellArea(), help->pos()) : -1;
        if (id < 0) {
            QToolTip::hideText();
            event->ignore();
        } else {
            const QString idText = CobIdChecks::idText(quint32(id), false);
            const QString fate = label(m_space[size_t(id)]);
            const QString tip = m_traffic.size() == m_space.size() && !m_trafficTip.isEmpty()
                ? m_trafficTip.arg(idText, fate, QString::number(m_traffic[size_t(id)]))
                : QStringLiteral("%1: %2").arg(idText, fate);
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }
    return QWidget::event(event);
}

void IdSpaceView::setTraffic(const std::vector<quint64> &framesPerId)
{
    m_traffic = framesPerId;
    update();
}

void IdSpaceView::mouseReleaseEvent(QMouseEvent *event)
{
    const int id = m_message.isEmpty() && event->button() == Qt::LeftButton
        ? IdSpacePainter::idAt(cellArea(), event->position())
        : -1;
    if (id >= 0)
        Q_EMIT idClicked(id);
    QWidget::mouseReleaseEvent(event);
}
