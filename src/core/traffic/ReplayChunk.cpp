#include "core/traffic/ReplayChunk.h"

#include "core/base/Catalog.h"
#include "core/traffic/CandumpReader.h"

#include <cstring>

void ChunkResult::reset()
{
    out.resize(0);
    lines = framesIn = passed = remapped = blocked = errorFrames = 0;
    traffic.fill(0);
    new29.clear();
    load = BusLoad::Tally();
    anyTime = timeWentBack = false;
    firstTime = lastTime = 0;
    malformed.clear();
    stop.clear();
}

namespace {

// Output that mostly repeats the input: consecutive lines that leave as they came are copied
// as one run.
class ChunkOut
{
public:
    explicit ChunkOut(QByteArray &out)
        : m_out(out)
    {
    }
    ~ChunkOut() { endRun(); }
    void keep(const char *begin, const char *end)
    {
        if (begin != m_runEnd) {
            endRun();
            m_runBegin = begin;
        }
        m_runEnd = end;
    }
    QByteArray &buffer()
    {
        endRun();
        return m_out;
    }

private:
    void endRun()
    {
        if (m_runBegin != m_runEnd)
            m_out.append(m_runBegin, int(m_runEnd - m_runBegin));
        m_runBegin = m_runEnd = nullptr;
    }
    QByteArray &m_out;
    const char *m_runBegin = nullptr;
    const char *m_runEnd = nullptr;
};

// A line the quick reader did not take, [lineStart, lineEnd) with its line break, read by the
// reader of the trace's format (told here by the first line that is not blank). Anything but
// a frame is dealt with here: a line the output keeps is written, a malformed one listed, and
// `r.stop` says when the replay stops.
TraceLine readLine(const char *lineStart, const char *lineEnd, ChunkContext &c, ChunkResult &r, ChunkOut &out,
                   TraceFrame &f)
{
    const char *nl = lineEnd - 1;
    const bool crlf = nl > lineStart && nl[-1] == '\r';
    const char *contentEnd = crlf ? nl - 1 : nl;
    const char *first = lineStart;
    while (first < contentEnd && TraceText::isBlank(*first))
        ++first;
    if (first == contentEnd) {
        if (c.format == TraceFormat::Asc && c.writing)
            out.buffer().append(lineStart, int(lineEnd - lineStart));
        return TraceLine::Dropped;
    }
    if (c.format == TraceFormat::Unknown) {
        c.format = traceFormatOf(first, contentEnd);
        if (c.format == TraceFormat::Unknown) {
            r.stop = Catalog::messages().text(TextId::TraceFormatUnknown).arg(c.lineBase + qint64(r.lines));
            return TraceLine::Dropped;
        }
    }
    QString reason;
    const TraceLine kind = c.format == TraceFormat::Candump ? CandumpReader::read(lineStart, contentEnd, f, reason)
                                                            : c.asc.read(lineStart, contentEnd, f, reason);
    if (kind == TraceLine::Malformed) {
        r.malformed.push_back(MalformedLine{qint64(r.lines), reason});
        if (c.strict)
            r.stop = Catalog::messages().text(TextId::TraceLineError).arg(c.lineBase + qint64(r.lines)).arg(reason);
    } else if (kind == TraceLine::Kept && c.writing) {
        out.buffer().append(lineStart, int(lineEnd - lineStart));
    }
    return kind;
}

FilterImage::Route routeOf(const TraceFrame &f, const ChunkContext &c, ChunkResult &r)
{
    FilterImage::Route route;
    if (!f.extended) {
        ++r.traffic[f.id];
        const quint32 packed = (*c.routes11)[f.id];
        route.passes = (packed >> 31) != 0;
        route.extended = ((packed >> 30) & 1) != 0;
        route.id = packed & 0x3FFFFFFFu;
    } else {
        if (r.answered29.empty())
            r.answered29.resize(4096);
        ChunkResult::Answered &a = r.answered29[f.id & 4095];
        if (a.id != f.id) {
            r.new29.push_back(f.id);
            a.id = f.id;
            a.route = c.device->route(c.from, f.id, true);
        }
        route = a.route;
    }
    return route;
}

// Counts a frame of the line [lineStart, lineEnd) in, answers for it and writes what leaves.
void replayFrame(const TraceFrame &f, const char *lineStart, const char *lineEnd, ChunkContext &c, ChunkResult &r,
                 ChunkOut &out)
{
    ++r.framesIn;
    if (!r.anyTime) {
        r.anyTime = true;
        r.firstTime = f.timeNs;
    } else if (f.timeNs < r.lastTime) {
        r.timeWentBack = true;
    }
    r.lastTime = f.timeNs;
    const FilterImage::Route route = routeOf(f, c, r);
    if (!route.passes) {
        ++r.blocked;
        return;
    }
    ++r.passed;
    const bool same = route.id == f.id && route.extended == f.extended;
    if (!same)
        ++r.remapped;
    if (c.load)
        c.load->add(f.timeNs, route.extended, f.remote ? 0 : f.dataBytes);
    else
        r.load.add(f.timeNs, route.extended, f.remote ? 0 : f.dataBytes);
    if (!c.writing)
        return;
    if (c.format == TraceFormat::Candump && same) {
        out.keep(lineStart, lineEnd); // the line leaves as it came
        return;
    }
    if (c.format == TraceFormat::Candump)
        CandumpReader::writeLine(out.buffer(), lineStart, lineEnd, f, route.id, route.extended);
    else
        c.asc.writeLine(out.buffer(), lineStart, lineEnd, f, route.id, route.extended);
}

} // namespace

void replayChunk(const QByteArray &chunk, ChunkContext &c, ChunkResult &r)
{
    const char *begin = chunk.constData();
    const char *end = begin + chunk.size();
    ChunkOut out(r.out);
    if (c.writing)
        r.out.reserve(int(end - begin) + 4096);
    const char *cursor = begin;
    while (cursor < end) {
        TraceFrame f;
        const char *lineStart = cursor;
        const char *next;
        if (c.format == TraceFormat::Candump && end - cursor >= CandumpReader::QuickReach
            && (next = CandumpReader::readQuick(cursor, f)) != nullptr) {
            cursor = next;
            ++r.lines;
        } else {
            cursor = static_cast<const char *>(std::memchr(cursor, '\n', size_t(end - cursor))) + 1;
            ++r.lines;
            if (readLine(lineStart, cursor, c, r, out, f) != TraceLine::Frame) {
                if (!r.stop.isEmpty())
                    return;
                continue;
            }
        }
        if (f.error) {
            ++r.errorFrames;
            continue;
        }
        replayFrame(f, lineStart, cursor, c, r, out);
    }
}
