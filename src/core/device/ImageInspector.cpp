#include "core/device/ImageInspector.h"

#include "core/device/BankDecoder.h"
#include "core/device/ImageDecoder.h"
#include "core/device/facts/DeviceFacts.h"
#include "core/image/BankBuilder.h"
#include "core/image/ParBlock.h"

#include <QStringList>

namespace ImageInspector {

namespace {

QString hex(quint32 value, int digits)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

QString field(const char *name, const QString &value)
{
    return QStringLiteral("  %1 %2\n").arg(QLatin1String(name), -19).arg(value);
}

// An identifier word of the image: bit 31 marks a 29-bit identifier.
QString markedId(quint32 word)
{
    if (word & DeviceFacts::ExtMark)
        return hex(word & ~DeviceFacts::ExtMark, 8) + QStringLiteral(" (29-bit)");
    return hex(word, 3) + QStringLiteral(" (11-bit)");
}

// "0x001-0x005, 0x010" for the set bits of a 2048-bit map taken as `wanted`.
QString ranges(const BankDecoder &bank, bool wanted)
{
    QStringList parts;
    int start = -1;
    for (int id = 0; id <= BankBuilder::MapIds; ++id) {
        const bool in = id < BankBuilder::MapIds && bank.mapPasses(id) == wanted;
        if (in && start < 0)
            start = id;
        if (!in && start >= 0) {
            parts.append(start == id - 1
                             ? hex(quint32(start), 3)
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
    const ImageDecoder image(b);
    const auto dotted = [&image](int offset) {
        return QStringLiteral("%1.%2.%3.%4")
            .arg(image.u8(offset))
            .arg(image.u8(offset + 1))
            .arg(image.u8(offset + 2))
            .arg(image.u8(offset + 3));
    };
    t += QStringLiteral("%1: configuration image, %2 bytes\n").arg(shownName).arg(b.size());
    t += QStringLiteral("Parameter block (image offset 0x8000, device address 0x68000):\n");
    t += field("Baud_CAN1", QStringLiteral("%1 bit/s").arg(image.u32(ParBlock::Baud_CAN1)));
    t += field("Baud_CAN0", QStringLiteral("%1 bit/s").arg(image.u32(ParBlock::Baud_CAN0)));
    t += field("IP_Address", dotted(ParBlock::IP_Address));
    t += field("Subnet_Mask", dotted(ParBlock::Subnet_Mask));
    const bool noGateway = image.u32(ParBlock::Gateway) == 0xFFFFFFFFu;
    t += field("Gateway", dotted(ParBlock::Gateway) + (noGateway ? QStringLiteral(" (no gateway)") : QString()));
    t += field("Net_Port", QString::number(image.u16(ParBlock::Net_Port)));

    const quint32 flags = image.flags();
    QStringList flagTexts;
    if (flags & ParBlock::FlagDipCan1)
        flagTexts << QStringLiteral("CAN 1 bit rate from DIP switches");
    if (flags & ParBlock::FlagDipCan0)
        flagTexts << QStringLiteral("CAN 0 bit rate from DIP switches");
    if (flags & ParBlock::FlagPositive)
        flagTexts << QStringLiteral("positive implementation");
    if (flags & ~quint32(7))
        flagTexts << QStringLiteral("unknown bits set");
    t += field("Par_Flags",
               hex(flags, 8)
                   + (flagTexts.isEmpty() ? QString() : QStringLiteral(": ") + flagTexts.join(QStringLiteral(", "))));

    const int addrOffsets[] = {ParBlock::Addr_Can0_to_Can1, ParBlock::Addr_Can1_to_Can0};
    const char *addrNames[] = {"Addr_Can0_to_Can1", "Addr_Can1_to_Can0"};
    const char *countNames[] = {"Count_Can0_to_Can1", "Count_Can1_to_Can0"};
    for (const Direction d : Direction::all()) {
        t += field(addrNames[d.index()], hex(image.u32(addrOffsets[d.index()]), 8));
        const quint32 count = image.count(d);
        t += field(countNames[d.index()], QString::number(count));
        if (count > quint32(DeviceFacts::TableRows))
            problems << QStringLiteral("%1 is %2, more than the table's %3 entries")
                            .arg(QLatin1String(countNames[d.index()]))
                            .arg(count)
                            .arg(DeviceFacts::TableRows);
    }

    const quint32 stored = image.storedChecksum();
    const quint32 computed = image.computedChecksum();
    if (stored == computed) {
        t += field("Checksum", hex(stored, 8) + QStringLiteral(" (verified)"));
    } else {
        t += field("Checksum", hex(stored, 8) + QStringLiteral(" (WRONG: the bytes sum to %1)").arg(hex(computed, 8)));
        problems
            << QStringLiteral("bad checksum: stored %1, the bytes sum to %2").arg(hex(stored, 8), hex(computed, 8));
    }

    const bool positive = image.positive();
    const char *tableNames[] = {"Table_Can0_to_Can1 (CAN 0 to CAN 1)", "Table_Can1_to_Can0 (CAN 1 to CAN 0)"};
    for (const Direction d : Direction::all()) {
        const std::vector<ImageDecoder::Entry> rows = image.rows(d);
        t += QStringLiteral("%1: %2 entries; %3\n")
                 .arg(QLatin1String(tableNames[d.index()]))
                 .arg(int(rows.size()))
                 .arg(positive ? QStringLiteral("listed identifiers pass, all others are blocked")
                               : QStringLiteral("listed identifiers are blocked, all others pass"));
        for (int i = 0; i < int(rows.size()); ++i) {
            const ImageDecoder::Entry &e = rows[size_t(i)];
            if (positive)
                t += QStringLiteral("  %1  %2 -> %3\n").arg(i, 4).arg(markedId(e.Orig), -22).arg(markedId(e.Mod));
            else
                t += QStringLiteral("  %1  %2\n").arg(i, 4).arg(markedId(e.Orig));
        }
    }
    r.problem = problems.join(QStringLiteral("; "));
    return r;
}

Result inspectBank(const QByteArray &b, const QString &shownName)
{
    Result r;
    QString &t = r.text;
    const BankDecoder bank(b);
    t += QStringLiteral("%1: configuration bank, %2 bytes\n").arg(shownName).arg(b.size());
    if (bank.allUnused()) {
        t += QStringLiteral("Every byte is 0xFF: an unused bank, or a direct map without entries in which every "
                            "identifier passes.\n");
        return r;
    }

    const bool hasSettings = bank.hasSettings();
    bool list = false;
    if (hasSettings) {
        t += QStringLiteral("Settings (offsets 16100-16105): %1\n")
                 .arg(QString::fromLatin1(bank.settingsBytes().toHex(' ').toUpper()));
        const auto rate = [](quint8 byte) {
            return DeviceFacts::validBitRateIndex(byte - 1)
                ? QStringLiteral("%1 (index %2)").arg(QLatin1String(DeviceFacts::BitRateNames[byte - 1])).arg(byte - 1)
                : QStringLiteral("unknown (byte %1)").arg(byte);
        };
        const auto type = [](quint8 byte) {
            return QStringLiteral("%1 (%2)").arg(byte).arg(byte == 0 ? QStringLiteral("11-bit")
                                                                     : QStringLiteral("29-bit"));
        };
        const BankDecoder::Settings settings = bank.settings();
        QStringList dips;
        if (settings.dip & 1)
            dips << QStringLiteral("CAN 0 bit rate from DIP switches");
        if (settings.dip & 2)
            dips << QStringLiteral("CAN 1 bit rate from DIP switches");
        t += field("CAN 0 bit rate", rate(settings.rate[0]));
        t += field("CAN 1 bit rate", rate(settings.rate[1]));
        t += field("CAN 0 frame type", type(settings.type[0]));
        t += field("CAN 1 frame type", type(settings.type[1]));
        t += field("Positive",
                   settings.positive ? QStringLiteral("%1 (on)").arg(settings.positive) : QStringLiteral("0 (off)"));
        t += field("DIP switches",
                   hex(settings.dip, 2)
                       + (dips.isEmpty() ? QString() : QStringLiteral(": ") + dips.join(QStringLiteral(", "))));
        list = settings.usesList();
    } else {
        list = !bank.looksLikeMap();
        t += QStringLiteral("No settings bytes (not bank 1); layout taken from the content.\n");
    }

    if (list) {
        int count = 0;
        bool counted = false;
        if (hasSettings) {
            const auto countText = [](quint16 stored) {
                return stored == BankDecoder::NoCount ? QStringLiteral("FF FF (no filter document)")
                                                      : QString::number(stored);
            };
            const quint16 stored = bank.listCount(Direction::Can0ToCan1);
            t += field("Entries in bank 1", countText(stored));
            t += field("Entries in bank 2", countText(bank.listCount(Direction::Can1ToCan0)));
            if (stored != BankDecoder::NoCount) {
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
            while (count < BankBuilder::MaxListEntries && !bank.listEntryUnused(count))
                ++count;
        }
        t += QStringLiteral("Layout: sorted list, %1 entries%2\n")
                 .arg(count)
                 .arg(counted ? QString() : QStringLiteral(" (counted up to the first unused entry)"));
        for (int i = 0; i < count; ++i) {
            const BankDecoder::ListEntry e = bank.listEntry(i);
            t += QStringLiteral("  %1  %2 -> %3\n").arg(i, 4).arg(hex(e.orig, 8), hex(e.mod, 8));
        }
        return r;
    }

    int used = 0;
    for (int id = 0; id < BankBuilder::MapIds; ++id) {
        if (bank.mapWord(id) != BankDecoder::NoMapEntry)
            ++used;
    }
    t += QStringLiteral("Layout: direct map, %1 identifiers with an entry\n").arg(used);
    for (int id = 0; id < BankBuilder::MapIds; ++id) {
        if (bank.mapWord(id) == BankDecoder::NoMapEntry)
            continue;
        t += QStringLiteral("  %1 -> %2  %3\n")
                 .arg(hex(bank.mapOrig(id), 3), hex(bank.mapMod(id), 3),
                      bank.mapPasses(id) ? QStringLiteral("passes") : QStringLiteral("blocked"));
    }
    int passing = 0;
    for (int i = 0; i < BankBuilder::PassMapSize; ++i)
        passing += qPopulationCount(bank.passMapByte(i));
    t += QStringLiteral("Pass map: %1 of %2 identifiers pass\n").arg(passing).arg(BankBuilder::MapIds);
    if (passing > 0 && passing <= BankBuilder::MapIds / 2)
        t += QStringLiteral("  passing: %1\n").arg(ranges(bank, true));
    else if (passing > BankBuilder::MapIds / 2 && passing < BankBuilder::MapIds)
        t += QStringLiteral("  blocked: %1\n").arg(ranges(bank, false));
    return r;
}
} // namespace

Result inspect(const QByteArray &bytes, const QString &shownName)
{
    if (bytes.size() == DeviceFacts::ImageSize)
        return inspectImage(bytes, shownName);
    if (bytes.size() == DeviceFacts::BankSize)
        return inspectBank(bytes, shownName);
    Result r;
    r.problem = QStringLiteral("%1 has %2 bytes: a configuration image has %3 and a bank %4")
                    .arg(shownName)
                    .arg(bytes.size())
                    .arg(DeviceFacts::ImageSize)
                    .arg(DeviceFacts::BankSize);
    return r;
}

} // namespace ImageInspector
