#include "core/traffic/BusLoad.h"

#include <algorithm>

BusLoad::BusLoad(int bitRate)
    : m_bitRate(bitRate)
{
}

void BusLoad::start(qint64 timeNs)
{
    m_started = true;
    m_first = m_last = timeNs;
    m_window = 0;
    m_windowEnd = m_first + WindowNs;
}

void BusLoad::nextWindow(qint64 timeNs)
{
    closeWindow();
    m_window = (timeNs - m_first) / WindowNs;
    m_windowEnd = m_first + (m_window + 1) * WindowNs;
}

void BusLoad::Tally::nextRun(qint64 timeNs)
{
    const qint64 window = timeNs >= m_first ? (timeNs - m_first) / WindowNs : -1;
    if (m_frames == 0) {
        m_run = Run{window, {0, 0}};
    } else if (window > m_run.window) {
        m_runs.push_back(m_run);
        m_run = Run{window, {0, 0}};
    }
    m_runEnd = m_first + (m_run.window + 1) * WindowNs;
}

void BusLoad::add(const Tally &tally)
{
    if (tally.m_frames == 0)
        return;
    Q_ASSERT(m_started && tally.m_first == m_first);
    tally.forEachRun([this](const Tally::Run &run) {
        // A window ends where a later one starts; frames that went back stay in the one in progress.
        if (run.window > m_window) {
            closeWindow();
            m_window = run.window;
            m_windowEnd = m_first + (m_window + 1) * WindowNs;
        }
        for (int s = 0; s < 2; ++s) {
            m_bits[s] += run.bits[s];
            m_windowBits[s] += run.bits[s];
        }
    });
    if (tally.m_last > m_last)
        m_last = tally.m_last;
    m_lastBits = tally.m_lastBits;
    m_frames += tally.m_frames;
}

void BusLoad::closeWindow()
{
    if (m_windowBits[1] > m_peakBits[1])
        m_peakStart = m_window * WindowNs;
    for (int s = 0; s < 2; ++s) {
        m_peakBits[s] = std::max(m_peakBits[s], m_windowBits[s]);
        m_windowBits[s] = 0;
    }
}

qint64 BusLoad::durationNs() const
{
    if (!m_started)
        return 0;
    const qint64 lastFrameNs = m_bitRate > 0 ? qint64(m_lastBits) * 1'000'000'000 / m_bitRate : 0;
    return m_last - m_first + lastFrameNs;
}

double BusLoad::mean(bool worstStuffing) const
{
    // A trace shorter than one window is measured over the window, so the mean never passes the peak.
    const qint64 ns = std::max(durationNs(), WindowNs);
    if (m_bitRate <= 0 || m_frames == 0)
        return 0;
    return double(m_bits[worstStuffing ? 1 : 0]) / (double(ns) * 1e-9 * m_bitRate);
}

double BusLoad::peak(bool worstStuffing) const
{
    if (m_bitRate <= 0)
        return 0;
    const int s = worstStuffing ? 1 : 0;
    // The window in progress has not been closed yet.
    const quint64 bits = std::max(m_peakBits[s], m_windowBits[s]);
    return double(bits) / (double(WindowNs) * 1e-9 * m_bitRate);
}

namespace {
QString percent(double fraction)
{
    return QString::number(fraction * 100, 'f', 1) + QStringLiteral(" %");
}
} // namespace

QString BusLoad::text(int port, const Catalog &texts) const
{
    if (m_bitRate <= 0)
        return texts.text(TextId::LoadUnknown).arg(port);
    if (m_frames == 0)
        return texts.text(TextId::LoadNone).arg(port).arg(m_bitRate / 1000);
    qint64 peakStart = m_peakStart;
    if (m_windowBits[1] > m_peakBits[1])
        peakStart = m_window * WindowNs;
    return texts.text(TextId::LoadMeanAndPeak)
        .arg(QString::number(port), QString::number(m_bitRate / 1000), percent(mean(false)), percent(mean(true)),
             percent(peak(false)), percent(peak(true)), QString::number(double(peakStart) * 1e-9, 'f', 3));
}

QStringList BusLoad::warnings(int port, const Catalog &texts) const
{
    QStringList out;
    if (m_bitRate <= 0 || m_frames == 0)
        return out;
    // The texts for the peak, then for the mean: above the limit, and above it only with
    // worst-case stuffing.
    const auto check = [&](double nominal, double worst, double limit, int overText, int stuffedText) {
        if (nominal > limit)
            out << texts.text(overText).arg(QString::number(port), percent(nominal), percent(limit));
        else if (worst > limit)
            out << texts.text(stuffedText).arg(QString::number(port), percent(worst), percent(limit));
    };
    check(peak(false), peak(true), 1.0, TextId::LoadPeakOver, TextId::LoadPeakStuffedOver);
    check(mean(false), mean(true), 0.7, TextId::LoadMeanOver, TextId::LoadMeanStuffedOver);
    return out;
}
