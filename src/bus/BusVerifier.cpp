#include "bus/BusVerifier.h"
#include "core/base/Catalog.h"

#include "bus/CanPort.h"

#include <QRandomGenerator>

#include <algorithm>

BusVerifier::BusVerifier(CanPort &can0, CanPort &can1, const TestPlan &plan, const VerifyOptions &options,
                         QObject *parent)
    : QObject(parent)
    , m_ports{&can0, &can1}
    , m_plan(plan)
    , m_options(options)
{
    m_pacer.setTimerType(Qt::PreciseTimer);
    m_pacer.setInterval(1);
    connect(&m_pacer, &QTimer::timeout, this, &BusVerifier::tick);
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &BusVerifier::finishDirection);
    for (int p = 0; p < 2; ++p) {
        connect(m_ports[p], &CanPort::framesReceived, this, [this, p] { receive(p); });
        connect(m_ports[p], &CanPort::failed, this, [this](const QString &why) {
            if (m_running)
                stop(why);
        });
        connect(m_ports[p], &CanPort::framesWritten, this, [this] { m_lastWriteMs = m_total.elapsed(); });
    }
}

void BusVerifier::start()
{
    for (int d = 0; d < 2; ++d) {
        m_seen[d].assign(m_plan.frames[d].size(), Observation());
        m_sentMs[d].assign(m_plan.frames[d].size(), 0);
        m_maxSeq[d] = -1;
    }
    m_maxDelayMs = 0;
    m_runTag = QRandomGenerator::global()->bounded(1u, 0x10000u);
    m_error.clear();
    m_cancelled = false;
    m_running = true;
    m_step = 0;
    m_sentTotal = 0;
    m_total.start();
    startDirection();
}

void BusVerifier::cancel()
{
    if (!m_running)
        return;
    m_cancelled = true;
    stop(QString());
}

void BusVerifier::startDirection()
{
    if (m_step >= m_plan.directions.size()) {
        m_running = false;
        m_elapsedMs = m_total.elapsed();
        Q_EMIT finished();
        return;
    }
    m_next = 0;
    m_creditBits = 0;
    m_clock.start();
    m_lastNs = 0;
    m_lastWriteMs = m_total.elapsed();
    m_pacer.start();
}

void BusVerifier::tick()
{
    const Direction from = m_plan.directions[m_step];
    const std::vector<PlanFrame> &frames = m_plan.framesFrom(from);
    CanPort &sender = *m_ports[from.fromPort()];
    // The repeater sends on the other port: the slower of the two sets the pace.
    const double rate = std::min(m_options.bitRate[0], m_options.bitRate[1]);
    const qint64 now = m_clock.nsecsElapsed();
    m_creditBits += double(now - m_lastNs) * rate / 1e9;
    m_lastNs = now;
    // No saving up for a burst: at most 8 ms of bus time ahead, enough to ride out a late
    // timer; the bound on frames in flight keeps the adapter's queue short meanwhile.
    m_creditBits = std::min(m_creditBits, std::max(rate * 0.008, 160.0));

    if (sender.queued() > 0 && m_total.elapsed() - m_lastWriteMs > m_options.stallMs) {
        stop(Catalog::messages()
                 .text(TextId::BusNothingSent)
                 .arg(sender.name())
                 .arg(m_options.stallMs)
                 .arg(sender.queued()));
        return;
    }
    while (m_next < frames.size() && sender.queued() < m_options.maxInFlight) {
        const PlanFrame &f = frames[m_next];
        const int bits = std::max(wireBits(f.extended, 8), f.expected.passes ? wireBits(f.expected.extended, 8) : 0);
        if (m_options.paced && m_creditBits < bits)
            break;
        QCanBusFrame frame(f.id, PlanPayload::encode(quint32(m_next), from, m_runTag));
        frame.setExtendedFrameFormat(f.extended);
        if (sender.queued() == 0)
            m_lastWriteMs = m_total.elapsed();
        if (!sender.write(frame))
            return; // failed() stops the run
        m_creditBits -= bits;
        m_sentMs[from.index()][m_next] = m_total.elapsed();
        ++m_next;
        ++m_sentTotal;
        if ((m_sentTotal & 63) == 0)
            Q_EMIT progress(m_sentTotal, m_plan.size());
    }
    if (m_next >= frames.size() && sender.queued() == 0) {
        m_pacer.stop();
        Q_EMIT progress(m_sentTotal, m_plan.size());
        m_settleBeganMs = m_total.elapsed();
        m_settle.start(settleWaitMs());
    }
}

void BusVerifier::receive(int port)
{
    const QList<QCanBusFrame> frames = m_ports[port]->readAll();
    if (!m_running)
        return;
    bool arrived = false;
    for (const QCanBusFrame &f : frames) {
        if (f.frameType() != QCanBusFrame::DataFrame)
            continue;
        const auto payload = PlanPayload::decode(f.payload(), m_runTag);
        // A frame of ours on the side it was sent from is not an arrival.
        if (!payload || payload->direction.fromPort() == port)
            continue;
        const int d = payload->direction.index();
        if (payload->sequence >= m_seen[d].size())
            continue;
        Observation &o = m_seen[d][payload->sequence];
        m_maxDelayMs = std::max(m_maxDelayMs, m_total.elapsed() - m_sentMs[d][payload->sequence]);
        if (o.count++ == 0) {
            o.id = f.frameId();
            o.extended = f.hasExtendedFrameFormat();
            if (qint64(payload->sequence) < m_maxSeq[d])
                o.reordered = true;
        }
        m_maxSeq[d] = std::max<qint64>(m_maxSeq[d], payload->sequence);
        arrived = true;
    }
    // A repeater (or a test peer) that lags behind is still delivering: listen on while it does.
    if (arrived && m_settle.isActive())
        m_settle.start(settleWaitMs());
}

int BusVerifier::settleWaitMs() const
{
    const qint64 left = std::max<qint64>(m_options.maxSettleMs - (m_total.elapsed() - m_settleBeganMs), 0);
    // Nothing through yet where frames should pass: the repeater may just be slow to start.
    const Direction from = m_plan.directions[m_step];
    const std::vector<PlanFrame> &frames = m_plan.framesFrom(from);
    if (m_maxSeq[from.index()] < 0
        && std::any_of(frames.begin(), frames.end(), [](const PlanFrame &f) { return f.expected.passes; }))
        return int(left);
    return int(std::min<qint64>(m_options.settleMs + m_maxDelayMs, left));
}

void BusVerifier::finishDirection()
{
    ++m_step;
    startDirection();
}

void BusVerifier::stop(const QString &error)
{
    m_pacer.stop();
    m_settle.stop();
    m_error = error;
    m_running = false;
    m_elapsedMs = m_total.elapsed();
    Q_EMIT finished();
}
