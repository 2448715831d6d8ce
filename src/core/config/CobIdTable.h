#pragma once

#include "core/device/facts/DeviceFacts.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// One COB-ID filter table: exactly 2048 rows of five text cells. The used rows run from the
// first row up to, not including, the first row whose Original CobID is blank.
// Rows are addressed from 0 here; the window and the messages number them from 1.
class CobIdTable
{
public:
    static constexpr int RowCount = DeviceFacts::TableRows;
    static constexpr int CellCount = 5;
    // The longest text one cell holds. Far beyond any identifier or description, and short
    // enough that the grid draws and sizes a column of such cells at once.
    static constexpr int MaxCellLength = 1024;
    enum Column { OrigCobId = 0, TypeCobId = 1, ModCobId = 2, TypeMCobId = 3, Desc = 4 };
    using Row = std::array<QString, CellCount>;
    // Empty when every cell of `cells` fits, else "the <column> holds N characters; a cell
    // holds at most 1024".
    static QString cellLengthError(const Row &cells);
    static const QString &columnTitle(int column); // "Original CobID", ... "Mnemonic"

    static const QString &type11Bit(); // "2.0A 11bits"
    static const QString &type29Bit(); // "2.0B 29bits"
    // The row type for a port's frame type: 0 is 11-bit, anything else 29-bit.
    static const QString &typeText(int frameType);

    CobIdTable();

    const QString &cell(int row, int column) const { return m_rows[size_t(row)][size_t(column)]; }
    void setCell(int row, int column, const QString &text);
    const Row &row(int row) const { return m_rows[size_t(row)]; }

    static bool blank(const QString &text);
    // Number of used rows: the index of the first row with a blank Original CobID.
    int usedRowCount() const;

    // Device type 0: both type columns follow the ports. Sets them in every row and keeps them
    // there through every operation below, so a row the user cannot edit never loses its type.
    void setPortTypes(const QString &origType, const QString &modType);
    bool typesFollowPorts() const { return m_portTypes.has_value(); }
    // The types set by setPortTypes (Original, Modify); empty texts while they do not follow ports.
    QString portType(int column) const;

    // Moves the rows below `row` one up; the last row becomes empty.
    void Delete_Row(int row);
    // Moves `row` and the rows below it one down (the last row is lost); `row` becomes empty.
    void Insert_Row(int row);
    // The five cell texts of `row`, in column order.
    QStringList Copy_Row(int row) const;

    enum class Paste {
        NothingCopied, // 802: no row was copied from this table during this opening
        WrongSize,     // 801: the copied texts do not fit the row
        AskOverwrite,  // 800: the row holds something; ask before pasting
        Ready,         // paste at once
    };
    static int messageIndex(Paste check); // 802, 801, 800, or -1 for Ready
    Paste checkPaste(int row, bool copiedFromThisTable, const QStringList &copied) const;
    // Writes the copied texts into the row, type columns included (they are the port types
    // anyway when they follow the ports). Does nothing when `copied` does not fit.
    void Paste_Row(int row, const QStringList &copied);

    // Row n passes identifier n - 1 unchanged as 11-bit.
    void compileAll();
    // Every cell empty: the table has no used row.
    void cancelAll();

    bool operator==(const CobIdTable &other) const { return m_rows == other.m_rows; }
    bool operator!=(const CobIdTable &other) const { return !(*this == other); }

private:
    Row emptyRow() const;
    bool validRow(int row) const { return row >= 0 && row < RowCount; }

    std::vector<Row> m_rows;
    std::optional<std::pair<QString, QString>> m_portTypes;
};
