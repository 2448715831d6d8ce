#pragma once

#include "core/base/Catalog.h"
#include "core/traffic/FrameLength.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <vector>

// The load that a stream of frames puts on one CAN port at its bit rate, from their time
// stamps: the mean over the whole stream and the peak over consecutive 100 ms windows,
// each with the frames' nominal lengths and with worst-case bit stuffing. Frames are added
// in stream order; a time stamp that goes back counts into the window in progress.
class BusLoad
{
public:
    static constexpr qint64 WindowNs = 100'000'000;

    explicit BusLoad(int bitRate = 0);

    // Inline: a replay adds every frame of its trace.
    void add(qint64 timeNs, bool extended, int dataBytes)
    {
        const quint64 nominal = quint64(FrameLength::bits(extended, dataBytes, false));
        const quint64 worst = quint64(FrameLength::bits(extended, dataBytes, true));
        if (!m_started)
            start(timeNs);
        // Divide only when a window ends, not for every frame.
        if (timeNs >= m_windowEnd)
            nextWindow(timeNs);
        if (timeNs > m_last)
            m_last = timeNs;
        m_lastBits = worst;
        m_bits[0] += nominal;
        m_bits[1] += worst;
        m_windowBits[0] += nominal;
        m_windowBits[1] += worst;
        ++m_frames;
    }

    // The frames of a stretch of the stream, counted apart from it (a replay counts its chunks
    // on several threads) once the stream has started, and then added in stream order. It
    // keeps one entry per window, so adding it costs nothing per frame.
    class Tally
    {
    public:
        explicit Tally(qint64 streamFirstNs = 0)
            : m_first(streamFirstNs)
        {
        }
        void add(qint64 timeNs, bool extended, int dataBytes)
        {
            const quint64 nominal = quint64(FrameLength::bits(extended, dataBytes, false));
            const quint64 worst = quint64(FrameLength::bits(extended, dataBytes, true));
            if (timeNs >= m_runEnd || m_frames == 0)
                nextRun(timeNs);
            m_run.bits[0] += nominal;
            m_run.bits[1] += worst;
            if (timeNs > m_last)
                m_last = timeNs;
            m_lastBits = worst;
            ++m_frames;
        }
        quint64 frames() const { return m_frames; }

    private:
        friend class BusLoad;
        struct Run
        {
            qint64 window; // -1 before the stream's first frame: the window in progress takes it
            quint64 bits[2];
        };
        void nextRun(qint64 timeNs);
        // The runs before the one in progress, then that one.
        template <typename F>
        void forEachRun(F f) const
        {
            for (const Run &run : m_runs)
                f(run);
            if (m_frames)
                f(m_run);
        }

        qint64 m_first;
        std::vector<Run> m_runs;
        Run m_run{-1, {0, 0}};
        qint64 m_runEnd = 0;
        qint64 m_last = 0;
        quint64 m_lastBits = 0;
        quint64 m_frames = 0;
    };
    bool started() const { return m_started; }
    qint64 firstNs() const { return m_first; }
    // A tally made with this stream's firstNs(), as if its frames were added one by one.
    void add(const Tally &tally);

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
    void start(qint64 timeNs);
    void nextWindow(qint64 timeNs);
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
