#pragma once

#include "core/device/facts/DeviceFacts.h"

#include <QByteArray>
#include <QtGlobal>

#include <array>

struct XmlSource;

// The 2048-byte parameter block the device reads behind its two filter tables. Multi-byte
// fields are little-endian; every byte without a name is reserved and stays 0.
class ParBlock
{
public:
    static constexpr int Size = DeviceFacts::ParBlockSize;

    static constexpr int Baud_CAN1 = 0x000;
    static constexpr int Baud_CAN0 = 0x004;
    static constexpr int IP_Address = 0x028;
    static constexpr int Subnet_Mask = 0x02C;
    static constexpr int Gateway = 0x030;
    static constexpr int Net_Port = 0x034;
    static constexpr int Par_Flags = 0x170;
    static constexpr int Addr_Can0_to_Can1 = 0x174;
    static constexpr int Count_Can0_to_Can1 = 0x178;
    static constexpr int Addr_Can1_to_Can0 = 0x17C;
    static constexpr int Count_Can1_to_Can0 = 0x180;
    static constexpr int Checksum = 0x7FC;

    static constexpr quint32 FlagDipCan1 = 1;
    static constexpr quint32 FlagDipCan0 = 2;
    static constexpr quint32 FlagPositive = 4;

    static constexpr quint32 TableAddress0 = 0x60000;
    static constexpr quint32 TableAddress1 = 0x64000;
    static constexpr quint16 NetPort = 10000;

    // Frame types of the two ports as last read from ParGen.xml (0 = 11-bit, 1 = 29-bit).
    // They are not part of the block and outlive a rebuild of it.
    struct PortTypes
    {
        quint32 Type_CAN0 = 0;
        quint32 Type_CAN1 = 0;
    };

    ParBlock() { Set_Default_Par(); }

    void Set_Default_Par();

    // Reads ParGen.xml by element name, every value with its own fallback; a missing
    // document leaves the defaults and `types` untouched. Fails only when the document
    // exists but cannot be loaded.
    QString Read_Par_Gen(const XmlSource &parGen, PortTypes &types);

    // Stores the checksum, then copies the block into `buffer` at `pos`. Returns the position
    // behind it, or -1 (nothing copied) when the block does not fit there.
    int Put_Checksum(int pos, QByteArray &buffer);

    quint32 u32(int offset) const;
    void setU32(int offset, quint32 value);
    void setU16(int offset, quint16 value);
    void setU8(int offset, quint8 value) { m_bytes[size_t(offset)] = value; }
    quint8 u8(int offset) const { return m_bytes[size_t(offset)]; }

    // Sum of bytes 0x000..0x7FB.
    quint32 computeChecksum() const;
    static quint32 computeChecksum(const uchar *block);

    QByteArray bytes() const;

    // Bit rate in bit/s of a bit-rate index; anything outside 0..8 gives 1000000.
    static quint32 bitRate(qint32 index);

private:
    std::array<quint8, Size> m_bytes{};
};
