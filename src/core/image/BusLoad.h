#pragma once

#include "core/i18n/Catalog.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

// The load that a stream of frames puts on one CAN port at its bit rate, from their time
// stamps: the mean over the whole stream and the peak over consecutive 100 ms windows,
// each with the frames' nominal lengths and with worst-case bit stuffing. Frames are added
// in stream order; a time stamp that goes back counts into the window in progress.
class BusLoad
{
public:
    static constexpr qint64 WindowNs = 100'000'000;

    explicit BusLoad(int bitRate = 0);

    // Bits on the wire, 3-bit interframe space included. `dataBytes` is 0 for a remote frame.
    // Worst-case stuffing adds one bit per four from the start of frame to the end of the CRC.
    static int frameBits(bool extended, int dataBytes, bool worstStuffing);

    void add(qint64 timeNs, bool extended, int dataBytes);

    int bitRate() const { return m_bitRate; }
    quint64 frames() const { return m_frames; }
    // Fractions (1.0 = 100 %); 0 without frames or without a bit rate.
    double mean(bool worstStuffing) const;
    double peak(bool worstStuffing) const;
    // Where the peak window (by worst-case stuffing) starts, from the first frame.
    qint64 peakStartNs() const { return m_peakStart; }
    qint64 durationNs() const;

    // "Load on CAN 1 at 250 kbit/s: mean 12.3 % (14.1 % with worst-case bit stuffing), ..."
    QString text(int port, const Catalog &texts = Catalog::defaults()) const;
    // The mean above 70 % or the peak above 100 %: a repeater whose target port cannot carry
    // what arrives loses frames.
    QStringList warnings(int port, const Catalog &texts = Catalog::defaults()) const;

private:
    void closeWindow();

    int m_bitRate = 0;
    quint64 m_frames = 0;
    bool m_started = false;
    qint64 m_first = 0;
    qint64 m_last = 0;
    quint64 m_lastBits = 0; // the last frame's length, so that one frame has a duration
    qint64 m_windowEnd = 0;
    quint64 m_bits[2] = {0, 0};
    qint64 m_window = 0;
    quint64 m_windowBits[2] = {0, 0};
    quint64 m_peakBits[2] = {0, 0};
    qint64 m_peakStart = 0;
};
