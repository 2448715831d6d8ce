#pragma once

#include <QFrame>
#include <QPixmap>

// A panel with an optional thin border that can show a picture, either stretched to its
// box or centred (shrunk to fit, never enlarged). Emits clicked() on a left click.
class PicturePanel : public QFrame
{
    Q_OBJECT
public:
    explicit PicturePanel(const QString &objectName, QWidget *parent = nullptr);

    void setPicture(const QPixmap &picture);
    const QPixmap &picture() const { return m_picture; }

    void setStretch(bool stretch);
    bool stretch() const { return m_stretch; }

    void setBordered(bool bordered);
    bool bordered() const { return frameShape() != QFrame::NoFrame; }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPixmap m_picture;
    bool m_stretch = false;
    bool m_pressed = false;
};
