#pragma once

#include "core/device/FilterImage.h"

#include <QWidget>

#include <vector>

// The picture of one direction's 11-bit identifier space in a window: the cells of
// IdSpacePainter scaled to the widget, a legend with counts below them, the identifier and
// its fate as tooltip, and a click on a cell reported as that identifier.
class IdSpaceView : public QWidget
{
    Q_OBJECT
public:
    explicit IdSpaceView(QWidget *parent = nullptr);

    void setSpace(const FilterImage::IdSpace &space);
    // Shown instead of the cells, e.g. when the tables cannot be built; empty to show them.
    void setMessage(const QString &message);
    // Frames per identifier from a replayed trace: identifiers without traffic are drawn faded.
    // Empty to draw every cell in full colour.
    void setTraffic(const std::vector<quint64> &framesPerId);
    const std::vector<quint64> &traffic() const { return m_traffic; }
    // The identifier whose cell is outlined, or -1 for none.
    void setMarked(int id);
    int marked() const { return m_marked; }

    const FilterImage::IdSpace &space() const { return m_space; }
    QString message() const { return m_message; }
    // Where the cells are drawn at the current size.
    QRectF cellArea() const;
    // The legend line, e.g. "Pass 2040  Block 5  Remapped 3".
    QString legendText() const;
    // The window's words for the three fates (pass, block, remapped) and the tooltip of a
    // replayed identifier ("%1: %2, %3 frames in the trace").
    void setLabels(const QStringList &fates, const QString &trafficTip);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void idClicked(int id);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int legendHeight() const;
    QString label(FilterImage::Fate fate) const;

    FilterImage::IdSpace m_space{};
    QString m_message;
    int m_marked = -1;
    std::vector<quint64> m_traffic;
    QStringList m_fateLabels;
    QString m_trafficTip;
};
