#pragma once

#include "bus/TestPlan.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <vector>

class CanPort;

struct VerifyOptions
{
    int bitRate[2] = {500000, 500000}; // bit/s of CAN 0 and CAN 1
    bool paced = true;                 // false only to measure what the interfaces themselves take
    int maxInFlight = 8;               // frames handed to the sending interface and not yet on the bus
    // How long to listen for late frames after the last one left, beyond the longest delay a
    // frame has taken through the repeater so far in this run; a late frame that arrives
    // meanwhile starts that wait again, up to maxSettleMs in all. Until a first frame of a
    // direction has come through, it waits the whole maxSettleMs.
    int settleMs = 300;
    int maxSettleMs = 10000;
    int stallMs = 3000; // an interface that sends nothing for this long has failed
};

// What arrived for one plan frame.
struct Observation
{
    int count = 0;
    quint32 id = 0; // of the first arrival
    bool extended = false;
    bool reordered = false; // it came after a frame sent later
};

// Sends a plan on one side of the repeater and records what arrives on the other, direction
// after direction, paced so that the frames never go out faster than the slower port carries
// them and never more than a few wait in the sending interface.
class BusVerifier : public QObject
{
    Q_OBJECT
public:
    BusVerifier(CanPort &can0, CanPort &can1, const TestPlan &plan, const VerifyOptions &options,
                QObject *parent = nullptr);

    void start();
    void cancel();

    bool running() const { return m_running; }
    bool cancelled() const { return m_cancelled; }
    QString error() const { return m_error; } // why the run stopped early
    const std::vector<Observation> &seen(Direction direction) const { return m_seen[direction.index()]; }
    qint64 elapsedMs() const { return m_elapsedMs; }
    quint32 runTag() const { return m_runTag; }

Q_SIGNALS:
    void progress(int sent, int total);
    void finished();

private:
    void startDirection();
    void tick();
    void receive(int port);
    void stop(const QString &error);
    void finishDirection();
    int settleWaitMs() const;

    CanPort *m_ports[2];
    const TestPlan &m_plan;
    VerifyOptions m_options;
    std::vector<Observation> m_seen[2]; // by Direction::index(), as the two below
    std::vector<qint64> m_sentMs[2];    // when each frame of the plan left
    qint64 m_maxDelayMs = 0;            // the longest a frame took through the repeater
    QTimer m_pacer;
    QTimer m_settle;
    QElapsedTimer m_clock;
    QElapsedTimer m_total;
    qint64 m_lastNs = 0;
    qint64 m_lastWriteMs = 0;
    qint64 m_settleBeganMs = 0;
    double m_creditBits = 0;
    size_t m_step = 0; // index into m_plan.directions
    size_t m_next = 0; // next frame of the direction
    int m_sentTotal = 0;
    qint64 m_maxSeq[2] = {-1, -1};
    quint32 m_runTag = 0;
    qint64 m_elapsedMs = 0;
    bool m_running = false;
    bool m_cancelled = false;
    QString m_error;
};
