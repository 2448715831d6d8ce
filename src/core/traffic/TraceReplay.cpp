#include "core/traffic/TraceReplay.h"
#include "core/device/facts/DeviceFacts.h"

#include "core/base/Catalog.h"
#include "core/base/FileIo.h"
#include "core/traffic/ReplayChunk.h"

#include <QIODevice>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <cstring>
#include <future>
#include <memory>
#include <unordered_set>
#include <vector>

namespace {

// What is read at once: a few of them are in flight, one per thread and one more.
constexpr int ChunkSize = 2 << 20;
// Far beyond any frame of either format.
constexpr int MaxLineLength = 1 << 20;
// Distinct 29-bit identifiers kept for the summary; a trace with more is counted as "at least".
constexpr size_t MaxTrackedExtended = 65536;

// The last line break in [begin, end), or nullptr.
const char *lastLineBreak(const char *begin, const char *end)
{
    for (const char *p = end; p > begin; --p) {
        if (p[-1] == '\n')
            return p - 1;
    }
    return nullptr;
}

// One replay: reads the trace in chunks of whole lines, replays them (a candump log's on
// every core; an .asc trace carries its state from line to line, and --strict must stop at
// the first malformed line, so those stay in order) and takes their results in trace order.
class Replay
{
public:
    Replay(QIODevice &in, QIODevice *out, const DevicePrediction &device, const TraceReplay::Options &options,
           ReplaySummary &summary, const std::function<void(const MalformedLine &)> &onMalformed);
    QString run();

private:
    // Chunks go round a ring of slots, so that they are taken in the order they were read.
    struct Slot
    {
        QByteArray chunk; // whole lines
        ChunkResult result;
        std::future<void> done;
        bool busy = false;
    };

    QString readAll();
    QString replay(Slot &slot);
    QString takeOverlongLine(Slot &slot);
    QString take(ChunkResult &r);
    QString takeSlot(Slot &slot);
    QString takeAll();
    void countIdentifiers();

    QIODevice &m_in;
    QIODevice *m_out;
    const DevicePrediction &m_device;
    const Direction m_from;
    ReplaySummary &m_s;
    const std::function<void(const MalformedLine &)> &m_onMalformed;
    std::array<quint32, DeviceFacts::Max11Bit + 1> m_routes11;
    ChunkContext m_context;
    std::unordered_set<quint32> m_seen29;
    bool m_anyTime = false;
    qint64 m_lastTime = 0;
    const int m_threads;
    std::vector<Slot> m_slots;
    size_t m_next = 0;  // the slot filled next, and the oldest one in flight when it is busy
    QThreadPool m_pool; // after the slots: it waits for their tasks before they go
};

Replay::Replay(QIODevice &in, QIODevice *out, const DevicePrediction &device, const TraceReplay::Options &options,
               ReplaySummary &summary, const std::function<void(const MalformedLine &)> &onMalformed)
    : m_in(in)
    , m_out(out)
    , m_device(device)
    , m_from(options.from)
    , m_s(summary)
    , m_onMalformed(onMalformed)
    , m_threads(std::max(1, QThread::idealThreadCount()))
    , m_slots(size_t(m_threads > 1 ? m_threads + 1 : 1))
{
    m_s = ReplaySummary();
    m_s.load = BusLoad(device.bitRate(m_from.toPort()));
    for (quint32 id = 0; id <= DeviceFacts::Max11Bit; ++id) {
        const FilterImage::Route r = device.route(m_from, id, false);
        m_routes11[id] = r.passes ? 0x80000000u | (r.extended ? 0x40000000u : 0) | r.id : 0;
    }
    m_context.device = &device;
    m_context.from = m_from;
    m_context.routes11 = &m_routes11;
    m_context.strict = options.strict;
    m_context.writing = out != nullptr;
    m_pool.setMaxThreadCount(m_threads);
}

QString Replay::run()
{
    if (const QString why = readAll(); !why.isEmpty()) {
        m_pool.waitForDone();
        return why;
    }
    m_s.format = m_context.format;
    if (m_s.format == TraceFormat::Unknown)
        return Catalog::messages().text(TextId::TraceNoFrame);
    countIdentifiers();
    return QString();
}

QString Replay::readAll()
{
    QByteArray carry;      // the start of a line cut by the end of the last read
    bool overlong = false; // within a line too long to be anything
    for (bool atEnd = false; !atEnd;) {
        Slot &slot = m_slots[m_next];
        if (const QString why = takeSlot(slot); !why.isEmpty())
            return why;
        QByteArray &chunk = slot.chunk;
        // No more room than a file has left: small traces are replayed by the thousand in tests.
        const qint64 room = m_in.isSequential() ? ChunkSize : std::clamp<qint64>(m_in.bytesAvailable(), 1, ChunkSize);
        chunk.resize(carry.size() + int(room));
        std::memcpy(chunk.data(), carry.constData(), size_t(carry.size()));
        const qint64 got = m_in.read(chunk.data() + carry.size(), room);
        if (got < 0)
            return Catalog::messages().text(TextId::TraceUnreadable).arg(m_in.errorString());
        atEnd = got == 0;
        chunk.resize(carry.size() + int(got));
        if (overlong) {
            // Nothing of an overlong line is kept; it ends at the next line break.
            const char *end = static_cast<const char *>(std::memchr(chunk.constData(), '\n', size_t(chunk.size())));
            if (!end && !atEnd)
                continue;
            overlong = false;
            if (const QString why = takeOverlongLine(slot); !why.isEmpty())
                return why;
            if (!end)
                break;
            chunk.remove(0, int(end - chunk.constData()) + 1);
        }
        const char *lastBreak = lastLineBreak(chunk.constData(), chunk.constData() + chunk.size());
        if (atEnd) {
            carry.clear();
            if (chunk.isEmpty())
                break;
            if (!lastBreak || lastBreak != chunk.constData() + chunk.size() - 1)
                chunk.append('\n'); // the last line has no line break
        } else if (!lastBreak) {
            // One line longer than a chunk: kept while it may still be a frame, so that memory
            // stays within bounds whatever the trace holds.
            overlong = chunk.size() > MaxLineLength;
            carry = overlong ? QByteArray() : chunk;
            continue;
        } else {
            const int whole = int(lastBreak - chunk.constData()) + 1;
            carry = chunk.mid(whole);
            chunk.truncate(whole);
        }
        if (const QString why = replay(slot); !why.isEmpty())
            return why;
    }
    return takeAll();
}

// Replays the slot's chunk on another thread, or in order at once.
QString Replay::replay(Slot &slot)
{
    slot.result.reset();
    // Apart from the stream, the load is counted from the stream's first frame on.
    if (m_context.format == TraceFormat::Candump && !m_context.strict && m_threads > 1 && m_s.load.started()) {
        slot.result.load = BusLoad::Tally(m_s.load.firstNs());
        ChunkContext apart = m_context;
        apart.load = nullptr;
        auto task = std::make_shared<std::packaged_task<void()>>(
            [&slot, apart]() mutable { replayChunk(slot.chunk, apart, slot.result); });
        slot.done = task->get_future();
        slot.busy = true;
        m_pool.start([task] { (*task)(); });
        m_next = (m_next + 1) % m_slots.size();
        return QString();
    }
    if (const QString why = takeAll(); !why.isEmpty())
        return why;
    m_context.lineBase = qint64(m_s.lines);
    m_context.load = &m_s.load;
    replayChunk(slot.chunk, m_context, slot.result);
    return take(slot.result);
}

// A line longer than MaxLineLength, once its end is read: malformed, in its place in the trace.
QString Replay::takeOverlongLine(Slot &slot)
{
    if (const QString why = takeAll(); !why.isEmpty())
        return why;
    slot.result.reset();
    slot.result.lines = 1;
    const QString reason = Catalog::messages().text(TextId::TraceLineTooLong).arg(MaxLineLength);
    slot.result.malformed.push_back(MalformedLine{1, reason});
    if (m_context.strict)
        slot.result.stop = Catalog::messages().text(TextId::TraceLineError).arg(m_s.lines + 1).arg(reason);
    return take(slot.result);
}

// Takes a chunk's result in trace order; returns why the replay stops.
QString Replay::take(ChunkResult &r)
{
    for (const MalformedLine &m : r.malformed) {
        ++m_s.malformed;
        if (m_onMalformed)
            m_onMalformed(MalformedLine{qint64(m_s.lines) + m.line, m.reason});
    }
    m_s.lines += r.lines;
    m_s.framesIn += r.framesIn;
    m_s.passed += r.passed;
    m_s.remapped += r.remapped;
    m_s.blocked += r.blocked;
    m_s.errorFrames += r.errorFrames;
    for (size_t id = 0; id < r.traffic.size(); ++id)
        m_s.trafficIn[id] += r.traffic[id];
    for (const quint32 id : r.new29) {
        if (m_seen29.size() < MaxTrackedExtended)
            m_seen29.insert(id);
        else if (!m_seen29.count(id))
            m_s.idsCapped = true;
    }
    if (r.anyTime) {
        if ((m_anyTime && r.firstTime < m_lastTime) || r.timeWentBack)
            m_s.timeWentBack = true;
        m_anyTime = true;
        m_lastTime = r.lastTime;
    }
    m_s.load.add(r.load);
    // A file that takes only part of a write (a size limit) says why on the next one.
    if (m_out && !r.out.isEmpty()) {
        if (const QString why = FileIo::writeAll(*m_out, r.out); !why.isEmpty())
            return Catalog::messages().text(TextId::ReplayOutputUnwritable).arg(why);
    }
    return r.stop; // what came before the stop counts
}

QString Replay::takeSlot(Slot &slot)
{
    if (!slot.busy)
        return QString();
    slot.done.get();
    slot.busy = false;
    return take(slot.result);
}

QString Replay::takeAll()
{
    for (size_t k = 0; k < m_slots.size(); ++k) {
        if (const QString why = takeSlot(m_slots[(m_next + k) % m_slots.size()]); !why.isEmpty())
            return why;
    }
    return QString();
}

// The identifiers met, passed, remapped and blocked.
void Replay::countIdentifiers()
{
    const auto count = [&](const FilterImage::Route &r, quint32 id, bool extended) {
        if (!r.passes) {
            ++m_s.idsBlocked;
            return;
        }
        ++m_s.idsPassed;
        if (r.id != id || r.extended != extended)
            ++m_s.idsRemapped;
    };
    int seen11 = 0;
    for (quint32 id = 0; id <= DeviceFacts::Max11Bit; ++id) {
        if (m_s.trafficIn[id]) {
            ++seen11;
            count(m_device.route(m_from, id, false), id, false);
        }
    }
    for (const quint32 id : m_seen29)
        count(m_device.route(m_from, id, true), id, true);
    m_s.idsIn = seen11 + int(m_seen29.size());
}

} // namespace

QString TraceReplay::run(QIODevice &in, QIODevice *out, const DevicePrediction &device, const Options &options,
                         ReplaySummary &summary, const std::function<void(const MalformedLine &)> &onMalformed)
{
    return Replay(in, out, device, options, summary, onMalformed).run();
}
