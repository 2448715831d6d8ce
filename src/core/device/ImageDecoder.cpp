#include "core/device/ImageDecoder.h"

#include "core/device/facts/DeviceFacts.h"
#include "core/image/ParBlock.h"

#include <QtEndian>

#include <algorithm>

namespace {

constexpr int CountOffsets[2] = {ParBlock::Count_Can0_to_Can1, ParBlock::Count_Can1_to_Can0};

} // namespace

quint32 ImageDecoder::u32(int blockOffset) const
{
    return qFromLittleEndian<quint32>(m_bytes.constData() + DeviceFacts::ParBlockOffset + blockOffset);
}

quint16 ImageDecoder::u16(int blockOffset) const
{
    return qFromLittleEndian<quint16>(m_bytes.constData() + DeviceFacts::ParBlockOffset + blockOffset);
}

quint8 ImageDecoder::u8(int blockOffset) const
{
    return quint8(m_bytes.at(DeviceFacts::ParBlockOffset + blockOffset));
}

quint32 ImageDecoder::flags() const
{
    return u32(ParBlock::Par_Flags);
}

bool ImageDecoder::positive() const
{
    return (flags() & ParBlock::FlagPositive) != 0;
}

quint32 ImageDecoder::bitRate(int port) const
{
    return u32(port == 1 ? ParBlock::Baud_CAN1 : ParBlock::Baud_CAN0);
}

bool ImageDecoder::bitRateFromDip(int port) const
{
    return (flags() & (port == 1 ? ParBlock::FlagDipCan1 : ParBlock::FlagDipCan0)) != 0;
}

quint32 ImageDecoder::count(Direction direction) const
{
    return u32(CountOffsets[direction.index()]);
}

std::vector<ImageDecoder::Entry> ImageDecoder::rows(Direction direction) const
{
    const int n = int(std::min<quint32>(count(direction), DeviceFacts::TableRows));
    std::vector<Entry> out(static_cast<size_t>(n));
    const char *table = m_bytes.constData() + direction.index() * DeviceFacts::TableBytes;
    for (int i = 0; i < n; ++i) {
        const char *at = table + i * DeviceFacts::TableEntrySize;
        out[size_t(i)] = Entry{qFromLittleEndian<quint32>(at), qFromLittleEndian<quint32>(at + 4)};
    }
    return out;
}

quint32 ImageDecoder::storedChecksum() const
{
    return u32(ParBlock::Checksum);
}

quint32 ImageDecoder::computedChecksum() const
{
    return ParBlock::computeChecksum(reinterpret_cast<const uchar *>(m_bytes.constData())
                                     + DeviceFacts::ParBlockOffset);
}
