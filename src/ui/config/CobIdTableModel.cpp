#include "ui/config/CobIdTableModel.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace {
const QColor kOriginal(168, 255, 168);
const QColor kModify(224, 250, 254);
const QColor kReadOnlyText(110, 110, 110);
} // namespace

CobIdTableModel::CobIdTableModel(CobIdTable &table, QObject *parent)
    : QAbstractTableModel(parent)
    , m_table(&table)
{
    m_readOnly[NumberColumn] = true;
}

QColor CobIdTableModel::columnColour(int column)
{
    switch (column) {
    case 1:
    case 2:
        return kOriginal;
    case 3:
    case 4:
        return kModify;
    case 5:
        return QColor(Qt::white);
    default:
        return QGuiApplication::palette().color(QPalette::Button);
    }
}

QStringList CobIdTableModel::typeTexts()
{
    return {CobIdTable::type11Bit(), CobIdTable::type29Bit()};
}

void CobIdTableModel::setTitles(const QStringList &titles)
{
    m_titles = titles;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void CobIdTableModel::setHints(const QStringList &hints)
{
    m_hints = hints;
    Q_EMIT headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void CobIdTableModel::setColumnReadOnly(int column, bool readOnly)
{
    if (column <= NumberColumn || column >= ColumnCount || m_readOnly[size_t(column)] == readOnly)
        return;
    m_readOnly[size_t(column)] = readOnly;
    Q_EMIT dataChanged(index(0, column), index(CobIdTable::RowCount - 1, column));
}

bool CobIdTableModel::isColumnReadOnly(int column) const
{
    return column < 0 || column >= ColumnCount || m_readOnly[size_t(column)];
}

void CobIdTableModel::rowsChanged(int first, int last)
{
    first = qBound(0, first, CobIdTable::RowCount - 1);
    last = qBound(first, last, CobIdTable::RowCount - 1);
    Q_EMIT dataChanged(index(first, 1), index(last, ColumnCount - 1));
}

void CobIdTableModel::tableReset()
{
    rowsChanged(0, CobIdTable::RowCount - 1);
}

void CobIdTableModel::Delete_Row(int row)
{
    m_table->Delete_Row(row);
    rowsChanged(row, CobIdTable::RowCount - 1);
}

void CobIdTableModel::Insert_Row(int row)
{
    m_table->Insert_Row(row);
    rowsChanged(row, CobIdTable::RowCount - 1);
}

void CobIdTableModel::Paste_Row(int row, const QStringList &copied)
{
    m_table->Paste_Row(row, copied);
    rowsChanged(row, row);
}

void CobIdTableModel::compileAll()
{
    m_table->compileAll();
    tableReset();
}

void CobIdTableModel::cancelAll()
{
    m_table->cancelAll();
    tableReset();
}

bool CobIdTableModel::holds(const QModelIndex &index) const
{
    return index.isValid() && index.model() == this && index.row() < CobIdTable::RowCount
        && index.column() < ColumnCount;
}

int CobIdTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : CobIdTable::RowCount;
}

int CobIdTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CobIdTableModel::data(const QModelIndex &index, int role) const
{
    if (!holds(index))
        return QVariant();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        if (column == NumberColumn)
            return QString::number(index.row() + 1);
        return m_table->cell(index.row(), column - 1);
    case Qt::BackgroundRole:
        return columnColour(column);
    case Qt::ForegroundRole:
        // Read-only cells keep their column colour; a softer text says they cannot be typed in.
        if (column != NumberColumn && m_readOnly[size_t(column)])
            return kReadOnlyText;
        return QVariant();
    case Qt::TextAlignmentRole:
        if (column == NumberColumn)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
        return QVariant();
    default:
        return QVariant();
    }
}

bool CobIdTableModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !holds(index) || isColumnReadOnly(index.column()))
        return false;
    const QString text = value.toString();
    if (text.size() > CobIdTable::MaxCellLength)
        return false;
    if (m_table->cell(index.row(), index.column() - 1) == text)
        return true;
    m_table->setCell(index.row(), index.column() - 1, text);
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags CobIdTableModel::flags(const QModelIndex &index) const
{
    if (!holds(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!isColumnReadOnly(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant CobIdTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical) {
        if (role == Qt::DisplayRole && section >= 0 && section < CobIdTable::RowCount)
            return section + 1;
        return QVariant();
    }
    if (section < 0 || section >= ColumnCount)
        return QVariant();
    if (role == Qt::DisplayRole)
        return section < m_titles.size() ? m_titles.at(section) : QString();
    // Only the data columns have a title hint.
    if (role == Qt::ToolTipRole && section > NumberColumn && section - 1 < m_hints.size())
        return m_hints.at(section - 1);
    return QVariant();
}
