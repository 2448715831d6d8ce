#include "core/image/BankBuilder.h"

#include "core/base/IntText.h"
#include "core/base/XmlFile.h"
#include "core/image/FilterDocument.h"
#include "core/image/XmlSource.h"

#include <QtEndian>

#include <algorithm>

namespace {
// The order ParGen.xml is written in; the bank settings are read by position.
const char *const kSettingNames[] = {"Boud0", "Boud1", "Type", "Positive", "Baud_Dip_C0", "Baud_Dip_C1", "TypeC1"};

QString notANumber(const QString &text, const QString &shownName, const QString &where)
{
    return QStringLiteral("Cannot read %1: '%2' is not a valid integer value (%3)").arg(shownName, text, where);
}
} // namespace

BankBuilder::BankBuilder()
{
    for (QByteArray &bank : m_banks)
        bank = QByteArray(DeviceFacts::BankSize, char(0xFF));
}

QString BankBuilder::Build_Banks(const XmlSource &parGen, const FilterDocument &cobId)
{
    for (QByteArray &bank : m_banks)
        bank.fill(char(0xFF));

    Bank_Settings settings = m_settings;
    QString error = Read_Bank_Settings(parGen, settings);
    if (!error.isEmpty())
        return error;
    m_settings = settings;

    std::array<quint16, 2> counts{0xFFFF, 0xFFFF};
    error = m_settings.usesList() ? Build_Bank_List(cobId, counts) : Build_Bank_Map(cobId);
    if (!error.isEmpty())
        return error;

    QByteArray &bank1 = m_banks[0];
    bank1[SettingsOffset + 0] = char(quint8(m_settings.baud0 + 1));
    bank1[SettingsOffset + 1] = char(quint8(m_settings.baud1 + 1));
    bank1[SettingsOffset + 2] = char(m_settings.type0);
    bank1[SettingsOffset + 3] = char(m_settings.positive);
    bank1[SettingsOffset + 4] = char(m_settings.dip);
    bank1[SettingsOffset + 5] = char(m_settings.type1);
    if (m_settings.usesList()) {
        putU16(1, ListCountOffset0, counts[0]);
        putU16(1, ListCountOffset1, counts[1]);
    }
    return QString();
}

QString BankBuilder::Read_Bank_Settings(const XmlSource &parGen, Bank_Settings &settings)
{
    if (!parGen.exists)
        return QString();
    if (!parGen.error.isEmpty())
        return parGen.error;

    const QDomNode root = XmlFile::firstTopLevelNode(parGen.doc);
    QDomElement children[7];
    int found = 0;
    for (QDomElement e = root.firstChildElement(); !e.isNull() && found < 7; e = e.nextSiblingElement())
        children[found++] = e;

    quint32 values[7] = {};
    bool haveType1 = false;
    for (int i = 0; i < 7; ++i) {
        // TypeC1 is optional: without it CAN 1 follows the CAN 0 frame type.
        const bool guarded = i == 6;
        if (i >= found) {
            if (guarded)
                break;
            return QStringLiteral("Cannot read %1: element %2 of the root (%3) is missing")
                .arg(parGen.shownName)
                .arg(i + 1)
                .arg(QLatin1String(kSettingNames[i]));
        }
        const QString text = children[i].text();
        const auto value = IntText::read(text);
        if (!value) {
            if (guarded)
                break;
            return notANumber(text, parGen.shownName,
                              QStringLiteral("element %1 of the root, %2").arg(i + 1).arg(children[i].tagName()));
        }
        values[i] = quint32(*value);
        haveType1 = guarded;
    }

    settings.baud0 = quint8(values[0]);
    settings.baud1 = quint8(values[1]);
    settings.type0 = quint8(values[2]);
    settings.positive = quint8(values[3]);
    settings.dip = quint8(values[4] + 2 * values[5]);
    settings.type1 = haveType1 ? quint8(values[6]) : settings.type0;
    return QString();
}

QString BankBuilder::readRows(const FilterDocument &cobId, Sections &out)
{
    if (!cobId.error.isEmpty())
        return cobId.error;
    if (cobId.rootName != QLatin1String("CanCanCobID"))
        return QStringLiteral("Cannot read %1: there is no root element CanCanCobID").arg(cobId.shownName);
    for (const Direction d : Direction::all()) {
        if (!cobId.section(d).present)
            return QStringLiteral("Cannot read %1: CanCanCobID has no element %2")
                .arg(cobId.shownName, QLatin1String(d.name()));
    }
    for (const Direction d : Direction::all()) {
        const std::vector<FilterDocument::Row> &rows = cobId.section(d).rows;
        const int count = int(std::min<size_t>(rows.size(), MaxRows));
        std::vector<Row> &pairs = out.rows[size_t(d.index())];
        pairs.reserve(size_t(count));
        for (int i = 0; i < count; ++i) {
            // A node that is not an element has no identifier and is skipped like a row without one.
            const FilterDocument::Row &row = rows[size_t(i)];
            if (row.orig.isEmpty())
                continue;
            const auto where = [&](const char *attribute) {
                return QStringLiteral("%1 row %2, %3")
                    .arg(QLatin1String(d.name()))
                    .arg(i + 1)
                    .arg(QLatin1String(attribute));
            };
            const auto orig = IntText::read(row.orig);
            if (!orig)
                return notANumber(row.orig, cobId.shownName, where("Orig_CobID"));
            qint32 mod = *orig;
            if (!row.mod.isEmpty()) {
                const auto value = IntText::read(row.mod);
                if (!value)
                    return notANumber(row.mod, cobId.shownName, where("Mod_CobID"));
                mod = *value;
            }
            pairs.push_back(Row{quint32(*orig), quint32(mod)});
        }
    }
    return QString();
}

QString BankBuilder::Build_Bank_List(const FilterDocument &cobId, std::array<quint16, 2> &counts)
{
    if (!cobId.exists)
        return QString();
    Sections sections;
    const QString error = readRows(cobId, sections);
    if (!error.isEmpty())
        return error;
    for (int d = 0; d < 2; ++d) {
        std::vector<Row> &rows = sections.rows[size_t(d)];
        // Same order as neighbour exchanges on a strictly smaller later identifier.
        std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) { return a.orig < b.orig; });
        const int count = std::min<int>(int(rows.size()), MaxListEntries);
        for (int i = 0; i < count; ++i) {
            putU32(d + 1, i * ListEntrySize, rows[size_t(i)].orig);
            putU32(d + 1, i * ListEntrySize + 4, rows[size_t(i)].mod);
        }
        counts[size_t(d)] = quint16(count);
    }
    return QString();
}

QString BankBuilder::Build_Bank_Map(const FilterDocument &cobId)
{
    const bool positive = m_settings.positive != 0;
    QByteArray passMaps[2] = {QByteArray(PassMapSize, positive ? '\0' : char(0xFF)),
                              QByteArray(PassMapSize, positive ? '\0' : char(0xFF))};
    if (!cobId.exists)
        return QString();
    Sections sections;
    const QString error = readRows(cobId, sections);
    if (!error.isEmpty())
        return error;
    for (int d = 0; d < 2; ++d) {
        for (const Row &row : sections.rows[size_t(d)]) {
            // The map has room for 11-bit identifiers only; a larger one has no place in it.
            if (row.orig >= quint32(MapIds))
                continue;
            const int id = int(row.orig);
            char &bits = passMaps[d][id / 8];
            const char mask = char(1u << (id % 8));
            bits = positive ? char(bits | mask) : char(bits & ~mask);
            putU16(d + 1, id * MapEntrySize, quint16(id));
            putU16(d + 1, id * MapEntrySize + 2, quint16(row.mod));
        }
        m_banks[size_t(d)].replace(PassMapOffset, PassMapSize, passMaps[d]);
    }
    return QString();
}

void BankBuilder::putU16(int k, int offset, quint16 value)
{
    QByteArray &bank = m_banks[size_t(k - 1)];
    Q_ASSERT(offset >= 0 && offset + 2 <= bank.size());
    qToLittleEndian(value, bank.data() + offset);
}

void BankBuilder::putU32(int k, int offset, quint32 value)
{
    QByteArray &bank = m_banks[size_t(k - 1)];
    Q_ASSERT(offset >= 0 && offset + 4 <= bank.size());
    qToLittleEndian(value, bank.data() + offset);
}
