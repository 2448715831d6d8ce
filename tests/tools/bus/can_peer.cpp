// A stand-in repeater for the bus tests, written from the device's own rules and reading the
// configuration image itself, so that a verification against it checks the predictions and
// not only the transport. Only Qt Core and SerialBus.
//
//   can_peer --image bank_K60.bin --can0 PLUGIN:IF --can1 PLUGIN:IF
//            [--fault drop:ID|remap:ID:NEW|duplicate:ID]... [--exit-after N]
//
// Prints "ready" once both sides are connected. The device looks a frame up in the sorted
// table of its direction by the word "identifier | 0x80000000 for 29-bit". With positive
// implementation (parameter flags bit 2) a frame that is found leaves with the entry's
// replacement word (its bit 31 choosing 29-bit), one that is not found is dropped; without
// it a frame that is found is dropped and every other leaves unchanged.

#include <QCanBus>
#include <QCanBusDevice>
#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Fault
{
    char kind; // 'd' drop, 'r' remap, 'u' duplicate
    quint32 id;
    quint32 newId;
};

struct Table
{
    std::vector<std::pair<quint32, quint32>> entries; // sorted by the first word
};

quint32 word(const QByteArray &b, int offset)
{
    return qFromLittleEndian<quint32>(b.constData() + offset);
}

bool number(const QString &text, quint32 &value)
{
    bool ok = false;
    value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toUInt(&ok, 16) : text.toUInt(&ok, 10);
    return ok;
}

int fail(const char *what)
{
    std::fprintf(stderr, "can_peer: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString imagePath;
    QString sides[2];
    std::vector<Fault> faults;
    long exitAfter = -1;
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString &k = args.at(i);
        const QString &v = args.at(i + 1);
        if (k == QLatin1String("--image"))
            imagePath = v;
        else if (k == QLatin1String("--can0"))
            sides[0] = v;
        else if (k == QLatin1String("--can1"))
            sides[1] = v;
        else if (k == QLatin1String("--exit-after"))
            exitAfter = v.toLong();
        else if (k == QLatin1String("--fault")) {
            const QStringList p = v.split(u':');
            Fault f{p.value(0) == QLatin1String("drop") ? 'd' : p.value(0) == QLatin1String("remap") ? 'r' : 'u', 0, 0};
            if (!number(p.value(1), f.id) || (f.kind == 'r' && !number(p.value(2), f.newId)))
                return fail("bad --fault");
            faults.push_back(f);
        } else
            return fail("unknown option");
    }
    QFile file(imagePath);
    if (!file.open(QIODevice::ReadOnly))
        return fail("cannot read the image");
    const QByteArray image = file.readAll();
    if (image.size() != 0x8800)
        return fail("the image is not 34816 bytes");
    const bool positive = (word(image, 0x8170) & 4) != 0;
    Table tables[2];
    for (int t = 0; t < 2; ++t) {
        const quint32 count = std::min<quint32>(word(image, t == 0 ? 0x8178 : 0x8180), 2048);
        for (quint32 k = 0; k < count; ++k)
            tables[t].entries.emplace_back(word(image, t * 0x4000 + int(8 * k)), word(image, t * 0x4000 + int(8 * k) + 4));
    }

    QCanBusDevice *devices[2] = {nullptr, nullptr};
    for (int s = 0; s < 2; ++s) {
        const int colon = sides[s].indexOf(u':');
        QString error;
        devices[s] = QCanBus::instance()->createDevice(sides[s].left(colon), sides[s].mid(colon + 1), &error);
        if (!devices[s] || !devices[s]->connectDevice())
            return fail("cannot open a side");
    }
    long forwarded = 0;
    for (int s = 0; s < 2; ++s) {
        QObject::connect(devices[s], &QCanBusDevice::framesReceived, &app, [&, s] {
            QCanBusDevice *out = devices[1 - s];
            for (QCanBusFrame frame : devices[s]->readAllFrames()) {
                if (frame.frameType() != QCanBusFrame::DataFrame)
                    continue;
                const quint32 in = frame.frameId();
                const quint32 key = in | (frame.hasExtendedFrameFormat() ? 0x80000000u : 0);
                const auto &e = tables[s].entries;
                const auto it = std::lower_bound(e.begin(), e.end(), key, [](const auto &entry, quint32 k) { return entry.first < k; });
                const bool found = it != e.end() && it->first == key;
                if (found != positive)
                    continue;
                if (found) {
                    frame.setFrameId(it->second & 0x1FFFFFFFu);
                    frame.setExtendedFrameFormat((it->second & 0x80000000u) != 0);
                }
                int copies = 1;
                for (const Fault &f : faults) {
                    if (f.id != in)
                        continue;
                    if (f.kind == 'd')
                        copies = 0;
                    else if (f.kind == 'u')
                        copies = 2;
                    else {
                        frame.setFrameId(f.newId);
                        frame.setExtendedFrameFormat(f.newId > 0x7FF || frame.hasExtendedFrameFormat());
                    }
                }
                for (int c = 0; c < copies; ++c)
                    out->writeFrame(frame);
                if (exitAfter >= 0 && ++forwarded >= exitAfter) {
                    // Leave abruptly, as a process hosting the bus does when it crashes.
                    std::fflush(stdout);
                    std::_Exit(0);
                }
            }
        });
    }
    // Connected: both sides, bounded.
    QTimer poll;
    int waited = 0;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (devices[0]->state() == QCanBusDevice::ConnectedState && devices[1]->state() == QCanBusDevice::ConnectedState) {
            poll.stop();
            std::printf("ready\n");
            std::fflush(stdout);
        } else if (++waited > 500) {
            std::fprintf(stderr, "can_peer: the sides did not connect\n");
            app.exit(1);
        }
    });
    poll.start(10);
    return app.exec();
}
