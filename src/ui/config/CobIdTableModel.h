#pragma once

#include "core/config/CobIdTable.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <array>

// A COB-ID filter table as the grid shows it: column 0 is the row number, columns 1 to 5 are
// the table's five cells. The table itself is owned elsewhere (the window's document); every
// change goes through this adapter so the views hear about it.
class CobIdTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = CobIdTable::CellCount + 1;
    static constexpr int NumberColumn = 0;

    explicit CobIdTableModel(CobIdTable &table, QObject *parent = nullptr);

    static QColor columnColour(int column);
    // The frame type texts a type cell can be set to.
    static QStringList typeTexts();
    static bool isTypeColumn(int column) { return column == 2 || column == 4; }

    CobIdTable &table() { return *m_table; }
    const CobIdTable &table() const { return *m_table; }

    // Column titles (0 to 5) and title hints (columns 1 to 5).
    void setTitles(const QStringList &titles);
    void setHints(const QStringList &hints);

    void setColumnReadOnly(int column, bool readOnly);
    bool isColumnReadOnly(int column) const;

    // The table was replaced or filled from outside: every cell may have changed.
    void tableReset();

    // The table operations, rows counted from 0.
    void Delete_Row(int row);
    void Insert_Row(int row);
    void Paste_Row(int row, const QStringList &copied);
    void compileAll();
    void cancelAll();

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void rowsChanged(int first, int last);
    bool holds(const QModelIndex &index) const;

    CobIdTable *m_table;
    QStringList m_titles;
    QStringList m_hints;
    std::array<bool, ColumnCount> m_readOnly{};
};
