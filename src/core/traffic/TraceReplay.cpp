#include "core/traffic/TraceReplay.h"
#include "core/base/Catalog.h"

#include "core/base/IntText.h"
#include "core/config/CobIdChecks.h"

#include <QIODevice>
#include <QThread>
#include <QThreadPool>
#include <QtAlgorithms>

#include <algorithm>
#include <deque>
#include <future>
#include <memory>
#include <cstring>
#include <vector>

namespace {

// What is read at once: a few of them are in flight, one per thread and one more.
constexpr int ChunkSize = 2 << 20;
// Far beyond any frame of either format.
constexpr int MaxLineLength = 1 << 20;
// Distinct 29-bit identifiers kept for the summary; a trace with more is counted as "at least".
constexpr size_t MaxTrackedExtended = 65536;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

constexpr qint64 MaxSeconds = 9'000'000'000;

// "1436509053.249713" or "0.001000": seconds with up to nine decimals, as nanoseconds.
inline bool readTime(const char *&p, const char *end, qint64 &ns)
{
    qint64 seconds = 0;
    int digits = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        if (++digits > 11)
            return false;
        seconds = seconds * 10 + (*p++ - '0');
    }
    // Nanoseconds since 1970 fit 64 bits until the year 2262.
    if (digits == 0 || seconds > MaxSeconds)
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
        reason = Catalog::messages().text(64).arg(QString::fromLatin1(t.begin, t.size));
        return false;
    }
    const quint32 max = extended ? FilterImage::Max29Bit : FilterImage::Max11Bit;
    if (id > max) {
        reason = Catalog::messages().text(65).arg(QString::fromLatin1(t.begin, t.size), CobIdChecks::idText(max, extended));
        return false;
    }
    return true;
}

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
        reason = Catalog::messages().text(66);
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
            reason = Catalog::messages().text(67);
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
            reason = Catalog::messages().text(68);
            return LineKind::Malformed;
        }
        if (k + 4 + int(length) > n) {
            reason = Catalog::messages().text(69).arg(length);
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
        reason = Catalog::messages().text(70);
        return LineKind::Malformed;
    }
    const int bytes = int(std::min<quint32>(dlc, 8));
    if (6 + bytes > n) {
        reason = Catalog::messages().text(71).arg(dlc);
        return LineKind::Malformed;
    }
    for (int b = 0; b < bytes; ++b) {
        quint32 v = 0;
        if (t[6 + b].size != 2 || !readNumber(t[6 + b], 16, v)) {
            reason = Catalog::messages().text(72).arg(b + 1);
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

namespace {

inline bool parseCandumpLine(const char *begin, const char *end, TraceReplay::Frame &f, QString &reason)
{
    const char *p = begin;
    f = TraceReplay::Frame();
    if (p >= end || *p != '(') {
        reason = Catalog::messages().text(73);
        return false;
    }
    ++p;
    if (!readTime(p, end, f.timeNs) || p >= end || *p != ')') {
        reason = Catalog::messages().text(74);
        return false;
    }
    ++p;
    if (p >= end || !isBlank(*p)) {
        reason = Catalog::messages().text(75);
        return false;
    }
    while (p < end && isBlank(*p))
        ++p;
    const char *iface = p;
    while (p < end && !isBlank(*p))
        ++p;
    if (p == iface || p >= end) {
        reason = Catalog::messages().text(76);
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
        reason = Catalog::messages().text(77);
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
        reason = Catalog::messages().text(65)
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
            reason = Catalog::messages().text(78);
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
        reason = Catalog::messages().text(79).arg(bytes).arg(maxBytes);
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
        reason = Catalog::messages().text(80).arg(QString::fromLatin1(p, int(std::min<qint64>(end - p, 20))));
        return false;
    }
    f.dataBytes = bytes;
    return true;
}

inline quint64 load8(const char *p)
{
    quint64 v;
    std::memcpy(&v, p, 8);
    return v;
}

// Eight ASCII digits, the first in the lowest byte, as a number; -1 when one is not a digit.
inline qint64 eightDigits(quint64 v)
{
    // Every byte 0x30 to 0x39: its high nibble is 3, and adding 6 does not carry into it.
    if ((v & 0xF0F0F0F0F0F0F0F0u) != 0x3030303030303030u || ((v + 0x0606060606060606u) & 0xF0F0F0F0F0F0F0F0u) != 0x3030303030303030u)
        return -1;
    v -= 0x3030303030303030u;
    v = v * 10 + (v >> 8); // pairs of digits
    v = (((v & 0x000000FF000000FFu) * (100 + (1000000ull << 32))) + (((v >> 16) & 0x000000FF000000FFu) * (1 + (10000ull << 32)))) >> 32;
    return qint64(v);
}

constexpr quint64 Ones = 0x0101010101010101u;
constexpr quint64 Highs = 0x8080808080808080u;

// Where the first byte of `v` below `n` (at most 0x80) stands, 8 when none does. Only the
// lowest flagged byte is exact, which is the one asked for.
inline int firstBelow(quint64 v, unsigned n)
{
    const quint64 t = (v - Ones * n) & ~v & Highs;
    return t ? int(qCountTrailingZeroBits(t) >> 3) : 8;
}

// The top bit of every byte of `v` that is a hexadecimal digit of either case.
inline quint64 hexBytes(quint64 v)
{
    const quint64 ascii = ~v & Highs;
    const quint64 x = v & ~Highs; // no byte can carry into the next below
    const quint64 digit = ((x + Ones * 0x50) & ~(x + Ones * 0x46)) & Highs;
    const quint64 y = x | Ones * 0x20;
    const quint64 letter = ((y + Ones * 0x1F) & ~(y + Ones * 0x19)) & Highs;
    return ascii & (digit | letter);
}

// The top bits of the first `n` bytes (0 to 8).
inline quint64 leadingBytes(int n)
{
    static constexpr quint64 masks[9] = {0,
                                         0x80,
                                         0x8080,
                                         0x808080,
                                         0x80808080,
                                         0x8080808080,
                                         0x808080808080,
                                         0x80808080808080,
                                         Highs};
    return masks[n];
}

// How far a line of the shape that candump writes may reach: the quick reader below needs
// that many bytes ahead, so near the end of a block the full parser takes over.
constexpr qint64 QuickReach = 96;

// The shape nearly every candump -l line has, "(1436509053.249713) can0 123#DEADBEEF": ten
// digits of seconds, six of microseconds, a classic data frame. Returns where the next line
// starts, or nullptr for any other line, which the full parser then reads by its rules (so
// this reader accepts only lines that the full parser reads the same way).
inline const char *quickCandump(const char *p, TraceReplay::Frame &f)
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
    if (seconds > MaxSeconds)
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
        if (value > FilterImage::Max11Bit)
            return nullptr;
    } else if (id[8] == '#' && idWord == leadingBytes(8)) {
        digits = 8;
        value = 0;
        for (int k = 0; k < 8; ++k)
            value = value << 4 | quint32(IntText::hexDigit(id[k]));
        if (value > FilterImage::Max29Bit) // the error flag, or beyond 29 bits
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

} // namespace

bool TraceReplay::parseCandump(const QByteArray &line, Frame &f, QString &reason)
{
    return parseCandumpLine(line.constData(), line.constData() + line.size(), f, reason);
}

namespace {

// What one chunk of whole lines gave. Chunks of a candump log are replayed on several threads
// and their results taken in trace order, so that the summary and the output are those of one
// pass over the trace.
struct ChunkResult
{
    QByteArray out;
    quint64 lines = 0, framesIn = 0, passed = 0, remapped = 0, blocked = 0, errorFrames = 0;
    std::array<quint32, 2048> traffic{};
    std::vector<quint32> new29; // the 29-bit identifiers met, each once (or a few times)
    BusLoad::Tally load; // of a chunk replayed apart
    bool anyTime = false, timeWentBack = false;
    qint64 firstTime = 0, lastTime = 0;
    std::vector<TraceReplay::Malformed> malformed; // line numbers within the chunk
    QString stop; // why the replay stops here
    // The 29-bit identifiers answered last, by their low bits: a bus carries few of them, each
    // often. Kept from chunk to chunk; an identifier is listed in new29 where it was not yet known.
    struct Answered
    {
        quint32 id = 0xFFFFFFFFu;
        FilterImage::Route route;
    };
    std::vector<Answered> answered29;

    // Keeps the memory: fresh megabytes for every chunk cost more than the replay itself.
    void reset()
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
};

struct ChunkContext
{
    const DevicePrediction *device = nullptr;
    int from = 0;
    // Every 11-bit identifier's route in four bytes: passes, 29-bit, identifier.
    const std::array<quint32, 2048> *routes11 = nullptr;
    bool strict = false;
    bool writing = false;
    qint64 lineBase = 0; // lines before the chunk, for the messages that stop a replay
    BusLoad *load = nullptr; // a chunk replayed in order counts into the load at once
    TraceReplay::Format format = TraceReplay::Format::Unknown;
    AscState asc;
};

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

// Replays whole lines, each ending with a line break.
void replayChunk(const QByteArray &chunk, ChunkContext &c, ChunkResult &r)
{
    const char *begin = chunk.constData();
    const char *end = begin + chunk.size();
    using Format = TraceReplay::Format;
    ChunkOut out(r.out);
    if (c.writing)
        r.out.reserve(int(end - begin) + 4096);
    const char *cursor = begin;
    while (cursor < end) {
        TraceReplay::Frame f;
        const char *lineStart = cursor;
        const char *nl; // the line break
        if (c.format == Format::Candump && end - cursor >= QuickReach && (nl = quickCandump(cursor, f)) != nullptr) {
            cursor = nl--;
            ++r.lines;
        } else {
            nl = static_cast<const char *>(std::memchr(cursor, '\n', size_t(end - cursor)));
            cursor = nl + 1;
            ++r.lines;
            const bool crlf = nl > lineStart && nl[-1] == '\r';
            const char *contentEnd = crlf ? nl - 1 : nl;
            const char *first = lineStart;
            while (first < contentEnd && isBlank(*first))
                ++first;
            if (first == contentEnd) {
                if (c.format == Format::Asc && c.writing)
                    out.buffer().append(lineStart, int(cursor - lineStart));
                continue;
            }
            if (c.format == Format::Unknown) {
                if (*first == '(') {
                    c.format = Format::Candump;
                } else {
                    Token t[1];
                    tokens(first, contentEnd, t, 1);
                    if (t[0].is("date") || t[0].is("base") || t[0].is("Begin") || t[0].is("//") || t[0].is("internal")
                        || t[0].is("no") || isTimeToken(t[0])) {
                        c.format = Format::Asc;
                    } else {
                        r.stop = Catalog::messages().text(82)
                                     .arg(c.lineBase + qint64(r.lines));
                        return;
                    }
                }
            }
            QString reason;
            LineKind kind = LineKind::Frame;
            if (c.format == Format::Candump) {
                if (!parseCandumpLine(lineStart, contentEnd, f, reason))
                    kind = LineKind::Malformed;
            } else {
                kind = parseAsc(lineStart, contentEnd, c.asc, f, reason);
            }
            if (kind == LineKind::Malformed) {
                r.malformed.push_back(TraceReplay::Malformed{qint64(r.lines), reason});
                if (c.strict) {
                    r.stop = Catalog::messages().text(86).arg(c.lineBase + qint64(r.lines)).arg(reason);
                    return;
                }
                continue;
            }
            if (kind == LineKind::Drop)
                continue;
            if (kind == LineKind::CopyThrough) {
                if (c.writing)
                    out.buffer().append(lineStart, int(cursor - lineStart));
                continue;
            }
        }
        if (f.error) {
            ++r.errorFrames;
            continue;
        }

        ++r.framesIn;
        if (!r.anyTime) {
            r.anyTime = true;
            r.firstTime = f.timeNs;
        } else if (f.timeNs < r.lastTime) {
            r.timeWentBack = true;
        }
        r.lastTime = f.timeNs;
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
        if (!route.passes) {
            ++r.blocked;
            continue;
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
            continue;
        if (c.format == Format::Candump && same) {
            out.keep(lineStart, cursor); // the line leaves as it came
            continue;
        }
        QByteArray &o = out.buffer();
        o.append(lineStart, f.idStart);
        const char *rest = lineStart + f.idStart + f.idLength;
        if (c.format == Format::Candump) {
            appendHex(o, route.id, route.extended ? 8 : 3);
        } else {
            const int before = int(o.size());
            if (c.asc.hexBase)
                appendHex(o, route.id, 1);
            else
                o.append(QByteArray::number(route.id));
            if (route.extended)
                o.append('x');
            // Keep the columns behind the identifier where they stood.
            const int grown = int(o.size()) - before - f.idLength;
            if (grown < 0) {
                o.append(QByteArray(-grown, ' '));
            } else {
                int eat = grown;
                while (eat > 0 && rest + 1 < nl && isBlank(rest[0]) && isBlank(rest[1])) {
                    ++rest;
                    --eat;
                }
            }
        }
        o.append(rest, int(cursor - rest));
    }
}

// The last line break in [begin, end), or nullptr.
const char *lastLineBreak(const char *begin, const char *end)
{
    for (const char *p = end; p > begin; --p) {
        if (p[-1] == '\n')
            return p - 1;
    }
    return nullptr;
}

} // namespace

QString TraceReplay::run(QIODevice &in, QIODevice *out, const DevicePrediction &device, const Options &options,
                         Summary &s, const std::function<void(const Malformed &)> &onMalformed)
{
    s = Summary();
    const int from = options.from == 1 ? 1 : 0;
    s.load = BusLoad(device.bitRate(1 - from));
    std::array<quint32, 2048> routes11;
    for (quint32 id = 0; id < 2048; ++id) {
        const FilterImage::Route r = device.route(from, id, false);
        routes11[id] = r.passes ? 0x80000000u | (r.extended ? 0x40000000u : 0) | r.id : 0;
    }
    ChunkContext context;
    context.device = &device;
    context.from = from;
    context.routes11 = &routes11;
    context.strict = options.strict;
    context.writing = out != nullptr;

    std::unordered_set<quint32> seen29;
    bool anyTime = false;
    qint64 lastTime = 0;
    // Takes a chunk's result in trace order; returns why the replay stops.
    const auto take = [&](ChunkResult &r) -> QString {
        for (const Malformed &m : r.malformed) {
            ++s.malformed;
            if (onMalformed)
                onMalformed(Malformed{qint64(s.lines) + m.line, m.reason});
        }
        s.lines += r.lines;
        s.framesIn += r.framesIn;
        s.passed += r.passed;
        s.remapped += r.remapped;
        s.blocked += r.blocked;
        s.errorFrames += r.errorFrames;
        for (size_t id = 0; id < r.traffic.size(); ++id)
            s.trafficIn[id] += r.traffic[id];
        for (const quint32 id : r.new29) {
            if (seen29.size() < MaxTrackedExtended)
                seen29.insert(id);
            else if (!seen29.count(id))
                s.idsCapped = true;
        }
        if (r.anyTime) {
            if ((anyTime && r.firstTime < lastTime) || r.timeWentBack)
                s.timeWentBack = true;
            anyTime = true;
            lastTime = r.lastTime;
        }
        s.load.add(r.load);
        if (out && !r.out.isEmpty() && out->write(r.out) != r.out.size())
            return Catalog::messages().text(85).arg(out->errorString());
        return r.stop; // what came before the stop counts
    };

    // A candump log, once told, is replayed on every core; an .asc trace carries its state from
    // line to line, and --strict must stop at the first malformed line, so those stay in order.
    // Chunks go round a ring of slots, so that they are taken in the order they were read.
    const int threads = std::max(1, QThread::idealThreadCount());
    struct Slot
    {
        QByteArray chunk; // whole lines
        ChunkResult result;
        std::future<void> done;
        bool busy = false;
    };
    std::vector<Slot> slots(size_t(threads > 1 ? threads + 1 : 1));
    size_t next = 0; // the slot filled next, and the oldest one in flight when it is busy
    QThreadPool pool;
    pool.setMaxThreadCount(threads);

    const auto takeSlot = [&](Slot &slot) -> QString {
        if (!slot.busy)
            return QString();
        slot.done.get();
        slot.busy = false;
        return take(slot.result);
    };
    const auto takeAll = [&]() -> QString {
        for (size_t k = 0; k < slots.size(); ++k) {
            if (const QString why = takeSlot(slots[(next + k) % slots.size()]); !why.isEmpty())
                return why;
        }
        return QString();
    };
    const auto stopAll = [&](const QString &why) {
        pool.waitForDone();
        return why;
    };

    QByteArray carry; // the start of a line cut by the end of the last read
    bool overlong = false; // within a line too long to be anything
    for (bool atEnd = false; !atEnd;) {
        Slot &slot = slots[next];
        if (const QString why = takeSlot(slot); !why.isEmpty())
            return stopAll(why);
        QByteArray &chunk = slot.chunk;
        // No more room than a file has left: small traces are replayed by the thousand in tests.
        const qint64 room = in.isSequential() ? ChunkSize : std::clamp<qint64>(in.bytesAvailable(), 1, ChunkSize);
        chunk.resize(carry.size() + int(room));
        std::memcpy(chunk.data(), carry.constData(), size_t(carry.size()));
        const qint64 got = in.read(chunk.data() + carry.size(), room);
        if (got < 0)
            return stopAll(Catalog::messages().text(84).arg(in.errorString()));
        atEnd = got == 0;
        chunk.resize(carry.size() + int(got));
        if (overlong) {
            // Nothing of an overlong line is kept; it ends at the next line break.
            const char *end = static_cast<const char *>(std::memchr(chunk.constData(), '\n', size_t(chunk.size())));
            if (!end && !atEnd)
                continue;
            overlong = false;
            if (const QString why = takeAll(); !why.isEmpty())
                return stopAll(why);
            slot.result.reset();
            slot.result.lines = 1;
            const QString reason = Catalog::messages().text(81).arg(MaxLineLength);
            slot.result.malformed.push_back(Malformed{1, reason});
            if (context.strict)
                slot.result.stop = Catalog::messages().text(86).arg(s.lines + 1).arg(reason);
            if (const QString why = take(slot.result); !why.isEmpty())
                return stopAll(why);
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

        slot.result.reset();
        // Apart from the stream, the load is counted from the stream's first frame on.
        if (context.format == Format::Candump && !context.strict && threads > 1 && s.load.started()) {
            slot.result.load = BusLoad::Tally(s.load.firstNs());
            ChunkContext apart = context;
            apart.load = nullptr;
            auto task = std::make_shared<std::packaged_task<void()>>(
                [&slot, apart]() mutable { replayChunk(slot.chunk, apart, slot.result); });
            slot.done = task->get_future();
            slot.busy = true;
            pool.start([task] { (*task)(); });
            next = (next + 1) % slots.size();
            continue;
        }
        if (const QString why = takeAll(); !why.isEmpty())
            return stopAll(why);
        context.lineBase = qint64(s.lines);
        context.load = &s.load;
        replayChunk(chunk, context, slot.result);
        if (const QString why = take(slot.result); !why.isEmpty())
            return stopAll(why);
    }
    if (const QString why = takeAll(); !why.isEmpty())
        return stopAll(why);
    s.format = context.format;
    if (s.format == Format::Unknown)
        return Catalog::messages().text(83);

    const auto count = [&](const FilterImage::Route &r, quint32 id, bool extended) {
        if (!r.passes) {
            ++s.idsBlocked;
            return;
        }
        ++s.idsPassed;
        if (r.id != id || r.extended != extended)
            ++s.idsRemapped;
    };
    int seen11 = 0;
    for (quint32 id = 0; id < 2048; ++id) {
        if (s.trafficIn[id]) {
            ++seen11;
            count(device.route(from, id, false), id, false);
        }
    }
    for (const quint32 id : seen29)
        count(device.route(from, id, true), id, true);
    s.idsIn = seen11 + int(seen29.size());
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
