#pragma once

#include <QBasicTimer>
#include <QPersistentModelIndex>
#include <QTableView>

// The view of one filter table. Typing on the current cell always edits that cell: the view's
// keyboard search is off, and a click on the selected cell opens its editor after the
// double-click interval only if no key came first (the view's own delayed edit would hand
// those keys to the search, which moves to another row). Delete and Backspace outside an
// editor clear the selected editable cells.
class CobIdGrid : public QTableView
{
    Q_OBJECT
public:
    explicit CobIdGrid(QWidget *parent = nullptr);

    void keyboardSearch(const QString &search) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;

private:
    void clearSelectedCells();

    QBasicTimer m_clickEdit;
    QPersistentModelIndex m_clickedCell;
    bool m_pressOnSelected = false;
};
