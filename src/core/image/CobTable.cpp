#include "core/image/CobTable.h"

#include <QtEndian>

#include <algorithm>

void CobTable::Sort_Table(qint32 n)
{
    if (n <= 1)
        return;
    n = std::min<qint32>(n, DeviceFacts::TableRows);
    // A stable sort gives exactly the order of repeated neighbour exchanges on a strictly
    // greater key, without their quadratic cost on a reversed table.
    std::stable_sort(m_entries.begin(), m_entries.begin() + n,
                     [](const Cob_Entry &a, const Cob_Entry &b) { return a.Orig < b.Orig; });
}

int CobTable::Pack_Table(int pos, int count, QByteArray &buffer) const
{
    if (pos < 0 || count < 0 || count > DeviceFacts::TableRows
        || qsizetype(pos) + qsizetype(count) * DeviceFacts::TableEntrySize > buffer.size())
        return -1;
    auto *out = reinterpret_cast<uchar *>(buffer.data()) + pos;
    for (int i = 0; i < count; ++i) {
        qToLittleEndian(m_entries[size_t(i)].Orig, out);
        qToLittleEndian(m_entries[size_t(i)].Mod, out + 4);
        out += DeviceFacts::TableEntrySize;
    }
    return pos + count * DeviceFacts::TableEntrySize;
}
