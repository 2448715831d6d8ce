#include "core/image/ParBlock.h"

#include "core/base/IntText.h"
#include "core/base/XmlFile.h"
#include "core/image/XmlSource.h"

#include <QtEndian>

namespace {
constexpr qint32 kFallbackRateIndex = DeviceFacts::FallbackBitRateIndex;
} // namespace

void ParBlock::Set_Default_Par()
{
    m_bytes.fill(0);
    setU32(Baud_CAN1, 250000);
    setU32(Baud_CAN0, 250000);
    const quint8 ip[] = {192, 168, 2, 205};
    const quint8 mask[] = {255, 255, 255, 0};
    for (int i = 0; i < 4; ++i) {
        setU8(IP_Address + i, ip[i]);
        setU8(Subnet_Mask + i, mask[i]);
        setU8(Gateway + i, 255);
    }
    setU16(Net_Port, NetPort);
    setU32(Addr_Can0_to_Can1, TableAddress0);
    setU32(Addr_Can1_to_Can0, TableAddress1);
}

quint32 ParBlock::bitRate(qint32 index)
{
    return DeviceFacts::bitRate(index);
}

QString ParBlock::Read_Par_Gen(const XmlSource &parGen, PortTypes &types)
{
    if (!parGen.exists)
        return QString();
    if (!parGen.error.isEmpty())
        return parGen.error;

    const QDomNode root = XmlFile::firstTopLevelNode(parGen.doc);
    const auto text = [&root](const char *name, bool *found = nullptr) {
        return XmlFile::childText(root, QString::fromLatin1(name), found);
    };
    const auto isOne = [&text](const char *name) { return text(name) == QLatin1String("1"); };
    const auto number = [&text](const char *name, qint32 fallback) { return IntText::readOr(text(name), fallback); };

    quint32 flags = u32(Par_Flags);
    if (isOne("Baud_Dip_C1"))
        flags |= FlagDipCan1;
    setU32(Baud_CAN1, bitRate(number("Boud1", kFallbackRateIndex)));
    types.Type_CAN0 = quint32(number("Type", 0));
    if (isOne("Baud_Dip_C0"))
        flags |= FlagDipCan0;
    setU32(Baud_CAN0, bitRate(number("Boud0", kFallbackRateIndex)));
    types.Type_CAN1 = quint32(number("TypeC1", 0));
    if (isOne("Positive"))
        flags |= FlagPositive;
    setU32(Par_Flags, flags);

    static const char *const ipNames[] = {"Ethernet_IP1", "Ethernet_IP2", "Ethernet_IP3", "Ethernet_IP4"};
    static const char *const maskNames[] = {"Ethernet_SM1", "Ethernet_SM2", "Ethernet_SM3", "Ethernet_SM4"};
    static const char *const gatewayNames[] = {"Ethernet_GAT1", "Ethernet_GAT2", "Ethernet_GAT3", "Ethernet_GAT4"};
    // These fallbacks are the document's own defaults, not the block's.
    const qint32 ipFallback[] = {192, 168, 0, 10};
    const qint32 maskFallback[] = {255, 255, 255, 0};
    const qint32 gatewayFallback[] = {192, 168, 0, 1};
    for (int i = 0; i < 4; ++i)
        setU8(IP_Address + i, quint8(number(ipNames[i], ipFallback[i])));
    for (int i = 0; i < 4; ++i)
        setU8(Subnet_Mask + i, quint8(number(maskNames[i], maskFallback[i])));
    for (int i = 0; i < 4; ++i)
        setU8(Gateway + i, quint8(number(gatewayNames[i], gatewayFallback[i])));
    if (!isOne("Ethernet_EN_GAT")) {
        for (int i = 0; i < 4; ++i)
            setU8(Gateway + i, 255);
    }
    return QString();
}

quint32 ParBlock::computeChecksum(const uchar *block)
{
    quint32 sum = 0;
    for (int i = 0; i < Checksum; ++i)
        sum += block[i];
    return sum;
}

quint32 ParBlock::computeChecksum() const
{
    return computeChecksum(m_bytes.data());
}

int ParBlock::Put_Checksum(int pos, QByteArray &buffer)
{
    if (pos < 0 || qsizetype(pos) + Size > buffer.size())
        return -1;
    setU32(Checksum, computeChecksum());
    std::copy(m_bytes.begin(), m_bytes.end(), reinterpret_cast<quint8 *>(buffer.data()) + pos);
    return pos + Size;
}

quint32 ParBlock::u32(int offset) const
{
    return qFromLittleEndian<quint32>(m_bytes.data() + offset);
}

void ParBlock::setU32(int offset, quint32 value)
{
    qToLittleEndian(value, m_bytes.data() + offset);
}

void ParBlock::setU16(int offset, quint16 value)
{
    qToLittleEndian(value, m_bytes.data() + offset);
}

QByteArray ParBlock::bytes() const
{
    return QByteArray(reinterpret_cast<const char *>(m_bytes.data()), Size);
}
