#include "core/image/TraceReplay.h"

#include "core/app/IntText.h"
#include "core/config/CobIdChecks.h"

#include <QIODevice>

#include <bitset>
#include <cstring>

namespace {

constexpr qint64 BlockSize = 1 << 20;
// Distinct 29-bit identifiers kept for the summary; a trace with more is counted as "at least".
constexpr size_t MaxTrackedExtended = 65536;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// "1436509053.249713" or "0.001000": seconds with up to nine decimals, as nanoseconds.
bool readTime(const char *&p, const char *end, qint64 &ns)
{
    qint64 seconds = 0;
    int digits = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        if (++digits > 11)
            return false;
        seconds = seconds * 10 + (*p++ - '0');
    }
    if (digits == 0)
        return false;
    qint64 fraction = 0;
    int decimals = 0;
    if (p < end && *p == '.') {
        ++p;
        while (p < end && *p >= '0' && *p <= '9') {
            if (decimals < 9) {
                fraction = fraction * 10 + (*p - '0');
                ++decimals;
            }
            ++p;
        }
    }
    for (int d = decimals; d < 9; ++d)
        fraction *= 10;
    ns = seconds * 1'000'000'000 + fraction;
    return true;
}

void appendHex(QByteArray &out, quint32 value, int width)
{
    static const char digits[] = "0123456789ABCDEF";
    char buf[8];
    int n = 0;
    do {
        buf[n++] = digits[value & 0xF];
        value >>= 4;
    } while (value && n < 8);
    for (int i = n; i < width; ++i)
        out.append('0');
    while (n)
        out.append(buf[--n]);
}

struct Token
{
    const char *begin = nullptr;
    int size = 0;
    bool is(const char *text) const { return size == int(std::strlen(text)) && std::memcmp(begin, text, size_t(size)) == 0; }
};

// Splits at blanks; at most `max` tokens.
int tokens(const char *p, const char *end, Token *out, int max)
{
    int n = 0;
    while (n < max) {
        while (p < end && isBlank(*p))
            ++p;
        if (p >= end)
            break;
        const char *start = p;
        while (p < end && !isBlank(*p))
            ++p;
        out[n++] = Token{start, int(p - start)};
    }
    return n;
}

bool readNumber(const Token &t, int base, quint32 &value)
{
    if (t.size == 0 || t.size > 10)
        return false;
    quint64 v = 0;
    for (int i = 0; i < t.size; ++i) {
        const int d = IntText::hexDigit(t.begin[i]);
        if (d < 0 || d >= base)
            return false;
        v = v * quint64(base) + quint64(d);
    }
    if (v > 0xFFFFFFFFu)
        return false;
    value = quint32(v);
    return true;
}

bool isTimeToken(const Token &t)
{
    bool dot = false;
    for (int i = 0; i < t.size; ++i) {
        if (t.begin[i] == '.' && !dot)
            dot = true;
        else if (t.begin[i] < '0' || t.begin[i] > '9')
            return false;
    }
    return dot && t.size > 1;
}

// An .asc identifier: hexadecimal or decimal digits by the file's base, "x" marking 29 bits.
bool readAscId(const Token &t, bool hexBase, quint32 &id, bool &extended, QString &reason)
{
    Token digits = t;
    extended = digits.size > 1 && (digits.begin[digits.size - 1] == 'x' || digits.begin[digits.size - 1] == 'X');
    if (extended)
        --digits.size;
    if (!readNumber(digits, hexBase ? 16 : 10, id)) {
        reason = QStringLiteral("%1 is not an identifier").arg(QString::fromLatin1(t.begin, t.size));
        return false;
    }
    const quint32 max = extended ? FilterImage::Max29Bit : FilterImage::Max11Bit;
    if (id > max) {
        reason = QStringLiteral("the identifier %1 is beyond %2").arg(QString::fromLatin1(t.begin, t.size), CobIdChecks::idText(max, extended));
        return false;
    }
    return true;
}

class Writer
{
public:
    Writer(QIODevice *device)
        : m_device(device)
    {
        if (m_device)
            m_buffer.reserve(BlockSize + 4096);
    }
    QByteArray &buffer() { return m_buffer; }
    bool enabled() const { return m_device != nullptr; }
    QString flush(bool all)
    {
        if (!m_device || (!all && m_buffer.size() < BlockSize))
            return QString();
        const qint64 written = m_device->write(m_buffer);
        if (written != m_buffer.size())
            return QStringLiteral("the output could not be written: %1").arg(m_device->errorString());
        m_buffer.clear();
        return QString();
    }

private:
    QIODevice *m_device;
    QByteArray m_buffer;
};

struct AscState
{
    bool hexBase = true;
    bool relative = false;
    qint64 lastNs = 0;
};

enum class LineKind { Frame, CopyThrough, Drop, Malformed };

// One .asc line: a frame, a header or structure line that the output keeps, or an event of
// the recorded bus that does not leave the other port.
LineKind parseAsc(const char *p, const char *end, AscState &state, TraceReplay::Frame &f, QString &reason)
{
    Token t[80];
    const int n = tokens(p, end, t, 80);
    if (n == 0)
        return LineKind::Drop;
    if (t[0].is("base")) {
        if (n >= 2)
            state.hexBase = !t[1].is("dec");
        if (n >= 4)
            state.relative = t[3].is("relative");
        return LineKind::CopyThrough;
    }
    if (!isTimeToken(t[0]))
        return LineKind::CopyThrough;
    const char *q = t[0].begin;
    qint64 ns = 0;
    if (!readTime(q, t[0].begin + t[0].size, ns)) {
        reason = QStringLiteral("the time stamp is not a number of seconds");
        return LineKind::Malformed;
    }
    if (state.relative)
        ns += state.lastNs;
    state.lastNs = ns;
    f = TraceReplay::Frame();
    f.timeNs = ns;
    if (n >= 2 && t[1].is("Start"))
        return LineKind::CopyThrough;
    if (n >= 2 && t[1].is("CANFD")) {
        // ts CANFD channel dir id [name] brs esi dlc length data...
        if (n < 9) {
            reason = QStringLiteral("a CAN FD line needs channel, direction, identifier, BRS, ESI, DLC and length");
            return LineKind::Malformed;
        }
        if (!readAscId(t[4], state.hexBase, f.id, f.extended, reason))
            return LineKind::Malformed;
        f.idStart = int(t[4].begin - p);
        f.idLength = t[4].size;
        int k = 5;
        quint32 flag = 0;
        if (!readNumber(t[k], 10, flag) || flag > 1)
            ++k; // a symbolic name stands before the flags
        quint32 length = 0;
        if (k + 3 >= n || !readNumber(t[k + 3], 10, length) || length > 64) {
            reason = QStringLiteral("the data length of the CAN FD frame is missing or beyond 64");
            return LineKind::Malformed;
        }
        if (k + 4 + int(length) > n) {
            reason = QStringLiteral("the CAN FD frame has fewer data bytes than its length %1").arg(length);
            return LineKind::Malformed;
        }
        f.fd = true;
        f.dataBytes = int(length);
        return LineKind::Frame;
    }
    if (n < 3)
        return LineKind::Drop;
    quint32 channel = 0;
    if (!readNumber(t[1], 10, channel))
        return LineKind::Drop; // an event of the measurement, not of a channel
    if (t[2].is("ErrorFrame")) {
        f.error = true;
        return LineKind::Frame;
    }
    const bool looksLikeFrame = n >= 4 && (t[3].is("Rx") || t[3].is("Tx"));
    if (!looksLikeFrame)
        return LineKind::Drop; // statistics, chip states and other channel events
    if (!readAscId(t[2], state.hexBase, f.id, f.extended, reason))
        return LineKind::Malformed;
    f.idStart = int(t[2].begin - p);
    f.idLength = t[2].size;
    if (n >= 5 && (t[4].is("r") || t[4].is("R"))) {
        f.remote = true;
        return LineKind::Frame;
    }
    quint32 dlc = 0;
    if (n < 6 || !t[4].is("d") || !readNumber(t[5], 16, dlc) || dlc > 15) {
        reason = QStringLiteral("\"d\" and a DLC, or \"r\", expected after the direction");
        return LineKind::Malformed;
    }
    const int bytes = int(std::min<quint32>(dlc, 8));
    if (6 + bytes > n) {
        reason = QStringLiteral("the frame has fewer data bytes than its DLC %1").arg(dlc);
        return LineKind::Malformed;
    }
    for (int b = 0; b < bytes; ++b) {
        quint32 v = 0;
        if (t[6 + b].size != 2 || !readNumber(t[6 + b], 16, v)) {
            reason = QStringLiteral("data byte %1 is not two hexadecimal digits").arg(b + 1);
            return LineKind::Malformed;
        }
    }
    f.dataBytes = bytes;
    return LineKind::Frame;
}

} // namespace

QString TraceReplay::formatName(Format format)
{
    switch (format) {
    case Format::Candump:
        return QStringLiteral("candump log");
    case Format::Asc:
        return QStringLiteral(".asc trace");
    case Format::Unknown:
        break;
    }
    return QStringLiteral("unknown format");
}

bool TraceReplay::parseCandump(const QByteArray &line, Frame &f, QString &reason)
{
    const char *begin = line.constData();
    const char *p = begin;
    const char *end = p + line.size();
    f = Frame();
    if (p >= end || *p != '(') {
        reason = QStringLiteral("a line starts with the time stamp in parentheses");
        return false;
    }
    ++p;
    if (!readTime(p, end, f.timeNs) || p >= end || *p != ')') {
        reason = QStringLiteral("the time stamp is not (seconds.microseconds)");
        return false;
    }
    ++p;
    if (p >= end || !isBlank(*p)) {
        reason = QStringLiteral("the interface name is missing");
        return false;
    }
    while (p < end && isBlank(*p))
        ++p;
    const char *iface = p;
    while (p < end && !isBlank(*p))
        ++p;
    if (p == iface || p >= end) {
        reason = QStringLiteral("the interface name or the frame is missing");
        return false;
    }
    while (p < end && isBlank(*p))
        ++p;
    const char *id = p;
    quint32 value = 0;
    while (p < end && IntText::hexDigit(*p) >= 0 && p - id < 9)
        value = value * 16 + quint32(IntText::hexDigit(*p++));
    const int digits = int(p - id);
    if (p >= end || *p != '#' || (digits != 3 && digits != 8)) {
        reason = QStringLiteral("the identifier has 3 hexadecimal digits (11-bit) or 8 (29-bit), then #");
        return false;
    }
    f.idStart = int(id - begin);
    f.idLength = digits;
    f.extended = digits == 8;
    if (f.extended && (value & 0x20000000u)) {
        f.error = true; // the error flag of the recording interface
        return true;
    }
    if (f.extended ? value > FilterImage::Max29Bit : value > FilterImage::Max11Bit) {
        reason = QStringLiteral("the identifier %1 is beyond %2")
                     .arg(QString::fromLatin1(id, digits), CobIdChecks::idText(f.extended ? FilterImage::Max29Bit : FilterImage::Max11Bit, f.extended));
        return false;
    }
    f.id = value;
    ++p;
    int maxBytes = 8;
    if (p < end && *p == '#') {
        // CAN FD: one hexadecimal digit of flags, then up to 64 bytes.
        ++p;
        if (p >= end || IntText::hexDigit(*p) < 0) {
            reason = QStringLiteral("the CAN FD flags digit is missing after ##");
            return false;
        }
        ++p;
        f.fd = true;
        maxBytes = 64;
    } else if (p < end && (*p == 'R' || *p == 'r')) {
        ++p;
        if (p < end && IntText::hexDigit(*p) >= 0)
            ++p; // the DLC of the remote frame
        f.remote = true;
        maxBytes = 0;
    }
    int bytes = 0;
    while (p + 1 < end && IntText::hexDigit(p[0]) >= 0 && IntText::hexDigit(p[1]) >= 0) {
        p += 2;
        ++bytes;
        if (p < end && *p == '.' && f.fd)
            ++p;
    }
    if (bytes > maxBytes) {
        reason = QStringLiteral("%1 data bytes; the frame holds at most %2").arg(bytes).arg(maxBytes);
        return false;
    }
    if (!f.fd && !f.remote && p < end && *p == '_') {
        // A DLC beyond 8 with 8 data bytes.
        p += 2;
    }
    // A direction flag after a blank, as newer logs write it, is allowed.
    while (p < end && isBlank(*p))
        ++p;
    if (p < end && (*p == 'R' || *p == 'T') && p + 1 == end)
        ++p;
    if (p != end) {
        reason = QStringLiteral("unexpected text after the data: %1").arg(QString::fromLatin1(p, int(std::min<qint64>(end - p, 20))));
        return false;
    }
    f.dataBytes = bytes;
    return true;
}

QString TraceReplay::run(QIODevice &in, QIODevice *out, const DevicePrediction &device, const Options &options,
                         Summary &s, const std::function<void(const Malformed &)> &onMalformed)
{
    s = Summary();
    const int from = options.from == 1 ? 1 : 0;
    s.load = BusLoad(device.bitRate(1 - from));
    Writer writer(out);
    AscState asc;
    std::bitset<2048> seen11;
    std::unordered_set<quint32> seen29;
    qint64 lastTime = 0;
    bool anyTime = false;

    QByteArray block;
    QByteArray pending; // a line cut by the end of a block
    QByteArray lineBytes;
    bool atEnd = false;
    while (!atEnd) {
        block.resize(BlockSize);
        const qint64 got = in.read(block.data(), BlockSize);
        if (got < 0)
            return QStringLiteral("the trace could not be read: %1").arg(in.errorString());
        block.resize(int(got));
        if (got == 0) {
            atEnd = true;
            if (pending.isEmpty())
                break;
            block = QByteArray("\n");
        }
        const char *data = block.constData();
        const char *blockEnd = data + block.size();
        const char *cursor = data;
        while (cursor < blockEnd) {
            const char *nl = static_cast<const char *>(std::memchr(cursor, '\n', size_t(blockEnd - cursor)));
            if (!nl) {
                pending.append(cursor, int(blockEnd - cursor));
                break;
            }
            const char *lineStart = cursor;
            const char *lineEnd = nl;
            cursor = nl + 1;
            if (!pending.isEmpty()) {
                pending.append(lineStart, int(lineEnd - lineStart));
                lineBytes.swap(pending);
                pending.clear();
                lineStart = lineBytes.constData();
                lineEnd = lineStart + lineBytes.size();
            }
            ++s.lines;
            const bool crlf = lineEnd > lineStart && lineEnd[-1] == '\r';
            const char *contentEnd = crlf ? lineEnd - 1 : lineEnd;
            const char *first = lineStart;
            while (first < contentEnd && isBlank(*first))
                ++first;
            if (first == contentEnd) {
                if (s.format == Format::Asc && writer.enabled())
                    writer.buffer().append(lineStart, int(lineEnd - lineStart)).append('\n');
                continue;
            }
            if (s.format == Format::Unknown) {
                if (*first == '(') {
                    s.format = Format::Candump;
                } else {
                    Token t[1];
                    tokens(first, contentEnd, t, 1);
                    if (t[0].is("date") || t[0].is("base") || t[0].is("Begin") || t[0].is("//") || t[0].is("internal")
                        || t[0].is("no") || isTimeToken(t[0]))
                        s.format = Format::Asc;
                    else
                        return QStringLiteral("line %1 is neither a candump -l log line nor part of an .asc trace; "
                                              "the trace is in neither format")
                            .arg(s.lines);
                }
            }

            Frame f;
            QString reason;
            LineKind kind = LineKind::Frame;
            if (s.format == Format::Candump) {
                const QByteArray line = QByteArray::fromRawData(lineStart, int(contentEnd - lineStart));
                if (!parseCandump(line, f, reason))
                    kind = LineKind::Malformed;
            } else {
                kind = parseAsc(lineStart, contentEnd, asc, f, reason);
            }
            if (kind == LineKind::Malformed) {
                ++s.malformed;
                const Malformed m{qint64(s.lines), reason};
                if (onMalformed)
                    onMalformed(m);
                if (options.strict)
                    return QStringLiteral("line %1: %2").arg(s.lines).arg(reason);
                continue;
            }
            if (kind == LineKind::Drop)
                continue;
            if (kind == LineKind::CopyThrough) {
                if (writer.enabled())
                    writer.buffer().append(lineStart, int(lineEnd - lineStart)).append('\n');
                continue;
            }
            if (f.error) {
                ++s.errorFrames;
                continue;
            }

            ++s.framesIn;
            if (anyTime && f.timeNs < lastTime)
                s.timeWentBack = true;
            anyTime = true;
            lastTime = f.timeNs;
            if (!f.extended) {
                seen11.set(f.id);
                ++s.trafficIn[f.id];
            } else if (seen29.size() < MaxTrackedExtended) {
                seen29.insert(f.id);
            } else if (!seen29.count(f.id)) {
                s.idsCapped = true;
            }
            const FilterImage::Route r = device.route(from, f.id, f.extended);
            if (!r.passes) {
                ++s.blocked;
                continue;
            }
            ++s.passed;
            if (r.id != f.id || r.extended != f.extended)
                ++s.remapped;
            s.load.add(f.timeNs, r.extended, f.remote ? 0 : f.dataBytes);
            if (writer.enabled()) {
                QByteArray &o = writer.buffer();
                o.append(lineStart, f.idStart);
                if (s.format == Format::Candump) {
                    appendHex(o, r.id, r.extended ? 8 : 3);
                } else {
                    const int before = int(o.size());
                    if (asc.hexBase)
                        appendHex(o, r.id, 1);
                    else
                        o.append(QByteArray::number(r.id));
                    if (r.extended)
                        o.append('x');
                    // Keep the columns behind the identifier where they stood.
                    const int grown = int(o.size()) - before - f.idLength;
                    const char *rest = lineStart + f.idStart + f.idLength;
                    if (grown < 0) {
                        o.append(QByteArray(-grown, ' '));
                    } else {
                        int eat = grown;
                        while (eat > 0 && rest + 1 < lineEnd && isBlank(rest[0]) && isBlank(rest[1])) {
                            ++rest;
                            --eat;
                        }
                    }
                    o.append(rest, int(lineEnd - rest)).append('\n');
                    const QString error = writer.flush(false);
                    if (!error.isEmpty())
                        return error;
                    continue;
                }
                const char *rest = lineStart + f.idStart + f.idLength;
                o.append(rest, int(lineEnd - rest)).append('\n');
                const QString error = writer.flush(false);
                if (!error.isEmpty())
                    return error;
            }
        }
    }
    if (s.format == Format::Unknown)
        return QStringLiteral("the trace holds no frame");
    const QString error = writer.flush(true);
    if (!error.isEmpty())
        return error;

    const auto count = [&](const FilterImage::Route &r, quint32 id, bool extended) {
        if (!r.passes) {
            ++s.idsBlocked;
            return;
        }
        ++s.idsPassed;
        if (r.id != id || r.extended != extended)
            ++s.idsRemapped;
    };
    for (quint32 id = 0; id < 2048; ++id) {
        if (seen11.test(id))
            count(device.route(from, id, false), id, false);
    }
    for (const quint32 id : seen29)
        count(device.route(from, id, true), id, true);
    s.idsIn = int(seen11.count() + seen29.size());
    return QString();
}

QStringList TraceReplay::Summary::text(int from) const
{
    const int to = from == 1 ? 0 : 1;
    const QString more = idsCapped ? QStringLiteral("at least ") : QString();
    const auto line = [&](const char *what, quint64 frames, int ids) {
        return QStringLiteral("  %1 %2 %3, %4%5 %6")
            .arg(QLatin1String(what))
            .arg(frames)
            .arg(frames == 1 ? QStringLiteral("frame") : QStringLiteral("frames"), more)
            .arg(ids)
            .arg(ids == 1 ? QStringLiteral("identifier") : QStringLiteral("identifiers"));
    };
    QStringList out;
    out << QStringLiteral("From CAN %1 to CAN %2, %3 of %4 lines:").arg(from).arg(to).arg(TraceReplay::formatName(format)).arg(lines);
    out << line("in:      ", framesIn, idsIn);
    out << line("passed:  ", passed, idsPassed);
    out << line("remapped:", remapped, idsRemapped);
    out << line("blocked: ", blocked, idsBlocked);
    if (errorFrames)
        out << QStringLiteral("  error frames of the recording, left out: %1").arg(errorFrames);
    if (malformed)
        out << QStringLiteral("  malformed lines, left out: %1").arg(malformed);
    out << QStringLiteral("  ") + load.text(to);
    return out;
}

QStringList TraceReplay::Summary::warnings(int from) const
{
    QStringList out = load.warnings(from == 1 ? 0 : 1);
    if (timeWentBack)
        out << QStringLiteral("the time stamps of the trace go back in places; the load counts those frames into the window in progress");
    return out;
}
