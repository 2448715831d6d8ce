#pragma once

#include <QWidget>

// A panel with a caption bar that collapses and expands it. The controls go on body(), placed
// by their owner in body coordinates (the caption bar is not part of the body). A mark at the
// right end of the bar shows whether a click will expand or collapse the panel.
class CollapsiblePanel : public QWidget
{
    Q_OBJECT
public:
    static constexpr int CaptionHeight = 24;

    explicit CollapsiblePanel(const QString &objectName, QWidget *parent = nullptr);

    QWidget *body() const { return m_body; }

    void setCaption(const QString &caption);
    QString caption() const { return m_caption; }

    // Height of the body while expanded; the panel is that plus the caption bar.
    void setBodyHeight(int height);
    int bodyHeight() const { return m_bodyHeight; }

    bool isCollapsed() const { return m_collapsed; }
    void setCollapsed(bool collapsed);

    QRect captionRect() const { return QRect(0, 0, width(), CaptionHeight); }

Q_SIGNALS:
    void collapsedChanged(bool collapsed);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void applyHeight();

    QWidget *m_body = nullptr;
    QString m_caption;
    int m_bodyHeight = 0;
    bool m_collapsed = false;
    bool m_pressedOnCaption = false;
};
