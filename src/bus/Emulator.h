#pragma once

#include "core/device/facts/Direction.h"

#include <QObject>
#include <QString>

#include <optional>
#include <vector>

class BusPrediction;
class CanPort;

// A fault the emulator plays on purpose, keyed on the identifier a frame arrives with.
struct EmulatorFault
{
    enum Kind { Drop, Remap, Duplicate };
    Kind kind = Drop;
    quint32 id = 0;
    quint32 newId = 0; // Remap: leaves as this (29-bit when above 0x7FF)

    // "drop:ID", "remap:ID:NEW", "duplicate:ID"; identifiers as integer text.
    static std::optional<EmulatorFault> parse(const QString &text, QString &error);
};

// Forwards frames between two ports as the project's device would.
class Emulator : public QObject
{
    Q_OBJECT
public:
    Emulator(CanPort &can0, CanPort &can1, const BusPrediction &prediction, std::vector<EmulatorFault> faults,
             QObject *parent = nullptr);

    // Frames that came in on `port`, and the copies of them sent on to the other port.
    qint64 received(int port) const { return m_received[port]; }
    qint64 forwarded(int port) const { return m_forwarded[port]; }

Q_SIGNALS:
    void failed(const QString &why);

private:
    void forward(Direction from);

    CanPort *m_ports[2];
    const BusPrediction &m_prediction;
    std::vector<EmulatorFault> m_faults;
    qint64 m_received[2] = {0, 0};
    qint64 m_forwarded[2] = {0, 0};
};
