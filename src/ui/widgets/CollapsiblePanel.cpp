#include "ui/widgets/CollapsiblePanel.h"

#include "ui/widgets/WindowStyle.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace {
const QColor kBarTop(238, 236, 222);
const QColor kBarBottom(218, 215, 196);
const QColor kBorder(190, 186, 164);
const QColor kMark(96, 96, 96);
} // namespace

CollapsiblePanel::CollapsiblePanel(const QString &objectName, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(objectName);
    // The caption bar takes the keyboard focus so a panel can be folded without the mouse.
    setFocusPolicy(Qt::TabFocus);
    m_body = new QWidget(this);
    m_body->setObjectName(objectName + QStringLiteral("_Body"));
    m_body->move(0, CaptionHeight);
    applyHeight();
}

void CollapsiblePanel::setCaption(const QString &caption)
{
    m_caption = caption;
    update(captionRect());
}

void CollapsiblePanel::setBodyHeight(int height)
{
    m_bodyHeight = qMax(0, height);
    applyHeight();
}

void CollapsiblePanel::setCollapsed(bool collapsed)
{
    if (m_collapsed == collapsed)
        return;
    m_collapsed = collapsed;
    applyHeight();
    update();
    Q_EMIT collapsedChanged(collapsed);
}

void CollapsiblePanel::applyHeight()
{
    m_body->setVisible(!m_collapsed);
    m_body->resize(width(), m_bodyHeight);
    setFixedHeight(CaptionHeight + (m_collapsed ? 0 : m_bodyHeight));
}

void CollapsiblePanel::resizeEvent(QResizeEvent *event)
{
    m_body->resize(width(), m_bodyHeight);
    QWidget::resizeEvent(event);
}

void CollapsiblePanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect bar = captionRect();
    QLinearGradient gradient(bar.topLeft(), bar.bottomLeft());
    gradient.setColorAt(0, kBarTop);
    gradient.setColorAt(1, kBarBottom);
    p.fillRect(bar, gradient);
    p.setPen(kBorder);
    p.drawLine(bar.bottomLeft(), bar.bottomRight());
    p.drawLine(rect().topLeft(), rect().topRight());
    if (!m_collapsed)
        p.drawLine(rect().bottomLeft(), rect().bottomRight());

    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(WindowStyle::darkGrey());
    p.drawText(bar.adjusted(8, 0, -28, 0), Qt::AlignVCenter | Qt::AlignLeft, m_caption);

    // Chevron: pointing up while expanded (a click folds the panel), down while collapsed.
    const QPointF c(bar.right() - 13.5, bar.center().y() + 0.5);
    const qreal dx = 4, dy = m_collapsed ? 2.5 : -2.5;
    QPainterPath chevron;
    chevron.moveTo(c.x() - dx, c.y() - dy);
    chevron.lineTo(c.x(), c.y() + dy);
    chevron.lineTo(c.x() + dx, c.y() - dy);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kMark, 1.6));
    p.drawPath(chevron);
    p.setRenderHint(QPainter::Antialiasing, false);

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = bar.adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void CollapsiblePanel::mousePressEvent(QMouseEvent *event)
{
    m_pressedOnCaption = event->button() == Qt::LeftButton && captionRect().contains(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void CollapsiblePanel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        m_pressedOnCaption && event->button() == Qt::LeftButton && captionRect().contains(event->position().toPoint());
    m_pressedOnCaption = false;
    if (click)
        setCollapsed(!m_collapsed);
    QWidget::mouseReleaseEvent(event);
}

void CollapsiblePanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        setCollapsed(!m_collapsed);
        return;
    }
    QWidget::keyPressEvent(event);
}
