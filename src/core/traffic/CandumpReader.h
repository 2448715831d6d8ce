#pragma once

#include "core/base/IntText.h"
#include "core/device/FilterImage.h"
#include "core/device/facts/DeviceFacts.h"
#include "core/traffic/TraceFrame.h"
#include "core/traffic/TraceText.h"

#include <QByteArray>
#include <QString>
#include <QtAlgorithms>

#include <cstring>

// The candump -l log, "(1436509053.249713) can0 123#DEADBEEF": one frame a line, time stamp,
// interface, identifier of three or eight hexadecimal digits, data. A reader of a trace format
// answers the same four questions: whether a trace's first line is of its format, what a line
// holds, how a line is written with another identifier, and (inline, for the line nearly every
// trace is made of) a quick read where the format allows it.
class CandumpReader
{
public:
    // Whether the first line that is not blank (from its first character that is not) starts a log.
    static bool recognises(const char *first, const char *end);

    // One line without its line break: a frame, or malformed with the reason.
    static TraceLine read(const char *begin, const char *end, TraceFrame &frame, QString &reason);
    static TraceLine read(const QByteArray &line, TraceFrame &frame, QString &reason)
    {
        return read(line.constData(), line.constData() + line.size(), frame, reason);
    }

    // Appends the line [begin, end) (its line break included) with the frame's identifier replaced.
    static void writeLine(QByteArray &out, const char *begin, const char *end, const TraceFrame &frame, quint32 id,
                          bool extended)
    {
        out.append(begin, frame.idStart);
        TraceText::appendHex(out, id, extended ? 8 : 3);
        const char *rest = begin + frame.idStart + frame.idLength;
        out.append(rest, int(end - rest));
    }

    // How far a line of the shape that candump writes may reach: readQuick needs that many bytes
    // ahead, so near the end of a block the full parser takes over.
    static constexpr qint64 QuickReach = 96;

    // The shape nearly every candump -l line has: ten digits of seconds, six of microseconds, a
    // classic data frame. Returns where the next line starts, or nullptr for any other line,
    // which read() then reads by its rules (so this reader accepts only lines that read() reads
    // the same way). Inline and tuned: the replay runs it for nearly every line of a log.
    static inline const char *readQuick(const char *p, TraceFrame &frame);

private:
    static quint64 load8(const char *p)
    {
        quint64 v;
        std::memcpy(&v, p, 8);
        return v;
    }

    // Eight ASCII digits, the first in the lowest byte, as a number; -1 when one is not a digit.
    static qint64 eightDigits(quint64 v)
    {
        // Every byte 0x30 to 0x39: its high nibble is 3, and adding 6 does not carry into it.
        if ((v & 0xF0F0F0F0F0F0F0F0u) != 0x3030303030303030u
            || ((v + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u) != 0x3030303030303030u)
            return -1;
        v -= 0x3030303030303030u;
        v = v * 10 + (v >> 8); // pairs of digits
        v = (((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32)))
             + (((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32))))
            >> 32;
        return qint64(v);
    }

    static constexpr quint64 Ones = 0x0101010101010101u;
    static constexpr quint64 Highs = 0x8080808080808080u;

    // Where the first byte of `v` below `n` (at most 0x80) stands, 8 when none does. Only the
    // lowest flagged byte is exact, which is the one asked for.
    static int firstBelow(quint64 v, unsigned n)
    {
        const quint64 t = (v - Ones * n) & ~v & Highs;
        return t ? int(qCountTrailingZeroBits(t) >> 3) : 8;
    }

    // The top bit of every byte of `v` that is a hexadecimal digit of either case.
    static quint64 hexBytes(quint64 v)
    {
        const quint64 ascii = ~v & Highs;
        const quint64 x = v & ~Highs; // no byte can carry into the next below
        const quint64 digit = ((x + Ones * 0x50) & ~(x + Ones * 0x46)) & Highs;
        const quint64 y = x | Ones * 0x20;
        const quint64 letter = ((y + Ones * 0x1F) & ~(y + Ones * 0x19)) & Highs;
        return ascii & (digit | letter);
    }

    // The top bits of the first `n` bytes (0 to 8).
    static quint64 leadingBytes(int n)
    {
        static constexpr quint64 masks[9] = {0,          0x80,         0x8080,         0x808080,
                                             0x80808080, 0x8080808080, 0x808080808080, 0x80808080808080,
                                             Highs};
        return masks[n];
    }
};

inline const char *CandumpReader::readQuick(const char *p, TraceFrame &f)
{
    if (Q_BYTE_ORDER != Q_LITTLE_ENDIAN || p[0] != '(' || p[11] != '.' || p[18] != ')' || p[19] != ' ')
        return nullptr;
    const qint64 high = eightDigits(load8(p + 1));
    const int d9 = p[9] - '0', d10 = p[10] - '0';
    // The six digits behind two leading zeros.
    const qint64 micros = eightDigits((load8(p + 12) << 16) | 0x3030u);
    if (high < 0 || micros < 0 || unsigned(d9) > 9 || unsigned(d10) > 9)
        return nullptr;
    const qint64 seconds = high * 100 + d9 * 10 + d10;
    if (seconds > TraceText::MaxSeconds)
        return nullptr;

    // An interface name of one to seven characters, then one blank.
    const int ifaceLength = firstBelow(load8(p + 20), 0x21);
    if (ifaceLength == 0 || ifaceLength == 8 || p[20 + ifaceLength] != ' ')
        return nullptr;
    const char *id = p + 21 + ifaceLength;
    const quint64 idWord = hexBytes(load8(id));
    quint32 value;
    int digits;
    if (id[3] == '#' && (idWord & leadingBytes(3)) == leadingBytes(3)) {
        digits = 3;
        value = quint32(IntText::hexDigit(id[0]) << 8 | IntText::hexDigit(id[1]) << 4 | IntText::hexDigit(id[2]));
        if (value > DeviceFacts::Max11Bit)
            return nullptr;
    } else if (id[8] == '#' && idWord == leadingBytes(8)) {
        digits = 8;
        value = 0;
        for (int k = 0; k < 8; ++k)
            value = value << 4 | quint32(IntText::hexDigit(id[k]));
        if (value > DeviceFacts::Max29Bit) // the error flag, or beyond 29 bits
            return nullptr;
    } else {
        return nullptr;
    }

    // Up to eight data bytes, then the line break.
    const char *data = id + digits + 1;
    // Without branches on the length, which varies from frame to frame.
    const quint64 w0 = load8(data), w1 = load8(data + 8);
    const int first = firstBelow(w0, 0x21), second = firstBelow(w1, 0x21);
    const int length = first < 8 ? first : 8 + second;
    const int low = first, high8 = length - first;
    const quint64 lowMask = leadingBytes(low), highMask = leadingBytes(high8);
    if ((length & 1) | ((hexBytes(w0) & lowMask) != lowMask) | ((hexBytes(w1) & highMask) != highMask))
        return nullptr;
    const char *q = data + length;
    if (*q == '\r')
        ++q;
    if (*q != '\n')
        return nullptr;

    f.timeNs = (seconds * 1'000'000 + micros) * 1000;
    f.id = value;
    f.extended = digits == 8;
    f.remote = f.fd = f.error = false;
    f.dataBytes = length / 2;
    f.idStart = int(id - p);
    f.idLength = digits;
    return q + 1;
}
