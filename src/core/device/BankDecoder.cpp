#include "core/device/BankDecoder.h"

#include "core/image/BankBuilder.h"

#include <QtEndian>

namespace {

constexpr int MapEnd = BankBuilder::MapIds * BankBuilder::MapEntrySize;

} // namespace

bool BankDecoder::allUnused() const
{
    return m_bank.count(char(0xFF)) == m_bank.size();
}

QByteArray BankDecoder::settingsBytes() const
{
    return m_bank.mid(BankBuilder::SettingsOffset, BankBuilder::SettingsSize);
}

bool BankDecoder::hasSettings() const
{
    const QByteArray bytes = settingsBytes();
    return bytes.count(char(0xFF)) != bytes.size();
}

BankDecoder::Settings BankDecoder::settings() const
{
    const auto at = [this](int i) { return quint8(m_bank.at(BankBuilder::SettingsOffset + i)); };
    Settings s;
    s.rate[0] = at(0);
    s.rate[1] = at(1);
    s.type[0] = at(2);
    s.positive = at(3);
    s.dip = at(4);
    s.type[1] = at(5);
    return s;
}

quint16 BankDecoder::listCount(Direction direction) const
{
    return qFromLittleEndian<quint16>(
        m_bank.constData()
        + (direction == Direction::Can1ToCan0 ? BankBuilder::ListCountOffset1 : BankBuilder::ListCountOffset0));
}

BankDecoder::ListEntry BankDecoder::listEntry(int i) const
{
    const char *at = m_bank.constData() + i * BankBuilder::ListEntrySize;
    return ListEntry{qFromLittleEndian<quint32>(at), qFromLittleEndian<quint32>(at + 4)};
}

bool BankDecoder::listEntryUnused(int i) const
{
    return m_bank.mid(i * BankBuilder::ListEntrySize, BankBuilder::ListEntrySize).count(char(0xFF))
        == BankBuilder::ListEntrySize;
}

quint32 BankDecoder::mapWord(int id) const
{
    return qFromLittleEndian<quint32>(m_bank.constData() + id * BankBuilder::MapEntrySize);
}

quint16 BankDecoder::mapOrig(int id) const
{
    return qFromLittleEndian<quint16>(m_bank.constData() + id * BankBuilder::MapEntrySize);
}

quint16 BankDecoder::mapMod(int id) const
{
    return qFromLittleEndian<quint16>(m_bank.constData() + id * BankBuilder::MapEntrySize + 2);
}

quint8 BankDecoder::passMapByte(int i) const
{
    return quint8(m_bank.at(BankBuilder::PassMapOffset + i));
}

bool BankDecoder::mapPasses(int id) const
{
    return ((passMapByte(id / 8) >> (id % 8)) & 1) != 0;
}

bool BankDecoder::looksLikeMap() const
{
    if (m_bank.mid(MapEnd, BankBuilder::PassMapOffset - MapEnd).count(char(0xFF))
        != BankBuilder::PassMapOffset - MapEnd)
        return false;
    for (int id = 0; id < BankBuilder::MapIds; ++id) {
        if (mapWord(id) != NoMapEntry && mapOrig(id) != id)
            return false;
    }
    return true;
}
