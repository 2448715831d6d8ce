#pragma once

#include "core/device/facts/DeviceFacts.h"

#include <QByteArray>
#include <QtGlobal>

#include <array>

// One direction's filter lookup table as the configuration image holds it: 2048 entries of
// 8 bytes, the used ones first and ordered, the rest zero.
class CobTable
{
public:
    struct Cob_Entry
    {
        quint32 Orig = 0;
        quint32 Mod = 0;
    };

    void clear() { m_entries.fill(Cob_Entry{}); }

    Cob_Entry &operator[](int i) { return m_entries[size_t(i)]; }
    const Cob_Entry &operator[](int i) const { return m_entries[size_t(i)]; }

    // Orders the first n entries by their Orig word (unsigned), equal words keeping their
    // order; the entries behind them stay where they are.
    void Sort_Table(qint32 n);

    // Writes `count` entries from the first one into `buffer` at `pos`. Returns the position
    // behind the last byte, or -1 (nothing written) when they do not fit.
    int Pack_Table(int pos, int count, QByteArray &buffer) const;

private:
    std::array<Cob_Entry, DeviceFacts::TableRows> m_entries{};
};
