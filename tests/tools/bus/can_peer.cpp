// A stand-in repeater for the bus tests, written from the device's own rules and reading the
// files its variant runs itself, so that a verification against it checks the predictions and
// not only the transport. Only Qt Core and SerialBus.
//
//   can_peer (--image bank_K60.bin | --bank1 bank1.bin --bank2 bank2.bin)
//            --can0 PLUGIN:IF --can1 PLUGIN:IF
//            [--fault drop:ID|remap:ID:NEW|duplicate:ID]... [--exit-after N]
//
// Prints "ready" once both sides are connected.
//
// Ethernet variant (the image): the device looks a frame up in the sorted table of its
// direction by the word "identifier | 0x80000000 for 29-bit". With positive implementation
// (parameter flags bit 2) a frame that is found leaves with the entry's replacement word (its
// bit 31 choosing 29-bit), one that is not found is dropped; without it a frame that is found
// is dropped and every other leaves unchanged.
//
// Serial variants (bank 1 for CAN 0 to CAN 1 with the settings, bank 2 for CAN 1 to CAN 0):
// - both ports 11-bit (settings bytes 16102 and 16105 zero): a direct map. An 11-bit frame
//   passes when its bit in the pass map at 9000 is set, and leaves under the replacement of
//   its map entry (4 bytes at 4 x id: u16 id, u16 replacement; FF FF FF FF for none), cut to
//   11 bits; without an entry it leaves unchanged. A 29-bit frame has no place in the map and
//   is dropped. Every frame leaves as 11-bit.
// - otherwise a sorted list of (u32 id, u32 replacement), its length in bank 1 at 16200
//   (CAN 0 to CAN 1) and 16202 (FF FF: none). The list has no 29-bit marks, so a frame is
//   found by its number whatever its format; of equal numbers the last entry counts, as the
//   direct map keeps the last row. Pass or drop as for the image; what passes leaves in the
//   frame type of the port it leaves by, its identifier cut to that width.
#include <QCanBus>
#include <QCanBusDevice>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <iterator>
#include <vector>

namespace {

struct Fault
{
    char kind; // 'd' drop, 'r' remap, 'u' duplicate
    quint32 id;
    quint32 newId;
};

constexpr quint32 Mark29 = 0x80000000u;
constexpr quint32 Max11 = 0x7FF;
constexpr quint32 Max29 = 0x1FFFFFFF;
constexpr int BankSize = 16384;

quint32 word(const QByteArray &b, int offset)
{
    return qFromLittleEndian<quint32>(b.constData() + offset);
}

quint16 half(const QByteArray &b, int offset)
{
    return qFromLittleEndian<quint16>(b.constData() + offset);
}

quint8 byteAt(const QByteArray &b, int offset)
{
    return quint8(b.at(offset));
}

bool number(const QString &text, quint32 &value)
{
    bool ok = false;
    value =
        text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toUInt(&ok, 16) : text.toUInt(&ok, 10);
    return ok;
}

int fail(const char *what)
{
    std::fprintf(stderr, "can_peer: %s\n", what);
    return 1;
}

bool readFile(const QString &path, QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return true;
}

// What one variant's files make of a frame.
struct Device
{
    enum Form { Image, Map, List } form = Image;
    bool positive = false;
    bool port29[2] = {false, false}; // list form: the frame type each port sends
    // Image and list: (key, replacement) in file order, which is ascending by key.
    std::vector<std::pair<quint32, quint32>> entries[2];
    // Map: pass bits and replacements (-1 for no entry) of the 2048 11-bit identifiers.
    QByteArray passMap[2];
    std::vector<qint32> mapMod[2];

    // False when the frame is dropped; else the identifier and format it leaves with.
    bool route(int from, quint32 &id, bool &ext) const
    {
        if (form == Map) {
            if (ext || id > Max11)
                return false;
            if (!((byteAt(passMap[from], int(id / 8)) >> (id % 8)) & 1))
                return false;
            const qint32 mod = mapMod[from][id];
            if (mod >= 0)
                id = quint32(mod) & Max11;
            return true;
        }
        const auto &e = entries[from];
        const quint32 key = form == Image && ext ? (id | Mark29) : id;
        // The last of equal keys: they stand in file order.
        auto it =
            std::upper_bound(e.begin(), e.end(), key, [](quint32 k, const auto &entry) { return k < entry.first; });
        const bool found = it != e.begin() && std::prev(it)->first == key;
        if (found != positive)
            return false;
        if (form == Image) {
            if (found) {
                // The image answers with the first of equal keys.
                it = std::lower_bound(e.begin(), e.end(), key,
                                      [](const auto &entry, quint32 k) { return entry.first < k; });
                id = it->second & Max29;
                ext = (it->second & Mark29) != 0;
            }
            return true;
        }
        ext = port29[1 - from];
        id = (found ? std::prev(it)->second : id) & (ext ? Max29 : Max11);
        return true;
    }

    const char *readImage(const QByteArray &image)
    {
        if (image.size() != 0x8800)
            return "the image is not 34816 bytes";
        form = Image;
        positive = (word(image, 0x8170) & 4) != 0;
        for (int t = 0; t < 2; ++t) {
            const quint32 count = std::min<quint32>(word(image, t == 0 ? 0x8178 : 0x8180), 2048);
            for (quint32 k = 0; k < count; ++k)
                entries[t].emplace_back(word(image, t * 0x4000 + int(8 * k)), word(image, t * 0x4000 + int(8 * k) + 4));
        }
        return nullptr;
    }

    const char *readBanks(const QByteArray &bank1, const QByteArray &bank2)
    {
        if (bank1.size() != BankSize || bank2.size() != BankSize)
            return "a bank is not 16384 bytes";
        const QByteArray *banks[2] = {&bank1, &bank2};
        port29[0] = byteAt(bank1, 16102) != 0;
        port29[1] = byteAt(bank1, 16105) != 0;
        positive = byteAt(bank1, 16103) != 0;
        form = port29[0] || port29[1] ? List : Map;
        for (int d = 0; d < 2; ++d) {
            const QByteArray &bank = *banks[d];
            if (form == Map) {
                passMap[d] = bank.mid(9000, 256);
                mapMod[d].assign(2048, -1);
                for (int i = 0; i < 2048; ++i) {
                    const quint16 orig = half(bank, 4 * i);
                    if (orig == 0xFFFF)
                        continue;
                    if (orig != i)
                        return "a map entry names another identifier than its place";
                    mapMod[d][size_t(i)] = half(bank, 4 * i + 2);
                }
            } else {
                const quint16 stored = half(bank1, d == 0 ? 16200 : 16202);
                const int count = stored == 0xFFFF ? 0 : stored;
                if (count > 2000)
                    return "a list claims more than 2000 entries";
                for (int k = 0; k < count; ++k) {
                    entries[d].emplace_back(word(bank, 8 * k), word(bank, 8 * k + 4));
                    if (k > 0 && entries[d][size_t(k)].first < entries[d][size_t(k - 1)].first)
                        return "a list is not in ascending order";
                }
            }
        }
        return nullptr;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    QString imagePath;
    QString bankPaths[2];
    QString sides[2];
    std::vector<Fault> faults;
    long exitAfter = -1;
    long lagMs = 0; // forward every frame this late, as a slow repeater does
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString &k = args.at(i);
        const QString &v = args.at(i + 1);
        if (k == QLatin1String("--image"))
            imagePath = v;
        else if (k == QLatin1String("--bank1"))
            bankPaths[0] = v;
        else if (k == QLatin1String("--bank2"))
            bankPaths[1] = v;
        else if (k == QLatin1String("--can0"))
            sides[0] = v;
        else if (k == QLatin1String("--can1"))
            sides[1] = v;
        else if (k == QLatin1String("--exit-after"))
            exitAfter = v.toLong();
        else if (k == QLatin1String("--lag"))
            lagMs = v.toLong();
        else if (k == QLatin1String("--fault")) {
            const QStringList p = v.split(u':');
            Fault f{p.value(0) == QLatin1String("drop") ? 'd' : p.value(0) == QLatin1String("remap") ? 'r' : 'u', 0, 0};
            if (!number(p.value(1), f.id) || (f.kind == 'r' && !number(p.value(2), f.newId)))
                return fail("bad --fault");
            faults.push_back(f);
        } else
            return fail("unknown option");
    }
    Device device;
    const char *problem = nullptr;
    if (!imagePath.isEmpty()) {
        QByteArray image;
        if (!readFile(imagePath, image))
            return fail("cannot read the image");
        problem = device.readImage(image);
    } else {
        QByteArray banks[2];
        if (!readFile(bankPaths[0], banks[0]) || !readFile(bankPaths[1], banks[1]))
            return fail("cannot read the banks (--image, or --bank1 and --bank2)");
        problem = device.readBanks(banks[0], banks[1]);
    }
    if (problem)
        return fail(problem);

    QCanBusDevice *devices[2] = {nullptr, nullptr};
    for (int s = 0; s < 2; ++s) {
        const int colon = sides[s].indexOf(u':');
        QString error;
        devices[s] = QCanBus::instance()->createDevice(sides[s].left(colon), sides[s].mid(colon + 1), &error);
        if (!devices[s] || !devices[s]->connectDevice())
            return fail("cannot open a side");
    }
    long forwarded = 0;
    // Frames held back by --lag, in arrival order, with when they leave.
    struct Late
    {
        qint64 dueMs;
        QCanBusDevice *out;
        QCanBusFrame frame;
    };
    std::deque<Late> late;
    QElapsedTimer clock;
    clock.start();
    QTimer release;
    QObject::connect(&release, &QTimer::timeout, &app, [&] {
        while (!late.empty() && late.front().dueMs <= clock.elapsed()) {
            late.front().out->writeFrame(late.front().frame);
            late.pop_front();
        }
    });
    if (lagMs > 0)
        release.start(2);
    for (int s = 0; s < 2; ++s) {
        QObject::connect(devices[s], &QCanBusDevice::framesReceived, &app, [&, s] {
            QCanBusDevice *out = devices[1 - s];
            for (QCanBusFrame frame : devices[s]->readAllFrames()) {
                if (frame.frameType() != QCanBusFrame::DataFrame)
                    continue;
                const quint32 in = frame.frameId();
                quint32 id = in;
                bool ext = frame.hasExtendedFrameFormat();
                if (!device.route(s, id, ext))
                    continue;
                frame.setFrameId(id);
                frame.setExtendedFrameFormat(ext);
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
                for (int c = 0; c < copies; ++c) {
                    if (lagMs > 0)
                        late.push_back(Late{clock.elapsed() + lagMs, out, frame});
                    else
                        out->writeFrame(frame);
                }
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
        if (devices[0]->state() == QCanBusDevice::ConnectedState
            && devices[1]->state() == QCanBusDevice::ConnectedState) {
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
