#pragma once

// A candump log replayed line by line with the full parser, the plain way: what TraceReplay
// must give for it however it reads, splits and spreads the trace.

#include "core/device/DevicePrediction.h"
#include "core/traffic/BusLoad.h"
#include "core/traffic/CandumpReader.h"
#include "core/traffic/ReplaySummary.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSet>

namespace TraceByLine {

struct Result
{
    QByteArray out;
    quint64 lines = 0, framesIn = 0, passed = 0, remapped = 0, blocked = 0, errorFrames = 0, malformed = 0;
    bool timeWentBack = false;
    int idsIn = 0, idsPassed = 0, idsRemapped = 0, idsBlocked = 0;
    QList<qint64> malformedLines;
    BusLoad load;
};

inline bool blank(const QByteArray &line)
{
    for (const char c : line) {
        if (c != ' ' && c != '\t')
            return false;
    }
    return true;
}

inline QList<QByteArray> lines(const QByteArray &trace)
{
    QList<QByteArray> pieces = trace.split('\n');
    if (trace.endsWith('\n'))
        pieces.removeLast(); // no line behind the last line break
    return pieces;
}

// Whether the first line that is not blank starts a candump log.
inline bool isCandump(const QByteArray &trace)
{
    for (QByteArray line : lines(trace)) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!blank(line)) {
            for (const char c : std::as_const(line)) {
                if (c != ' ' && c != '\t')
                    return c == '(';
            }
        }
    }
    return false;
}

inline Result replay(const QByteArray &trace, const DevicePrediction &d, Direction from)
{
    Result r;
    r.load = BusLoad(d.bitRate(from.toPort()));
    QSet<QPair<quint32, bool>> ids, passed, remapped;
    qint64 last = 0;
    for (QByteArray line : lines(trace)) {
        ++r.lines;
        const QByteArray ending = line.endsWith('\r') ? "\r\n" : "\n";
        if (line.endsWith('\r'))
            line.chop(1);
        if (blank(line))
            continue;
        TraceFrame f;
        QString reason;
        if (CandumpReader::read(line, f, reason) != TraceLine::Frame) {
            ++r.malformed;
            r.malformedLines << qint64(r.lines);
            continue;
        }
        if (f.error) {
            ++r.errorFrames;
            continue;
        }
        if (r.framesIn++ > 0 && f.timeNs < last)
            r.timeWentBack = true;
        last = f.timeNs;
        const FilterImage::Route route = d.route(from, f.id, f.extended);
        ids.insert({f.id, f.extended});
        if (!route.passes) {
            ++r.blocked;
            continue;
        }
        ++r.passed;
        passed.insert({f.id, f.extended});
        r.load.add(f.timeNs, route.extended, f.remote ? 0 : f.dataBytes);
        QByteArray id = line.mid(f.idStart, f.idLength); // a frame that leaves unchanged keeps its text
        if (route.id != f.id || route.extended != f.extended) {
            ++r.remapped;
            remapped.insert({f.id, f.extended});
            id = QByteArray::number(route.id, 16).toUpper().rightJustified(route.extended ? 8 : 3, '0');
        }
        r.out += line.left(f.idStart) + id + line.mid(f.idStart + f.idLength) + ending;
    }
    r.idsIn = int(ids.size());
    r.idsPassed = int(passed.size());
    r.idsRemapped = int(remapped.size());
    r.idsBlocked = r.idsIn - r.idsPassed;
    return r;
}

// Where a replay's summary and output differ from the line by line result; empty when they agree.
inline QByteArray difference(const Result &e, const ReplaySummary &s, const QByteArray &out,
                             const QList<qint64> &malformedLines)
{
    const auto number = [](auto v) { return QByteArray::number(v); };
    QByteArray d;
    const auto field = [&](const char *name, auto got, auto expected) {
        if (got != expected)
            d += QByteArray(name) + ' ' + number(got) + " instead of " + number(expected) + "; ";
    };
    field("lines", s.lines, e.lines);
    field("frames in", s.framesIn, e.framesIn);
    field("passed", s.passed, e.passed);
    field("remapped", s.remapped, e.remapped);
    field("blocked", s.blocked, e.blocked);
    field("error frames", s.errorFrames, e.errorFrames);
    field("malformed", s.malformed, e.malformed);
    field("identifiers in", s.idsIn, e.idsIn);
    field("identifiers passed", s.idsPassed, e.idsPassed);
    field("identifiers remapped", s.idsRemapped, e.idsRemapped);
    field("identifiers blocked", s.idsBlocked, e.idsBlocked);
    field("time went back", int(s.timeWentBack), int(e.timeWentBack));
    field("load frames", s.load.frames(), e.load.frames());
    field("peak start", s.load.peakStartNs(), e.load.peakStartNs());
    field("duration", s.load.durationNs(), e.load.durationNs());
    if (s.load.peak(true) != e.load.peak(true) || s.load.peak(false) != e.load.peak(false))
        d += "peak load differs; ";
    if (s.load.mean(true) != e.load.mean(true) || s.load.mean(false) != e.load.mean(false))
        d += "mean load differs; ";
    if (malformedLines != e.malformedLines)
        d += "malformed line numbers differ; ";
    if (out != e.out)
        d += "output differs (" + number(out.size()) + " bytes instead of " + number(e.out.size()) + "); ";
    return d;
}

} // namespace TraceByLine
