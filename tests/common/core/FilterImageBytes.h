#pragma once

#include <QByteArray>
#include <QtEndian>

#include <utility>
#include <vector>

// Configuration images made by hand from the layout, so the image reader is tested on bytes
// that no builder of ours produced: two tables of 2048 entries (Orig, Mod), then the 2048-byte
// parameter block with Par_Flags, the table addresses and counts, and its checksum.
namespace FilterImageBytes {

using Table = std::vector<std::pair<quint32, quint32>>;

inline constexpr int Size = 34816;
inline constexpr int Block = 0x8000;
inline constexpr int ParFlags = Block + 0x170;
inline constexpr int Count0 = Block + 0x178;
inline constexpr int Count1 = Block + 0x180;
inline constexpr int Checksum = Block + 0x7FC;

inline void putU32(QByteArray &bytes, int offset, quint32 value)
{
    qToLittleEndian<quint32>(value, bytes.data() + offset);
}

inline void sealChecksum(QByteArray &bytes)
{
    quint32 sum = 0;
    for (int i = Block; i < Checksum; ++i)
        sum += quint8(bytes.at(i));
    putU32(bytes, Checksum, sum);
}

inline QByteArray make(const Table &can0ToCan1, const Table &can1ToCan0, bool positive)
{
    QByteArray bytes(Size, '\0');
    const Table *tables[2] = {&can0ToCan1, &can1ToCan0};
    for (int t = 0; t < 2; ++t) {
        int k = 0;
        for (const auto &[orig, mod] : *tables[t]) {
            putU32(bytes, t * 0x4000 + 8 * k, orig);
            putU32(bytes, t * 0x4000 + 8 * k + 4, mod);
            ++k;
        }
    }
    // A few block fields as a build writes them, so the checksum covers more than zeros.
    putU32(bytes, Block + 0x000, 250000);
    putU32(bytes, Block + 0x004, 250000);
    putU32(bytes, ParFlags, positive ? 4u | 2u : 1u);
    putU32(bytes, Block + 0x174, 0x60000);
    putU32(bytes, Count0, quint32(can0ToCan1.size()));
    putU32(bytes, Block + 0x17C, 0x64000);
    putU32(bytes, Count1, quint32(can1ToCan0.size()));
    sealChecksum(bytes);
    return bytes;
}

} // namespace FilterImageBytes
