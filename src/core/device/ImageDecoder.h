#pragma once

#include "core/device/facts/Direction.h"

#include <QByteArray>
#include <QtGlobal>

#include <vector>

// The fields of a configuration image (bank_K60.bin) where the device reads them. It checks
// nothing and reads only inside the bytes, whatever counts they claim: the inspector shows a
// damaged file as it is, and each reader decides what it refuses.
class ImageDecoder
{
public:
    struct Entry
    {
        quint32 Orig = 0;
        quint32 Mod = 0;
    };

    // `bytes` holds DeviceFacts::ImageSize bytes and outlives the decoder.
    explicit ImageDecoder(const QByteArray &bytes)
        : m_bytes(bytes)
    {
    }

    // A field of the parameter block, at ParBlock's offsets.
    quint32 u32(int blockOffset) const;
    quint16 u16(int blockOffset) const;
    quint8 u8(int blockOffset) const;

    quint32 flags() const;
    bool positive() const;
    // Port `port`'s bit rate in bit/s, and whether its DIP switches set it instead.
    quint32 bitRate(int port) const;
    bool bitRateFromDip(int port) const;

    // The row count stored for the table of `direction`.
    quint32 count(Direction direction) const;
    // That table's rows up to its count, and never beyond the table.
    std::vector<Entry> rows(Direction direction) const;

    quint32 storedChecksum() const;
    quint32 computedChecksum() const;

private:
    const QByteArray &m_bytes;
};
