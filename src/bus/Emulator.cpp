#include "bus/Emulator.h"

#include "bus/BusPrediction.h"
#include "bus/CanPort.h"
#include "core/base/IntText.h"

namespace {

std::optional<quint32> readId(const QString &text)
{
    const auto v = IntText::read(text);
    if (!v || *v < 0 || quint32(*v) > DeviceFacts::Max29Bit)
        return std::nullopt;
    return quint32(*v);
}

} // namespace

std::optional<EmulatorFault> EmulatorFault::parse(const QString &text, QString &error)
{
    const QStringList parts = text.split(u':');
    EmulatorFault f;
    const QString kind = parts.value(0);
    const int needed = kind == QLatin1String("remap") ? 3 : 2;
    if ((kind != QLatin1String("drop") && kind != QLatin1String("remap") && kind != QLatin1String("duplicate"))
        || parts.size() != needed) {
        error = QStringLiteral("'%1' is not a fault: write drop:ID, remap:ID:NEW or duplicate:ID").arg(text);
        return std::nullopt;
    }
    f.kind = kind == QLatin1String("drop") ? Drop : kind == QLatin1String("remap") ? Remap : Duplicate;
    for (int i = 1; i < needed; ++i) {
        const auto id = readId(parts.at(i));
        if (!id) {
            error = QStringLiteral("'%1' in fault '%2' is not an identifier (0 to 0x1FFFFFFF)").arg(parts.at(i), text);
            return std::nullopt;
        }
        (i == 1 ? f.id : f.newId) = *id;
    }
    return f;
}

Emulator::Emulator(CanPort &can0, CanPort &can1, const BusPrediction &prediction, std::vector<EmulatorFault> faults,
                   QObject *parent)
    : QObject(parent)
    , m_ports{&can0, &can1}
    , m_prediction(prediction)
    , m_faults(std::move(faults))
{
    for (int p = 0; p < 2; ++p) {
        connect(m_ports[p], &CanPort::framesReceived, this, [this, p] { forward(Direction::arrivingOn(p)); });
        connect(m_ports[p], &CanPort::failed, this, &Emulator::failed);
    }
}

void Emulator::forward(Direction from)
{
    CanPort &out = *m_ports[from.toPort()];
    for (const QCanBusFrame &in : m_ports[from.fromPort()]->readAll()) {
        if (in.frameType() != QCanBusFrame::DataFrame && in.frameType() != QCanBusFrame::RemoteRequestFrame)
            continue;
        ++m_received[from.fromPort()];
        const FilterImage::Route r = m_prediction.route(from, in.frameId(), in.hasExtendedFrameFormat());
        if (!r.passes)
            continue;
        QCanBusFrame frame = in;
        frame.setFrameId(r.id);
        frame.setExtendedFrameFormat(r.extended);
        int copies = 1;
        for (const EmulatorFault &f : m_faults) {
            if (f.id != in.frameId())
                continue;
            if (f.kind == EmulatorFault::Drop)
                copies = 0;
            else if (f.kind == EmulatorFault::Duplicate)
                copies = 2;
            else {
                frame.setFrameId(f.newId);
                frame.setExtendedFrameFormat(f.newId > DeviceFacts::Max11Bit || r.extended);
            }
        }
        for (int c = 0; c < copies; ++c) {
            if (!out.write(frame))
                return;
            ++m_forwarded[from.fromPort()];
        }
    }
}
