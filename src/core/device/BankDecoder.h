#pragma once

#include "core/device/facts/Direction.h"

#include <QByteArray>
#include <QtGlobal>

// The fields of a configuration bank (bank1.bin .. bank5.bin) where the device reads them,
// at BankBuilder's offsets. It checks nothing: the inspector shows a damaged bank as it is,
// and the prediction decides what it refuses.
class BankDecoder
{
public:
    // A build without a filter document leaves bank 1's list counts unwritten.
    static constexpr quint16 NoCount = 0xFFFF;
    static constexpr quint32 NoMapEntry = 0xFFFFFFFFu;

    struct Settings
    {
        quint8 rate[2] = {0, 0}; // bit-rate index + 1 of CAN 0 and CAN 1
        quint8 type[2] = {0, 0}; // frame types of CAN 0 and CAN 1: 0 is 11-bit
        quint8 positive = 0;
        quint8 dip = 0; // bit 0: CAN 0 from its DIP switches, bit 1: CAN 1
        bool usesList() const { return type[0] != 0 || type[1] != 0; }
    };
    struct ListEntry
    {
        quint32 orig = 0;
        quint32 mod = 0;
    };

    // `bank` holds DeviceFacts::BankSize bytes and outlives the decoder.
    explicit BankDecoder(const QByteArray &bank)
        : m_bank(bank)
    {
    }

    bool allUnused() const; // every byte 0xFF

    // Bank 1's six settings bytes; any other bank holds 0xFF there.
    QByteArray settingsBytes() const;
    bool hasSettings() const;
    Settings settings() const;

    // Sorted-list layout: bank 1 holds the row count of each direction's bank.
    quint16 listCount(Direction direction) const;
    ListEntry listEntry(int i) const;
    bool listEntryUnused(int i) const; // all 0xFF

    // Direct-map layout: the entry of 11-bit identifier `id`, and its bit of the pass map.
    quint32 mapWord(int id) const; // NoMapEntry for none
    quint16 mapOrig(int id) const;
    quint16 mapMod(int id) const;
    bool mapPasses(int id) const;
    quint8 passMapByte(int i) const;
    // Without bank 1's settings the layout shows in the bytes: the map keeps 0xFF between
    // its entries and its pass map, and each of its entries names its own identifier.
    bool looksLikeMap() const;

private:
    const QByteArray &m_bank;
};
