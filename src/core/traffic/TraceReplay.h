#pragma once

#include "core/traffic/BusLoad.h"
#include "core/device/DevicePrediction.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <unordered_set>

class QIODevice;

// Replays a recorded bus trace through a device prediction: every frame that arrived on CAN
// `from` is answered for, and what leaves the other port is written in the trace's own
// format (passed frames under their replacement identifier, blocked ones left out). Two
// formats are told apart by content: the candump -l log ("(1436509053.249713) can0
// 123#DEADBEEF") and the .asc ASCII trace. The trace is read in blocks and never held whole.
class TraceReplay
{
public:
    enum class Format { Unknown, Candump, Asc };

    struct Malformed
    {
        qint64 line = 0;
        QString reason;
    };

    struct Summary
    {
        Format format = Format::Unknown;
        quint64 lines = 0;
        quint64 framesIn = 0;
        quint64 passed = 0;   // every frame that leaves the other port ...
        quint64 remapped = 0; // ... of them under another identifier or frame type
        quint64 blocked = 0;
        quint64 errorFrames = 0; // error frames of the recording, never passed on
        quint64 malformed = 0;
        int idsIn = 0, idsPassed = 0, idsRemapped = 0, idsBlocked = 0;
        bool idsCapped = false; // more distinct 29-bit identifiers than are tracked
        bool timeWentBack = false;
        std::array<quint64, 2048> trafficIn{}; // frames per 11-bit identifier
        BusLoad load;

        // The lines a command prints after the replay, and the load warnings.
        QStringList text(int from) const;
        QStringList warnings(int from) const;
    };

    struct Options
    {
        int from = 0;
        bool strict = false; // stop at the first malformed line
    };

    static QString formatName(Format format);

    // Reads `in` to its end, writing what leaves to `out` (none: nothing is written). Each
    // malformed line goes to `onMalformed`. Returns an empty text, or why the replay stopped:
    // the trace is neither format, a malformed line under --strict, a read or write failure.
    static QString run(QIODevice &in, QIODevice *out, const DevicePrediction &device, const Options &options,
                       Summary &summary, const std::function<void(const Malformed &)> &onMalformed = {});

    // One line of each format, for the tests that hold the parsers to their rules. `line` has
    // no line break. Returns false with `reason` for a line that is not a frame of its format.
    struct Frame
    {
        qint64 timeNs = 0;
        quint32 id = 0;
        bool extended = false;
        bool remote = false;
        bool fd = false;
        bool error = false;
        int dataBytes = 0;
        int idStart = 0, idLength = 0; // where the identifier stands in the line
    };
    static bool parseCandump(const QByteArray &line, Frame &frame, QString &reason);
};
