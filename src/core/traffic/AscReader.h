#pragma once

#include "core/traffic/TraceFrame.h"
#include "core/traffic/TraceText.h"

#include <QByteArray>
#include <QString>

// The .asc ASCII trace: header lines ("date", "base hex timestamps absolute"), then one event
// a line, frames among them ("0.001000 1 123 Rx d 2 11 22"). The header's number base and
// time stamps hold for the lines after it, so a trace is read in order by one reader. The
// entry points are those of CandumpReader.
class AscReader
{
public:
    static bool recognises(const char *first, const char *end);

    TraceLine read(const char *begin, const char *end, TraceFrame &frame, QString &reason);

    // Keeps the columns behind the identifier where they stood, as far as the blanks allow.
    void writeLine(QByteArray &out, const char *begin, const char *end, const TraceFrame &frame, quint32 id,
                   bool extended) const;

private:
    using Token = TraceText::Token;
    // The tokens of a line behind its time stamp.
    TraceLine readFdFrame(const char *begin, const Token *t, int n, TraceFrame &frame, QString &reason) const;
    TraceLine readFrame(const char *begin, const Token *t, int n, TraceFrame &frame, QString &reason) const;

    bool m_hexBase = true;
    bool m_relative = false;
    qint64 m_lastNs = 0;
};
