#pragma once

#include "core/device/facts/DeviceFacts.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

struct FilterDocument;
struct XmlSource;

// Builds the five 16 KiB configuration banks that the serial variants carry in their
// firmware: bank 1 for CAN 0 to CAN 1 plus the settings, bank 2 for CAN 1 to CAN 0, banks 3
// to 5 unused. The six settings read from ParGen.xml outlive a build.
class BankBuilder
{
public:
    // Direct-map layout (both ports 11-bit): an entry per 11-bit identifier.
    static constexpr int MapIds = int(DeviceFacts::Max11Bit) + 1;
    static constexpr int MapEntrySize = 4;
    static constexpr int PassMapOffset = 9000;
    static constexpr int PassMapSize = MapIds / 8;
    // Sorted-list layout.
    static constexpr int ListEntrySize = 8;
    static constexpr int MaxListEntries = 2000;
    static constexpr int ListCountOffset0 = 16200; // bank 1, u16 each
    static constexpr int ListCountOffset1 = 16202;
    // Settings, bank 1 only.
    static constexpr int SettingsOffset = 16100;
    static constexpr int SettingsSize = 6;
    // A section holds at most this many rows; the rest of a longer list is left out.
    static constexpr int MaxRows = DeviceFacts::TableRows;

    struct Bank_Settings
    {
        quint8 baud0 = 0; // bit-rate indices
        quint8 baud1 = 0;
        quint8 type0 = 0; // frame types
        quint8 type1 = 0;
        quint8 positive = 0;
        quint8 dip = 0; // bit 0: CAN 0 from DIP switches, bit 1: CAN 1
        bool usesList() const { return type0 != 0 || type1 != 0; }
    };

    BankBuilder();

    // Returns an empty text, or why the build stopped.
    QString Build_Banks(const XmlSource &parGen, const FilterDocument &cobId);

    // Reads the settings by position and strictly into `settings`; a missing document
    // leaves it as it is.
    static QString Read_Bank_Settings(const XmlSource &parGen, Bank_Settings &settings);

    // bank(1) .. bank(5)
    const QByteArray &bank(int k) const { return m_banks[size_t(k - 1)]; }
    Bank_Settings settings() const { return m_settings; }
    void setSettings(const Bank_Settings &settings) { m_settings = settings; }

private:
    struct Row
    {
        quint32 orig;
        quint32 mod;
    };
    struct Sections
    {
        std::array<std::vector<Row>, 2> rows;
    };

    static QString readRows(const FilterDocument &cobId, Sections &out);
    QString Build_Bank_List(const FilterDocument &cobId, std::array<quint16, 2> &counts);
    QString Build_Bank_Map(const FilterDocument &cobId);

    void putU16(int k, int offset, quint16 value);
    void putU32(int k, int offset, quint32 value);

    std::array<QByteArray, DeviceFacts::BankCount> m_banks;
    Bank_Settings m_settings;
};
