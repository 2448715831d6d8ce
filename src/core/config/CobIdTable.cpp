#include "core/config/CobIdTable.h"

#include "core/base/Catalog.h"
#include "core/base/IntText.h"

#include <algorithm>

const QString &CobIdTable::type11Bit()
{
    static const QString text = QStringLiteral("2.0A 11bits");
    return text;
}

const QString &CobIdTable::type29Bit()
{
    static const QString text = QStringLiteral("2.0B 29bits");
    return text;
}

const QString &CobIdTable::typeText(int frameType)
{
    return frameType == 0 ? type11Bit() : type29Bit();
}

CobIdTable::CobIdTable()
    : m_rows(size_t(RowCount))
{
}

void CobIdTable::setCell(int row, int column, const QString &text)
{
    if (validRow(row) && column >= 0 && column < CellCount)
        m_rows[size_t(row)][size_t(column)] = text;
}

const QString &CobIdTable::columnTitle(int column)
{
    static const QString titles[CellCount] = {QStringLiteral("Original CobID"), QStringLiteral("Type CobID"),
                                              QStringLiteral("Modify CobID"), QStringLiteral("Type CobID"),
                                              QStringLiteral("Mnemonic")};
    return titles[column >= 0 && column < CellCount ? column : 0];
}

QString CobIdTable::cellLengthError(const Row &cells)
{
    for (int c = 0; c < CellCount; ++c) {
        if (cells[size_t(c)].size() > MaxCellLength)
            return Catalog::messages()
                .text(TextId::CellTooLong)
                .arg(Catalog::messages().text(513 + c), QString::number(cells[size_t(c)].size()),
                     QString::number(MaxCellLength));
    }
    return QString();
}

bool CobIdTable::blank(const QString &text)
{
    return IntText::trimmed(text).isEmpty();
}

int CobIdTable::usedRowCount() const
{
    int n = 0;
    while (n < RowCount && !blank(m_rows[size_t(n)][OrigCobId]))
        ++n;
    return n;
}

void CobIdTable::setPortTypes(const QString &origType, const QString &modType)
{
    m_portTypes = std::make_pair(origType, modType);
    for (Row &r : m_rows) {
        r[TypeCobId] = origType;
        r[TypeMCobId] = modType;
    }
}

QString CobIdTable::portType(int column) const
{
    if (!m_portTypes)
        return QString();
    if (column == TypeCobId)
        return m_portTypes->first;
    return column == TypeMCobId ? m_portTypes->second : QString();
}

CobIdTable::Row CobIdTable::emptyRow() const
{
    Row r;
    if (m_portTypes) {
        r[TypeCobId] = m_portTypes->first;
        r[TypeMCobId] = m_portTypes->second;
    }
    return r;
}

void CobIdTable::Delete_Row(int row)
{
    if (!validRow(row))
        return;
    std::move(m_rows.begin() + row + 1, m_rows.end(), m_rows.begin() + row);
    m_rows.back() = emptyRow();
}

void CobIdTable::Insert_Row(int row)
{
    if (!validRow(row))
        return;
    std::move_backward(m_rows.begin() + row, m_rows.end() - 1, m_rows.end());
    m_rows[size_t(row)] = emptyRow();
}

QStringList CobIdTable::Copy_Row(int row) const
{
    if (!validRow(row))
        return {};
    const Row &r = m_rows[size_t(row)];
    return QStringList(r.begin(), r.end());
}

int CobIdTable::messageIndex(Paste check)
{
    switch (check) {
    case Paste::NothingCopied:
        return 802;
    case Paste::WrongSize:
        return 801;
    case Paste::AskOverwrite:
        return 800;
    case Paste::Ready:
        break;
    }
    return -1;
}

CobIdTable::Paste CobIdTable::checkPaste(int row, bool copiedFromThisTable, const QStringList &copied) const
{
    if (!copiedFromThisTable)
        return Paste::NothingCopied;
    if (copied.size() != CellCount)
        return Paste::WrongSize;
    if (!validRow(row))
        return Paste::Ready; // nothing to overwrite; Paste_Row ignores the row
    const Row &r = m_rows[size_t(row)];
    for (int c = 0; c < CellCount; ++c) {
        // Port types fill every row; they say nothing about the row being in use.
        if (m_portTypes && (c == TypeCobId || c == TypeMCobId))
            continue;
        if (!blank(r[size_t(c)]))
            return Paste::AskOverwrite;
    }
    return Paste::Ready;
}

void CobIdTable::Paste_Row(int row, const QStringList &copied)
{
    if (!validRow(row) || copied.size() != CellCount)
        return;
    Row &r = m_rows[size_t(row)];
    for (int c = 0; c < CellCount; ++c)
        r[size_t(c)] = copied.at(c);
    if (m_portTypes) {
        r[TypeCobId] = m_portTypes->first;
        r[TypeMCobId] = m_portTypes->second;
    }
}

void CobIdTable::compileAll()
{
    for (int n = 0; n < RowCount; ++n) {
        Row &r = m_rows[size_t(n)];
        const QString id = QString::number(n);
        r[OrigCobId] = id;
        r[ModCobId] = id;
        r[TypeCobId] = m_portTypes ? m_portTypes->first : type11Bit();
        r[TypeMCobId] = m_portTypes ? m_portTypes->second : type11Bit();
        r[Desc].clear();
    }
}

void CobIdTable::cancelAll()
{
    const Row empty = emptyRow();
    std::fill(m_rows.begin(), m_rows.end(), empty);
}
