#pragma once

#include "core/device/DevicePrediction.h"
#include "core/device/facts/Direction.h"
#include "core/traffic/ReplaySummary.h"
#include "core/traffic/TraceFrame.h"

#include <QString>

#include <functional>

class QIODevice;

// Replays a recorded bus trace through a device prediction: every frame that arrived on CAN
// `from` is answered for, and what leaves the other port is written in the trace's own
// format (passed frames under their replacement identifier, blocked ones left out). The
// format is told by content (TraceFormat) and read by its reader (CandumpReader, AscReader).
// The trace is read in chunks and never held whole; a candump log's chunks are replayed on
// every core.
class TraceReplay
{
public:
    struct Options
    {
        Direction from = Direction::Can0ToCan1;
        bool strict = false; // stop at the first malformed line
    };

    // Reads `in` to its end, writing what leaves to `out` (none: nothing is written). Each
    // malformed line goes to `onMalformed`. Returns an empty text, or why the replay stopped:
    // the trace is neither format, a malformed line under --strict, a read or write failure.
    static QString run(QIODevice &in, QIODevice *out, const DevicePrediction &device, const Options &options,
                       ReplaySummary &summary, const std::function<void(const MalformedLine &)> &onMalformed = {});
};
