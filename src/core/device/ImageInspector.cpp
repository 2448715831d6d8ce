#include "core/device/ImageInspector.h"

#include "core/image/BankBuilder.h"
#include "core/image/CobTable.h"
#include "core/image/ImageBuilder.h"
#include "core/image/ParBlock.h"

#include <QStringList>
#include <QtEndian>

namespace ImageInspector {

namespace {
const char *const kRates[] = {"10K", "20K", "50K", "100K", "125K", "250K", "500K", "800K", "1000K"};

quint32 u32(const QByteArray &b, int offset)
{
    return qFromLittleEndian<quint32>(b.constData() + offset);
}

quint16 u16(const QByteArray &b, int offset)
{
    return qFromLittleEndian<quint16>(b.constData() + offset);
}

quint8 u8(const QByteArray &b, int offset)
{
    return quint8(b.at(offset));
}

QString hex(quint32 value, int digits)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

QString dotted(const QByteArray &b, int offset)
{
    return QStringLiteral("%1.%2.%3.%4").arg(u8(b, offset)).arg(u8(b, offset + 1)).arg(u8(b, offset + 2)).arg(u8(b, offset + 3));
}

QString field(const char *name, const QString &value)
{
    return QStringLiteral("  %1 %2\n").arg(QLatin1String(name), -19).arg(value);
}

// An identifier word of the image: bit 31 marks a 29-bit identifier.
QString markedId(quint32 word)
{
    if (word & CobTable::Ext_Mark)
        return hex(word & ~CobTable::Ext_Mark, 8) + QStringLiteral(" (29-bit)");
    return hex(word, 3) + QStringLiteral(" (11-bit)");
}

// "0x001-0x005, 0x010" for the set bits of a 2048-bit map taken as `wanted`.
QString ranges(const QByteArray &bank, bool wanted)
{
    QStringList parts;
    int start = -1;
    for (int id = 0; id <= BankBuilder::MapIds; ++id) {
        const bool in = id < BankBuilder::MapIds
            && (((u8(bank, BankBuilder::PassMapOffset + id / 8) >> (id % 8)) & 1) != 0) == wanted;
        if (in && start < 0)
            start = id;
        if (!in && start >= 0) {
            parts.append(start == id - 1 ? hex(quint32(start), 3)
                                         : QStringLiteral("%1-%2").arg(hex(quint32(start), 3), hex(quint32(id - 1), 3)));
            start = -1;
        }
    }
    return parts.join(QStringLiteral(", "));
}

Result inspectImage(const QByteArray &b, const QString &shownName)
{
    Result r;
    QString &t = r.text;
    QStringList problems;
    const int block = 2 * CobTable::Bytes;
    t += QStringLiteral("%1: configuration image, %2 bytes\n").arg(shownName).arg(b.size());
    t += QStringLiteral("Parameter block (image offset 0x8000, device address 0x68000):\n");
    t += field("Baud_CAN1", QStringLiteral("%1 bit/s").arg(u32(b, block + ParBlock::Baud_CAN1)));
    t += field("Baud_CAN0", QStringLiteral("%1 bit/s").arg(u32(b, block + ParBlock::Baud_CAN0)));
    t += field("IP_Address", dotted(b, block + ParBlock::IP_Address));
    t += field("Subnet_Mask", dotted(b, block + ParBlock::Subnet_Mask));
    const bool noGateway = u32(b, block + ParBlock::Gateway) == 0xFFFFFFFFu;
    t += field("Gateway", dotted(b, block + ParBlock::Gateway) + (noGateway ? QStringLiteral(" (no gateway)") : QString()));
    t += field("Net_Port", QString::number(u16(b, block + ParBlock::Net_Port)));

    const quint32 flags = u32(b, block + ParBlock::Par_Flags);
    QStringList flagTexts;
    if (flags & ParBlock::FlagDipCan1)
        flagTexts << QStringLiteral("CAN 1 bit rate from DIP switches");
    if (flags & ParBlock::FlagDipCan0)
        flagTexts << QStringLiteral("CAN 0 bit rate from DIP switches");
    if (flags & ParBlock::FlagPositive)
        flagTexts << QStringLiteral("positive implementation");
    if (flags & ~quint32(7))
        flagTexts << QStringLiteral("unknown bits set");
    t += field("Par_Flags", hex(flags, 8) + (flagTexts.isEmpty() ? QString() : QStringLiteral(": ") + flagTexts.join(QStringLiteral(", "))));

    const int addrOffsets[] = {ParBlock::Addr_Can0_to_Can1, ParBlock::Addr_Can1_to_Can0};
    const int countOffsets[] = {ParBlock::Count_Can0_to_Can1, ParBlock::Count_Can1_to_Can0};
    const char *addrNames[] = {"Addr_Can0_to_Can1", "Addr_Can1_to_Can0"};
    const char *countNames[] = {"Count_Can0_to_Can1", "Count_Can1_to_Can0"};
    quint32 counts[2];
    for (int d = 0; d < 2; ++d) {
        t += field(addrNames[d], hex(u32(b, block + addrOffsets[d]), 8));
        counts[d] = u32(b, block + countOffsets[d]);
        t += field(countNames[d], QString::number(counts[d]));
        if (counts[d] > quint32(CobTable::Entries))
            problems << QStringLiteral("%1 is %2, more than the table's %3 entries")
                            .arg(QLatin1String(countNames[d]))
                            .arg(counts[d])
                            .arg(CobTable::Entries);
    }

    const quint32 stored = u32(b, block + ParBlock::Checksum);
    const quint32 computed = ParBlock::computeChecksum(reinterpret_cast<const uchar *>(b.constData()) + block);
    if (stored == computed) {
        t += field("Checksum", hex(stored, 8) + QStringLiteral(" (verified)"));
    } else {
        t += field("Checksum", hex(stored, 8) + QStringLiteral(" (WRONG: the bytes sum to %1)").arg(hex(computed, 8)));
        problems << QStringLiteral("bad checksum: stored %1, the bytes sum to %2").arg(hex(stored, 8), hex(computed, 8));
    }

    const bool positive = flags & ParBlock::FlagPositive;
    const char *tableNames[] = {"Table_Can0_to_Can1 (CAN 0 to CAN 1)", "Table_Can1_to_Can0 (CAN 1 to CAN 0)"};
    for (int d = 0; d < 2; ++d) {
        const int n = int(std::min<quint32>(counts[d], CobTable::Entries));
        t += QStringLiteral("%1: %2 entries; %3\n")
                 .arg(QLatin1String(tableNames[d]))
                 .arg(n)
                 .arg(positive ? QStringLiteral("listed identifiers pass, all others are blocked")
                               : QStringLiteral("listed identifiers are blocked, all others pass"));
        for (int i = 0; i < n; ++i) {
            const int at = d * CobTable::Bytes + i * CobTable::EntrySize;
            const quint32 orig = u32(b, at);
            const quint32 mod = u32(b, at + 4);
            if (positive)
                t += QStringLiteral("  %1  %2 -> %3\n").arg(i, 4).arg(markedId(orig), -22).arg(markedId(mod));
            else
                t += QStringLiteral("  %1  %2\n").arg(i, 4).arg(markedId(orig));
        }
    }
    r.problem = problems.join(QStringLiteral("; "));
    return r;
}

Result inspectBank(const QByteArray &b, const QString &shownName)
{
    Result r;
    QString &t = r.text;
    t += QStringLiteral("%1: configuration bank, %2 bytes\n").arg(shownName).arg(b.size());
    if (b.count(char(0xFF)) == b.size()) {
        t += QStringLiteral("Every byte is 0xFF: an unused bank, or a direct map without entries in which every "
                            "identifier passes.\n");
        return r;
    }

    const QByteArray settings = b.mid(BankBuilder::SettingsOffset, BankBuilder::SettingsSize);
    const bool hasSettings = settings.count(char(0xFF)) != settings.size();
    bool list = false;
    if (hasSettings) {
        t += QStringLiteral("Settings (offsets 16100-16105): %1\n").arg(QString::fromLatin1(settings.toHex(' ').toUpper()));
        const auto rate = [](quint8 byte) {
            return byte >= 1 && byte <= 9 ? QStringLiteral("%1 (index %2)").arg(QLatin1String(kRates[byte - 1])).arg(byte - 1)
                                          : QStringLiteral("unknown (byte %1)").arg(byte);
        };
        const auto type = [](quint8 byte) {
            return QStringLiteral("%1 (%2)").arg(byte).arg(byte == 0 ? QStringLiteral("11-bit") : QStringLiteral("29-bit"));
        };
        const quint8 dip = u8(settings, 4);
        QStringList dips;
        if (dip & 1)
            dips << QStringLiteral("CAN 0 bit rate from DIP switches");
        if (dip & 2)
            dips << QStringLiteral("CAN 1 bit rate from DIP switches");
        t += field("CAN 0 bit rate", rate(u8(settings, 0)));
        t += field("CAN 1 bit rate", rate(u8(settings, 1)));
        t += field("CAN 0 frame type", type(u8(settings, 2)));
        t += field("CAN 1 frame type", type(u8(settings, 5)));
        t += field("Positive", u8(settings, 3) ? QStringLiteral("%1 (on)").arg(u8(settings, 3)) : QStringLiteral("0 (off)"));
        t += field("DIP switches", hex(dip, 2) + (dips.isEmpty() ? QString() : QStringLiteral(": ") + dips.join(QStringLiteral(", "))));
        list = u8(settings, 2) != 0 || u8(settings, 5) != 0;
    } else {
        // Without bank 1's settings the layout shows in the bytes: the map keeps 0xFF between
        // its entries and its pass map, and each of its entries names its own identifier.
        bool map = b.mid(BankBuilder::MapIds * BankBuilder::MapEntrySize,
                         BankBuilder::PassMapOffset - BankBuilder::MapIds * BankBuilder::MapEntrySize)
                       .count(char(0xFF))
            == BankBuilder::PassMapOffset - BankBuilder::MapIds * BankBuilder::MapEntrySize;
        for (int id = 0; map && id < BankBuilder::MapIds; ++id) {
            const quint32 entry = u32(b, id * BankBuilder::MapEntrySize);
            map = entry == 0xFFFFFFFFu || u16(b, id * BankBuilder::MapEntrySize) == id;
        }
        list = !map;
        t += QStringLiteral("No settings bytes (not bank 1); layout taken from the content.\n");
    }

    if (list) {
        int count = 0;
        bool counted = false;
        if (hasSettings) {
            const quint16 stored = u16(b, BankBuilder::ListCountOffset0);
            t += field("Entries in bank 1", stored == 0xFFFF ? QStringLiteral("FF FF (no filter document)") : QString::number(stored));
            t += field("Entries in bank 2", u16(b, BankBuilder::ListCountOffset1) == 0xFFFF
                                                ? QStringLiteral("FF FF (no filter document)")
                                                : QString::number(u16(b, BankBuilder::ListCountOffset1)));
            if (stored != 0xFFFF) {
                count = stored;
                counted = true;
                if (stored > BankBuilder::MaxListEntries) {
                    r.problem = QStringLiteral("the entry count %1 is more than the %2 entries a bank holds")
                                    .arg(stored)
                                    .arg(BankBuilder::MaxListEntries);
                    count = BankBuilder::MaxListEntries;
                }
            }
        }
        if (!counted) {
            while (count < BankBuilder::MaxListEntries
                   && b.mid(count * BankBuilder::ListEntrySize, BankBuilder::ListEntrySize).count(char(0xFF))
                          != BankBuilder::ListEntrySize)
                ++count;
        }
        t += QStringLiteral("Layout: sorted list, %1 entries%2\n")
                 .arg(count)
                 .arg(counted ? QString() : QStringLiteral(" (counted up to the first unused entry)"));
        for (int i = 0; i < count; ++i) {
            const int at = i * BankBuilder::ListEntrySize;
            t += QStringLiteral("  %1  %2 -> %3\n").arg(i, 4).arg(hex(u32(b, at), 8), hex(u32(b, at + 4), 8));
        }
        return r;
    }

    int used = 0;
    for (int id = 0; id < BankBuilder::MapIds; ++id) {
        if (u32(b, id * BankBuilder::MapEntrySize) != 0xFFFFFFFFu)
            ++used;
    }
    t += QStringLiteral("Layout: direct map, %1 identifiers with an entry\n").arg(used);
    for (int id = 0; id < BankBuilder::MapIds; ++id) {
        const int at = id * BankBuilder::MapEntrySize;
        if (u32(b, at) == 0xFFFFFFFFu)
            continue;
        const bool passes = (u8(b, BankBuilder::PassMapOffset + id / 8) >> (id % 8)) & 1;
        t += QStringLiteral("  %1 -> %2  %3\n")
                 .arg(hex(u16(b, at), 3), hex(u16(b, at + 2), 3), passes ? QStringLiteral("passes") : QStringLiteral("blocked"));
    }
    int passing = 0;
    for (int i = 0; i < BankBuilder::PassMapSize; ++i)
        passing += qPopulationCount(u8(b, BankBuilder::PassMapOffset + i));
    t += QStringLiteral("Pass map: %1 of %2 identifiers pass\n").arg(passing).arg(BankBuilder::MapIds);
    if (passing > 0 && passing <= BankBuilder::MapIds / 2)
        t += QStringLiteral("  passing: %1\n").arg(ranges(b, true));
    else if (passing > BankBuilder::MapIds / 2 && passing < BankBuilder::MapIds)
        t += QStringLiteral("  blocked: %1\n").arg(ranges(b, false));
    return r;
}
} // namespace

Result inspect(const QByteArray &bytes, const QString &shownName)
{
    if (bytes.size() == ImageBuilder::ImageBytes)
        return inspectImage(bytes, shownName);
    if (bytes.size() == BankBuilder::BankSize)
        return inspectBank(bytes, shownName);
    Result r;
    r.problem = QStringLiteral("%1 has %2 bytes: a configuration image has %3 and a bank %4")
                    .arg(shownName)
                    .arg(bytes.size())
                    .arg(ImageBuilder::ImageBytes)
                    .arg(BankBuilder::BankSize);
    return r;
}

} // namespace ImageInspector
