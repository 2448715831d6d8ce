#include "ui/config/CobIdGrid.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

CobIdGrid::CobIdGrid(QWidget *parent)
    : QTableView(parent)
{
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
}

void CobIdGrid::keyboardSearch(const QString &)
{
}

void CobIdGrid::keyPressEvent(QKeyEvent *event)
{
    m_clickEdit.stop();
    const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (state() != EditingState && plain && (event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)) {
        clearSelectedCells();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CobIdGrid::clearSelectedCells()
{
    QModelIndexList cells = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
    if (cells.isEmpty() && currentIndex().isValid())
        cells.append(currentIndex());
    for (const QModelIndex &cell : std::as_const(cells)) {
        if (cell.flags() & Qt::ItemIsEditable)
            model()->setData(cell, QString(), Qt::EditRole);
    }
}

void CobIdGrid::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex cell = indexAt(event->position().toPoint());
    m_pressOnSelected = event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier && cell.isValid()
        && cell == currentIndex() && selectionModel()->isSelected(cell) && state() != EditingState;
    m_clickEdit.stop();
    QTableView::mousePressEvent(event);
}

void CobIdGrid::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    const QModelIndex cell = indexAt(event->position().toPoint());
    if (m_pressOnSelected && cell == currentIndex() && (cell.flags() & Qt::ItemIsEditable)) {
        m_clickedCell = cell;
        m_clickEdit.start(QApplication::doubleClickInterval(), this);
    }
    m_pressOnSelected = false;
}

void CobIdGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_clickEdit.stop();
    QTableView::mouseDoubleClickEvent(event);
}

void CobIdGrid::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_clickEdit.timerId()) {
        QTableView::timerEvent(event);
        return;
    }
    m_clickEdit.stop();
    if (m_clickedCell.isValid() && m_clickedCell == currentIndex() && state() != EditingState) {
        edit(m_clickedCell);
        // Typing after the click replaces the text, as typing on the selected cell does.
        if (auto *line = qobject_cast<QLineEdit *>(QApplication::focusWidget()); line && isAncestorOf(line))
            line->selectAll();
    }
}
