#pragma once

#include "core/device/DevicePrediction.h"
#include "core/device/facts/DeviceFacts.h"
#include "core/device/facts/Direction.h"
#include "core/traffic/AscReader.h"
#include "core/traffic/BusLoad.h"
#include "core/traffic/TraceFormat.h"
#include "core/traffic/TraceFrame.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

// One chunk of whole lines of a trace, replayed: the part of TraceReplay that reads lines,
// answers for their frames and writes what leaves. Chunks of a candump log are replayed on
// several threads and their results taken in trace order, so that the summary and the output
// are those of one pass over the trace.

// What one chunk gave.
struct ChunkResult
{
    QByteArray out;
    quint64 lines = 0, framesIn = 0, passed = 0, remapped = 0, blocked = 0, errorFrames = 0;
    std::array<quint32, DeviceFacts::Max11Bit + 1> traffic{};
    std::vector<quint32> new29; // the 29-bit identifiers met, each once (or a few times)
    BusLoad::Tally load;        // of a chunk replayed apart
    bool anyTime = false, timeWentBack = false;
    qint64 firstTime = 0, lastTime = 0;
    std::vector<MalformedLine> malformed; // line numbers within the chunk
    QString stop;                         // why the replay stops here
    // The 29-bit identifiers answered last, by their low bits: a bus carries few of them, each
    // often. Kept from chunk to chunk; an identifier is listed in new29 where it was not yet known.
    struct Answered
    {
        quint32 id = 0xFFFFFFFFu;
        FilterImage::Route route;
    };
    std::vector<Answered> answered29;

    // Keeps the memory: fresh megabytes for every chunk cost more than the replay itself.
    void reset();
};

// What every chunk of a replay shares, and the state carried from chunk to chunk in order.
struct ChunkContext
{
    const DevicePrediction *device = nullptr;
    Direction from = Direction::Can0ToCan1;
    // Every 11-bit identifier's route in four bytes: passes, 29-bit, identifier.
    const std::array<quint32, DeviceFacts::Max11Bit + 1> *routes11 = nullptr;
    bool strict = false;
    bool writing = false;
    qint64 lineBase = 0;                       // lines before the chunk, for the messages that stop a replay
    BusLoad *load = nullptr;                   // a chunk replayed in order counts into the load at once
    TraceFormat format = TraceFormat::Unknown; // told by the first line that is not blank
    AscReader asc;
};

// Replays whole lines, each ending with a line break.
void replayChunk(const QByteArray &chunk, ChunkContext &context, ChunkResult &result);
