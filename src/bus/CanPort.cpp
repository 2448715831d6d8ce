#include "bus/CanPort.h"
#include "core/base/Catalog.h"

#include <QCanBus>
#include <QCanBusDevice>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>
#include <QVariant>

namespace {

class QtCanPort final : public CanPort
{
public:
    QtCanPort(const QString &name, QCanBusDevice *device)
        : m_name(name)
        , m_device(device)
    {
        m_device->setParent(this);
        connect(m_device, &QCanBusDevice::framesReceived, this, &CanPort::framesReceived);
        connect(m_device, &QCanBusDevice::framesWritten, this, &CanPort::framesWritten);
        connect(m_device, &QCanBusDevice::errorOccurred, this, [this](QCanBusDevice::CanBusError e) {
            // Error frames and read errors of a live bus are not the end of the port.
            if (e == QCanBusDevice::ReadError || e == QCanBusDevice::NoError)
                return;
            fail(QStringLiteral("%1: %2").arg(m_name, m_device->errorString()));
        });
        connect(m_device, &QCanBusDevice::stateChanged, this, [this](QCanBusDevice::CanBusDeviceState s) {
            // The virtual bus drops its clients without an error when the process hosting it
            // ends: the state change is all there is to see.
            if (s == QCanBusDevice::UnconnectedState && !m_closing)
                fail(Catalog::messages().text(TextId::BusConnectionEnded).arg(m_name));
        });
    }
    ~QtCanPort() override
    {
        m_closing = true;
        if (m_device->state() != QCanBusDevice::UnconnectedState)
            m_device->disconnectDevice();
    }

    QString name() const override { return m_name; }
    bool write(const QCanBusFrame &frame) override
    {
        if (m_failed)
            return false;
        if (m_device->state() != QCanBusDevice::ConnectedState) {
            fail(Catalog::messages().text(TextId::BusNotConnected).arg(m_name));
            return false;
        }
        if (!m_device->writeFrame(frame)) {
            fail(Catalog::messages().text(TextId::BusFrameRefused).arg(m_name, m_device->errorString()));
            return false;
        }
        return true;
    }
    qint64 queued() const override { return m_device->framesToWrite(); }
    QList<QCanBusFrame> readAll() override { return m_device->readAllFrames(); }

    QCanBusDevice *device() { return m_device; }
    void setClosing() { m_closing = true; }

private:
    void fail(const QString &why)
    {
        if (m_failed || m_closing)
            return;
        m_failed = true;
        Q_EMIT failed(why);
    }

    QString m_name;
    QCanBusDevice *m_device;
    bool m_failed = false;
    bool m_closing = false;
};

QString virtualUrlPart(const CanPortAddress &address, bool channel)
{
    if (!address.interface.contains(QLatin1String("://")))
        return channel ? address.interface : QString();
    const QUrl url(address.interface);
    if (channel)
        return url.path().mid(1);
    return url.host() + u':' + QString::number(url.port(35468));
}

} // namespace

QString CanPortAddress::virtualChannel() const
{
    return virtualUrlPart(*this, true);
}

QString CanPortAddress::virtualServer() const
{
    const QString s = virtualUrlPart(*this, false);
    return s.isEmpty() ? QStringLiteral("127.0.0.1:35468") : s;
}

namespace CanPorts {

QString parse(const QString &text, CanPortAddress &address)
{
    const int colon = text.indexOf(u':');
    if (colon <= 0 || colon == text.size() - 1)
        return Catalog::messages().text(TextId::BusAddressFormat).arg(text);
    address.plugin = text.left(colon);
    address.interface = text.mid(colon + 1);
    return QString();
}

QString check(const CanPortAddress &address)
{
    const QStringList plugins = QCanBus::instance()->plugins();
    if (!plugins.contains(address.plugin))
        return Catalog::messages()
            .text(TextId::BusNoPlugin)
            .arg(address.text(), address.plugin, plugins.join(QStringLiteral(", ")));
    if (address.isVirtual()) {
        const QString channel = address.virtualChannel();
        if (channel != QLatin1String("can0") && channel != QLatin1String("can1"))
            return Catalog::messages().text(TextId::BusVirtualChannel).arg(address.text(), channel);
        if (address.interface.contains(QLatin1String("://"))) {
            const QUrl url(address.interface);
            if (!url.isValid() || url.scheme() != QLatin1String("tcp"))
                return Catalog::messages().text(TextId::BusVirtualUrl).arg(address.text());
            if (url.host() != QLatin1String("127.0.0.1"))
                return Catalog::messages().text(TextId::BusVirtualHost).arg(address.text(), url.host());
        }
        return QString();
    }
    QString error;
    const QList<QCanBusDeviceInfo> devices = QCanBus::instance()->availableDevices(address.plugin, &error);
    // Some plugins cannot list their interfaces; the open then tells.
    if (devices.isEmpty())
        return QString();
    QStringList names;
    for (const QCanBusDeviceInfo &d : devices) {
        if (d.name() == address.interface)
            return QString();
        names.append(d.name());
    }
    return Catalog::messages()
        .text(TextId::BusNoInterface)
        .arg(address.text(), address.plugin, address.interface, names.join(QStringLiteral(", ")));
}

QString checkPair(const CanPortAddress &can0, const CanPortAddress &can1)
{
    const bool same = can0.plugin == can1.plugin
        && (can0.isVirtual()
                ? (can0.virtualServer() == can1.virtualServer() && can0.virtualChannel() == can1.virtualChannel())
                : can0.interface == can1.interface);
    if (same)
        return Catalog::messages().text(TextId::BusSameInterface).arg(can0.text());
    return QString();
}

std::unique_ptr<CanPort> open(const CanPortAddress &address, int bitRate, int timeoutMs, QString &error)
{
    error = check(address);
    if (!error.isEmpty())
        return nullptr;
    QString why;
    QCanBusDevice *device = QCanBus::instance()->createDevice(address.plugin, address.interface, &why);
    if (!device) {
        error = Catalog::messages()
                    .text(TextId::BusCannotOpen)
                    .arg(address.text(), why.isEmpty() ? Catalog::messages().text(TextId::BusPluginRefused) : why);
        return nullptr;
    }
    if (bitRate > 0 && !address.isVirtual())
        device->setConfigurationParameter(QCanBusDevice::BitRateKey, QVariant(bitRate));
    auto port = std::make_unique<QtCanPort>(address.text(), device);
    QString failure;
    const QMetaObject::Connection noteFailure =
        QObject::connect(port.get(), &CanPort::failed, port.get(), [&failure](const QString &w) { failure = w; });
    if (!device->connectDevice()) {
        port->setClosing();
        if (address.plugin == QLatin1String("passthrucan"))
            device->setParent(nullptr);
        error = Catalog::messages().text(TextId::BusCannotOpen).arg(address.text(), device->errorString());
        return nullptr;
    }
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(device, &QCanBusDevice::stateChanged, &loop, &QEventLoop::quit);
    QObject::connect(device, &QCanBusDevice::errorOccurred, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    while (device->state() == QCanBusDevice::ConnectingState && clock.elapsed() < timeoutMs && failure.isEmpty()) {
        timer.start(int(qMax<qint64>(1, timeoutMs - clock.elapsed())));
        loop.exec();
    }
    if (device->state() != QCanBusDevice::ConnectedState) {
        port->setClosing();
        // This Qt aborts when a J2534 device that failed to open is deleted: keep it.
        if (address.plugin == QLatin1String("passthrucan"))
            device->setParent(nullptr);
        if (failure.isEmpty())
            failure = device->errorString();
        error = failure.isEmpty()
            ? Catalog::messages().text(TextId::BusConnectTimeout).arg(address.text()).arg(timeoutMs)
            : Catalog::messages().text(TextId::BusCannotOpen).arg(address.text(), failure);
        return nullptr;
    }
    QObject::disconnect(noteFailure);
    return port;
}

QStringList available()
{
    QStringList names;
    for (const QString &plugin : QCanBus::instance()->plugins()) {
        // Listing a J2534 plugin's adapters loads vendor libraries; it is named by hand.
        if (plugin == QLatin1String("passthrucan"))
            continue;
        for (const QCanBusDeviceInfo &d : QCanBus::instance()->availableDevices(plugin))
            names.append(plugin + u':' + d.name());
    }
    return names;
}

} // namespace CanPorts
