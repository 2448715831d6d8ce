#pragma once

#include <QString>
#include <QtGlobal>

// One frame as a trace reader gives it, whatever the format of its line.
struct TraceFrame
{
    qint64 timeNs = 0;
    quint32 id = 0;
    bool extended = false;
    bool remote = false;
    bool fd = false;
    bool error = false; // an error frame of the recording
    int dataBytes = 0;
    int idStart = 0, idLength = 0; // where the identifier stands in the line, for its replacement
};

// A line that is not what its format allows, and why; the line counts from 1.
struct MalformedLine
{
    qint64 line = 0;
    QString reason;
};

// What a reader makes of one line of its format.
enum class TraceLine {
    Frame,
    Kept,     // a header or structure line that the output keeps as it is
    Dropped,  // an event of the recorded bus that does not leave the other port
    Malformed // the reader gives its reason
};
