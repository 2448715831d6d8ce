#pragma once

#include <QCanBusFrame>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

// One side of the repeater as the verifier and the emulator see it. Behind it is a Qt
// SerialBus device (PEAK, Vector, SocketCAN, the virtual bus of the tests ...), so nothing
// above this knows which adapter is in use.
class CanPort : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual QString name() const = 0; // "virtualcan:can0", as the user gave it
    // Queues one frame; false (with failed() emitted) when the port refused it.
    virtual bool write(const QCanBusFrame &frame) = 0;
    // Frames handed to the port and not yet on the bus.
    virtual qint64 queued() const = 0;
    virtual QList<QCanBusFrame> readAll() = 0;

Q_SIGNALS:
    void framesReceived();
    void framesWritten();
    // The port can no longer be used: an adapter error, or the connection to the bus ended.
    void failed(const QString &why);
};

struct CanPortAddress
{
    QString plugin;    // "virtualcan", "socketcan", "peakcan", ...
    QString interface; // "can0", "PCAN_USBBUS1", "tcp://127.0.0.1:40001/can1"

    QString text() const { return plugin + u':' + interface; }
    // The virtual bus's host and port, and its channel ("can0" or "can1").
    bool isVirtual() const { return plugin == QLatin1String("virtualcan"); }
    QString virtualChannel() const;
    QString virtualServer() const; // "127.0.0.1:35468" when none is named
};

namespace CanPorts {

// "PLUGIN:INTERFACE". Returns an error text for a malformed one.
QString parse(const QString &text, CanPortAddress &address);

// What can be told before opening: an unknown plugin (naming the known ones), an interface
// the plugin does not list, and the virtual bus's traps (a channel it would silently take
// as can0, a host name that it waits for forever).
QString check(const CanPortAddress &address);

// Two sides on one interface would hear their own frames.
QString checkPair(const CanPortAddress &can0, const CanPortAddress &can1);

// Opens and connects, waiting at most `timeoutMs`. `bitRate` in bit/s, 0 to leave the
// adapter's own. Returns null with `error` set when it cannot.
std::unique_ptr<CanPort> open(const CanPortAddress &address, int bitRate, int timeoutMs, QString &error);

// "virtualcan:can0" ... for the interfaces every installed plugin lists.
QStringList available();

} // namespace CanPorts
