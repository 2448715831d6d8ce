#include "ui/widgets/PicturePanel.h"

#include <QMouseEvent>
#include <QPainter>

PicturePanel::PicturePanel(const QString &objectName, QWidget *parent)
    : QFrame(parent)
{
    setObjectName(objectName);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(192, 192, 192)); // the border
    setPalette(pal);
    setBordered(true);
}

void PicturePanel::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void PicturePanel::setStretch(bool stretch)
{
    m_stretch = stretch;
    update();
}

void PicturePanel::setBordered(bool bordered)
{
    setFrameStyle(bordered ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
    setLineWidth(1);
}

void PicturePanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    if (m_picture.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
    const QRect box = contentsRect();
    if (m_stretch) {
        p.drawPixmap(box, m_picture);
        return;
    }
    QSize size = m_picture.deviceIndependentSize().toSize();
    if (size.width() > box.width() || size.height() > box.height())
        size.scale(box.size(), Qt::KeepAspectRatio);
    const QRect target(box.left() + (box.width() - size.width()) / 2, box.top() + (box.height() - size.height()) / 2,
                       size.width(), size.height());
    p.drawPixmap(target, m_picture);
}

void PicturePanel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    QFrame::mousePressEvent(event);
}

void PicturePanel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    QFrame::mouseReleaseEvent(event);
    if (click)
        Q_EMIT clicked();
}
