#pragma once

#include "core/base/Catalog.h"
#include "core/device/ImageDecoder.h"
#include "core/device/facts/DeviceFacts.h"
#include "core/device/facts/Direction.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <vector>

// What the device does with a frame, read back from the configuration image bank_K60.bin
// that a build wrote: per direction the filter lookup table with its row count, and
// positive implementation from Par_Flags. The image is the one form that keeps the 29-bit
// marks of both identifiers and carries a checksum; the banks hold plain numbers only.
class FilterImage
{
public:
    static QString fileName(); // bank_K60.bin

    // Reads `binDir`/bank_K60.bin. A missing file, a wrong size, a bad checksum or a row count
    // beyond the table returns a text naming the file and saying what is wrong; the image is
    // then empty.
    QString load(const QString &binDir);
    QString parse(const QByteArray &bytes, const QString &shownName);

    bool positive() const { return m_positive; }

    using Entry = ImageDecoder::Entry;
    // The rows of a direction's table, as ordered in the image.
    const std::vector<Entry> &entries(Direction direction) const { return m_tables[size_t(direction.index())]; }

    struct Route
    {
        bool passes = false;
        quint32 id = 0;        // the identifier the frame leaves with, when it passes
        bool extended = false; // ... as a 29-bit identifier
        int listedIn = 0;      // how many rows of the table name the frame's identifier
    };
    // A frame with identifier `id` (29-bit when `extended`) crossing in `direction`. Positive
    // implementation: a listed identifier passes with the replacement of its first row, any
    // other is blocked. Otherwise: a listed identifier is blocked, any other passes unchanged.
    Route route(Direction direction, quint32 id, bool extended) const;

    // "From CAN 0 to CAN 1: frame 0x181 (11-bit) passes and leaves CAN 1 as 0x281 (11-bit)",
    // or "... is blocked".
    static QString routeText(Direction direction, quint32 id, bool extended, const Route &route,
                             const Catalog &texts = Catalog::defaults());
    // Which rule decided, e.g. "listed; with positive implementation a listed identifier
    // passes under its replacement".
    QString reasonText(const Route &route, const Catalog &texts = Catalog::defaults()) const;
    // "0x181 (11-bit)", "0x18FEF100 (29-bit)"
    static QString frameText(quint32 id, bool extended, const Catalog &texts = Catalog::defaults());
    // The rule that decided, in the words of reasonText, for either option.
    static QString ruleText(bool positive, bool listed, const Catalog &texts);

    enum class Fate : quint8 { Pass, Block, Remap };
    using IdSpace = std::array<Fate, DeviceFacts::Max11Bit + 1>;
    // The fate of every 11-bit identifier crossing in `direction`. Remap: it passes under
    // another identifier or as a 29-bit frame.
    IdSpace idSpace(Direction direction) const;

private:
    bool m_positive = false;
    std::array<std::vector<Entry>, 2> m_tables;
};
