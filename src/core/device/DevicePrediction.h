#pragma once

#include "core/device/FilterImage.h"
#include "core/device/facts/DeviceFacts.h"
#include "core/device/facts/Direction.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

class CobIdDocument;
struct XmlSource;

// What a device does with a frame, read from the files of a built project that its variant
// runs: the Ethernet variant (device type 1) loads bank_K60.bin; every other type carries
// bank1.bin (CAN 0 to CAN 1, with the settings) and bank2.bin (CAN 1 to CAN 0) in its
// firmware. The two forms disagree where the tables are unusual (an identifier listed twice:
// the image answers with its first row, the banks hold the last; the banks keep at most 2000
// rows), so a prediction reads the form the device is given.
class DevicePrediction
{
public:
    enum class Layout { None, Image, BankMap, BankList };

    // Reads the device type from `projectDir`/ParGen.xml as step 4 does, then bin/bank_K60.bin
    // (type 1) or bin/bank1.bin and bin/bank2.bin. Empty text on success, else a message naming
    // the file; the prediction is then empty.
    QString load(const QString &projectDir);

    // What the device would do with the filter tables as they stand in the window, before
    // they are saved: the tables are written as OK would write them and built in memory as
    // step 4 builds them, then read back as the device of ParGen.xml's type runs them (the
    // image for the Ethernet variant, banks 1 and 2 for the others). Empty text, or why the
    // build failed.
    QString loadTables(const XmlSource &parGen, const CobIdDocument &tables);
    // The image alone of that build, read back; it is then empty when the build failed.
    static QString tablesImage(const XmlSource &parGen, const CobIdDocument &tables, FilterImage &image);

    // The same from bytes in memory; `shownName` names the file(s) in messages.
    QString parseImage(const QByteArray &image, const QString &shownName);
    QString parseBanks(const QByteArray &bank1, const QByteArray &bank2, int deviceType, const QString &shownName1,
                       const QString &shownName2);

    // Inline for the 11-bit identifiers, which are answered ahead: a replay asks for every frame.
    FilterImage::Route route(Direction direction, quint32 id, bool extended) const
    {
        if (!extended && id <= DeviceFacts::Max11Bit)
            return m_lookups[size_t(direction.index())].std11[id];
        return lookup(direction, id, extended);
    }
    // Which rule decided, e.g. "listed; with positive implementation a listed identifier
    // passes under its replacement".
    QString reasonText(Direction direction, quint32 id, bool extended, const FilterImage::Route &route,
                       const Catalog &texts = Catalog::defaults()) const;
    // The fate of every 11-bit identifier crossing in `direction`.
    FilterImage::IdSpace idSpace(Direction direction) const;

    bool positive() const { return m_positive; }
    int deviceType() const { return m_deviceType; }
    Layout layout() const { return m_layout; }
    // The frame type a port runs (0 = 11-bit, 1 = 29-bit) where the banks say it; the image
    // carries a type per row, and there it reads -1.
    int portType(int port) const { return m_portTypes[port == 1 ? 1 : 0]; }

    // The bit rate port `port` runs at in bit/s, 0 when the files give none that is known; and
    // whether the device takes it from its DIP switches instead (the files then hold the
    // configured rate only).
    int bitRate(int port) const { return m_bitRates[port == 1 ? 1 : 0]; }
    bool bitRateFromDip(int port) const { return m_dip[port == 1 ? 1 : 0]; }

    // "bin/bank1.bin and bin/bank2.bin (serial variant)", "bin/bank_K60.bin (Ethernet variant)".
    QString source(const Catalog &texts = Catalog::defaults()) const;
    // The file(s) read, as full paths (empty when parsed from memory).
    QStringList files() const { return m_files; }
    // What the files cannot tell and what is assumed in its place.
    QStringList assumptions(const Catalog &texts = Catalog::defaults()) const;
    // "SHA-256 3f2a09c1b7e4d588" of the bytes read (bank1.bin then bank2.bin), for reports.
    QString fingerprint() const { return m_fingerprint; }

private:
    struct Entry
    {
        quint32 key = 0; // the identifier matched: with the 29-bit mark in the image, plain in the banks
        quint32 mod = 0;
        int order = 0; // position in the file, so equal keys keep their file order
    };
    struct Lookup
    {
        std::vector<Entry> sorted;                              // by key, then by file order
        std::array<quint8, 256> passMap{};                      // direct map only
        std::array<qint32, DeviceFacts::Max11Bit + 1> mapMod{}; // direct map only: the replacement, -1 for no entry
        std::array<FilterImage::Route, DeviceFacts::Max11Bit + 1>
            std11{}; // every 11-bit identifier answered ahead, for replays
    };

    FilterImage::Route lookup(Direction direction, quint32 id, bool extended) const;
    void answerAhead();

    Layout m_layout = Layout::None;
    int m_deviceType = 1;
    bool m_positive = false;
    std::array<int, 2> m_portTypes{-1, -1};
    std::array<int, 2> m_bitRates{0, 0};
    std::array<bool, 2> m_dip{false, false};
    std::array<Lookup, 2> m_lookups; // by Direction::index()
    QStringList m_sourceNames;       // the file(s) the source names, as shown
    QStringList m_files;
    // Made in the reader's language when asked for.
    std::vector<std::function<QString(const Catalog &)>> m_assumptions;
    QString m_fingerprint;
};
