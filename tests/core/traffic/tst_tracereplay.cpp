#include "FilterImageBytes.h"
#include "TraceByLine.h"

#include "core/device/DevicePrediction.h"
#include "core/device/facts/DeviceFacts.h"
#include "core/traffic/BusLoad.h"
#include "core/traffic/CandumpReader.h"
#include "core/traffic/FrameLength.h"
#include "core/traffic/TraceReplay.h"

#include <QBuffer>
#include <QTest>

namespace {

constexpr quint32 X = DeviceFacts::ExtMark;

// Positive implementation from CAN 0: 0x123 leaves as 0x456, 0x100 unchanged, 0x18FEF100
// (29-bit) as 0x200; every other identifier is blocked.
DevicePrediction device()
{
    DevicePrediction d;
    const QString error =
        d.parseImage(FilterImageBytes::make({{0x100, 0x100}, {0x123, 0x456}, {X | 0x18FEF100, 0x200}}, {}, true),
                     u"bank_K60.bin"_qs);
    if (!error.isEmpty())
        qFatal("%s", qPrintable(error));
    return d;
}

struct Replayed
{
    QString error;
    QByteArray out;
    ReplaySummary summary;
    QList<qint64> malformedLines;
};

Replayed replay(const QByteArray &trace, bool strict = false)
{
    QBuffer in;
    in.setData(trace);
    in.open(QIODevice::ReadOnly);
    Replayed r;
    QBuffer out(&r.out);
    out.open(QIODevice::WriteOnly);
    TraceReplay::Options options;
    options.strict = strict;
    r.error = TraceReplay::run(in, &out, device(), options, r.summary,
                               [&](const MalformedLine &m) { r.malformedLines << m.line; });
    return r;
}

// Gives at most a few kilobytes per read, of varying size.
class ShortReads : public QBuffer
{
public:
    explicit ShortReads(const QByteArray &data) { setData(data); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        m_turn = (m_turn * 7 + 3) % 8191;
        return QBuffer::readData(data, std::min<qint64>(maxSize, 1 + m_turn));
    }

private:
    qint64 m_turn = 0;
};

} // namespace

class TestTraceReplay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void candumpLines_data();
    void candumpLines();
    void replaysCandump();
    void replaysAsc();
    void largeTraceReadsAsLineByLine();
    void malformedLines();
    void refusesOtherText();
    void frameLengths();
    void busLoad();
};

void TestTraceReplay::candumpLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<quint32>("id");
    QTest::addColumn<bool>("extended");
    QTest::addColumn<int>("dataBytes");
    QTest::addColumn<QString>("kind"); // data, remote, fd, error

    QTest::newRow("data") << QByteArray("(1436509053.249713) can0 123#DEADBEEF") << true << 0x123u << false << 4
                          << u"data"_qs;
    QTest::newRow("29-bit") << QByteArray("(1.5) vcan1 18FEF100#0102030405060708") << true << 0x18FEF100u << true << 8
                            << u"data"_qs;
    QTest::newRow("no data") << QByteArray("(0.000001) can0 7FF#") << true << 0x7FFu << false << 0 << u"data"_qs;
    QTest::newRow("remote") << QByteArray("(1.0) can0 123#R") << true << 0x123u << false << 0 << u"remote"_qs;
    QTest::newRow("remote with DLC") << QByteArray("(1.0) can0 123#R8") << true << 0x123u << false << 0 << u"remote"_qs;
    QTest::newRow("CAN FD") << QByteArray("(1.0) can0 123##1AABBCCDDEEFF001122") << true << 0x123u << false << 9
                            << u"fd"_qs;
    QTest::newRow("direction flag") << QByteArray("(1.0) can0 123#11 T") << true << 0x123u << false << 1 << u"data"_qs;
    QTest::newRow("error frame") << QByteArray("(1.0) can0 20000080#0000000000000000") << true << 0u << true << 0
                                 << u"error"_qs;
    QTest::newRow("11-bit beyond 0x7FF") << QByteArray("(1.0) can0 800#11") << false << 0u << false << 0 << QString();
    QTest::newRow("four digits") << QByteArray("(1.0) can0 0123#11") << false << 0u << false << 0 << QString();
    QTest::newRow("nine data bytes") << QByteArray("(1.0) can0 123#112233445566778899") << false << 0u << false << 0
                                     << QString();
    QTest::newRow("no time stamp") << QByteArray("can0 123#11") << false << 0u << false << 0 << QString();
    QTest::newRow("odd digit") << QByteArray("(1.0) can0 123#112") << false << 0u << false << 0 << QString();
}

void TestTraceReplay::candumpLines()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, ok);
    QFETCH(quint32, id);
    QFETCH(bool, extended);
    QFETCH(int, dataBytes);
    QFETCH(QString, kind);
    TraceFrame f;
    QString reason;
    QCOMPARE(CandumpReader::read(line, f, reason) == TraceLine::Frame, ok);
    QCOMPARE(reason.isEmpty(), ok);
    if (!ok)
        return;
    QCOMPARE(f.error, kind == u"error"_qs);
    if (f.error)
        return;
    QCOMPARE(f.id, id);
    QCOMPARE(f.extended, extended);
    QCOMPARE(f.dataBytes, dataBytes);
    QCOMPARE(f.remote, kind == u"remote"_qs);
    QCOMPARE(f.fd, kind == u"fd"_qs);
}

void TestTraceReplay::replaysCandump()
{
    const Replayed r = replay("(1436509053.249713) can0 123#DEADBEEF\n"
                              "(1436509053.250000) can0 124#01\n"
                              "(1436509053.260000) can0 18FEF100#0102\n"
                              "\n"
                              "(1436509053.270000) can0 100#R\n"
                              "(1436509053.280000) can0 123##1AABB"); // no line break at the end
    QCOMPARE(r.error, QString());
    QCOMPARE(r.out,
             QByteArray("(1436509053.249713) can0 456#DEADBEEF\n"
                        "(1436509053.260000) can0 200#0102\n"
                        "(1436509053.270000) can0 100#R\n"
                        "(1436509053.280000) can0 456##1AABB\n"));
    const ReplaySummary &s = r.summary;
    QCOMPARE(s.format, TraceFormat::Candump);
    QCOMPARE(s.framesIn, 5u);
    QCOMPARE(s.passed, 4u);
    QCOMPARE(s.remapped, 3u);
    QCOMPARE(s.blocked, 1u);
    QCOMPARE(s.idsIn, 4);
    QCOMPARE(s.idsPassed, 3);
    QCOMPARE(s.idsRemapped, 2);
    QCOMPARE(s.idsBlocked, 1);
    QCOMPARE(s.trafficIn[0x123], 2u);
}

void TestTraceReplay::replaysAsc()
{
    // CR LF kept; header, measurement start and footer kept; the identifier's column kept.
    const Replayed r = replay("date Thu Dec 10 05:00:00.000 2026\r\n"
                              "base hex  timestamps absolute\r\n"
                              "Begin Triggerblock Thu Dec 10 05:00:00.000 2026\r\n"
                              "   0.000000 Start of measurement\r\n"
                              "   0.001000 1  123             Rx   d 4 11 22 33 44\r\n"
                              "   0.002000 1  18FEF100x       Rx   d 2 01 02\r\n"
                              "   0.003000 1  124             Rx   d 1 01\r\n"
                              "   0.004000 1  ErrorFrame\r\n"
                              "   0.005000 CANFD   1 Rx        100                                   1 0 2  2 AA BB\r\n"
                              "   0.006000 1  Statistic: D 0 R 0 XD 0 XR 0 E 0 O 0 B 0.00%\r\n"
                              "End TriggerBlock\r\n");
    QCOMPARE(r.error, QString());
    QCOMPARE(r.out,
             QByteArray("date Thu Dec 10 05:00:00.000 2026\r\n"
                        "base hex  timestamps absolute\r\n"
                        "Begin Triggerblock Thu Dec 10 05:00:00.000 2026\r\n"
                        "   0.000000 Start of measurement\r\n"
                        "   0.001000 1  456             Rx   d 4 11 22 33 44\r\n"
                        "   0.002000 1  200             Rx   d 2 01 02\r\n"
                        "   0.005000 CANFD   1 Rx        100                                   1 0 2  2 AA BB\r\n"
                        "End TriggerBlock\r\n"));
    QCOMPARE(r.summary.format, TraceFormat::Asc);
    QCOMPARE(r.summary.framesIn, 4u);
    QCOMPARE(r.summary.errorFrames, 1u);
    QCOMPARE(r.summary.blocked, 1u);

    // Decimal identifiers and relative time stamps.
    const Replayed dec = replay("base dec  timestamps relative\n"
                                "   0.010000 1  291             Rx   d 1 01\n"
                                "   0.010000 1  419361024x      Rx   d 1 01\n");
    QCOMPARE(dec.error, QString());
    QCOMPARE(dec.out,
             QByteArray("base dec  timestamps relative\n"
                        "   0.010000 1  1110            Rx   d 1 01\n"
                        "   0.010000 1  512             Rx   d 1 01\n"));
    QCOMPARE(dec.summary.load.durationNs() >= 10'000'000, true);
}

// A trace of several megabytes, so that it is read in several chunks (replayed on several
// threads where there are), with every kind of line mixed in: its output and summary must be
// those of reading it line by line with the full parser.
void TestTraceReplay::largeTraceReadsAsLineByLine()
{
    // Unchanged, remapped and blocked identifiers of both formats.
    FilterImageBytes::Table rows;
    for (quint32 id = 0; id < 0x400; ++id)
        rows.push_back({id, id == 0x123 ? 0x456 : id});
    rows.push_back({X | 0x18FEF100, 0x200});
    rows.push_back({X | 0x0000ABCD, X | 0x0000ABCD});
    rows.push_back({X | 0x00000100, 0x100}); // the same number, leaving as an 11-bit identifier
    DevicePrediction d;
    QCOMPARE(d.parseImage(FilterImageBytes::make(rows, {}, true), u"bank_K60.bin"_qs), QString());

    static const char *const tails[] = {"#DEADBEEF",
                                        "#",
                                        "#0011223344556677",
                                        "#R",
                                        "#R8",
                                        "##1AABBCC",
                                        "##0",
                                        "#11 T",
                                        "#112",
                                        "#112233445566778899",
                                        "#1122334455667788_9",
                                        "#ab"};
    static const char *const ifaces[] = {"can0", "vcan12", "a_very_long_interface_name", "c"};
    QByteArray trace;
    quint32 seed = 7;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    qint64 micros = 1436509053'000000;
    bool longLine = false;
    // The first line is an ordinary frame, so that the format is known from the first chunk.
    trace += "(1436509053.000000) can0 123#11\n";
    while (trace.size() < 5 * 1024 * 1024 + 12345) {
        const quint32 r = next();
        micros += (r % 97 == 0) ? -3000 : qint64(r % 50); // now and then back in time
        const quint32 kind = r % 1000;
        QByteArray line;
        if (kind < 3) {
            line = "\n";
        } else if (kind < 5) {
            line = "garbage that is no frame\n";
        } else if (kind == 5 && !longLine) {
            longLine = true;
            line = "(1.0) can0 123#" + QByteArray(2 * 1024 * 1024 + 77, '1') + "\n"; // longer than a chunk
        } else {
            QByteArray time = QByteArray::number(micros / 1000000) + '.'
                + QByteArray::number(micros % 1000000).rightJustified(6, '0');
            if (kind < 20)
                time = QByteArray::number(micros / 1000000) + '.' + QByteArray::number(micros % 1000); // three decimals
            QByteArray id;
            const quint32 pick = next() % 16;
            if (pick == 0)
                id = "18FEF100";
            else if (pick == 1)
                id = next() % 2 ? "0000abcd" : "00000100";
            else if (pick == 2)
                id = QByteArray::number(0x18000000 | (next() & 0xFFFFF), 16).toUpper();
            else if (pick == 3)
                id = "20000080"; // an error frame
            else if (pick == 4)
                id = QByteArray::number(next() & 0x7FF, 16).rightJustified(3, '0'); // lower case
            else
                id = QByteArray::number(next() & 0x7FF, 16).toUpper().rightJustified(3, '0');
            const char *tail = kind < 900 ? "#0102" : tails[next() % (sizeof tails / sizeof *tails)];
            QByteArray data = tail;
            if (kind < 900) {
                data = "#";
                for (quint32 b = 0, n = next() % 9; b < n; ++b)
                    data += QByteArray::number(0x10 + (next() & 0xEF), 16).toUpper();
            }
            const char *iface = kind < 950 ? "can0" : ifaces[next() % 4];
            line = '(' + time + ") " + iface + ' ' + id + data + (kind % 7 == 0 ? "\r\n" : "\n");
        }
        trace += line;
    }
    trace += "(1436509999.000000) can0 100#01"; // no line break at the end

    const TraceByLine::Result expected = TraceByLine::replay(trace, d, Direction::Can0ToCan1);
    QVERIFY(expected.malformed > 0 && expected.errorFrames > 0 && expected.remapped > 0 && expected.blocked > 0
            && expected.timeWentBack);
    const auto check = [&](QIODevice &in) {
        QByteArray out;
        QBuffer outDevice(&out);
        QVERIFY(outDevice.open(QIODevice::WriteOnly));
        ReplaySummary s;
        QList<qint64> reported;
        const QString error = TraceReplay::run(in, &outDevice, d, TraceReplay::Options(), s,
                                               [&](const MalformedLine &m) { reported << m.line; });
        QCOMPARE(error, QString());
        const QByteArray difference = TraceByLine::difference(expected, s, out, reported);
        QVERIFY2(difference.isEmpty(), difference.constData());
    };
    QBuffer file;
    file.setData(trace);
    QVERIFY(file.open(QIODevice::ReadOnly));
    check(file);
    if (QTest::currentTestFailed())
        return;
    // The same through a device that gives a few kilobytes at a time, as a pipe does.
    ShortReads pipe(trace);
    QVERIFY(pipe.open(QIODevice::ReadOnly));
    check(pipe);
}

void TestTraceReplay::malformedLines()
{
    const QByteArray trace = "(1.0) can0 123#11\n"
                             "(1.1) can0 12#11\n"
                             "(1.2) can0 100#11\n"
                             "garbage\n"
                             "(1.3) can0 100#11\n";
    const Replayed r = replay(trace);
    QCOMPARE(r.error, QString());
    QCOMPARE(r.malformedLines, (QList<qint64>{2, 4}));
    QCOMPARE(r.summary.malformed, 2u);
    QCOMPARE(r.summary.passed, 3u);

    const Replayed strict = replay(trace, true);
    QVERIFY2(strict.error.startsWith(u"line 2: the identifier has 3 hexadecimal digits"_qs), qPrintable(strict.error));
    QCOMPARE(strict.summary.passed, 1u);
}

void TestTraceReplay::refusesOtherText()
{
    const Replayed r = replay("Hello, world\n(1.0) can0 123#11\n");
    QVERIFY2(r.error.contains(u"line 1 is neither"_qs), qPrintable(r.error));
    QCOMPARE(r.out, QByteArray());
    QCOMPARE(replay("\n\n").error, u"the trace holds no frame"_qs);
}

void TestTraceReplay::frameLengths()
{
    // Data frames of 8 bytes: 111 and 131 bits nominal, 135 and 160 at worst.
    QCOMPARE(FrameLength::bits(false, 8, false), 111);
    QCOMPARE(FrameLength::bits(false, 8, true), 135);
    QCOMPARE(FrameLength::bits(true, 8, false), 131);
    QCOMPARE(FrameLength::bits(true, 8, true), 160);
    QCOMPARE(FrameLength::bits(false, 0, false), 47);
}

void TestTraceReplay::busLoad()
{
    // 125 kbit/s: one 8-byte frame every 2 ms is 111 / 250 = 44.4 % nominal; a burst of 100
    // such frames in one window takes 11100 of its 12500 bits.
    BusLoad steady(125000);
    for (int i = 0; i < 500; ++i)
        steady.add(qint64(i) * 2'000'000, false, 8);
    QCOMPARE(QString::number(steady.mean(false) * 100, 'f', 1), u"44.4"_qs);
    QCOMPARE(QString::number(steady.peak(false) * 100, 'f', 1), u"44.4"_qs);
    QCOMPARE(steady.warnings(1), QStringList());

    BusLoad burst(125000);
    for (int i = 0; i < 100; ++i)
        burst.add(500'000'000 + qint64(i) * 100'000, false, 8);
    burst.add(2'000'000'000, false, 8);
    QCOMPARE(QString::number(burst.peak(false) * 100, 'f', 1), u"88.8"_qs);
    QCOMPARE(QString::number(burst.peak(true) * 100, 'f', 1), u"108.0"_qs);
    QVERIFY2(burst.text(1).endsWith(u"peak 88.8 % (108.0 %) in the 100 ms from 0.000 s"_qs), qPrintable(burst.text(1)));
    const QStringList warnings = burst.warnings(1);
    QCOMPARE(warnings.size(), 1);
    QVERIFY2(warnings.first().contains(u"may reach 108.0 % with worst-case bit stuffing"_qs),
             qPrintable(warnings.first()));

    BusLoad over(125000);
    for (int i = 0; i < 2000; ++i)
        over.add(qint64(i) * 500'000, true, 8);
    const QString all = over.warnings(0).join(u'\n');
    QVERIFY2(all.contains(u"the peak load on CAN 0 is"_qs) && all.contains(u"the mean load on CAN 0 is"_qs),
             qPrintable(all));
}

QTEST_GUILESS_MAIN(TestTraceReplay)
#include "tst_tracereplay.moc"
